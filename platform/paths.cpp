#include "platform/paths.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/file_io.h"

namespace fs = std::filesystem;

namespace trakomer {
namespace {

std::string XdgFolder(const EnvLookup& env, const char* variable, const char* fallback) {
    std::string value = env(variable);
    // The XDG rules ignore relative paths.
    if (value.empty() || value[0] != '/') value = env("HOME") + "/" + fallback;
    while (value.size() > 1 && value.back() == '/') value.pop_back();
    return value;
}

// Expands "$HOME/..." in a user-dirs.dirs value.
std::string ExpandHome(const std::string& value, const std::string& home) {
    if (value.rfind("$HOME", 0) == 0) return home + value.substr(5);
    return value;
}

void StripTrailingSlashes(std::string& folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
}

}  // namespace

EnvLookup ProcessEnvironment() {
    return [](const std::string& name) {
        const char* value = std::getenv(name.c_str());
        return value != nullptr ? std::string(value) : std::string();
    };
}

std::string DocumentsFolder(const EnvLookup& env) {
    const std::string home = env("HOME");
    std::string fromEnvironment = env("XDG_DOCUMENTS_DIR");
    if (!fromEnvironment.empty() && fromEnvironment[0] == '/') {
        StripTrailingSlashes(fromEnvironment);
        return fromEnvironment;
    }
    std::ifstream dirs(XdgFolder(env, "XDG_CONFIG_HOME", ".config") + "/user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(dirs, line)) {
        if (line.rfind(key, 0) != 0) continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        value = ExpandHome(value, home);
        if (!value.empty() && value[0] == '/') return value;
    }
    return home + "/Documents";
}

ProgramPaths ResolvePaths(const std::string& home, const EnvLookup& env) {
    ProgramPaths paths;
    if (!home.empty()) {
        const std::string folder = fs::absolute(home).lexically_normal().string();
        paths.configFolder = folder;
        paths.dataFolder = folder;
        paths.stateFolder = folder;
    } else {
        paths.configFolder = XdgFolder(env, "XDG_CONFIG_HOME", ".config") + "/trakomer";
        paths.dataFolder = XdgFolder(env, "XDG_DATA_HOME", ".local/share") + "/trakomer";
        paths.stateFolder = XdgFolder(env, "XDG_STATE_HOME", ".local/state") + "/trakomer";
    }
    StripTrailingSlashes(paths.configFolder);
    StripTrailingSlashes(paths.dataFolder);
    StripTrailingSlashes(paths.stateFolder);
    paths.documentsFolder = DocumentsFolder(env);
    const std::string tmp = env("TMPDIR");
    paths.tempFolder = tmp.empty() ? "/tmp" : tmp;
    return paths;
}

std::string TakeHomeOption(std::vector<std::string>& args, bool& error) {
    error = false;
    std::string home;
    for (std::size_t i = 0; i < args.size();) {
        if (args[i] == "--home") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                error = true;
                args.erase(args.begin() + static_cast<long>(i));
                continue;
            }
            home = args[i + 1];
            args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
        } else if (args[i].rfind("--home=", 0) == 0) {
            home = args[i].substr(7);
            if (home.empty()) error = true;
            args.erase(args.begin() + static_cast<long>(i));
        } else {
            ++i;
        }
    }
    return home;
}

std::string ShippedDataFolder() {
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (error) return {};
    const fs::path folder = (exe.parent_path() / ".." / "share" / "trakomer").lexically_normal();
    return fs::is_directory(folder, error) ? folder.string() : std::string();
}

int CopyMissingDataFiles(const std::string& shippedFolder, const std::string& dataFolder) {
    if (!MakeFolders(dataFolder)) return -1;
    std::error_code error;
    if (shippedFolder.empty() || !fs::is_directory(shippedFolder, error)) return 0;
    int copied = 0;
    for (auto it = fs::recursive_directory_iterator(shippedFolder, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (!it->is_regular_file(error)) continue;
        const fs::path target = fs::path(dataFolder) / fs::relative(it->path(), shippedFolder);
        if (fs::exists(target, error)) continue;
        fs::create_directories(target.parent_path(), error);
        if (fs::copy_file(it->path(), target, fs::copy_options::skip_existing, error)) ++copied;
    }
    return copied;
}

bool PrepareProgramFolders(const ProgramPaths& paths) {
    if (!MakeFolders(paths.configFolder)) return false;
    return CopyMissingDataFiles(ShippedDataFolder(), paths.dataFolder) >= 0;
}

}  // namespace trakomer

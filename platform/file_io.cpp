#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/temp_file.h"

namespace trakomer {

bool ReadFileBytes(const std::string& path, std::size_t maxBytes, std::string& bytes) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    bool ok = fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode);
    // One allocation for the whole file (ReadFdBytes keeps the capacity).
    if (ok && info.st_size > 0) {
        bytes.reserve(std::min(static_cast<std::size_t>(info.st_size), maxBytes));
    }
    ok = ok && ReadFdBytes(fd, maxBytes, bytes);
    close(fd);
    return ok;
}

bool ReadFdBytes(int fd, std::size_t maxBytes, std::string& bytes) {
    bytes.clear();
    char buffer[65536];
    while (bytes.size() < maxBytes) {
        const std::size_t want = std::min(sizeof buffer, maxBytes - bytes.size());
        const ssize_t n = read(fd, buffer, want);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
}

namespace {

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

mode_t DefaultFileMode() {
    // The umask can only be read by setting it; /proc avoids touching it.
    mode_t mask = 022;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) {
            mask = static_cast<mode_t>(std::strtol(line.c_str() + 6, nullptr, 8));
            break;
        }
    }
    return 0666 & ~mask;
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes, mode_t mode) {
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    TempFileGuard temp(MakeTempFile(FolderOf(path), "." + name + "."));
    if (temp.path().empty()) return false;
    const int fd = open(temp.path().c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    if (!ok || std::rename(temp.path().c_str(), path.c_str()) != 0) return false;
    temp.Release();
    SyncFolder(FolderOf(path));
    return true;
}

bool SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return true;
    const bool ok = fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
    close(fd);
    return ok;
}

int64_t FileSize(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return -1;
    return static_cast<int64_t>(info.st_size);
}

bool MakeFolders(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

}  // namespace trakomer

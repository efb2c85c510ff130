// trakomer-cli settings: prints the settings in effect (the file over the
// defaults) as JSON, keyed as in the file. Creates no file.

#include <cstdio>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "core/settings_file.h"
#include "platform/paths.h"

namespace trakomer::cli {

int RunSettings(const Args& arguments) {
    Args args = arguments;
    bool homeError = false;
    const std::string home = TakeHomeOption(args, homeError);
    if (homeError) return UsageError("settings: --home needs a folder");
    for (const std::string& a : args) {
        if (a == "--help") {
            std::printf("Usage: trakomer-cli settings [--home DIR]\n");
            return kExitOk;
        }
        return UsageError("settings: unexpected argument '" + a + "'");
    }
    const ProgramPaths paths = ResolvePaths(home, ProcessEnvironment());
    Settings settings = DefaultSettings(paths.documentsFolder);
    LoadSettings(paths.SettingsFile(), settings);

    JsonWriter json;
    json.BeginObject();
    for (const SettingEntry& entry : ListSettings(settings)) {
        json.Key(entry.key);
        switch (entry.kind) {
            case SettingEntry::Kind::Int: json.Integer(entry.intValue); break;
            case SettingEntry::Kind::Float: json.Number(entry.floatValue); break;
            case SettingEntry::Kind::String: json.String(entry.text); break;
            case SettingEntry::Kind::IntList:
                json.BeginArray();
                for (int v : entry.list) json.Integer(v);
                json.EndArray();
                break;
        }
    }
    json.EndObject();
    std::printf("%s\n", json.Text().c_str());
    return kExitOk;
}

}  // namespace trakomer::cli

// trakomer-cli recover: saves every recording that crashed or killed
// recorders left in their journals as zipped track files named from each
// recording's start time, and prints what it did:
//   {"points": N, "file": "...", "journals": [{"journal": "...",
//    "outcome": "recovered", "points": N, "file": "..."}, ...]}
// `points` and `file` are those of the newest recovered recording
// ({"points": 0} without `file` when none was). A journal a running
// recorder holds is left alone ("locked"); one that cannot be read is
// renamed to "<name>.unreadable", its bytes kept ("set aside", with the
// reason).

#include <cstdio>
#include <memory>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "core/settings_file.h"
#include "files/auto_trz_saver.h"
#include "files/journal_recovery.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/temp_file.h"

namespace trakomer::cli {
namespace {

const char kRecoverUsage[] = "Usage: trakomer-cli recover [--home DIR] [--out-dir DIR]\n";

std::string ReportJson(const std::vector<JournalReport>& reports) {
    JsonWriter json;
    json.BeginObject();
    const JournalReport* newest = nullptr;
    for (const JournalReport& r : reports) {
        if (r.outcome == JournalOutcome::Recovered && newest == nullptr) newest = &r;
    }
    json.Field("points", newest != nullptr ? newest->points : 0);
    if (newest != nullptr) json.Key("file").String(newest->file);
    json.Key("journals").BeginArray();
    for (const JournalReport& r : reports) {
        json.BeginObject().Key("journal").String(r.journal);
        json.Field("outcome", JournalOutcomeName(r.outcome)).Field("points", r.points);
        if (!r.file.empty()) json.Key("file").String(r.file);
        if (!r.reason.empty()) json.Key("reason").String(r.reason);
        json.EndObject();
    }
    json.EndArray().EndObject();
    return json.Text();
}

}  // namespace

int RunRecover(const Args& arguments) {
    Args args = arguments;
    bool homeError = false;
    const std::string home = TakeHomeOption(args, homeError);
    if (homeError) return UsageError("recover: --home needs a folder");
    std::string outDir;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help") {
            std::printf("%s", kRecoverUsage);
            return kExitOk;
        }
        if (args[i] == "--out-dir" && i + 1 < args.size()) {
            outDir = args[++i];
            continue;
        }
        return UsageError("recover: unexpected argument '" + args[i] + "'");
    }
    const ProgramPaths paths = ResolvePaths(home, ProcessEnvironment());
    Settings settings = DefaultSettings(paths.documentsFolder);
    LoadSettings(paths.SettingsFile(), settings);

    if (!outDir.empty()) MakeFolders(outDir);
    SystemClock wall;
    AutoTrzSaver saver(settings, wall, SystemTempFolder(), outDir);
    auto track = std::make_unique<Track>();
    const std::vector<JournalReport> reports =
        RecoverJournals(paths.stateFolder, *track, saver, [](const Track&) { return true; });
    bool allSaved = true;
    for (const JournalReport& r : reports) {
        const std::string text = JournalReportText(r);
        if (!text.empty()) std::fprintf(stderr, "trakomer-cli: %s\n", text.c_str());
        allSaved = allSaved && r.outcome != JournalOutcome::SaveFailed;
    }
    std::printf("%s\n", ReportJson(reports).c_str());
    return allSaved ? kExitOk : kExitFailure;
}

}  // namespace trakomer::cli

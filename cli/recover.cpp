// trakomer-cli recover: saves the recording a crashed or killed recorder
// left in its journal as a zipped track file with the automatic name and
// prints {"points": N, "file": "..."}, or {"points": 0} when there is
// nothing to recover.

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

int PrintNothing() {
    std::printf("{\"points\":0}\n");
    return kExitOk;
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

    auto track = std::make_unique<Track>();
    std::string journal;
    for (;;) {
        journal = FindJournal(paths.stateFolder);
        if (journal.empty()) return PrintNothing();
        JournalHeader header;
        const JournalStatus status = ReadJournal(journal, *track, header);
        if (status != JournalStatus::Ok) {
            std::fprintf(stderr, "trakomer-cli: %s\n", JournalRefusalText(status, journal).c_str());
            return kExitFailure;
        }
        if (track->loadedCount > 0) break;
        RemoveEmptyJournal(journal);  // started, but not one point came
    }

    if (!outDir.empty()) MakeFolders(outDir);
    SystemClock wall;
    AutoTrzSaver saver(settings, wall, SystemTempFolder(), outDir);
    std::string saved;
    if (!SaveRecoveredTrack(journal, *track, saver, saved)) {
        std::fprintf(stderr, "trakomer-cli: cannot save '%s'; the journal %s is kept\n",
                     saved.c_str(), journal.c_str());
        return kExitFailure;
    }
    JsonWriter json;
    json.BeginObject().Field("points", int{track->loadedCount}).Key("file").String(saved);
    json.EndObject();
    std::printf("%s\n", json.Text().c_str());
    return kExitOk;
}

}  // namespace trakomer::cli

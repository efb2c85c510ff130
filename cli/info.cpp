// trakomer-cli info: loads a .trk, .trz, .kml or .gpx track the way Open does
// (with the clean-up when --resample is given), rebuilds its statistics by
// review processing and prints them as the same JSON summary as record.

#include <cstdio>

#include "cli/commands.h"
#include "cli/record_session.h"
#include "core/settings_file.h"
#include "core/track_filters.h"
#include "files/file_types.h"
#include "files/track_io.h"
#include "platform/paths.h"

namespace trakomer::cli {
namespace {

struct InfoOptions {
    std::string file;
    std::string home;
    std::string profile;
    bool resample = false;
};

const char kInfoUsage[] = "Usage: trakomer-cli info FILE [--resample] [--home DIR]\n"
    "         [--profile walk|run|bike|car|motorbike|blackbox]\n";

// Returns kExitOk when parsed, -1 after --help, else the exit code to end with.
int ParseInfoOptions(const Args& args, InfoOptions& o) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help") {
            std::printf("%s", kInfoUsage);
            return -1;
        } else if (a == "--resample") {
            o.resample = true;
        } else if (a == "--home" || a == "--profile") {
            if (i + 1 >= args.size()) return UsageError("info: " + a + " needs a value");
            (a == "--home" ? o.home : o.profile) = args[++i];
        } else if (a.rfind("--", 0) == 0) {
            return UsageError("info: unknown argument '" + a + "'");
        } else if (o.file.empty()) {
            o.file = a;
        } else {
            return UsageError("info: more than one FILE given");
        }
    }
    if (o.file.empty()) return UsageError("info: no FILE given");
    if (!o.profile.empty() && ProfileNumber(o.profile) == 0) {
        return UsageError("info: unknown profile '" + o.profile + "'");
    }
    if (DisplayTrackFileType(o.file) == TrackFileType::None) {
        return UsageError("info: '" + o.file + "' is not a .trk, .trz, .kml or .gpx track");
    }
    return kExitOk;
}

// Answers "Resample data?" as the command line said; errors go to stderr.
class InfoDialogs : public ConsoleDialogs {
public:
    explicit InfoDialogs(bool resample) : resample_(resample) {}
    bool AskYesNo(const std::string&, const std::string&) override { return resample_; }

private:
    bool resample_;
};

Settings InfoSettings(const InfoOptions& o) {
    const ProgramPaths paths = ResolvePaths(o.home, ProcessEnvironment());
    Settings settings = DefaultSettings(paths.documentsFolder);
    LoadSettings(paths.SettingsFile(), settings);
    if (!o.profile.empty()) settings.mUserProfile = ProfileNumber(o.profile);
    settings.mVoice = 0;
    return settings;
}

}  // namespace

int RunInfo(const Args& args) {
    InfoOptions o;
    const int parsed = ParseInfoOptions(args, o);
    if (parsed < 0) return kExitOk;
    if (parsed != kExitOk) return parsed;

    const Settings settings = InfoSettings(o);
    RecordSession session(settings, nullptr, [] { return int64_t{0}; });
    Track& track = session.CurrentTrack();
    session.Engine().ResetAll();

    InfoDialogs dialogs(o.resample);
    const ReadStatus status =
        ReadTrackFile(DisplayTrackFileType(o.file), o.file, track, dialogs);
    if (status == ReadStatus::CannotOpen) {
        std::fprintf(stderr, "trakomer-cli: cannot read '%s'\n", o.file.c_str());
        return kExitFailure;
    }
    if (status == ReadStatus::Corrupt) return kExitFailure;  // already reported
    if (track.loadedCount > 0) {
        OfferCleanup(track, dialogs, o.file);
        session.Engine().ProcessReview();
    }
    std::printf("%s\n", SummaryJson(settings.mUserProfile, {}, track, o.file).c_str());
    return kExitOk;
}

}  // namespace trakomer::cli

// trakomer-cli upload: sends a track file to the FTP server of the settings
// exactly as "Upload now" does while recording, and prints the status line.
// Users check their server settings with it. With --positions it sends the
// track's points (or, without a file, what is queued) to mPositionUrl through
// the same queue the recorder uses, and prints one JSON line.

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/record_session.h"
#include "core/clock.h"
#include "core/settings_file.h"
#include "core/track.h"
#include "files/file_types.h"
#include "files/track_io.h"
#include "platform/paths.h"
#include "upload/device_id.h"
#include "upload/file_writers.h"
#include "upload/network_manager.h"
#include "upload/position_uploader.h"
#include "upload/uploader.h"

namespace trakomer::cli {
namespace {

struct UploadOptions {
    std::string home;
    int uploadType = 0;  // 0: as the settings say
    bool positions = false;
    std::string trackPath;
};

// Parses the arguments; returns kExitOk or the usage error's exit code.
int ParseUploadArgs(Args args, UploadOptions& options) {
    bool missingHome = false;
    options.home = TakeHomeOption(args, missingHome);
    if (missingHome) return UsageError("upload: --home needs a folder");
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--type") {
            if (i + 1 >= args.size()) return UsageError("upload: --type needs 1, 2 or 3");
            const std::string& value = args[++i];
            if (value != "1" && value != "2" && value != "3")
                return UsageError("upload: --type must be 1, 2 or 3");
            options.uploadType = value[0] - '0';
        } else if (a == "--positions") {
            options.positions = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return UsageError("upload: unknown option '" + a + "'");
        } else if (options.trackPath.empty()) {
            options.trackPath = a;
        } else {
            return UsageError("upload: more than one TRACKFILE given");
        }
    }
    if (options.trackPath.empty() && !options.positions)
        return UsageError("upload: no TRACKFILE given");
    return kExitOk;
}

// Reads the track and makes it look just recorded: live, the newest point
// at its end.
bool LoadLiveTrack(const std::string& path, Track& track) {
    const TrackFileType type = DisplayTrackFileType(path);
    if (type == TrackFileType::None) {
        std::fprintf(stderr, "trakomer-cli: upload: '%s' is not a .trk, .trz or .kml track\n",
                     path.c_str());
        return false;
    }
    ConsoleDialogs dialogs;
    if (ReadTrackFile(type, path, track, dialogs) != ReadStatus::Ok) {
        std::fprintf(stderr, "trakomer-cli: upload: cannot read '%s'\n", path.c_str());
        return false;
    }
    if (track.loadedCount <= 0) {
        std::fprintf(stderr, "trakomer-cli: upload: '%s' holds no points\n", path.c_str());
        return false;
    }
    track.lastIndex = track.loadedCount - 1;
    track.loadedCount = 0;
    return true;
}

// Queues the track's points, sends everything queued and prints
// {"sent":n,"queued":n,"failed":n}; success when nothing stays queued.
int UploadPositions(const UploadOptions& options, const ProgramPaths& paths,
                    const Settings& settings) {
    if (settings.mPositionUrl.empty()) {
        std::fprintf(stderr, "trakomer-cli: upload: no position server set (mPositionUrl in %s)\n",
                     paths.SettingsFile().c_str());
        return kExitFailure;
    }
    auto track = std::make_unique<Track>();
    if (!options.trackPath.empty() && !LoadLiveTrack(options.trackPath, *track))
        return kExitFailure;
    SystemClock clock;
    upload::PositionUploader uploader(upload::PositionServices{clock,
                                                               paths.stateFolder,
                                                               upload::DeviceIdentifier(),
                                                               {},
                                                               upload::kDefaultPositionTimeoutMs});
    uploader.Offer(*track, settings, upload::PositionExtras{});
    const upload::PositionRun run = uploader.Send(settings, INT_MAX, true);
    JsonWriter json;
    json.BeginObject()
        .Field("sent", run.sent)
        .Field("queued", static_cast<int64_t>(uploader.Queued()))
        .Field("failed", run.failed)
        .EndObject();
    std::printf("%s\n", json.Text().c_str());
    if (!uploader.FailureDetail().empty())
        std::fprintf(stderr, "trakomer-cli: upload: %s\n", uploader.FailureDetail().c_str());
    return uploader.Queued() == 0 ? kExitOk : kExitFailure;
}

}  // namespace

int RunUpload(const Args& args) {
    if (args.size() == 1 && args[0] == "--help") {
        std::printf(
            "Usage: trakomer-cli upload [--home DIR] [--type 1|2|3] TRACKFILE\n"
            "       trakomer-cli upload [--home DIR] --positions [TRACKFILE]\n");
        return kExitOk;
    }
    UploadOptions options;
    if (const int parsed = ParseUploadArgs(args, options); parsed != kExitOk) return parsed;

    const ProgramPaths paths = ResolvePaths(options.home, ProcessEnvironment());
    Settings settings = DefaultSettings(paths.documentsFolder);
    LoadSettings(paths.SettingsFile(), settings);
    if (options.uploadType != 0) settings.mUploadType = options.uploadType;
    if (options.positions) return UploadPositions(options, paths, settings);
    if (settings.mFtpAddress.empty()) {
        std::fprintf(stderr, "trakomer-cli: upload: no FTP server set (mFtpAddress in %s)\n",
                     paths.SettingsFile().c_str());
        return kExitFailure;
    }
    auto track = std::make_unique<Track>();
    if (!LoadLiveTrack(options.trackPath, *track)) return kExitFailure;
    PrepareProgramFolders(paths);

    upload::NetworkManagerConnection network;
    upload::NoIdleTimer idleTimer;
    SystemClock clock;
    upload::Uploader uploader(upload::UploadServices{network,
                                                     idleTimer,
                                                     clock,
                                                     upload::FileUploadWriters(paths.dataFolder),
                                                     paths.dataFolder,
                                                     upload::DeviceIdentifier(),
                                                     {},
                                                     upload::kDefaultFtpTimeoutMs});
    const upload::UploadOutcome outcome = uploader.UploadNow(true, *track, settings);
    std::printf("%s\n", uploader.StatusText().c_str());
    if (!uploader.FailureDetail().empty())
        std::fprintf(stderr, "trakomer-cli: upload: %s\n", uploader.FailureDetail().c_str());
    return outcome == upload::UploadOutcome::Uploaded ? kExitOk : kExitFailure;
}

}  // namespace trakomer::cli

// trakomer-cli convert IN OUT: reads a track file by its extension and saves
// it by the extension of OUT, as the Open and Save commands do.

#include <cstdio>
#include <memory>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "core/settings_file.h"
#include "files/track_io.h"
#include "files/written_points.h"
#include "platform/file_io.h"
#include "platform/paths.h"

namespace trakomer::cli {
namespace {

// The program's messages go to standard error.
class StderrDialogs : public Dialogs {
public:
    void ShowMessage(const std::string& text, const std::string& caption, MessageIcon) override {
        std::fprintf(stderr, "trakomer-cli: %s: %s\n", caption.c_str(), text.c_str());
    }
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
};

// run.png from the user's program folder, else from the shipped data.
std::string IconFolder(const ProgramPaths& paths) {
    if (FileSize(paths.DataFile("run.png")) >= 0) return paths.dataFolder;
    return ShippedDataFolder();
}

}  // namespace

int RunConvert(const Args& arguments) {
    Args args = arguments;
    bool homeError = false;
    const std::string home = TakeHomeOption(args, homeError);
    if (homeError) return UsageError("convert: --home needs a folder");
    if (!args.empty() && args[0] == "--help") {
        std::printf(
            "Usage: trakomer-cli convert IN OUT [--home DIR]\n"
            "  IN: .trk, .trz, a .kml track or .gpx; OUT: .trk, .trz, .log, .kmz or .gpx\n");
        return kExitOk;
    }
    if (args.size() != 2) return UsageError("convert: give IN and OUT");
    const std::string& in = args[0];
    const std::string& out = args[1];
    const TrackFileType inType = DisplayTrackFileType(in);
    if (inType == TrackFileType::None) {
        return UsageError("convert: unknown input type '" + in + "' (.trk, .trz, .kml or .gpx)");
    }
    if (SaveFileType(out) == TrackFileType::None) {
        return UsageError("convert: unknown output type '" + out +
                          "' (.trk, .trz, .log, .kmz or .gpx)");
    }

    const ProgramPaths paths = ResolvePaths(home, ProcessEnvironment());
    Settings settings = DefaultSettings(paths.documentsFolder);
    LoadSettings(paths.SettingsFile(), settings);

    auto track = std::make_unique<Track>();
    StderrDialogs dialogs;
    const ReadStatus status = ReadTrackFile(inType, in, *track, dialogs);
    if (status == ReadStatus::CannotOpen) {
        std::fprintf(stderr, "trakomer-cli: convert: cannot read '%s'\n", in.c_str());
        return kExitFailure;
    }
    if (status == ReadStatus::Corrupt) return kExitFailure;
    // As after Open: the track is under review, positioned at its last point.
    track->lastIndex = std::max(track->loadedCount - 1, 0);

    const SaveContext context{settings, IconFolder(paths), paths.tempFolder};
    if (!SaveTrackFile(*track, out, context)) {
        std::fprintf(stderr, "trakomer-cli: convert: cannot write '%s'\n", out.c_str());
        return kExitFailure;
    }
    JsonWriter json;
    json.BeginObject()
        .Field("points", std::max(WrittenPointCount(*track), 0))
        .Field("out", std::string_view(out))
        .Field("bytes", int64_t{FileSize(out)})
        .EndObject();
    std::printf("%s\n", json.Text().c_str());
    return kExitOk;
}

}  // namespace trakomer::cli

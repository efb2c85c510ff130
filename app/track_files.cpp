#include "app/track_files.h"

#include "files/file_types.h"
#include "files/track_io.h"

namespace trakomer {

std::string FormatTrackFiles::AutoTrackName() { return autoSaver_.AutoTrackName(); }

bool FormatTrackFiles::WriteTrz(const std::string& path, const Track& track) {
    return autoSaver_.WriteTrz(path, track);
}

bool FormatTrackFiles::ReadTrack(const std::string& path, Track& track) {
    ReadTrackFile(OpenFileType(path), path, track, dialogs_);
    return track.loadedCount > 0;
}

bool FormatTrackFiles::SaveTrack(const std::string& path, const Track& track) {
    SaveContext context{settings_, dataFolder_, tempFolder_};
    return SaveTrackFile(track, path, context);
}

}  // namespace trakomer

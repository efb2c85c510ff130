#include "cli/track_saver.h"

#include "files/file_types.h"
#include "files/trk_file.h"
#include "platform/temp_file.h"

namespace trakomer::cli {

AutoTrzSaver::AutoTrzSaver(const Settings& settings, const Clock& clock, std::string folder)
    : settings_(settings), clock_(clock) {
    settings_.mDefaultFilePath = std::move(folder);
}

std::string AutoTrzSaver::AutoTrackName() { return trakomer::AutoTrackName(settings_, clock_); }

bool AutoTrzSaver::WriteTrz(const std::string& path, const Track& track) {
    if (!trakomer::WriteTrz(track, path, SystemTempFolder())) return false;
    savedPath_ = path;
    return true;
}

}  // namespace trakomer::cli

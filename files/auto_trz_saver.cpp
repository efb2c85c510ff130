#include "files/auto_trz_saver.h"

#include "files/file_types.h"
#include "files/trk_file.h"

namespace trakomer {

AutoTrzSaver::AutoTrzSaver(const Settings& settings, const Clock& clock, std::string tempFolder,
                           std::string folder)
    : settings_(settings),
      clock_(clock),
      tempFolder_(std::move(tempFolder)),
      folder_(std::move(folder)) {}

std::string AutoTrzSaver::AutoTrackName() {
    if (folder_.empty()) return trakomer::AutoTrackName(settings_, clock_);
    Settings inFolder = settings_;
    inFolder.mDefaultFilePath = folder_;
    return trakomer::AutoTrackName(inFolder, clock_);
}

bool AutoTrzSaver::WriteTrz(const std::string& path, const Track& track) {
    if (!trakomer::WriteTrz(track, path, tempFolder_)) return false;
    savedPath_ = path;
    return true;
}

}  // namespace trakomer

#include "files/auto_trz_saver.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "files/file_types.h"
#include "files/trk_file.h"

namespace trakomer {

AutoTrzSaver::AutoTrzSaver(const Settings& settings, const Clock& clock, std::string tempFolder,
                           std::string folder, std::string documentsFolder)
    : settings_(settings),
      clock_(clock),
      tempFolder_(std::move(tempFolder)),
      folder_(std::move(folder)),
      documentsFolder_(std::move(documentsFolder)) {}

std::string AutoTrzSaver::AutoTrackName() {
    return NameAt(clock_);
}

std::string AutoTrzSaver::AutoTrackNameAt(int64_t utcSeconds) {
    // The zone of now: a recording recovered across a change of summer
    // time is named an hour off, which is harmless.
    return NameAt(ManualClock(utcSeconds, clock_.LocalOffsetSeconds()));
}

std::string AutoTrzSaver::NameAt(const Clock& clock) const {
    Settings inFolder = settings_;
    if (!folder_.empty()) {
        inFolder.mDefaultFilePath = folder_;
    } else if (inFolder.mDefaultFilePath.empty()) {
        // Never a name relative to whatever the working folder is.
        inFolder.mDefaultFilePath = documentsFolder_;
    }
    return trakomer::AutoTrackName(inFolder, clock);
}

bool AutoTrzSaver::WriteTrz(const std::string& path, const Track& track) {
    failureReason_.clear();
    if (!documentsFolder_.empty() &&
        std::filesystem::path(path).parent_path() == std::filesystem::path(documentsFolder_)) {
        std::error_code ignored;  // a folder that cannot be made fails the save below
        std::filesystem::create_directories(documentsFolder_, ignored);
    }
    errno = 0;
    if (!trakomer::WriteTrz(track, path, tempFolder_)) {
        if (errno != 0) failureReason_ = std::strerror(errno);
        return false;
    }
    savedPath_ = path;
    return true;
}

}  // namespace trakomer

#pragma once
// Saving a stopped recording: the automatic name from the settings' folder
// and name format at the clock's local time, and a zipped track file.

#include <string>

#include "core/clock.h"
#include "core/recording_ports.h"
#include "core/settings.h"

namespace trakomer {

class AutoTrzSaver : public TrackSaver {
public:
    // The settings are read at each save, so a changed folder or name
    // format applies to the next one. A non-empty `folder` replaces
    // mDefaultFilePath; an empty mDefaultFilePath means `documentsFolder`,
    // created when missing. The track is zipped through `tempFolder`.
    AutoTrzSaver(const Settings& settings, const Clock& clock, std::string tempFolder,
                 std::string folder = {}, std::string documentsFolder = {});
    std::string AutoTrackName() override;
    std::string AutoTrackNameAt(int64_t utcSeconds) override;
    bool WriteTrz(const std::string& path, const Track& track) override;
    // The path of the last successful save ("" if none).
    const std::string& SavedPath() const { return savedPath_; }
    // The system's reason for the last failed save ("" if none is known).
    std::string FailureReason() const override { return failureReason_; }

private:
    std::string NameAt(const Clock& clock) const;

    const Settings& settings_;
    const Clock& clock_;
    std::string tempFolder_;
    std::string folder_;
    std::string documentsFolder_;
    std::string savedPath_;
    std::string failureReason_;
};

}  // namespace trakomer

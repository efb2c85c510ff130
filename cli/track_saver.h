#pragma once
// Saving a stopped recording for the headless tool: the automatic name in
// the chosen folder and a zipped track file.

#include <string>

#include "core/clock.h"
#include "core/recording_ports.h"
#include "core/settings.h"

namespace trakomer::cli {

class AutoTrzSaver : public TrackSaver {
public:
    // Names follow `settings` (name format) in `folder`, at the clock's
    // local time; the track is zipped through the system temporary folder.
    AutoTrzSaver(const Settings& settings, const Clock& clock, std::string folder);
    std::string AutoTrackName() override;
    bool WriteTrz(const std::string& path, const Track& track) override;
    // The path of the last successful save ("" if none).
    const std::string& SavedPath() const { return savedPath_; }

private:
    Settings settings_;
    const Clock& clock_;
    std::string savedPath_;
};

}  // namespace trakomer::cli

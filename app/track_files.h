#pragma once
// The window's access to track files: reading a track for review, saving
// by the name's extension and the automatic save at Stop. Tests replace
// it; the program uses the file formats module.

#include <string>

#include "core/clock.h"
#include "core/dialogs.h"
#include "core/recording_ports.h"
#include "core/settings.h"
#include "core/track.h"
#include "files/auto_trz_saver.h"

namespace trakomer {

class TrackFiles : public TrackSaver {
public:
    // Reads a .trk or .trz track into points 0..n-1 and sets loadedCount.
    virtual bool ReadTrack(const std::string& path, Track& track) = 0;
    // Saves by the first of ".trk", ".kmz", ".log", ".trz" the name holds;
    // a name with none of them saves nothing (false).
    virtual bool SaveTrack(const std::string& path, const Track& track) = 0;
};

class FormatTrackFiles : public TrackFiles {
public:
    FormatTrackFiles(const Settings& settings, const Clock& clock, Dialogs& dialogs,
                     std::string dataFolder, std::string tempFolder, std::string documentsFolder)
        : settings_(settings),
          dialogs_(dialogs),
          dataFolder_(std::move(dataFolder)),
          tempFolder_(std::move(tempFolder)),
          autoSaver_(settings, clock, tempFolder_, {}, std::move(documentsFolder)) {}
    std::string AutoTrackName() override;
    std::string AutoTrackNameAt(int64_t utcSeconds) override {
        return autoSaver_.AutoTrackNameAt(utcSeconds);
    }
    bool WriteTrz(const std::string& path, const Track& track) override;
    std::string FailureReason() const override { return autoSaver_.FailureReason(); }
    bool ReadTrack(const std::string& path, Track& track) override;
    bool SaveTrack(const std::string& path, const Track& track) override;

private:
    const Settings& settings_;
    Dialogs& dialogs_;
    std::string dataFolder_;
    std::string tempFolder_;
    AutoTrzSaver autoSaver_;
};

}  // namespace trakomer

#pragma once
// The window's access to track files: reading a track for review, saving
// by the name's extension and the automatic save at Stop. The file
// formats module provides the real readers and writers; until it is
// linked in, PendingTrackFiles stands in (it reads and writes nothing).

#include <string>

#include "core/recording_ports.h"
#include "core/settings.h"
#include "core/track.h"

namespace trakomer {

class TrackFiles : public TrackSaver {
public:
    // Reads a .trk or .trz track into points 0..n-1 and sets loadedCount.
    virtual bool ReadTrack(const std::string& path, Track& track) = 0;
    // Saves by the first of ".trk", ".kmz", ".log", ".trz" the name holds;
    // a name with none of them saves nothing (false).
    virtual bool SaveTrack(const std::string& path, const Track& track) = 0;
};

// The automatic name of a recording stopped at the given local time.
std::string AutomaticTrackName(const Settings& settings, long long localSeconds);

class PendingTrackFiles : public TrackFiles {
public:
    PendingTrackFiles(const Settings& settings, long long localOffsetSeconds)
        : settings_(settings), offset_(localOffsetSeconds) {}
    std::string AutoTrackName() override;
    bool WriteTrz(const std::string&, const Track&) override { return false; }
    bool ReadTrack(const std::string&, Track&) override { return false; }
    bool SaveTrack(const std::string&, const Track&) override { return false; }

private:
    const Settings& settings_;
    long long offset_;
};

}  // namespace trakomer

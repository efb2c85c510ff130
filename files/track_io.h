#pragma once
// Reading and saving the track by the file's type.

#include <cstdint>
#include <string>

#include "core/dialogs.h"
#include "core/settings.h"
#include "core/track.h"
#include "files/file_types.h"
#include "files/read_status.h"

namespace trakomer {

// Reads the file as the given type (.trk, .trz, a .kml track or .gpx). CannotOpen
// for the other types.
ReadStatus ReadTrackFile(TrackFileType type, const std::string& path, Track& track,
                         Dialogs& dialogs);

// What the writers need besides the track.
struct SaveContext {
    const Settings& settings;
    std::string dataFolder;  // holds run.png
    std::string tempFolder;  // for the .trz track name
};

// Saves the track in the form the name's extension asks for (Save rules:
// .trk, .kmz, .log, .trz, .gpx). False when the name has none of them or writing
// fails.
bool SaveTrackFile(const Track& track, const std::string& path, const SaveContext& context);

}  // namespace trakomer

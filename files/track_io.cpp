#include "files/track_io.h"

#include "files/gpx_reader.h"
#include "files/gpx_writer.h"
#include "files/kml_reader.h"
#include "files/kml_writer.h"
#include "files/log_file.h"
#include "files/trk_file.h"

namespace trakomer {

ReadStatus ReadTrackFile(TrackFileType type, const std::string& path, Track& track,
                         Dialogs& dialogs) {
    switch (type) {
        case TrackFileType::Trk: return ReadTrk(path, track, dialogs);
        case TrackFileType::Trz: return ReadTrz(path, track, dialogs);
        case TrackFileType::Kml: return ReadTrackKml(path, track);
        case TrackFileType::Gpx: return ReadTrackGpx(path, track, dialogs);
        default: return ReadStatus::CannotOpen;
    }
}

bool SaveTrackFile(const Track& track, const std::string& path, const SaveContext& context) {
    switch (SaveFileType(path)) {
        case TrackFileType::Trk: return WriteTrk(track, path);
        case TrackFileType::Kmz:
            return WriteTrackKmz(track, context.settings, path, context.dataFolder) >= 0;
        case TrackFileType::Log: return WriteLog(track, path);
        case TrackFileType::Trz: return WriteTrz(track, path, context.tempFolder);
        case TrackFileType::Gpx: return WriteTrackGpx(track, path);
        default: return false;
    }
}

}  // namespace trakomer

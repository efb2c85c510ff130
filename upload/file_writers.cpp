#include "upload/file_writers.h"

#include "files/kml_writer.h"

namespace trakomer::upload {

UploadWriters FileUploadWriters(const std::string& dataFolder) {
    UploadWriters writers;
    writers.location = [dataFolder](const std::string& path, const Track& track,
                                    const Settings& settings) {
        return WriteLocationKmz(track, settings, path, dataFolder);
    };
    writers.track = [dataFolder](const std::string& path, const Track& track,
                                 const Settings& settings) {
        return WriteTrackKmz(track, settings, path, dataFolder);
    };
    writers.changes = [](const std::string& path, const Track& track, int fromIndex) {
        return WriteChangesZip(track, path, fromIndex);
    };
    return writers;
}

}  // namespace trakomer::upload

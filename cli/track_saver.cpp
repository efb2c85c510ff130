#include "cli/track_saver.h"

#include <cstdio>

namespace trakomer::cli {

AutoTrzSaver::AutoTrzSaver(const Settings& settings, const Clock& clock, std::string folder)
    : settings_(settings), clock_(clock) {
    settings_.mDefaultFilePath = std::move(folder);
}

// Seam: the automatic name and the zipped track writer come from the track
// files module; until it is in the tree the recording is reported unsaved.
std::string AutoTrzSaver::AutoTrackName() {
    (void)clock_;
    return {};
}

bool AutoTrzSaver::WriteTrz(const std::string&, const Track&) {
    std::fprintf(stderr, "trakomer-cli: saving track files is not available in this build\n");
    return false;
}

}  // namespace trakomer::cli

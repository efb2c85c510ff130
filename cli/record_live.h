#pragma once
// trakomer-cli record --device: records live from a receiver on the wall
// clock until SIGINT or SIGTERM, which stop the recording as a confirmed
// Stop does (the track is saved).

#include <string>

#include "core/settings.h"

namespace trakomer::cli {

struct LiveRecordOptions {
    std::string device;    // device path, "demo" or "demo:PATH"
    int baudRate = 0;      // 0: the settings' baud rate
    std::string outDir;    // "" : the settings' default file folder
    bool autostart = false;
    int reopenIntervalMs = 2000;  // retry period after the receiver went away
    std::string journalFolder;    // "" : no recording journal
};

// Runs the recording; prints the summary JSON on standard output. Exit
// code 0 when stopped and saved (or when no fix ever came), 1 when the
// port cannot be opened or the track could not be saved.
int RecordLive(const LiveRecordOptions& options, Settings settings);

}  // namespace trakomer::cli

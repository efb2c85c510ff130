#pragma once
// The per-user folder that the recorder and the launcher share at run time:
// the single-instance sockets and the wake-up marker file lie there.

#include <string>

namespace trakomer {

// "$XDG_RUNTIME_DIR/trakomer", else "/tmp/trakomer-<uid>".
std::string RuntimeFolder();

// The marker file the launcher leaves after a scheduled wake-up.
constexpr const char* kWakeMarkerName = "_trkwake";

}  // namespace trakomer

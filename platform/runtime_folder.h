#pragma once
// The per-user folder that the recorder and the launcher share at run time:
// the single-instance sockets and the wake-up marker file lie there.

#include <string>

namespace trakomer {

// "$XDG_RUNTIME_DIR/trakomer", else "/tmp/trakomer-<uid>".
std::string RuntimeFolder();

// Creates the folder (owner only) when it is missing and checks that it is
// a folder of this user's that nobody else may write to: "" when it may be
// used, else why not. A folder under /tmp has a predictable name that
// another user may have taken first.
std::string PrepareRuntimeFolder(const std::string& folder);

// Creates the empty marker file without following a symbolic link and
// without truncating a file that is there already. False when it could not.
bool CreateMarkerFile(const std::string& path);

// The marker file the launcher leaves after a scheduled wake-up.
constexpr const char* kWakeMarkerName = "_trkwake";

}  // namespace trakomer

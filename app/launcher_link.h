#pragma once
// The recorder's side of the launcher: where `trastart` is and removing its
// pending run.

#include <string>

#include "platform/run_at_time.h"

namespace trakomer {

// The launcher beside the recorder: the recorder's path with its last five
// characters replaced ("/x/trakomer" gives "/x/trastart"; the two names
// share their first three letters).
std::string DerivedLauncherPath(const std::string& recorderPath);

// The derived path if that file can be opened for reading, else
// `installedPath`.
std::string LauncherPath(const std::string& recorderPath, const std::string& installedPath);

// Registers the launcher with no time: any pending run is removed.
void CancelLauncher(Scheduler& scheduler, const AppCommand& launcher);

}  // namespace trakomer

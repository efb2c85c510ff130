#pragma once
// The recorder's side of the launcher: where `trastart` is, removing its
// pending run, and the profile change that does so when leaving Blackbox.

#include <functional>
#include <string>

#include "core/settings.h"
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

// The General page's profile (list index + 1): sets mUserProfile; any
// profile but Blackbox removes the pending launcher run; then re-arms the
// timers.
void ApplyProfile(Settings& settings, int profile, Scheduler& scheduler, const AppCommand& launcher,
                  const std::function<void()>& armTimers);

}  // namespace trakomer

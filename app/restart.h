#pragma once
// Restarting the recorder after preference changes that need it. Once Exit
// has written the settings and the window and its single-instance socket
// are gone, the process replaces itself with a new run of its own
// executable with the same arguments. No scheduler is involved: a timer
// made for a moment that has passed by the time it is set never fires, and
// a new instance started while the old one still listens would just end.

#include <string>
#include <vector>

namespace trakomer {

// Replaces the process with its own executable run with `argv` (argv[0]
// first). Returns only when that failed, with the reason.
std::string ExecSelf(const std::vector<std::string>& argv);

}  // namespace trakomer

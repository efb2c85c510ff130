#pragma once
// Start-up of the recorder: options, settings, the single-instance socket
// and the main window.

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/single_instance.h"


namespace trakomer {

struct StartOptions {
    std::string home;    // --home DIR
    std::string device;  // --device PATH (overrides mCommDevice for this run)
    std::string renderPreferences;  // --render-preferences OUTDIR
};

// False with a message for an unknown option or a missing value.
bool ParseStartOptions(std::vector<std::string> args, StartOptions& options, std::string& error);

// Everything that lives from start to exit.
struct Shell {
    ProgramPaths paths;
    Settings settings;
    InstanceServer instance;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<QSocketNotifier> notifier;
};

// Loads the settings, listens for later instances, creates and shows the
// window and starts it. Null when another instance already listens.
std::unique_ptr<Shell> StartShell(const StartOptions& options, const std::string& socketPath,
                                  const WindowServices& services = {});

// Creates the toolkit and the shell and runs the window until it ends;
// `started` is told of the running shell (to hook up more). Null when
// another instance already listens (exit code 0). After a restart request
// the process replaces itself with a new run of argv once the window, the
// single-instance socket and the toolkit are gone; only a failed restart
// returns then (code 1, said on standard error). Returns the exit code.
int RunShell(int& argc, char** argv, const StartOptions& options, const std::string& socketPath,
             const WindowServices& services, const std::function<void(Shell&)>& started);

}  // namespace trakomer

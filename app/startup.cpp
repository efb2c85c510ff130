#include "app/startup.h"

#include <QApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <filesystem>

#include "app/restart.h"
#include "core/settings_file.h"

namespace trakomer {

bool ParseStartOptions(std::vector<std::string> args, StartOptions& options, std::string& error) {
    bool missing = false;
    options.home = TakeHomeOption(args, missing);
    if (missing) {
        error = "--home needs a folder";
        return false;
    }
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--device" && i + 1 < args.size()) {
            options.device = args[++i];
        } else if (arg.rfind("--device=", 0) == 0) {
            options.device = arg.substr(9);
        } else if (arg == "--render-preferences" && i + 1 < args.size()) {
            options.renderPreferences = args[++i];
        } else if (arg == "--render-preferences") {
            error = "--render-preferences needs a folder";
            return false;
        } else if (arg == "--device") {
            error = "--device needs a device path";
            return false;
        } else {
            error = "unknown option " + arg;
            return false;
        }
    }
    return true;
}

std::unique_ptr<Shell> StartShell(const StartOptions& options, const std::string& socketPath,
                                  const WindowServices& services) {
    auto shell = std::make_unique<Shell>();
    if (!shell->instance.Listen(socketPath)) return nullptr;
    shell->paths = ResolvePaths(options.home, ProcessEnvironment());
    PrepareProgramFolders(shell->paths);
    shell->settings = DefaultSettings(shell->paths.documentsFolder);
    LoadSettings(shell->paths.SettingsFile(), shell->settings);
    const std::string savedDevice = shell->settings.mCommDevice;
    if (!options.device.empty()) shell->settings.mCommDevice = options.device;

    shell->window = std::make_unique<MainWindow>(shell->settings, shell->paths, services);
    if (!options.device.empty()) shell->window->SetSavedCommDevice(savedDevice);
    // Scheduled starts (the launcher, a restart) keep the home folder.
    if (!options.home.empty()) {
        shell->window->SetRunArguments(
            {"--home", std::filesystem::absolute(options.home).string()});
    }
    shell->window->show();
    shell->window->StartUp();

    Shell* raw = shell.get();
    shell->notifier = std::make_unique<QSocketNotifier>(shell->instance.Fd(),
                                                        QSocketNotifier::Read);
    QObject::connect(shell->notifier.get(), &QSocketNotifier::activated, [raw] {
        if (raw->instance.AcceptRequest() + "\n" == kRaiseRequest) raw->window->Raise();
    });
    return shell;
}

int RunShell(int& argc, char** argv, const StartOptions& options, const std::string& socketPath,
             const WindowServices& services, const std::function<void(Shell&)>& started) {
    // Taken before the toolkit removes the options it knows from argv.
    const std::vector<std::string> arguments(argv, argv + argc);
    int code = 0;
    bool restart = false;
    {
        QApplication::setDesktopFileName("trakomer");
        QApplication app(argc, argv);
        QApplication::setApplicationName("trakomer");
        auto shell = StartShell(options, socketPath, services);
        if (!shell) return 0;  // lost the race to another instance
        if (started) started(*shell);
        code = QApplication::exec();
        restart = shell->window->RestartRequested();
    }
    if (!restart) return code;
    const std::string problem = ExecSelf(arguments);
    std::fprintf(stderr, "trakomer: cannot start again: %s\n", problem.c_str());
    return 1;
}

}  // namespace trakomer

#include "app/render_screen.h"

#include <QApplication>
#include <QImage>

#include <cstdio>

#include "app/command_ids.h"
#include "app/main_window.h"
#include "core/settings_file.h"
#include "screens/screens.h"

namespace trakomer {
namespace {

// Messages go to standard error; questions (resample?) are answered No.
class ConsoleDialogs : public Dialogs {
public:
    void ShowMessage(const std::string& text, const std::string& caption, MessageIcon) override {
        std::fprintf(stderr, "trakomer: %s: %s\n", caption.c_str(), text.c_str());
    }
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
};

// The Open dialog's answer is the track of the command line.
class FixedChooser : public FileChooser {
public:
    explicit FixedChooser(std::string name) : name_(std::move(name)) {}
    bool Choose(FileDialogKind kind, Settings&, std::string& name) override {
        if (kind != FileDialogKind::Open) return false;
        name = name_;
        return true;
    }

private:
    std::string name_;
};

bool ParseInt(const std::string& text, int& value) {
    char* end = nullptr;
    const long n = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || n < 0 || n > 100000) return false;
    value = static_cast<int>(n);
    return true;
}

bool ParseSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find('x');
    return x != std::string::npos && ParseInt(text.substr(0, x), width) &&
           ParseInt(text.substr(x + 1), height) && width >= 16 && height >= 16 && width <= 4096 &&
           height <= 4096;
}

bool ParseScale(const std::string& text, double& scale) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(value >= 1.0 && value <= 4.0)) return false;
    scale = value;
    return true;
}

}  // namespace

bool TakeRenderOptions(std::vector<std::string>& args, RenderOptions& options, std::string& error) {
    std::vector<std::string> rest;
    bool any = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool ours =
            arg == "--render-screen" || arg == "--track" || arg == "--out" || arg == "--size" ||
            arg == "--scale";
        if (!ours) {
            rest.push_back(arg);
            continue;
        }
        if (i + 1 >= args.size()) {
            error = arg + " needs a value";
            return false;
        }
        const std::string& value = args[++i];
        any = true;
        if (arg == "--render-screen" && (!ParseInt(value, options.screen) || options.screen > 5)) {
            error = "--render-screen takes a screen from 0 to 5";
            return false;
        }
        if (arg == "--size" && !ParseSize(value, options.width, options.height)) {
            error = "--size takes WIDTHxHEIGHT, for example 480x640";
            return false;
        }
        if (arg == "--scale" && !ParseScale(value, options.scale)) {
            error = "--scale takes a factor from 1 to 4, for example 2";
            return false;
        }
        if (arg == "--track") options.track = value;
        if (arg == "--out") options.out = value;
    }
    if (any && (options.screen < 0 || options.track.empty() || options.out.empty())) {
        error = "--render-screen, --track and --out go together";
        return false;
    }
    args = rest;
    return true;
}

int RenderScreen(const std::string& home, const RenderOptions& options) {
    const ProgramPaths paths = ResolvePaths(home, ProcessEnvironment());
    PrepareProgramFolders(paths);
    Settings settings = DefaultSettings(paths.documentsFolder);
    LoadSettings(paths.SettingsFile(), settings);
    ConsoleDialogs dialogs;
    FixedChooser chooser(options.track);
    SilentSpeaker speaker;
    WindowServices services;
    services.dialogs = &dialogs;
    services.files = &chooser;
    services.speaker = &speaker;
    services.sleep = [](int) {};
    services.holdDrawing = true;
    // Only the track and globe screens show images; the others are drawn
    // after one frame of screen 0 that only sets the map scale.
    services.screenImages = options.screen == kScreenTrackAltitude ||
                            options.screen == kScreenTrackSpeed || options.screen == kScreenGlobe;
    MainWindow window(settings, paths, services);
    window.resize(options.width, options.height);
    window.show();
    window.RunCommand(kCmdOpen);
    for (int id = 1; id <= 5; ++id) window.Timer(id).stop();
    if (window.CurrentTrack().lastIndex < 0) {
        std::fprintf(stderr, "trakomer: no track points in %s\n", options.track.c_str());
        return 1;
    }
    // The screen area gets the asked size, below the menu bar and the
    // review buttons that the opened track brought.
    QApplication::processEvents();
    const QSize area = window.ScreenAreaSize();
    window.resize(window.width() + options.width - area.width(),
                  window.height() + options.height - area.height());
    QApplication::processEvents();
    // One frame of the set-up window, whose map scale the screen's texts
    // read, then the screen itself.
    window.ReleaseDrawing();
    window.ShowScreen(options.screen);
    const QImage image = window.GrabScreenArea();
    if (image.isNull() || !image.save(QString::fromStdString(options.out), "PNG")) {
        std::fprintf(stderr, "trakomer: cannot write %s\n", options.out.c_str());
        return 1;
    }
    return 0;
}

}  // namespace trakomer

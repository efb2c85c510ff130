#include "app/render_preferences.h"

#include <QApplication>
#include <QImage>
#include <QTabWidget>

#include <cstdio>
#include <filesystem>

#include "core/settings_file.h"
#include "gps/source_list.h"
#include "platform/paths.h"
#include "prefs/preferences_sheet.h"

namespace trakomer {

namespace {

// The sheet only looks: nothing is applied while rendering.
class NoHost : public prefs::PreferencesHost {
public:
    void CancelLauncher() override {}
    void RearmTimers() override {}
    void ResizeGl() override {}
    void ReopenReceiver() override {}
    void ReloadWaypoints() override {}
    void SaveSettingsFile() override {}
    void RequestRestart() override {}
    void StopPointTick() override {}
    SerialPort& ReceiverPort() override { return port_; }
    SharedGpsFix& ReceiverFix() override { return fix_; }

private:
    SerialPort port_;
    SharedGpsFix fix_;
};

// The main window's size.
constexpr int kWindowWidth = 480;
constexpr int kWindowHeight = 640;

}  // namespace

int RenderPreferences(const std::string& home, const std::string& outDir) {
    const ProgramPaths paths = ResolvePaths(home, ProcessEnvironment());
    Settings settings = DefaultSettings(paths.documentsFolder);
    LoadSettings(paths.SettingsFile(), settings);
    std::error_code error;
    std::filesystem::create_directories(outDir, error);

    NoHost host;
    prefs::SheetServices services;
    services.ports = EnumerateSources();
    prefs::PreferencesSheet sheet(settings, host, std::move(services));
    sheet.resize(kWindowWidth, kWindowHeight);
    sheet.show();
    int failures = 0;
    for (size_t i = 0; i < prefs::kPageFiles.size(); ++i) {
        sheet.Pages()->setCurrentIndex(static_cast<int>(i));
        QApplication::processEvents();
        const std::filesystem::path file = std::filesystem::path(outDir) / prefs::kPageFiles[i];
        if (!sheet.grab().toImage().save(QString::fromStdString(file.string()), "PNG")) {
            std::fprintf(stderr, "trakomer: cannot write %s\n", file.c_str());
            ++failures;
        }
    }
    sheet.hide();
    return failures == 0 ? 0 : 1;
}

}  // namespace trakomer

// The preference sheet on the real window: a scan over two pseudo-terminals
// (one silent, one answering at 4800 baud) finds the receiver, and OK moves
// the recorder to it at once.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "app/command_ids.h"
#include "app/main_window.h"
#include "core/settings_file.h"
#include "core/timer_plan.h"
#include "prefs/preferences_sheet.h"
#include "tests/gps/nmea_test_util.h"
#include "tests/app/quiet_power.h"
#include "tests/gps/pty_pair.h"
#include "upload/connection_manager.h"

namespace trakomer {
namespace {

namespace fs = std::filesystem;

// Sends a valid fix every 15 ms while the port is set to its baud rate, and
// garbage at any other rate.
class FakeReceiver {
public:
    explicit FakeReceiver(int baudRate) : baudRate_(baudRate) {
        thread_ = std::thread([this] { Run(); });
    }
    ~FakeReceiver() {
        stop_.store(true);
        thread_.join();
    }
    const std::string& SlavePath() const { return pty_.SlavePath(); }

private:
    void Run() {
        const std::string valid = test::WithChecksum(
            "GPRMC,120000.00,A,4807.038,N,01131.000,E,022.4,084.4,150309,003.1,W");
        const std::string garbage(40, '\xA5');
        while (!stop_.load()) {
            const std::string& bytes = pty_.SlaveBaudRate() == baudRate_ ? valid : garbage;
            [[maybe_unused]] const ssize_t n = write(pty_.Master(), bytes.data(), bytes.size());
            std::this_thread::sleep_for(std::chrono::milliseconds(15));
        }
    }

    test::PtyPair pty_;
    const int baudRate_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class NoQuestions : public Dialogs {
public:
    void ShowMessage(const std::string&, const std::string&, MessageIcon) override {}
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
};

class PreferencesWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "app_preferences_test";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) new QApplication(argc, argv);
    }

    void SetUp() override {
        char pattern[] = "/tmp/trakomer-prefs-window-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        home_ = pattern;
        paths_.configFolder = paths_.dataFolder = paths_.tempFolder = home_;
        paths_.documentsFolder = home_;
        settings_ = DefaultSettings(home_);
        settings_.mVoice = 0;
        settings_.mCommDevice = home_ + "/no-such-port";
        WindowServices services;
        services.dialogs = &dialogs_;
        services.speaker = &speaker_;
        services.network = &network_;
        services.power = &power_;
        services.scheduler = &scheduler_;
        window_ = std::make_unique<MainWindow>(settings_, paths_, services);
        window_->show();
        window_->StartUp();
    }

    void TearDown() override {
        window_.reset();
        fs::remove_all(home_);
    }

    std::string home_;
    ProgramPaths paths_;
    Settings settings_;
    NoQuestions dialogs_;
    SilentSpeaker speaker_;
    upload::ScriptedConnection network_{{upload::kNetConnected}};
    test::QuietPower power_;
    test::RecordingScheduler scheduler_;
    std::unique_ptr<MainWindow> window_;
};

TEST_F(PreferencesWindowTest, ScanFindsTheReceiverAndOkReopensTheRecorderOnIt) {
    test::PtyPair silent;
    FakeReceiver receiver(4800);
    ASSERT_TRUE(window_->Port().openFailed);

    prefs::SheetServices services;
    services.ports = {{silent.SlavePath(), ""}, {receiver.SlavePath(), "Bluetooth"}};
    services.scan.settleMs = 150;
    prefs::PreferencesSheet sheet(settings_, *window_, std::move(services), window_.get());
    sheet.show();
    sheet.Pages()->setCurrentIndex(1);
    auto* scan = sheet.findChild<QPushButton*>("scan");
    ASSERT_NE(scan, nullptr);
    scan->click();  // returns when the scan ended

    EXPECT_EQ(sheet.findChild<QLabel*>("status")->text().toStdString(),
              "Success!\nGPS found on above settings.\nScan complete.");
    EXPECT_EQ(sheet.findChild<QComboBox*>("port")->currentIndex(), 1);
    EXPECT_EQ(sheet.findChild<QComboBox*>("baudRate")->currentText(), "4800");
    EXPECT_FALSE(window_->Timer(2).isActive());  // the point tick waits for the sheet

    sheet.findChild<QPushButton*>("ok")->click();
    EXPECT_EQ(settings_.mCommDevice, receiver.SlavePath());
    EXPECT_EQ(settings_.mBaudRate, 4800);
    EXPECT_FALSE(window_->Port().openFailed);
    EXPECT_EQ(window_->Port().devicePath, receiver.SlavePath());
    EXPECT_TRUE(window_->Timer(2).isActive());
    const uint32_t count = window_->Gps().SentenceCount();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window_->Gps().SentenceCount() > count + 2; }, 5000));

    Settings saved = DefaultSettings(home_);
    ASSERT_TRUE(LoadSettings(paths_.SettingsFile(), saved));
    EXPECT_EQ(saved.mCommDevice, receiver.SlavePath());
}

TEST_F(PreferencesWindowTest, PreferencesCommandAppliesTheProfileAndWritesTheSettings) {
    bool modalSeen = false;
    QTimer::singleShot(0, window_.get(), [&] {
        QWidget* sheet = QApplication::activeModalWidget();
        ASSERT_NE(sheet, nullptr);
        modalSeen = sheet->windowTitle() == "Preferences";
        sheet->findChild<QComboBox*>("profile")->setCurrentIndex(0);  // Walk
        sheet->findChild<QPushButton*>("ok")->click();
    });
    window_->RunCommand(kCmdPreferences);
    EXPECT_TRUE(modalSeen);
    EXPECT_EQ(settings_.mUserProfile, 1);
    EXPECT_EQ(window_->Timer(2).interval(), PointPeriodMs(1));
    // Any profile but Blackbox removes the launcher's pending run.
    EXPECT_EQ(scheduler_.runs, (std::vector<std::pair<std::string, bool>>{
                                   {window_->LauncherCommand().path, false}}));
    Settings saved = DefaultSettings(home_);
    ASSERT_TRUE(LoadSettings(paths_.SettingsFile(), saved));
    EXPECT_EQ(saved.mUserProfile, 1);
}

TEST_F(PreferencesWindowTest, CancelDuringAScanRestoresTheReceiver) {
    test::PtyPair silent;
    prefs::SheetServices services;
    services.ports = {{silent.SlavePath(), ""}};
    services.scan.settleMs = 400;
    prefs::PreferencesSheet sheet(settings_, *window_, std::move(services), window_.get());
    sheet.show();
    sheet.Pages()->setCurrentIndex(1);
    QTimer::singleShot(100, &sheet, [&] { sheet.findChild<QPushButton*>("cancel")->click(); });
    sheet.findChild<QPushButton*>("scan")->click();
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(sheet.findChild<QLabel*>("status")->text().toStdString(), "No valid settings found!");
    EXPECT_EQ(settings_.mCommDevice, home_ + "/no-such-port");
    EXPECT_EQ(window_->Port().devicePath, home_ + "/no-such-port");
    EXPECT_TRUE(window_->Timer(2).isActive());
    EXPECT_FALSE(fs::exists(paths_.SettingsFile()));
}

}  // namespace
}  // namespace trakomer

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QMenu>
#include <QToolBar>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/screen_widget.h"
#include "app/single_instance.h"
#include "app/window_helpers.h"
#include "files/gpx_reader.h"
#include "files/gpx_writer.h"
#include "files/kml_reader.h"
#include "files/kml_writer.h"
#include "files/journal_recovery.h"
#include "files/recording_journal.h"
#include "files/trk_file.h"
#include "screens/screens.h"
#include "tests/upload/pyftpd_server.h"
#include "upload/connection_manager.h"
#include "upload/device_id.h"
#include "tests/gps/nmea_test_util.h"
#include "tests/app/quiet_power.h"
#include "tests/gps/pty_pair.h"

namespace trakomer {
namespace {

using test::WithChecksum;

namespace fs = std::filesystem;

// One second of a receiver with a 3D fix, walking north.
std::string FixSecond(int second) {
    char time[32], lat[32];
    std::snprintf(time, sizeof time, "1200%02d.00", second % 60);
    std::snprintf(lat, sizeof lat, "4807.%03d", 100 + second * 5);
    return WithChecksum(std::string("GPRMC,") + time + ",A," + lat +
                        ",N,01131.000,E,4.0,0.0,250109,,") +
           WithChecksum(std::string("GPGGA,") + time + "," + lat +
                        ",N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,") +
           WithChecksum("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1");
}

class ScriptedDialogs : public Dialogs {
public:
    void ShowMessage(const std::string& text, const std::string& caption, MessageIcon) override {
        messages.push_back({caption, text});
    }
    bool AskYesNo(const std::string& text, const std::string& caption) override {
        questions.push_back({caption, text});
        return answer;
    }
    bool answer = true;
    std::vector<std::pair<std::string, std::string>> messages, questions;
};

class ScriptedChooser : public FileChooser {
public:
    bool Choose(FileDialogKind, Settings&, std::string& name) override {
        name = next;
        return !next.empty();
    }
    std::string next;
};

struct Spoken {
    std::string text;
    bool wait;
    bool operator==(const Spoken&) const = default;
};

class RecordingSpeaker : public Speaker {
public:
    void Speak(const std::string& text, bool wait) override { said.push_back({text, wait}); }
    bool Said(const std::string& text) const {
        for (const Spoken& s : said) {
            if (s.text == text) return true;
        }
        return false;
    }
    std::vector<Spoken> said;
};

class WindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "app_window_test";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) app_ = new QApplication(argc, argv);
    }

    void SetUp() override {
        char pattern[] = "/tmp/trakomer-window-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        home_ = pattern;
        paths_.configFolder = home_;
        paths_.dataFolder = home_;
        paths_.documentsFolder = home_ + "/Documents";
        paths_.tempFolder = home_;
        fs::create_directories(paths_.documentsFolder);
        settings_ = DefaultSettings(paths_.documentsFolder);
        settings_.mUserProfile = 4;  // Car: a point every second
        settings_.mAutoStart = 0;
        settings_.mCommDevice = home_ + "/no-such-port";
    }

    void TearDown() override {
        window_.reset();
        fs::remove_all(home_);
    }

    // With `commands`, the window makes its own scheduler and runs them.
    void Create(CommandRunner* commands = nullptr) {
        WindowServices services;
        services.dialogs = &dialogs_;
        services.files = &chooser_;
        services.speaker = &speaker_;
        services.network = &network_;
        services.power = &power_;
        services.scheduler = commands ? nullptr : &scheduler_;
        services.commands = commands;
        window_ = std::make_unique<MainWindow>(settings_, paths_, services);
        window_->show();
        window_->StartUp();
    }

    // Feeds a few seconds of fix and runs that many point ticks.
    void Record(int seconds) {
        for (int s = 0; s < seconds; ++s) {
            std::string bytes = FixSecond(fed_++);
            window_->Gps().Feed(bytes.data(), bytes.size());
            window_->Engine().OnPointTick();
        }
    }

    void TapStartArea() {
        window_->StylusDown(2, window_->centralWidget()->height() - 2);
        window_->StylusUp(2, window_->centralWidget()->height() - 2);
    }

    static inline QApplication* app_ = nullptr;
    std::string home_;
    ProgramPaths paths_;
    Settings settings_;
    ScriptedDialogs dialogs_;
    ScriptedChooser chooser_;
    RecordingSpeaker speaker_;
    upload::ScriptedConnection network_{{upload::kNetConnected}};
    test::QuietPower power_;
    test::RecordingScheduler scheduler_;
    std::unique_ptr<MainWindow> window_;
    int fed_ = 0;
};

TEST_F(WindowTest, DemoReceiverOnPseudoTerminalReachesThreeDimensionalFix) {
    std::string log;
    for (int s = 0; s < 30; ++s) log += FixSecond(s);
    std::ofstream(home_ + "/short.nmea") << log;
    settings_.mCommDevice = "demo:" + home_ + "/short.nmea";
    Create();
    ASSERT_FALSE(window_->Port().openFailed) << window_->Port().errorText;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            window_->Engine().OnPointTick();
            return window_->Texts().fields[kFieldFixmode].longForm.rfind("3d Fix", 0) == 0;
        },
        10000));
}

TEST_F(WindowTest, ReceiverUnpluggedAndBackBehindItsSymlinkKeepsRecording) {
    const std::string link = home_ + "/gps-receiver";
    auto first = std::make_unique<test::PtyPair>();
    ASSERT_TRUE(first->Valid());
    fs::create_symlink(first->SlavePath(), link);
    settings_.mCommDevice = link;
    Create();
    ASSERT_FALSE(window_->Port().openFailed) << window_->Port().errorText;
    auto feedUntilRecorded = [&](test::PtyPair& receiver, int from) {
        const int before = window_->CurrentTrack().lastIndex;
        int second = from;
        return QTest::qWaitFor(
            [&] {
                receiver.WriteAll(FixSecond(second++));
                QTest::qWait(50);
                window_->Engine().OnPointTick();
                return window_->CurrentTrack().lastIndex >= before + 2;
            },
            5000);
    };
    ASSERT_TRUE(first->WriteAll(FixSecond(0)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window_->Gps().Snapshot().rmcStatus == 'A'; }, 3000));
    TapStartArea();
    ASSERT_EQ(window_->Engine().State().recordingState, RecordingState::Started);
    ASSERT_TRUE(feedUntilRecorded(*first, 1));
    const int recorded = window_->CurrentTrack().lastIndex;

    first.reset();  // unplugged
    ASSERT_TRUE(QTest::qWaitFor([&] { return window_->Port().ReceiverLost(); }, 2000));
    EXPECT_EQ(window_->Gps().Snapshot().rmcStatus, 'V');
    window_->Engine().OnPointTick();
    EXPECT_EQ(window_->CurrentTrack().lastIndex, recorded);  // no stale points
    EXPECT_EQ(window_->Texts().screenText.rfind("GPS receiver lost\n", 0), 0u)
        << window_->Texts().screenText;

    test::PtyPair second;
    ASSERT_TRUE(second.Valid());
    fs::create_symlink(second.SlavePath(), link + ".new");
    fs::rename(link + ".new", link);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window_->Port().ReceiverLost(); }, 5000));
    ASSERT_TRUE(feedUntilRecorded(second, 30));
    EXPECT_EQ(window_->Engine().State().recordingState, RecordingState::Started);
    EXPECT_EQ(window_->Texts().screenText.find("GPS receiver lost"), std::string::npos);
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(WindowTest, FailedPortShowsCommunicationsHintAndErrorText) {
    Create();
    EXPECT_TRUE(window_->Port().openFailed);
    EXPECT_NE(window_->HintText().find("Tools->Preferences->NMEA"), std::string::npos);
    window_->KeyReleased(Qt::Key_Right);  // idle: 0 -> 1
    EXPECT_EQ(window_->Texts().screenText, window_->Port().errorText);
}

TEST_F(WindowTest, FingerSwipesStepScreensAndReviewButtonsGrowToAFingersSize) {
    static QPointingDevice* finger = QTest::createTouchDevice();  // kept for the process
    Create();
    ASSERT_NE(window_->findChild<QToolBar*>(), nullptr);
    EXPECT_EQ(window_->findChild<QToolBar*>()->iconSize(), QSize(32, 32));
    QMenu* tools = window_->findChild<QMenu*>();
    ASSERT_NE(tools, nullptr);
    tools->ensurePolished();
    EXPECT_GE(tools->actionGeometry(tools->actions().front()).height(), 40);
    auto* screen = dynamic_cast<ScreenWidget*>(window_->centralWidget());
    ASSERT_NE(screen, nullptr);
    // The wiring is under test, not the timing: a slow (sanitised) frame
    // between press and release must not turn the swipe into a drag.
    screen->touch.swipeMs = 60000;
    const int y = screen->height() / 2;
    auto swipe = [&](int fromX, int toX) {
        QTest::touchEvent(screen, finger).press(0, QPoint(fromX, y));
        QTest::touchEvent(screen, finger).move(0, QPoint((fromX + toX) / 2, y));
        QTest::touchEvent(screen, finger).release(0, QPoint(toX, y));
    };
    swipe(screen->width() - 10, 10);  // idle: 0 -> 1
    EXPECT_EQ(window_->CurrentScreen(), 1);
    swipe(10, screen->width() - 10);
    EXPECT_EQ(window_->CurrentScreen(), 0);
}

TEST_F(WindowTest, ExitSavesSettingsButNotTheDeviceChosenForThisRun) {
    settings_.mCommDevice = "/dev/ttyUSB7";
    Create();
    window_->SetSavedCommDevice("/dev/ttyUSB7");
    settings_.mCommDevice = home_ + "/other-port";  // as --device would set it
    settings_.mUserProfile = 2;
    window_->RunCommand(kCmdExit);
    std::ifstream file(paths_.SettingsFile());
    const std::string text((std::istreambuf_iterator<char>(file)), {});
    EXPECT_NE(text.find("mCommDevice:/dev/ttyUSB7"), std::string::npos) << text;
    EXPECT_EQ(text.find("other-port"), std::string::npos);
    EXPECT_NE(text.find("mUserProfile: 2"), std::string::npos);
}

TEST_F(WindowTest, RestartRunsExitWithoutSchedulingTheRecorder) {
    Create();
    window_->RequestRestart();
    EXPECT_TRUE(window_->RestartRequested());
    const std::vector<std::pair<std::string, bool>> expected = {
        {window_->LauncherCommand().path, false}};
    EXPECT_EQ(scheduler_.runs, expected);
    EXPECT_TRUE(fs::exists(paths_.SettingsFile()));
}

// Stand-in systemctl and systemd-run: a user manager that refuses timers
// that wake the machine. Records on which thread each command ran.
class RefusingUserManager : public CommandRunner {
public:
    int Run(const std::vector<std::string>& argv) override {
        std::lock_guard lock(mutex_);
        threads_.push_back(std::this_thread::get_id());
        const bool wakeTimerCheck = argv.size() == 5 && argv[2] == "is-active" &&
                                    argv[4].find("-plain") == std::string::npos;
        return wakeTimerCheck ? 3 : 0;
    }
    std::vector<std::thread::id> Threads() {
        std::lock_guard lock(mutex_);
        return threads_;
    }

private:
    std::mutex mutex_;
    std::vector<std::thread::id> threads_;
};

TEST_F(WindowTest, WakeUpRefusedByTheUserManagerIsSaidWithoutWaitingOnTheWindow) {
    RefusingUserManager manager;
    settings_.mUserProfile = 6;
    // The wake-up marker is looked for in a runtime folder of the test's own.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = runtime ? runtime : "";
    setenv("XDG_RUNTIME_DIR", home_.c_str(), 1);
    Create(&manager);
    runtime ? setenv("XDG_RUNTIME_DIR", saved.c_str(), 1) : unsetenv("XDG_RUNTIME_DIR");
    window_->OnTimer(5);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window_->LastNotice().empty(); }, 10000));
    EXPECT_EQ(window_->LastNotice().rfind(
                  "This machine will not be woken from suspend for the Blackbox wake-ups", 0),
              0u)
        << window_->LastNotice();
    const std::vector<std::thread::id> threads = manager.Threads();
    ASSERT_FALSE(threads.empty());
    for (const std::thread::id& id : threads) EXPECT_NE(id, std::this_thread::get_id());
}

TEST_F(WindowTest, RefusedScreenHoldIsANoticeNotAMessageBoxWhenStarting) {
    power_.hold = {DisplayHold::Outcome::Refused, "no"};
    Create();
    Record(1);
    TapStartArea();
    ASSERT_EQ(window_->Engine().State().recordingState, RecordingState::Started);
    EXPECT_TRUE(dialogs_.messages.empty());
    EXPECT_EQ(window_->LastNotice(),
              "The screen may blank during the recording: keeping it on failed (no).");
}

TEST_F(WindowTest, StopSignalSavesARunningRecordingBeforeExit) {
    Create();
    Record(1);
    TapStartArea();
    Record(12);
    ASSERT_EQ(window_->Engine().State().recordingState, RecordingState::Started);
    const size_t questionsBefore = dialogs_.questions.size();
    window_->QuitOnSignal();
    EXPECT_EQ(dialogs_.questions.size(), questionsBefore);  // nobody is asked
    ASSERT_FALSE(dialogs_.messages.empty());
    EXPECT_EQ(dialogs_.messages.back().first, "File saved");
    EXPECT_TRUE(fs::exists(dialogs_.messages.back().second));
    EXPECT_TRUE(fs::exists(paths_.SettingsFile()));
}

TEST_F(WindowTest, TapStartStopSaveResetAndReopenForReview) {
    Create();
    Record(1);
    TapStartArea();
    EXPECT_EQ(window_->Engine().State().recordingState, RecordingState::Started);
    Record(12);
    EXPECT_TRUE(window_->CommandEnabled(kCmdStop));

    window_->RunCommand(kCmdStop);
    ASSERT_FALSE(dialogs_.questions.empty());
    EXPECT_EQ(dialogs_.questions.back().first, "Stop now?");
    ASSERT_FALSE(dialogs_.messages.empty());
    EXPECT_EQ(dialogs_.messages.back().first, "File saved");
    const std::string saved = dialogs_.messages.back().second;
    EXPECT_EQ(fs::path(saved).parent_path(), fs::path(paths_.documentsFolder));
    EXPECT_EQ(fs::path(saved).extension(), ".trz");
    EXPECT_TRUE(fs::exists(saved));
    EXPECT_TRUE(window_->ReviewButtonsShown());
    EXPECT_FALSE(window_->CommandEnabled(kCmdStop));

    window_->RunCommand(kCmdReset);
    EXPECT_EQ(dialogs_.questions.back().first, "Reset now?");
    EXPECT_EQ(window_->CurrentTrack().lastIndex, -1);
    EXPECT_FALSE(window_->ReviewButtonsShown());

    chooser_.next = saved;
    window_->RunCommand(kCmdOpen);
    EXPECT_EQ(dialogs_.questions.back().first, "Resample data?");
    ASSERT_TRUE(window_->CurrentTrack().InReview());
    EXPECT_TRUE(window_->ReviewButtonsShown());
    EXPECT_TRUE(window_->CommandAction(kCmdPlay)->isVisible());
    EXPECT_EQ(window_->Timer(2).interval(), 200);
    EXPECT_FALSE(window_->Timer(1).isActive());

    // A GPX track opens for review as well.
    const std::string gpx = home_ + "/run.gpx";
    ASSERT_TRUE(WriteTrackGpx(window_->CurrentTrack(), gpx));
    window_->RunCommand(kCmdReset);
    ASSERT_FALSE(window_->CurrentTrack().InReview());
    chooser_.next = gpx;
    window_->RunCommand(kCmdOpen);
    EXPECT_TRUE(window_->CurrentTrack().InReview());
    EXPECT_GT(window_->CurrentTrack().loadedCount, 1);
}

TEST_F(WindowTest, OpenResetsStateAndViewsAsResetDoes) {
    settings_.mAutoStart = 1;
    Create();
    Record(1);
    TapStartArea();
    Record(12);
    window_->RunCommand(kCmdStop);
    ASSERT_EQ(window_->Engine().State().recordingState, RecordingState::Stopped);
    window_->KeyReleased(Qt::Key_Up);
    ASSERT_NE(window_->View().mapZoom, 1.0);
    chooser_.next = dialogs_.messages.back().second;
    window_->RunCommand(kCmdOpen);
    ASSERT_TRUE(window_->CurrentTrack().InReview());
    EXPECT_EQ(window_->Engine().State().recordingState, RecordingState::Waiting);
    EXPECT_EQ(window_->View().mapZoom, 1.0);
}

TEST_F(WindowTest, SaveThatWritesNothingSaysWhy) {
    Create();
    Record(5);
    struct Case { std::string name, reason; };
    const Case cases[] = {{home_ + "/untyped", "(no .trk, .trz, .log or .kmz in the name)"},
                          {home_ + "/missing/a.trk", "(No such file or directory)"}};
    for (const Case& c : cases) {
        chooser_.next = c.name;
        dialogs_.messages.clear();
        window_->RunCommand(kCmdSave);
        ASSERT_EQ(dialogs_.messages.size(), 1u) << c.name;
        EXPECT_EQ(dialogs_.messages[0].first, "Error: File save failed. Check path. " + c.reason);
    }
}

TEST_F(WindowTest, StartsCentredAndReopensWhereItWasLeft) {
    Create();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((window_->geometry().center() - screen.center()).manhattanLength(), 2);
    const QRect moved(screen.left() + 10, screen.top() + 20, 300, 400);
    window_->setGeometry(moved);
    window_.reset();
    ASSERT_TRUE(fs::exists(home_ + "/window.state"));
    EXPECT_FALSE(fs::exists(paths_.SettingsFile()));  // trakomer.ini is not touched
    Create();
    EXPECT_EQ(window_->geometry(), moved);
}

TEST_F(WindowTest, StartUpOffersAnUnsavedRecordingBack) {
    paths_.stateFolder = home_ + "/state";
    for (const bool yes : {true, false}) {
        std::string journal;
        {
            ManualClock clock(1'237'118'400 + (yes ? 0 : 60));
            FileJournal writer(paths_.stateFolder, clock);
            writer.Begin(RecordingOptions{});
            for (int i = 0; i < 5; ++i) {
                TrackPoint p;
                p.latitude = 48.1 + i * 0.0001;
                p.longitude = 11.5;
                p.time = 1'237'118'400 + i;
                writer.Append(p);
            }
            journal = writer.Path();
        }  // the process died: the journal stays
        dialogs_.answer = yes;
        dialogs_.messages.clear();
        Create();
        ASSERT_FALSE(dialogs_.questions.empty());
        EXPECT_EQ(dialogs_.questions.back().second,
                  "The last recording was not saved. Recover it now?");
        EXPECT_EQ(window_->CurrentTrack().InReview(), yes);
        EXPECT_EQ(window_->ReviewButtonsShown(), yes);
        EXPECT_FALSE(fs::exists(journal));
        EXPECT_EQ(fs::exists(journal + ".discarded"), !yes);
        if (!yes) continue;
        EXPECT_EQ(window_->CurrentTrack().loadedCount, 5);
        ASSERT_FALSE(dialogs_.messages.empty());
        const std::string text = dialogs_.messages.back().second;
        ASSERT_EQ(text.rfind("Saved as " + paths_.documentsFolder + "/", 0), 0u) << text;
        EXPECT_TRUE(fs::exists(text.substr(9)));
    }
}

TEST_F(WindowTest, AJournalThatCannotBeWrittenIsShownAndCatchesUpOnceItCan) {
    const std::string blocker = home_ + "/blocked";
    paths_.stateFolder = blocker + "/state";
    std::ofstream(blocker) << "a file where the folder should be";
    Create();
    Record(1);
    TapStartArea();
    Record(3);
    EXPECT_NE(window_->Texts().screenText.find("Journal: Not a directory\n"), std::string::npos)
        << window_->Texts().screenText;
    fs::remove(blocker);
    Record(3);
    EXPECT_EQ(window_->Texts().screenText.find("Journal:"), std::string::npos);
    const std::string journal = FindJournal(paths_.stateFolder);
    ASSERT_FALSE(journal.empty());
    EXPECT_EQ(fs::file_size(journal),
              kJournalHeaderSize + (window_->CurrentTrack().lastIndex + 1u) * kJournalRecordSize);
}

TEST_F(WindowTest, ReviewButtonsStepAndPlay) {
    Create();
    Record(1);
    TapStartArea();
    Record(20);
    dialogs_.answer = true;
    window_->RunCommand(kCmdStop);
    ASSERT_TRUE(window_->CurrentTrack().InReview());
    Track& track = window_->CurrentTrack();

    window_->RunCommand(kCmdStart);
    window_->Engine().OnPointTick();
    EXPECT_EQ(track.lastIndex, 0);
    window_->RunCommand(kCmdStepForward);
    EXPECT_EQ(track.lastIndex, 1);
    window_->RunCommand(kCmdStepBack);
    EXPECT_EQ(track.lastIndex, 0);

    window_->RunCommand(kCmdPlay);
    EXPECT_FALSE(window_->CommandAction(kCmdPlay)->isVisible());
    EXPECT_TRUE(window_->CommandAction(kCmdPause)->isVisible());
    const int before = track.lastIndex;
    EXPECT_TRUE(QTest::qWaitFor([&] { return track.lastIndex > before + 2; }, 5000));
    window_->RunCommand(kCmdPause);
    EXPECT_TRUE(window_->CommandAction(kCmdPlay)->isVisible());
}

TEST_F(WindowTest, ArrowKeysSkipDisabledScreens) {
    settings_.mViews = {1, 1, 0, 1, 1, 1};
    Create();
    // Waiting: only 0, 1 and 4.
    std::vector<int> seen;
    for (int i = 0; i < 3; ++i) {
        window_->KeyReleased(Qt::Key_Right);
        seen.push_back(window_->CurrentScreen());
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 4, 0}));

    Record(1);
    TapStartArea();
    seen.clear();
    for (int i = 0; i < 5; ++i) {
        window_->KeyReleased(Qt::Key_6);  // keypad right
        seen.push_back(window_->CurrentScreen());
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 3, 4, 5, 0}));
    window_->KeyReleased(Qt::Key_Left);
    EXPECT_EQ(window_->CurrentScreen(), 5);
}

TEST_F(WindowTest, SummaryImageFlipsWithHud) {
    settings_.mCommDevice.clear();
    Create();
    Record(1);
    TapStartArea();
    Record(3);
    for (int i = 0; i < 2; ++i) window_->KeyReleased(Qt::Key_Right);
    ASSERT_EQ(window_->CurrentScreen(), kScreenSummary);
    const QImage plain = window_->ShownScreenImage();
    EXPECT_EQ(plain, window_->ScreenImage());
    settings_.mHUD = 1;
    EXPECT_EQ(window_->ShownScreenImage(), window_->ScreenImage().mirrored(false, true));
    EXPECT_NE(window_->ShownScreenImage(), plain);
}

TEST_F(WindowTest, UpZoomStopsAboveLimitOnGlobe) {
    Create();
    window_->KeyReleased(Qt::Key_Left);  // idle: 0 -> 4
    ASSERT_EQ(window_->CurrentScreen(), kScreenGlobe);
    for (int i = 0; i < 40; ++i) window_->KeyReleased(Qt::Key_Up);
    const double top = window_->View().globeZoom;
    EXPECT_GT(top, 10.0);
    EXPECT_LT(top, 11.1);
    window_->KeyReleased(Qt::Key_Return);
    EXPECT_EQ(window_->View().globeZoom, 1.0);
}

TEST_F(WindowTest, GreetsAndAnnouncesThroughTheSpeaker) {
    settings_.mUserName = "Ann";
    Create();
    ASSERT_FALSE(speaker_.said.empty());
    EXPECT_EQ(speaker_.said.front().text.rfind("Good ", 0), 0u);
    EXPECT_NE(speaker_.said.front().text.find("Ann"), std::string::npos);
    EXPECT_FALSE(speaker_.said.front().wait);

    Record(2);
    EXPECT_TRUE(speaker_.Said("3d fix"));
}

TEST_F(WindowTest, NoGreetingWithoutName) {
    settings_.mUserName.clear();
    Create();
    EXPECT_TRUE(speaker_.said.empty());
}

// While the About box is open, point ticks announce nothing; its "Read"
// button speaks the agreement piece by piece, each waiting.
TEST_F(WindowTest, AboutBoxSilencesAnnouncementsAndReadsAgreement) {
    std::ofstream(home_ + "/eula.txt") << "First part. Second part\nThird";
    Create();
    speaker_.said.clear();
    bool clicked = false;
    size_t saidWhileOpen = 99;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        Record(2);
        saidWhileOpen = speaker_.said.size();
        for (QPushButton* button : box->findChildren<QPushButton*>()) {
            if (button->text() == "Read") {
                button->click();
                clicked = true;
            }
        }
        box->close();
    });
    window_->RunCommand(kCmdAbout);
    ASSERT_TRUE(clicked);
    EXPECT_EQ(saidWhileOpen, 0u);
    EXPECT_EQ(speaker_.said, (std::vector<Spoken>{
                                 {"First part", true}, {" Second part", true}, {"Third", true}}));

    Record(1);  // announcements resume once the box is closed
    EXPECT_TRUE(speaker_.Said("3d fix"));
}

TEST_F(WindowTest, UploadNowAndTimerUploadReachTheServer) {
    upload::testing::PyFtpServer server("walker", "s3cret");
    ASSERT_TRUE(server.Running()) << "pyftpdlib did not start";
    settings_.mFtpAddress = "127.0.0.1:" + std::to_string(server.Port());
    settings_.mFtpUser = "walker";
    settings_.mFtpPassword = "s3cret";
    settings_.mUploadType = 1;
    settings_.mViews = {1, 1, 1, 1, 1, 1};
    // A receiver that opens (and stays silent) keeps the port error off the
    // Summary screen.
    const int receiver = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(receiver, 0);
    ASSERT_EQ(grantpt(receiver), 0);
    ASSERT_EQ(unlockpt(receiver), 0);
    settings_.mCommDevice = ptsname(receiver);
    Create();
    ASSERT_FALSE(window_->Port().openFailed) << window_->Port().errorText;
    EXPECT_FALSE(window_->CommandEnabled(kCmdUploadNow));  // no data yet
    Record(1);
    TapStartArea();
    Record(4);
    ASSERT_TRUE(window_->CommandEnabled(kCmdUploadNow));

    window_->RunCommand(kCmdUploadNow);
    const std::string name = "LL." + upload::DeviceIdentifier() + ".kmz";
    const std::string sent = server.Contents(name);
    EXPECT_FALSE(sent.empty());
    EXPECT_EQ(sent, upload::testing::ReadWholeFile(fs::path(paths_.dataFolder) / name));
    const std::string status = window_->Uploads().StatusText();
    EXPECT_EQ(status.rfind("Upload @ ", 0), 0u) << status;
    EXPECT_NE(status.find("k ["), std::string::npos) << status;
    const int64_t total = window_->Uploads().BytesUploaded();
    EXPECT_EQ(total, static_cast<int64_t>(sent.size()));

    // The Summary screen carries the status line.
    for (int i = 0; i < 2; ++i) window_->KeyReleased(Qt::Key_Right);
    ASSERT_EQ(window_->CurrentScreen(), kScreenSummary);
    EXPECT_NE(window_->Texts().screenText.find(status), std::string::npos)
        << window_->Texts().screenText << "|" << status;

    // The timer sends nothing while no point was added, then the new one.
    window_->OnTimer(4);
    EXPECT_EQ(window_->Uploads().BytesUploaded(), total);
    Record(1);
    window_->OnTimer(4);
    EXPECT_GT(window_->Uploads().BytesUploaded(), total);
    EXPECT_EQ(window_->Uploads().LastUploadedIndex(), window_->CurrentTrack().lastIndex);

    settings_.mFtpPassword = "wrong";
    window_->RunCommand(kCmdUploadNow);
    const std::string failed = window_->Uploads().StatusText();
    EXPECT_EQ(failed.substr(failed.size() - 11), "failed[Ftp]") << failed;
    window_.reset();
    close(receiver);
}

TEST_F(WindowTest, WaypointFileLoadsAtStartAndSavesWithPlacedWaypoints) {
    auto file = std::make_unique<WaypointTable>();
    file->entries[0] = {47.0, 11.0, "Gipfel"};
    file->entries[1] = {47.1, 11.1, "Alm"};
    file->waypointCount = 2;
    ASSERT_GT(WriteWaypointsKmz(*file, home_ + "/start.kmz"), 0);
    settings_.mWayPointPath = home_ + "/start.kmz";
    settings_.mUseWayPointPath = 1;
    Create();
    ASSERT_EQ(window_->Waypoints().waypointCount, 2);
    EXPECT_TRUE(window_->Waypoints().waypointsShown);
    ASSERT_NE(window_->CommandAction(kCmdFlyToFirst + 1), nullptr);
    EXPECT_EQ(window_->CommandAction(kCmdFlyToFirst + 1)->text(), "Alm");
    EXPECT_TRUE(window_->CommandEnabled(kCmdSaveWaypoints));

    Record(2);
    window_->DefineWaypoint("H\xc3\xbctte am langen Grat ueber dem Tal");  // cut to 31 characters
    window_->StylusUp(20, 20);
    ASSERT_EQ(window_->Waypoints().waypointCount, 3);
    EXPECT_EQ(window_->Waypoints().entries[2].name, "H\xc3\xbctte am langen Grat ueber dem ");
    EXPECT_NE(window_->CommandAction(kCmdFlyToFirst + 2), nullptr);

    struct Case { const char* name; bool written; };
    for (const Case& c :
         {Case{"/mine.kmz", true}, Case{"/mine.kml", false}, Case{"/mine.gpx", true}}) {
        chooser_.next = home_ + c.name;
        window_->RunCommand(kCmdSaveWaypoints);
        EXPECT_EQ(fs::exists(chooser_.next), c.written) << c.name;
    }
    auto read = std::make_unique<WaypointTable>();
    ASSERT_EQ(ReadWaypointsKmz(home_ + "/mine.kmz", *read, dialogs_), ReadStatus::Ok);
    ASSERT_EQ(read->waypointCount, 3);
    EXPECT_EQ(read->entries[0].name, "Gipfel");
    EXPECT_EQ(read->entries[2].name, window_->Waypoints().entries[2].name);
    auto gpx = std::make_unique<WaypointTable>();
    ASSERT_EQ(ReadWaypointsGpx(home_ + "/mine.gpx", *gpx, dialogs_), ReadStatus::Ok);
    EXPECT_EQ(gpx->waypointCount, 3);
}

TEST_F(WindowTest, PaceAndDisplayTracksLoadAtStartAndLeaveTheTrackEmpty) {
    auto reference = std::make_unique<Track>();
    for (int i = 0; i < 5; ++i) {
        reference->points[static_cast<size_t>(i)] =
            TrackPoint{48.0 + i * 0.001, 11.0, 500, 0, 1232874672 + i * 10, 0};
    }
    reference->lastIndex = 5;
    ASSERT_TRUE(WriteTrz(*reference, home_ + "/pace.trz", home_));
    settings_.mBasePath = home_ + "/pace.trz";
    settings_.mUseBasePath = 1;
    settings_.mRefPath = home_ + "/pace.trz";
    settings_.mUseRefPath = 1;
    Create();
    EXPECT_TRUE(window_->PaceTrackLoaded());
    EXPECT_EQ(window_->DisplayTrack().Count(), 5);
    EXPECT_EQ(window_->CurrentTrack().lastIndex, -1);
    EXPECT_EQ(window_->CurrentTrack().loadedCount, 0);
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST(BatteryReading, FirstBatteryOfThePowerSupplyClass) {
    struct Case {
        std::vector<std::pair<std::string, std::string>> supplies;  // type, capacity
        int percent;
    };
    const Case cases[] = {
        {{}, 100},
        {{{"Mains", ""}}, 100},
        {{{"Mains", ""}, {"Battery", "57"}}, 57},
        {{{"Battery", "garbage"}}, 100},
    };
    for (const Case& c : cases) {
        char pattern[] = "/tmp/trakomer-power-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        int n = 0;
        for (const auto& [type, capacity] : c.supplies) {
            const fs::path supply = fs::path(pattern) / ("supply" + std::to_string(n++));
            fs::create_directories(supply);
            std::ofstream(supply / "type") << type << "\n";
            if (!capacity.empty()) std::ofstream(supply / "capacity") << capacity << "\n";
        }
        EXPECT_EQ(ReadBatteryPercent(pattern), c.percent) << c.supplies.size();
        fs::remove_all(pattern);
    }
}

TEST(SingleInstance, SecondInstanceAsksFirstToComeForward) {
    char pattern[] = "/tmp/trakomer-instance-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string path = std::string(pattern) + "/run/trakomer";
    {
        InstanceServer first;
        ASSERT_TRUE(first.Listen(path));
        InstanceServer second;
        EXPECT_FALSE(second.Listen(path));
        EXPECT_TRUE(SendInstanceRequest(path, kRaiseRequest));
        EXPECT_EQ(first.AcceptRequest(2000), "raise");
    }
    EXPECT_FALSE(SendInstanceRequest(path, kRaiseRequest));
    InstanceServer again;  // a stale socket file does not block a new start
    EXPECT_TRUE(again.Listen(path));
    fs::remove_all(pattern);
}

}  // namespace
}  // namespace trakomer

#include "app/main_window.h"

#include "core/recording_options.h"
#include "gps/settings_port.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "app/command_ids.h"
#include "app/gl_screen.h"
#include "app/qt_dialogs.h"
#include "app/review_icons.h"
#include "app/screen_painter.h"
#include "app/screen_widget.h"
#include "app/window_helpers.h"
#include "app/window_place.h"
#include "core/content_key.h"
#include "core/settings_file.h"
#include "screens/screens.h"
#include "speech/sentences.h"
#include "upload/device_id.h"
#include "upload/file_writers.h"
#include "upload/network_manager.h"

namespace trakomer {
namespace {
// How often a receiver that went away is looked for again.
constexpr int kReceiverReopenMs = 1500;
}  // namespace

MainWindow::MainWindow(Settings& settings, const ProgramPaths& paths,
                       const WindowServices& services)
    : settings_(settings), paths_(paths), services_(services), track_(std::make_unique<Track>()) {
    drawingHeld_ = services.holdDrawing;
    setWindowTitle("trakomer");
    if (!services_.dialogs) {
        ownDialogs_ = std::make_unique<QtDialogs>(this);
        services_.dialogs = ownDialogs_.get();
    }
    if (!services_.clock) services_.clock = &systemClock_;
    if (!services_.files) {
        ownFiles_ = std::make_unique<QtFileChooser>(this, *services_.clock);
        services_.files = ownFiles_.get();
    }
    if (!services_.trackFiles) {
        ownTrackFiles_ = std::make_unique<FormatTrackFiles>(
            settings_, *services_.clock, *services_.dialogs, paths_.dataFolder, paths_.tempFolder,
            paths_.documentsFolder);
        services_.trackFiles = ownTrackFiles_.get();
    }
    if (!services_.speaker) {
        ownSpeech_ = speech::InitSpeech(settings_);
        services_.speaker = ownSpeech_.get();
    }
    speech::AnnouncerSources sources{
        settings_,
        *track_,
        gps_,
        battery_,
        [this] { return recorder_->State().recordingState; },
        [this] { return pace_.relativeSeconds; },
        [this] { return pace_.active; },
    };
    announcer_ = std::make_unique<speech::Announcer>(std::move(sources), *services_.speaker);

    CreatePower();
    CreateUploader();

    ports_.dialogs = services_.dialogs;
    ports_.speaker = services_.speaker;
    ports_.saver = services_.trackFiles;
    ports_.timers = this;
    ports_.menus = this;
    ports_.view = this;
    ports_.receiver = this;
    ports_.announcements = announcer_.get();
    ports_.pace = this;
    ports_.power = power_.get();
    journal_ = std::make_unique<FileJournal>(paths_.stateFolder, *services_.clock);
    ports_.journal = journal_.get();
    recorder_ = std::make_unique<Recorder>(*track_, gps_, OptionsFromSettings(), ports_);

    // Waypoints come before the menus so that Fly To lists them.
    LoadWaypointFile(settings_, waypoints_, *services_.dialogs);

    screen_ = new ScreenWidget(this);
    setCentralWidget(screen_);
    screen_->onPress = [this](int x, int y) { StylusDown(x, y); };
    screen_->onMove = [this](int x, int y) { StylusMove(x, y); };
    screen_->onRelease = [this](int x, int y) { StylusUp(x, y); };
    screen_->touch.onPress = [this](int x, int y) {
        touchPanX_ = view_.panX;
        touchPanY_ = view_.panY;
        StylusDown(x, y);
    };
    screen_->touch.onMove = screen_->onMove;
    screen_->touch.onRelease = screen_->onRelease;
    screen_->touch.onKey = [this](int key) {
        if (key == Qt::Key_Left || key == Qt::Key_Right) {
            view_.panX = touchPanX_;
            view_.panY = touchPanY_;
        }
        KeyReleased(key);
    };

    for (int id = 1; id <= 5; ++id) {
        QObject::connect(&Timer(id), &QTimer::timeout, this, [this, id] { OnTimer(id); });
    }
    BuildMenu();
    BuildReviewBar();
    RebuildMenus(false);
    ShowPlayButton(true);
    PlaceWindow(*this, paths_.configFolder + "/" + kWindowStateFileName, 480, 640);
}

MainWindow::~MainWindow() {
    ownScheduler_.reset();
    RememberWindowPlace(*this, paths_.configFolder + "/" + kWindowStateFileName);
    for (QTimer& timer : timers_) timer.stop();
    port_.closePauseMs = 0;
    port_.Close();
}

void MainWindow::StartUp() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    startDevice_ = settings_.mCommDevice;
    port_.reopenIntervalMs = kReceiverReopenMs;
    port_.Open(PortSettingsFrom(settings_), true);
    // A modem's GNSS tells the refresh rate it runs at.
    if (!port_.rateText.empty()) std::fprintf(stderr, "trakomer: %s\n", port_.rateText.c_str());
    port_.StartReader(gps_);
    Raise();
    speech::SpeakGreeting(*services_.speaker, settings_.mUserName, *services_.clock);
    QApplication::restoreOverrideCursor();
    Timer(5).start(25000);
    services_.power->ResetIdleTimer();
    battery_.percent = services_.power->BatteryPercent();
    LoadReferenceTracks();
    recorder_->ArmTimers();
    ComposeAndDraw();
    OfferRecovery();
}

void MainWindow::LoadReferenceTracks() {
    // Both are read through the main track, which is empty again afterwards.
    LoadDisplayTrack(settings_, *track_, displayTrack_, *services_.dialogs);
    ReferenceTrack pace;
    pace_.active = LoadPaceTrack(settings_, *track_, pace, *services_.dialogs);
    pace_.reference = std::move(pace.points);
}

void MainWindow::CreateUploader() {
    // While an upload waits on the network the window keeps handling its
    // events; the uploader ignores requests that arrive meanwhile.
    upload::Pump pump = [] { QApplication::processEvents(); };
    if (!services_.network) {
        ownNetwork_ = std::make_unique<upload::NetworkManagerConnection>("", pump);
        services_.network = ownNetwork_.get();
    }
    uploader_ = std::make_unique<upload::Uploader>(
        upload::UploadServices{*services_.network,
                               idleTimer_,
                               *services_.clock,
                               upload::FileUploadWriters(paths_.dataFolder),
                               paths_.dataFolder,
                               upload::DeviceIdentifier(),
                               pump,
                               upload::kDefaultFtpTimeoutMs});
    positions_ = std::make_unique<upload::PositionUploader>(
        upload::PositionServices{*services_.clock, paths_.stateFolder, upload::DeviceIdentifier(),
                                 pump, upload::kDefaultPositionTimeoutMs});
}

RecordingOptions MainWindow::OptionsFromSettings() const {
    return RecordingOptionsFrom(settings_);
}

// ---- Timers ---------------------------------------------------------------

void MainWindow::Arm(const TimerPlan& plan) {
    const int periods[4] = {plan.collectionMs, plan.pointMs, plan.summaryMs, plan.uploadMs};
    for (int id = 1; id <= 4; ++id) {
        Timer(id).stop();
        if (periods[id - 1] > 0) Timer(id).start(periods[id - 1]);
    }
}

void MainWindow::OnTimer(int id) {
    if (view_.busy) return;
    switch (id) {
        case 1: recorder_->OnCollectionTick(); break;
        case 2:
            recorder_->OnPointTick();
            PublishPositions(false);
            break;
        case 3: recorder_->OnSummaryTick(); break;
        case 4:
            if (uploader_->UploadNow(false, *track_, settings_) != upload::UploadOutcome::NotStarted)
                positionStatusLatest_ = false;
            ComposeAndDraw();
            break;
        case 5:
            battery_.percent = power_->OnBatteryTick(settings_.mUserProfile, track_->lastIndex);
            break;
        default: break;
    }
}

// ---- Screens ----------------------------------------------------------------

ScreenInputs MainWindow::CurrentInputs() const {
    ScreenInputs in;
    in.track = track_.get();
    in.options.userProfile = settings_.mUserProfile;
    in.options.autoStart = settings_.mAutoStart != 0;
    in.options.units = settings_.mUnits;
    in.options.viewLarge = settings_.mViewLarge;
    in.factors = UnitFactorsFor(settings_.mUnits);
    in.currentScreen = currentScreen_;
    in.recordingState = static_cast<int>(recorder_->State().recordingState);
    in.pendingUsed = recorder_->State().pendingUsed;
    in.batteryPercent = battery_.percent;
    in.clock = LocalClock(*services_.clock);
    in.linkOpenFailed = port_.openFailed;
    in.linkErrorText = port_.errorText;
    in.receiverLost = port_.ReceiverLost();
    in.journalProblem = journal_->Problem();
    in.uploadStatus = UploadStatusLine();
    in.paceTrackActive = pace_.active;
    in.relativeSeconds = pace_.relativeSeconds;
    in.mapZoom = view_.mapZoom;
    in.mapHalfWidthNm = MapHalfWidth();
    return in;
}

void MainWindow::ComposeAndDraw() {
    GpsFix fix = gps_.Snapshot();
    ScreenInputs in = CurrentInputs();
    in.fix = &fix;
    ComposeScreenText(in, texts_);
    RenderCurrentScreen();
}

void MainWindow::RenderCurrentScreen() {
    if (drawingHeld_) return;
    if (DrawGlScreen()) {
        shownKey_.reset();
        return;
    }
    const QSize size = screen_->size().isEmpty() ? QSize(1, 1) : screen_->size();
    // At the screen's full pixel size, painted in screen-area pixels.
    const int scale = PixelScale();
    if (screenImage_.size() != size * scale) {
        screenImage_ = QImage(size * scale, QImage::Format_RGB32);
        screenImage_.setDevicePixelRatio(scale);
        graphRecompute_ = true;
    }
    // What the picture is made of: the same key shows the same pixels.
    ContentKey key;
    key.Add(currentScreen_).Add(size.width()).Add(size.height()).Add(scale).Add(settings_.mHUD);
    if (currentScreen_ == kScreenSummary || currentScreen_ == kScreenShortSummary) {
        key.Add(texts_.screenText).Add(settings_.mLViewFontSize);
        if (key.Value() == shownKey_) return;
        PaintTextScreen(screenImage_, texts_.screenText, currentScreen_, settings_.mLViewFontSize);
    } else if (currentScreen_ == kScreenGraph) {
        const GraphLabels labels = UpdateGraph(size);
        AddGraphKey(key, graph_, labels);
        if (key.Value() == shownKey_) return;
        PaintGraph(screenImage_, graph_, labels);
    } else {
        shownKey_.reset();
        screen_->ShowGlScreen(QImage(), HintText());
        return;
    }
    shownKey_ = key.Value();
    screen_->ShowImage(ShownImage(screenImage_, settings_.mHUD != 0));
}

GraphLabels MainWindow::UpdateGraph(QSize size) {
    GraphInputs in;
    in.track = track_.get();
    in.paceTrack = &pace_.reference;
    in.paceActive = pace_.active;
    in.distanceFactor = UnitFactorsFor(settings_.mUnits).distanceFactor;
    in.client = {0, 0, size.width(), size.height()};
    UpdateGraphModel(graph_, in, graphRecompute_);
    graphRecompute_ = false;
    GraphLabels labels;
    labels.elapsed = "Time " + FormatClock(track_->elapsedSeconds);
    labels.currentDistance = FormatOneDecimal(graph_.currentDistance * in.distanceFactor);
    labels.paceActive = pace_.active;
    return labels;
}

int MainWindow::PixelScale() const {
    return std::max(1, static_cast<int>(std::lround(screen_->devicePixelRatioF())));
}

QImage MainWindow::ShownScreenImage() const {
    return ShownImage(screenImage_, settings_.mHUD != 0);
}

std::string MainWindow::HintText() const {
    if (track_->lastIndex != -1) return {};
    if (port_.openFailed) {
        return "Hint: To setup communications\nwith your GPS use:\nTools->Preferences->NMEA";
    }
    return "Hint: You can use the arrow\nkeys on your device to cycle\nthrough available "
           "screens.";
}

void MainWindow::AfterPointProcessed() {
    GpsFix fix = gps_.Snapshot();
    ScreenInputs in = CurrentInputs();
    in.fix = &fix;
    ComposeScreenText(in, texts_);
    if (modalOpen_) return;
    announcer_->Announce();
    RenderCurrentScreen();
}

void MainWindow::Redraw() { RenderCurrentScreen(); }

void MainWindow::ReleaseDrawing() {
    drawingHeld_ = false;
    ComposeAndDraw();
}

void MainWindow::ResetViews() {
    view_ = ViewState{};
    graphRecompute_ = true;
    ComposeAndDraw();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    graphRecompute_ = true;
    if (recorder_) ComposeAndDraw();
}

void MainWindow::StepScreen(bool forward) {
    ScreenFlags views{};
    for (size_t i = 0; i < views.size(); ++i) views[i] = settings_.mViews[i] == 1;
    const bool idle = recorder_->State().recordingState == RecordingState::Waiting &&
                      !track_->InReview();
    currentScreen_ = forward ? NextScreen(currentScreen_, views, idle)
                             : PreviousScreen(currentScreen_, views, idle);
    view_.flyTo = false;
    UpdateMenuStates();
    ComposeAndDraw();
}

// ---- Receiver and pace --------------------------------------------------

void MainWindow::Send(std::string_view bytes) { port_.Write(bytes.data(), bytes.size()); }

void MainWindow::UpdateRelativeTime(int index) {
    trakomer::UpdateRelativeTime(pace_, *track_, index, currentScreen_);
}

void MainWindow::Raise() {
    show();
    raise();
    activateWindow();
}

}  // namespace trakomer

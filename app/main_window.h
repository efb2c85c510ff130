#pragma once
// The recorder's one window: the screens, the Tools menu, the review
// buttons, keys, stylus and the five timers that drive recording.

#include <QImage>
#include <QMainWindow>
#include <QTimer>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/file_chooser.h"
#include "app/power_keeper.h"
#include "app/qt_dialogs.h"
#include "app/screen_painter.h"
#include "app/track_files.h"
#include "core/clock.h"
#include "core/dialogs.h"
#include "core/recorder.h"
#include "core/settings.h"
#include "core/speaker.h"
#include "files/recording_journal.h"
#include "files/reference_tracks.h"
#include "files/waypoints.h"
#include "gps/serial_port.h"
#include "gps/shared_fix.h"
#include "platform/paths.h"
#include "platform/power.h"
#include "platform/run_at_time.h"
#include "prefs/preferences_host.h"
#include "screens/graph_model.h"
#include "screens/relative_time.h"
#include "screens/screen_text.h"
#include "speech/announcer.h"
#include "speech/speech_output.h"
#include "upload/connection_manager.h"
#include "upload/idle_timer.h"
#include "upload/position_uploader.h"
#include "upload/uploader.h"

class QAction;
class QMenu;
class QToolBar;

namespace trakomer {

class GlScreen;
class ScreenWidget;
namespace gl {
struct ImageSlotTable;
}

// What the window is built with. Null services get the window's own
// (message boxes, file dialogs, the voice, the system clock, the file
// formats, NetworkManager).
struct WindowServices {
    Dialogs* dialogs = nullptr;
    FileChooser* files = nullptr;
    TrackFiles* trackFiles = nullptr;
    Speaker* speaker = nullptr;
    Clock* clock = nullptr;
    upload::ConnectionManager* network = nullptr;
    // Null: the desktop's power calls, systemd user timers and the
    // program's alarm sounds.
    PowerPlatform* power = nullptr;
    Scheduler* scheduler = nullptr;
    // Runs systemctl and systemd-run for the window's own scheduler (null:
    // the real commands); used only when no scheduler is given.
    CommandRunner* commands = nullptr;
    AlarmPlayer* alarms = nullptr;
    // Waits between the frames of a fly-to (null: the thread sleeps).
    std::function<void(int milliseconds)> sleep;
    // Nothing is drawn until ReleaseDrawing: a picture of one screen needs
    // only the frames after the window is set up.
    bool holdDrawing = false;
    // False: the GL screens start without the images of the data folder
    // (maps, globe): a picture of a text screen needs none of them.
    bool screenImages = true;
};

// The battery charge as the window last read it (every 25 s).
class BatteryReading : public speech::BatteryLevel {
public:
    int Percent() const override { return percent; }
    int percent = 0;
};


// Map and globe view state changed by keys and stylus.
struct ViewState {
    double mapZoom = 1.0;
    double globeZoom = 1.0;
    double panX = 0, panY = 0, panRateX = 0, panRateY = 0;
    double spinRateX = 0, spinRateY = 0;
    bool flyTo = false;
    // What the view shows while flyTo is set (degrees).
    double targetLatitude = 0, targetLongitude = 0;
    bool busy = false;
};

class MainWindow : public QMainWindow,
                   public TimerControl,
                   public MenuControl,
                   public ViewControl,
                   public ReceiverLink,
                   public PaceFeedback,
                   public prefs::PreferencesHost {
public:
    MainWindow(Settings& settings, const ProgramPaths& paths, const WindowServices& services);
    ~MainWindow() override;

    // Opens the receiver, greets the user and arms the timers.
    void StartUp();

    // Runs a command of the menu, the review buttons or an accelerator.
    void RunCommand(int command);
    // The "Define New Waypoint" dialog's OK with a name.
    void DefineWaypoint(const std::string& name);
    const WaypointTable& Waypoints() const { return waypoints_; }
    // The display track drawn on the maps (loaded at start-up).
    const ReferenceTrack& DisplayTrack() const { return displayTrack_; }
    // Lists the maps and waypoints under Fly To again (after images were
    // loaded or the waypoints changed).
    void RebuildFlyToMenu() { RebuildFlyTo(); }
    // The loaded images and their map corners; null until the GL screens
    // have started.
    const gl::ImageSlotTable* ImageSlots() const;
    // Shows screen 0-5 as the arrow keys would reach it.
    void ShowScreen(int screen);
    // Ends WindowServices::holdDrawing and draws the current screen.
    void ReleaseDrawing();
    // The screen area: its size, and what it shows now.
    QSize ScreenAreaSize() const;
    QImage GrabScreenArea() const;
    // Shows a frame rendered by the GL views on screens 0, 1 and 4.
    void PresentGlFrame(const QImage& frame);
    // Key released (Qt key code).
    void KeyReleased(int key);
    // Stylus on the screen area, client coordinates.
    void StylusDown(int x, int y);
    void StylusMove(int x, int y);
    void StylusUp(int x, int y);
    // Brings the window to the front (second instance, launcher).
    void Raise();
    // Offers to save and review a recording the journal holds because the
    // program ended without saving it; No moves the journal aside.
    void OfferRecovery();
    // A stop signal (logout, shutdown, Ctrl-C): a running recording is
    // stopped and saved as a confirmed Stop would, then the program exits as
    // Exit does. Nobody is there to answer a message box.
    void QuitOnSignal();
    // The device written to the settings file at exit when the command line
    // chose another one for this run only.
    void SetSavedCommDevice(std::string device) { savedCommDevice_ = std::move(device); }

    // Power and wake-up (window_power.cpp).
    // Arguments every scheduled start of the recorder or the launcher gets
    // (--home DIR when the program was started with it).
    void SetRunArguments(std::vector<std::string> args) { runArgs_ = std::move(args); }
    // The launcher as the scheduler starts it.
    AppCommand LauncherCommand() const;
    const PowerState& Power() const { return power_->State(); }
    // Something the user should know that needs no answer (a failed power
    // or wake-up call): written to standard error and the status line.
    void ShowNotice(const std::string& text);
    const std::string& LastNotice() const { return lastNotice_; }
    // True once the user asked for a restart: Exit has run, and the program
    // starts itself again after the window is gone.
    bool RestartRequested() const { return restartRequested_; }

    // State for tests and the screens.
    Track& CurrentTrack() { return *track_; }
    Recorder& Engine() { return *recorder_; }
    SharedGpsFix& Gps() { return gps_; }
    SerialPort& Port() { return port_; }
    int CurrentScreen() const { return currentScreen_; }
    const ScreenTexts& Texts() const { return texts_; }
    const QImage& ScreenImage() const { return screenImage_; }
    QImage ShownScreenImage() const;
    QAction* CommandAction(int command) const;
    bool CommandEnabled(int command) const;
    bool ReviewButtonsShown() const;
    const ViewState& View() const { return view_; }
    QTimer& Timer(int id) { return timers_[static_cast<size_t>(id - 1)]; }
    // What timer `id` does on each tick (tests call it directly).
    void OnTimer(int id);
    const upload::Uploader& Uploads() const { return *uploader_; }
    std::string HintText() const;

    // TimerControl
    void Arm(const TimerPlan& plan) override;
    // MenuControl
    void RebuildMenus(bool withReviewButtons) override;
    void UpdateMenuStates() override;
    void ShowPlayButton(bool play) override;
    // ViewControl
    void AfterPointProcessed() override;
    void Redraw() override;
    void ResetViews() override;
    // ReceiverLink
    void Send(std::string_view bytes) override;
    // PaceFeedback
    bool PaceTrackLoaded() const override { return pace_.active; }
    void UpdateRelativeTime(int index) override;
    // PreferencesHost (window_preferences.cpp; CancelLauncher, which
    // removes a pending run of the launcher, in window_power.cpp)
    void CancelLauncher() override;
    void RearmTimers() override;
    void ResizeGl() override;
    void ReopenReceiver() override;
    void ReloadWaypoints() override;
    void SaveSettingsFile() override;
    void RequestRestart() override;
    void StopPointTick() override;
    SerialPort& ReceiverPort() override { return port_; }
    SharedGpsFix& ReceiverFix() override { return gps_; }

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildMenu();
    void BuildReviewBar();
    QAction* AddCommand(QMenu* menu, const char* text, int command);
    void RebuildFlyTo();
    void ComposeAndDraw();
    // Draws the current screen; a 2D screen whose picture would not change
    // is left as shown.
    void RenderCurrentScreen();
    // The graph's model brought up to date for the screen area, and its labels.
    GraphLabels UpdateGraph(QSize size);
    // Device pixels per screen-area pixel (2 or 3 on high-density screens).
    int PixelScale() const;
    // GL screens (window_gl.cpp): true when a GL frame was shown.
    bool DrawGlScreen();
    double MapHalfWidth() const;
    // Fly To (window_gl.cpp): map names listed first, then waypoints.
    std::vector<std::string> FlyToMapNames() const;
    void FlyToEntry(int entry);
    void FlyToCurrentLocation();
    void RunFlyTo(double latitude, double longitude);
    void TargetViewCentre();
    void PlaceWaypointAt(Waypoint& waypoint, int x, int y) const;
    ScreenInputs CurrentInputs() const;
    void OpenTrackFile();
    void SaveTrackFile();
    void SaveWaypoints();
    void LoadReferenceTracks();
    void SetWaypoint();
    void ShowAbout();
    void ShowPreferences();
    void OpenHelp();
    void Exit();
    void StepScreen(bool forward);
    void Zoom(bool in);
    void ResetZoom();
    void CreateUploader();
    // Positions over HTTP (window_positions.cpp): queues the new points and
    // sends some of the queue; the status line shows whichever upload ran last.
    void PublishPositions(bool manual);
    const std::string& UploadStatusLine() const;
    void CreatePower();
    RecordingOptions OptionsFromSettings() const;

    Settings& settings_;
    ProgramPaths paths_;
    WindowServices services_;
    std::unique_ptr<QtDialogs> ownDialogs_;
    std::unique_ptr<FileChooser> ownFiles_;
    std::unique_ptr<TrackFiles> ownTrackFiles_;
    std::unique_ptr<speech::SpeechOutput> ownSpeech_;
    std::unique_ptr<upload::ConnectionManager> ownNetwork_;
    std::unique_ptr<PowerPlatform> ownPower_;
    std::unique_ptr<CommandRunner> ownRunner_;
    std::unique_ptr<Scheduler> systemdScheduler_;
    // Ended first in the destructor: it runs what is still queued (the
    // cancellation at exit) while everything it reports to is still there.
    std::unique_ptr<Scheduler> ownScheduler_;
    std::unique_ptr<AlarmPlayer> ownAlarms_;
    std::unique_ptr<PowerKeeper> power_;
    std::vector<std::string> runArgs_;
    std::string lastNotice_;
    bool restartRequested_ = false;
    PowerIdleTimer idleTimer_;
    std::unique_ptr<upload::Uploader> uploader_;
    std::unique_ptr<upload::PositionUploader> positions_;
    bool positionStatusLatest_ = false;
    SystemClock systemClock_;

    std::unique_ptr<Track> track_;
    SharedGpsFix gps_;
    SerialPort port_;
    std::unique_ptr<speech::Announcer> announcer_;
    std::unique_ptr<FileJournal> journal_;
    std::unique_ptr<Recorder> recorder_;
    RecordingPorts ports_;
    PaceComparison pace_;

    ScreenWidget* screen_ = nullptr;
    std::unique_ptr<GlScreen> glScreen_;
    QImage screenImage_;
    // The key of the 2D picture shown; empty while a GL screen shows.
    std::optional<uint64_t> shownKey_;
    ScreenTexts texts_;
    GraphModel graph_;
    bool graphRecompute_ = true;
    int currentScreen_ = 0;
    bool drawingHeld_ = false;
    ViewState view_;
    BatteryReading battery_;
    bool modalOpen_ = false;
    bool dragging_ = false;
    bool placingWaypoint_ = false;
    int lastTapX_ = 0, lastTapY_ = 0;
    // The pan when a finger touched: a swipe that steps screens leaves it so.
    double touchPanX_ = 0, touchPanY_ = 0;
    std::string trackTitle_;
    std::optional<std::string> savedCommDevice_;
    std::string startDevice_;  // the device the receiver was opened on at start
    WaypointTable waypoints_;
    ReferenceTrack displayTrack_;

    QMenu* toolsMenu_ = nullptr;
    QMenu* flyToMenu_ = nullptr;
    QToolBar* reviewBar_ = nullptr;
    std::map<int, QAction*> actions_;
    std::vector<QAction*> flyToActions_;
    std::array<int, 4> menuCache_{-1, -1, -1, -1};
    std::array<QTimer, 5> timers_;
};

}  // namespace trakomer

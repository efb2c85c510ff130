// The commands of the Tools menu, the review buttons, keys and stylus.
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "app/command_ids.h"
#include "app/gl_screen.h"
#include "app/main_window.h"
#include "app/screen_widget.h"
#include "app/window_helpers.h"
#include "core/settings_file.h"
#include "core/track_filters.h"
#include "files/file_types.h"
#include "files/gpx_writer.h"
#include "files/kml_writer.h"
#include "screens/screens.h"
#include "speech/sentences.h"

namespace trakomer {

namespace {

// Keeps the modal flag set while a dialog of the program is open.
class ModalScope {
public:
    explicit ModalScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~ModalScope() { flag_ = false; }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

private:
    bool& flag_;
};

std::string BaseName(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void MainWindow::RunCommand(int command) {
    if (command >= kCmdFlyToFirst && command < kCmdFlyToFirst + kFlyToMaxEntries) {
        FlyToEntry(command - kCmdFlyToFirst);
        return;
    }
    switch (command) {
        case kCmdOpen: OpenTrackFile(); break;
        case kCmdSave: SaveTrackFile(); break;
        case kCmdSaveWaypoints: SaveWaypoints(); break;
        case kCmdUploadNow:
            if (uploader_->UploadNow(true, *track_, settings_) != upload::UploadOutcome::NotStarted)
                positionStatusLatest_ = false;
            PublishPositions(true);
            ComposeAndDraw();
            break;
        case kCmdCurrentLocation: FlyToCurrentLocation(); break;
        case kCmdSetWaypoint: SetWaypoint(); break;
        case kCmdPreferences: {
            ModalScope modal(modalOpen_);
            ShowPreferences();
            break;
        }
        case kCmdStop: recorder_->ConfirmStop(); break;
        case kCmdReset: recorder_->ConfirmReset(); break;
        case kCmdContents: OpenHelp(); break;
        case kCmdAbout: ShowAbout(); break;
        case kCmdExit: Exit(); break;
        case kCmdPlay: recorder_->Playback(PlaybackCommand::Play); break;
        case kCmdPause: recorder_->Playback(PlaybackCommand::Pause); break;
        case kCmdStart: recorder_->Playback(PlaybackCommand::Start); break;
        case kCmdRewind: recorder_->Playback(PlaybackCommand::Rewind); break;
        case kCmdStepBack: recorder_->Playback(PlaybackCommand::StepBack); break;
        case kCmdStepForward: recorder_->Playback(PlaybackCommand::StepForward); break;
        case kCmdFastForward: recorder_->Playback(PlaybackCommand::FastForward); break;
        case kCmdEnd: recorder_->Playback(PlaybackCommand::End); break;
        case kCmdDeleteCurrent: recorder_->Playback(PlaybackCommand::DeleteCurrent); break;
        default: break;  // 1 (Ctrl+Q) and unknown numbers do nothing
    }
}

void MainWindow::OpenTrackFile() {
    Timer(2).stop();
    Timer(1).stop();
    std::string name;
    if (services_.files->Choose(FileDialogKind::Open, settings_, name) &&
        OpenFileType(name) != TrackFileType::None) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        // The whole reset (state, menus, views), with the timers kept off
        // while the file is read and the clean-up question is open.
        recorder_->ResetAll();
        Timer(2).stop();
        Timer(1).stop();
        if (services_.trackFiles->ReadTrack(name, *track_) && track_->loadedCount > 0) {
            OfferCleanup(*track_, *services_.dialogs, name);
        }
        QApplication::restoreOverrideCursor();
        if (track_->InReview()) {
            trackTitle_ = TrackTitle(BaseName(name));
            graphRecompute_ = true;
            recorder_->ProcessReview();  // statistics, review buttons, timers
            ComposeAndDraw();
            return;
        }
    }
    recorder_->ArmTimers();
}

void MainWindow::SaveTrackFile() {
    ModalScope modal(modalOpen_);
    std::string name;
    if (!services_.files->Choose(FileDialogKind::Save, settings_, name)) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    errno = 0;
    const bool saved = services_.trackFiles->SaveTrack(name, *track_);
    const int error = errno;
    QApplication::restoreOverrideCursor();
    // A save that wrote nothing says so, and why when the system told.
    if (!saved) {
        const std::string reason = SaveFileType(name) == TrackFileType::None
                                       ? "no .trk, .trz, .log or .kmz in the name"
                                       : (error != 0 ? std::strerror(error) : "");
        services_.dialogs->ShowMessage(name, SaveFailedCaption(reason), MessageIcon::Error);
    }
}

void MainWindow::SaveWaypoints() {
    ModalScope modal(modalOpen_);
    std::string name;
    if (!services_.files->Choose(FileDialogKind::SaveWaypoints, settings_, name)) return;
    const TrackFileType type = SaveWaypointsFileType(name);
    if (type == TrackFileType::None) {
        services_.dialogs->ShowMessage(name, SaveFailedCaption("no .kmz or .gpx in the name"),
                                       MessageIcon::Error);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    errno = 0;
    const bool saved = (type == TrackFileType::Gpx ? WriteWaypointsGpx(waypoints_, name)
                                                   : WriteWaypointsKmz(waypoints_, name)) >= 0;
    const int error = errno;
    QApplication::restoreOverrideCursor();
    if (!saved) {
        services_.dialogs->ShowMessage(name, SaveFailedCaption(error != 0 ? std::strerror(error) : ""),
                                       MessageIcon::Error);
    }
}

void MainWindow::SetWaypoint() {
    ModalScope modal(modalOpen_);
    bool ok = false;
    QString name = QInputDialog::getText(
        this, "Define New Waypoint",
        "After entering a name below, press OK to return to the map then tap the position "
        "of the new waypoint",
        QLineEdit::Normal, QString(), &ok);
    if (ok) DefineWaypoint(name.toStdString());
}

void MainWindow::DefineWaypoint(const std::string& name) {
    if (name.empty() || waypoints_.waypointCount >= kWaypointCapacity) return;
    // The name waits in the next free slot until the user taps the place.
    waypoints_.entries[static_cast<size_t>(waypoints_.waypointCount)].name = CutWaypointName(name);
    placingWaypoint_ = true;
}

void MainWindow::OpenHelp() {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(
        paths_.DataFile("trakomer.htm"))));
}

void MainWindow::ShowAbout() {
    ModalScope modal(modalOpen_);
    std::ifstream file(paths_.DataFile("eula.txt"), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    const std::string agreement = text.str();

    QDialog box(this);
    box.setWindowTitle("About");
    auto* layout = new QVBoxLayout(&box);
    auto* field = new QPlainTextEdit(QString::fromLatin1(agreement.c_str()));
    field->setReadOnly(true);
    layout->addWidget(field);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    QPushButton* read = buttons->addButton("Read", QDialogButtonBox::ActionRole);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    QObject::connect(read, &QPushButton::clicked, &box, [this, &box, agreement] {
        // Between pieces the box stays responsive; closing it ends the reading.
        speech::ReadAloud(*services_.speaker, agreement, [&box] {
            QApplication::processEvents();
            return box.isVisible();
        });
    });
    box.exec();
}

void MainWindow::QuitOnSignal() {
    if (ownDialogs_) ownDialogs_->SetUnattended(true);
    if (recorder_->State().recordingState == RecordingState::Started) recorder_->StopRecording();
    Exit();
}

void MainWindow::Exit() {
    Settings toSave = settings_;
    if (savedCommDevice_) toSave.mCommDevice = *savedCommDevice_;
    SaveSettings(paths_.SettingsFile(), toSave);
    for (QTimer& timer : timers_) timer.stop();
    port_.closePauseMs = 0;
    port_.Close();
    CancelLauncher();
    QApplication::exit(0);
}

void MainWindow::PresentGlFrame(const QImage& frame) {
    if (!IsTwoDimensionalScreen(currentScreen_)) screen_->ShowGlScreen(frame, frame.isNull() ? HintText() : std::string());
}

// ---- Keys -------------------------------------------------------------------

void MainWindow::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    KeyReleased(event->key());
}

void MainWindow::KeyReleased(int key) {
    switch (key) {
        case Qt::Key_Left: case Qt::Key_4: StepScreen(false); break;
        case Qt::Key_Right: case Qt::Key_6: StepScreen(true); break;
        case Qt::Key_Up: case Qt::Key_2: Zoom(true); break;
        case Qt::Key_Down: case Qt::Key_8: Zoom(false); break;
        case Qt::Key_Return: case Qt::Key_Enter: case Qt::Key_5: ResetZoom(); break;
        default: break;
    }
}

void MainWindow::Zoom(bool in) {
    double* zoom = nullptr;
    if (currentScreen_ == kScreenGlobe) {
        if (in && view_.globeZoom > 10.0) return;
        zoom = &view_.globeZoom;
    } else if (currentScreen_ == 0 || currentScreen_ == 1) {
        if (in && view_.mapZoom > 150.0) return;
        if (!in && view_.mapZoom < 0.00005) return;
        zoom = &view_.mapZoom;
    } else {
        return;
    }
    *zoom *= in ? 1.1 : 0.9;
    if (view_.busy) return;
    if (view_.panX != 0 || view_.panY != 0) {
        // The place shown stays: the present centre becomes the target.
        TargetViewCentre();
        view_.flyTo = true;
        view_.panX = view_.panY = 0;
    }
    view_.busy = true;
    ComposeAndDraw();
    view_.busy = false;
}

void MainWindow::ResetZoom() {
    view_.mapZoom = view_.globeZoom = 1.0;
    view_.panRateX = view_.panRateY = view_.spinRateX = view_.spinRateY = 0;
    view_.panX = view_.panY = 0;
    view_.flyTo = false;
    if (glScreen_) glScreen_->ResetViewState();
    ComposeAndDraw();
}

// ---- Stylus -----------------------------------------------------------------

void MainWindow::StylusDown(int x, int y) {
    if (placingWaypoint_ || IsTwoDimensionalScreen(currentScreen_)) return;
    lastTapX_ = x;
    lastTapY_ = y;
    recorder_->OnScreenTap(x, y, screen_->width(), screen_->height());
    dragging_ = true;
}

void MainWindow::StylusMove(int x, int y) {
    if (!dragging_) return;
    if (currentScreen_ == kScreenGlobe) {
        view_.spinRateX = (x - lastTapX_) * 0.5;
        view_.spinRateY = (y - lastTapY_) * 0.5;
    } else if (currentScreen_ == 0 || currentScreen_ == 1) {
        view_.panRateX = x - lastTapX_;
        view_.panRateY = y - lastTapY_;
    }
    lastTapX_ = x;
    lastTapY_ = y;
    RenderCurrentScreen();
}

void MainWindow::StylusUp(int x, int y) {
    if (dragging_) {
        view_.panRateX = view_.panRateY = view_.spinRateX = view_.spinRateY = 0;
        dragging_ = false;
        return;
    }
    if (!placingWaypoint_) return;
    // Where the user tapped on the map (the newest point without GL).
    PlaceWaypointAt(waypoints_.entries[static_cast<size_t>(waypoints_.waypointCount)], x, y);
    ++waypoints_.waypointCount;
    waypoints_.waypointsShown = true;
    placingWaypoint_ = false;
    RebuildMenus(track_->InReview());
}

}  // namespace trakomer

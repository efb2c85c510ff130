// The window's side of the GL screens: what a frame reads, the map
// projection for placing waypoints, and Fly To.
#include <QThread>

#include <vector>

#include "app/gl_screen.h"
#include "app/main_window.h"
#include "app/screen_widget.h"
#include "app/window_helpers.h"
#include "gl/fly_to.h"
#include "gl/image_slots.h"
#include "gl/screen_views.h"
#include "screens/screens.h"

namespace trakomer {

bool MainWindow::DrawGlScreen() {
    if (!glScreen_) {
        glScreen_ = std::make_unique<GlScreen>(
            [this](const QImage& frame) { PresentGlFrame(frame); },
            services_.screenImages ? paths_.dataFolder : std::string(),
            [this](const std::string& message) {
                services_.dialogs->ShowMessage(message, "Error", MessageIcon::Error);
            });
    }
    if (!glScreen_->Available()) return false;
    const GpsFix fix = gps_.Snapshot();
    gl::FrameInputs in;
    in.track = track_.get();
    in.fix = &fix;
    in.screen = currentScreen_;
    in.recordingState = static_cast<int>(recorder_->State().recordingState);
    in.linkOpenFailed = port_.openFailed;
    in.texts = {texts_.screenText, texts_.legendTitle, texts_.legendMax, texts_.legendMin,
                texts_.scaleLabel};
    if (pace_.active) {
        in.paceTrack = pace_.reference;
        in.paceIndex = pace_.ghostIndex;
    }
    std::vector<gl::MapWaypoint> waypoints;
    waypoints.reserve(static_cast<size_t>(waypoints_.waypointCount));
    for (int i = 0; i < waypoints_.waypointCount; ++i) {
        const Waypoint& w = waypoints_.entries[static_cast<size_t>(i)];
        waypoints.push_back({w.name, w.latitude, w.longitude});
    }
    in.waypoints = waypoints;
    std::vector<gl::LatLon> displayTrack;
    displayTrack.reserve(displayTrack_.points.size());
    for (const TrackPoint& p : displayTrack_.points) {
        displayTrack.push_back({p.latitude, p.longitude});
    }
    in.displayTrack = displayTrack;
    const QSize area = screen_->size().isEmpty() ? QSize(1, 1) : screen_->size();
    glScreen_->pixelScale = PixelScale();
    const int loads = glScreen_->ImageLoads();
    const bool drawn = glScreen_->Draw(in, area, settings_.mUpMode, view_);
    // The maps are known once the images are loaded (at GL start and after
    // every rebuild): Fly To lists them.
    if (glScreen_->ImageLoads() != loads) RebuildFlyTo();
    return drawn && !IsTwoDimensionalScreen(currentScreen_);
}

const gl::ImageSlotTable* MainWindow::ImageSlots() const {
    if (!glScreen_ || !glScreen_->Available() || glScreen_->ImageLoads() == 0) return nullptr;
    return &glScreen_->Images();
}

void MainWindow::ShowScreen(int screen) {
    if (screen < 0 || screen > 5) return;
    currentScreen_ = screen;
    view_.flyTo = false;
    UpdateMenuStates();
    ComposeAndDraw();
}

QSize MainWindow::ScreenAreaSize() const { return screen_->size(); }

QImage MainWindow::GrabScreenArea() const { return screen_->grab().toImage(); }

std::vector<std::string> MainWindow::FlyToMapNames() const {
    std::vector<std::string> names;
    const gl::ImageSlotTable* images = ImageSlots();
    if (images == nullptr) return names;
    for (int i = 0; i < gl::FlyToMapSlots(*images); ++i) {
        const std::string& path = images->slots[static_cast<size_t>(i)].path;
        const size_t slash = path.find_last_of("/\\");
        names.push_back(slash == std::string::npos ? path : path.substr(slash + 1));
    }
    return names;
}

void MainWindow::FlyToEntry(int entry) {
    if (currentScreen_ > 1) currentScreen_ = 0;
    view_.flyTo = true;
    const gl::ImageSlotTable* images = ImageSlots();
    const int maps = images != nullptr ? gl::FlyToMapSlots(*images) : 0;
    if (entry < maps) {
        const gl::SlotCentre middle = gl::MapCentre(images->slots[static_cast<size_t>(entry)]);
        RunFlyTo(middle.latitude, middle.longitude);
        return;
    }
    const int waypoint = entry - maps;
    if (waypoint < 0 || waypoint >= waypoints_.waypointCount) return;
    const Waypoint& w = waypoints_.entries[static_cast<size_t>(waypoint)];
    RunFlyTo(w.latitude, w.longitude);
}

void MainWindow::FlyToCurrentLocation() {
    // Only with a position to fly to (an empty track has none).
    if (track_->lastIndex > 0) {
        if (currentScreen_ > 1) currentScreen_ = 0;
        view_.flyTo = true;
        const TrackPoint& p = track_->points[static_cast<size_t>(track_->lastIndex)];
        RunFlyTo(p.latitude, p.longitude);
    }
    // The view follows the position again, without the pan.
    view_.flyTo = false;
    view_.panX = view_.panY = 0;
    ComposeAndDraw();
}

void MainWindow::RunFlyTo(double latitude, double longitude) {
    gl::LatLon centre{latitude, longitude};
    if (glScreen_ && glScreen_->Available()) {
        centre = glScreen_->ViewCentre();
    } else if (!view_.flyTo && track_->lastIndex >= 0) {
        const TrackPoint& p = track_->points[static_cast<size_t>(track_->lastIndex)];
        centre = {p.latitude, p.longitude};
    } else if (view_.flyTo) {
        centre = {view_.targetLatitude, view_.targetLongitude};
    }
    const auto wait = services_.sleep ? services_.sleep
                                      : [](int ms) { QThread::msleep(static_cast<unsigned>(ms)); };
    view_.busy = true;
    const int frames = gl::FlyTo(
        centre, {latitude, longitude}, track_->lastIndex < 0,
        [this](const gl::FlyToFrame& frame) {
            view_.targetLatitude = frame.target.latitude;
            view_.targetLongitude = frame.target.longitude;
            view_.mapZoom = frame.zoom;
            view_.panX = view_.panY = 0;
            ComposeAndDraw();
        },
        wait);
    view_.busy = false;
    if (frames == 0) {
        // Nothing to fly over: the view shows the target at once.
        view_.targetLatitude = latitude;
        view_.targetLongitude = longitude;
        ComposeAndDraw();
    }
}

void MainWindow::TargetViewCentre() {
    if (glScreen_ && glScreen_->Available()) {
        const gl::LatLon centre = glScreen_->ViewCentre();
        view_.targetLatitude = centre.latitude;
        view_.targetLongitude = centre.longitude;
    } else if (!view_.flyTo && track_->lastIndex >= 0) {
        const TrackPoint& p = track_->points[static_cast<size_t>(track_->lastIndex)];
        view_.targetLatitude = p.latitude;
        view_.targetLongitude = p.longitude;
    }
}

double MainWindow::MapHalfWidth() const {
    if (glScreen_ && glScreen_->Available()) return glScreen_->HalfWidthNm();
    return MapHalfWidthNm(view_.mapZoom);
}

void MainWindow::PlaceWaypointAt(Waypoint& waypoint, int x, int y) const {
    if (glScreen_ && glScreen_->Available()) {
        const gl::LatLon at = glScreen_->ProjectFromView(x, y);
        waypoint.latitude = at.latitude;
        waypoint.longitude = at.longitude;
    } else if (track_->lastIndex >= 0) {
        const TrackPoint& point = track_->points[static_cast<size_t>(track_->lastIndex)];
        waypoint.latitude = point.latitude;
        waypoint.longitude = point.longitude;
    }
}

}  // namespace trakomer

// The window's side of the GL screens: what a frame reads, and the map
// projection for placing waypoints.
#include <vector>

#include "app/gl_screen.h"
#include "app/main_window.h"
#include "app/screen_widget.h"
#include "app/window_helpers.h"
#include "gl/screen_views.h"
#include "screens/screens.h"

namespace trakomer {

bool MainWindow::DrawGlScreen() {
    if (!glScreen_) {
        glScreen_ = std::make_unique<GlScreen>([this](const QImage& frame) { PresentGlFrame(frame); });
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
    const QSize area = screen_->size().isEmpty() ? QSize(1, 1) : screen_->size();
    const bool drawn = glScreen_->Draw(in, area, settings_.mUpMode, view_);
    return drawn && !IsTwoDimensionalScreen(currentScreen_);
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

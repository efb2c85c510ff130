#include "gl/frame_key.h"

#include <algorithm>

#include "core/content_key.h"
#include "gl/screen_views.h"
#include "gl/sky_view.h"

namespace trakomer::gl {
namespace {

// The drawn points (point 0 also stands for an empty track's view), the
// box and the colour scales.
void AddTrack(ContentKey& key, const Track& track) {
    key.Add(track.lastIndex).Add(track.loadedCount);
    key.Add(track.minLatitude).Add(track.maxLatitude).Add(track.minLongitude);
    key.Add(track.maxLongitude).Add(track.minAltitude).Add(track.maxAltitude);
    key.Add(track.maxSpeed).Add(track.viewHeading).Add(track.markerCourse);
    const int n = std::clamp(track.lastIndex, 0, kTrackCapacity - 1);
    for (int i = 0; i <= n; ++i) {
        const TrackPoint& p = track.points[static_cast<size_t>(i)];
        key.Add(p.latitude).Add(p.longitude).Add(p.altitude).Add(p.speed);
    }
}

void AddOverlays(ContentKey& key, const FrameInputs& in) {
    const TrackScreenTexts& t = in.texts;
    key.Add(t.header).Add(t.legendTitle).Add(t.legendMax).Add(t.legendMin).Add(t.scaleLabel);
    if (in.paceIndex >= 0 && static_cast<size_t>(in.paceIndex) < in.paceTrack.size()) {
        const TrackPoint& p = in.paceTrack[static_cast<size_t>(in.paceIndex)];
        key.Add(p.latitude).Add(p.longitude).Add(p.altitude);
    } else {
        key.Add(-1);
    }
    key.Add(in.displayTrack.size());
    for (const LatLon& p : in.displayTrack) key.Add(p.latitude).Add(p.longitude);
    key.Add(in.waypoints.size());
    for (const MapWaypoint& w : in.waypoints) key.Add(w.name).Add(w.latitude).Add(w.longitude);
}

// The globe screen's satellites as drawn: a satellite without a signal is
// not drawn, and the signal shows only as the sphere's size.
void AddSatellites(ContentKey& key, const GpsFix& fix) {
    key.Add(fix.gsaFixMode);
    const int count = std::min<int>(fix.gsvSatellitesInView, kMaxSatellites);
    for (int i = 0; i < count; ++i) {
        const SatelliteInfo& s = fix.gsvSatellites[i];
        if (s.snr == 0) continue;
        key.Add(s.azimuth).Add(s.elevation).Add(s.prn).Add(SatelliteRadius(s.snr));
    }
}

void AddImages(ContentKey& key, const ImageSlotTable& images) {
    key.Add(images.count).Add(images.eye).Add(images.earthMap).Add(images.startup);
    key.Add(images.startButton);
    for (int i = 0; i < images.count; ++i) {
        const ImageSlot& s = images.slots[static_cast<size_t>(i)];
        key.Add(s.texture).Add(s.lat1).Add(s.lon1).Add(s.lat2).Add(s.lon2);
    }
}

}  // namespace

std::optional<uint64_t> FrameKey(const ScreenViews& views, const GlContext& gl) {
    const FrameInputs& in = views.inputs;
    const bool glScreen = in.screen == kScreenTrackAltitude || in.screen == kScreenTrackSpeed ||
                          in.screen == kScreenGlobe;
    if (in.track == nullptr || gl.context == nullptr || !glScreen || views.layoutDue) {
        return std::nullopt;
    }
    const MapViewState& map = views.map;
    const GlobeState& globe = views.globe;
    if (map.panRateX != 0 || map.panRateY != 0 || globe.spinRateX != 0 || globe.spinRateY != 0) {
        return std::nullopt;
    }
    ContentKey key;
    key.Add(in.screen);
    if (in.screen == kScreenGlobe) {
        // The globe faces the track's first point and shows the satellites
        // (no text). Their trail grows only while they are drawn, from the
        // satellites keyed here.
        const TrackPoint& first = in.track->points[0];
        key.Add(first.latitude).Add(first.longitude).Add(in.track->lastIndex > 0);
        if (in.fix != nullptr) AddSatellites(key, *in.fix);
    } else {
        key.Add(in.recordingState).Add(in.linkOpenFailed);
        AddTrack(key, *in.track);
        AddOverlays(key, in);
    }
    key.Add(map.zoom).Add(map.panX).Add(map.panY).Add(map.followOff);
    key.Add(map.targetLatitude).Add(map.targetLongitude);
    key.Add(globe.zoom).Add(globe.rotateX).Add(globe.rotateY);
    key.Add(globe.earthLatch).Add(globe.firstSatelliteLatch);
    const WindowRect& w = gl.windowRect;
    key.Add(w.left).Add(w.top).Add(w.right).Add(w.bottom).Add(gl.pixelScale);
    const ViewSquare& s = gl.viewSquare;
    key.Add(s.left).Add(s.bottom).Add(s.right).Add(s.top);
    // Not the track box: its height only centres the map's turn about the
    // vertical axis, which moves no pixel.
    AddImages(key, gl.images);
    return key.Value();
}

}  // namespace trakomer::gl

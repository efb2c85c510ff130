#include "gl/screen_views.h"

#include <GLES/gl.h>

#include <algorithm>
#include <cmath>

#include "gl/draw_compass.h"
#include "gl/draw_text.h"
#include "gl/frame_key.h"
#include "gl/map_images.h"
#include "gl/pixel_matrix.h"

namespace trakomer::gl {
namespace {

// Trail samples on the track screens: every twelfth frame.
constexpr int kTrailSampleFrames = 10;
constexpr double kSatelliteZoomOut = 0.4;

bool IsGlScreen(int screen) {
    return screen == kScreenTrackAltitude || screen == kScreenTrackSpeed || screen == kScreenGlobe;
}

int AddPan(int pan, float rate) {
    if (!std::isfinite(rate)) return pan;
    const double sum = static_cast<double>(pan) + std::trunc(rate);
    return static_cast<int>(std::clamp(sum, -1.0e9, 1.0e9));
}

ImageSlot const* SlotWithTexture(const ImageSlotTable& images, int index) {
    if (index < 0 || index >= images.count) return nullptr;
    const ImageSlot& slot = images.slots[static_cast<size_t>(index)];
    return slot.texture != 0 ? &slot : nullptr;
}

// The rotation of the map by -viewHeading about the square's centre at the
// middle height of the drawn track. Textured quads take the plain identity
// (texel centres), lines and points the half-pixel one.
void LoadMapRotation(const GlContext& gl, double viewHeading, bool pixelCentres) {
    const ViewSquare& square = gl.viewSquare;
    const int cx = square.left + (square.right - square.left) / 2;
    const int cy = square.bottom + (square.top - square.bottom) / 2;
    const int cz = gl.draw.trackBox.minZ + (gl.draw.trackBox.maxZ - gl.draw.trackBox.minZ) / 2;
    if (pixelCentres) {
        LoadPixelIdentity();
    } else {
        glLoadIdentity();
    }
    glTranslatex(ToFixed(cx), ToFixed(cy), ToFixed(cz));
    glRotatex(FixedDegrees(-viewHeading), 0, 0, kFixedOne);
    glTranslatex(-ToFixed(cx), -ToFixed(cy), -ToFixed(cz));
}

void DrawWhiteXorText(DrawState& draw, int x, int y, std::string_view text) {
    std::u16string wide(text.begin(), text.end());
    for (char16_t& c : wide) c = static_cast<unsigned char>(c);
    DrawTextXor(draw, x, y, wide);
}

void DrawSlotQuad(const ImageSlotTable& images, int index, const MapQuad& quad) {
    if (const ImageSlot* slot = SlotWithTexture(images, index)) DrawImageQuad(*slot, quad);
}

}  // namespace

TrackLayout ComputeTrackLayout(const WindowRect& w) {
    TrackLayout layout;
    layout.legendLeft = w.right - 12;
    layout.legendRight = w.right - 2;
    layout.legendTop = w.top + 50;
    layout.legendBottom = w.bottom - 50;
    const int half = (w.right - w.left) / 2;
    const int q = half / 2;
    layout.scaleBar[0] = {q, 7};
    layout.scaleBar[1] = {q, 2};
    layout.scaleBar[2] = {half + q, 2};
    layout.scaleBar[3] = {half + q, 7};
    const int y0 = static_cast<int>(0.29 * w.bottom + 2.0) - 2;
    layout.defaultMarker.x = (w.left + 1) + ((w.right - 1) - (w.left + 1)) / 2;
    layout.defaultMarker.y = y0 + ((w.bottom - 1) - y0) / 2;
    layout.defaultMarker.z = 0;
    return layout;
}

void ScreenViews::LoadImages(GlContext& gl) {
    drawnKey_.reset();
    if (imageLoader) imageLoader(gl);
    FindSpecialSlots(gl.images);
}

void ScreenViews::ResetViewState() {
    drawnKey_.reset();
    globe.rotateX = globe.rotateY = 0;
    map.panX = map.panY = 0;
}

bool ScreenViews::Idle() const {
    return inputs.recordingState == kRecordingWaiting && !inputs.track->InReview();
}

void ScreenViews::DrawChangedFrame(GlContext& gl) {
    const std::optional<uint64_t> key = FrameKey(*this, gl);
    if (key && key == drawnKey_) {
        // What the frame does besides drawing: the map's scale follows the
        // newest point (the globe screen does not show it, but placing and
        // flying start from it), and the track screens sample the trail.
        // The globe screen's trail is unchanged: its satellites are those of
        // the frame shown.
        UpdateMapScale(map, gl.windowRect, gl.viewSquare, *inputs.track);
        if (inputs.screen != kScreenGlobe) SampleTrailOnTrackScreen(gl);
        return;
    }
    DrawFrame(gl);
    drawnKey_ = key;
}

void ScreenViews::DrawFrame(GlContext& gl) {
    drawnKey_.reset();
    if (inputs.track == nullptr) return;
    map.panX = AddPan(map.panX, map.panRateX);
    map.panY = AddPan(map.panY, map.panRateY);
    if (!IsGlScreen(inputs.screen)) {
        if (inputs.fix != nullptr && inputs.fix->rmcStatus == 'A') {
            SampleSatellites(globe.trail, gl.windowRect, *inputs.fix);
        }
        return;
    }
    if (gl.context == nullptr) return;
    UpdateMapScale(map, gl.windowRect, gl.viewSquare, *inputs.track);
    trackRotated_ = DrawBackground(gl);
    if (inputs.screen == kScreenGlobe) {
        DrawGlobeScreen(gl);
    } else {
        DrawTrackScreen(gl);
    }
}

bool ScreenViews::DrawBackground(GlContext& gl) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    const Track& track = *inputs.track;
    const bool empty = track.lastIndex < 0;
    const bool trackScreen = inputs.screen != kScreenGlobe;
    const ViewSquare& square = gl.viewSquare;
    if (empty && !map.followOff && trackScreen) {
        glLoadIdentity();
        DrawSlotQuad(gl.images, gl.images.startup,
                     {gl.images.startup, square.left, square.bottom, square.right, square.top});
        return false;
    }
    if (trackScreen && map.zoom > kMapZoomGlobe) {
        bool rotated = true;
        LoadMapRotation(gl, track.viewHeading, false);
        for (const MapQuad& quad : ChooseMapQuads(gl.images, map, square)) {
            DrawSlotQuad(gl.images, quad.slot, quad);
            SpinGlobe(globe);
        }
        if (Idle() && !empty && SlotWithTexture(gl.images, gl.images.startButton) != nullptr) {
            const int m = std::min(gl.windowRect.right, gl.windowRect.bottom);
            glLoadIdentity();
            DrawSlotQuad(gl.images, gl.images.startButton,
                         {gl.images.startButton, 0, 0, m / 2, m / 5});
            rotated = false;
        }
        if (!empty && !Idle()) DrawCompass(gl.draw, track.viewHeading);
        return rotated;
    }
    SpinGlobe(globe);
    GlobeFacing facing;
    if (map.followOff) {
        facing = {map.targetLatitude, map.targetLongitude};
    } else {
        facing = {track.points[0].latitude, track.points[0].longitude};
    }
    DrawGlobe(globe, gl.images, gl.windowRect.Width() / 2, gl.windowRect.Height() / 2, 0,
              static_cast<float>(kGlobeRadius), track.lastIndex > 0, facing);
    return true;
}

void ScreenViews::DrawGlobeScreen(GlContext& gl) {
    if (inputs.fix != nullptr) {
        const GpsFix& fix = *inputs.fix;
        const int count = std::min<int>(fix.gsvSatellitesInView, kMaxSatellites);
        for (int i = 0; i < count; ++i) {
            const SatelliteInfo& satellite = fix.gsvSatellites[i];
            if (satellite.snr == 0) continue;
            if (!globe.firstSatelliteLatch) {
                globe.zoom *= kSatelliteZoomOut;
                globe.firstSatelliteLatch = true;
            }
            DrawSatellite(globe, gl.windowRect, satellite.azimuth, satellite.elevation,
                          satellite.prn, satellite.snr, fix.gsaFixMode);
        }
    }
    globe.trailCounter = 0;
    DrawTrail(globe, gl.windowRect);
    PresentFrame(gl);
}

void ScreenViews::DrawTrackScreen(GlContext& gl) {
    if (layoutDue) {
        layout = ComputeTrackLayout(gl.windowRect);
        layoutDue = false;
    }
    SampleTrailOnTrackScreen(gl);
    DrawTrackAndOverlays(gl);
    DrawLegendAndTexts(gl);
    PresentFrame(gl);
}

void ScreenViews::SampleTrailOnTrackScreen(const GlContext& gl) {
    if (globe.trailCounter++ > kTrailSampleFrames) {
        if (inputs.fix != nullptr) SampleSatellites(globe.trail, gl.windowRect, *inputs.fix);
        globe.trailCounter = 0;
    }
}

void ScreenViews::DrawTrackAndOverlays(GlContext& gl) {
    const Track& track = *inputs.track;
    const int n = std::min(track.lastIndex, kTrackCapacity - 1);
    if (trackRotated_) {
        LoadMapRotation(gl, track.viewHeading, true);
    } else {
        LoadPixelIdentity();
    }
    if (n > 0) {
        const TrackPoint& first = track.points[0];
        const TrackPoint& last = track.points[static_cast<size_t>(n)];
        startMarker = ProjectToView(map, first.latitude, first.longitude, first.altitude);
        currentMarker = ProjectToView(map, last.latitude, last.longitude, last.altitude);
        BuildRibbon(track, map, inputs.screen, ribbon_);
        DrawTrackRibbon(gl.draw, ribbon_.points, ribbon_.colours);
    } else {
        // A new track starts from the default place, not where the last
        // one ended.
        startMarker = currentMarker = layout.defaultMarker;
        glColor4x(kFixedOne, kFixedOne, kFixedOne, kFixedOne);
    }
    if (n >= 0) {
        DrawPositionArrow(currentMarker.x, currentMarker.y, currentMarker.z, track.markerCourse);
        DrawCircleXor(startMarker.x, startMarker.y, startMarker.z);
    }
    if (n < 0 && !map.followOff) return;
    const auto& pace = inputs.paceTrack;
    if (inputs.paceIndex >= 0 && static_cast<size_t>(inputs.paceIndex) < pace.size()) {
        const TrackPoint& p = pace[static_cast<size_t>(inputs.paceIndex)];
        const ScreenPoint at = ProjectToView(map, p.latitude, p.longitude, p.altitude);
        DrawCircleXor(at.x, at.y, at.z);
    }
    if (!inputs.displayTrack.empty()) {
        strip_.clear();
        for (const LatLon& p : inputs.displayTrack) {
            const ScreenPoint at = ProjectToView(map, p.latitude, p.longitude);
            strip_.push_back({at.x, at.y});
        }
        DrawLineStrip(gl.draw, strip_, false);
    }
    for (const MapWaypoint& waypoint : inputs.waypoints) {
        const ScreenPoint at = ProjectToView(map, waypoint.latitude, waypoint.longitude);
        DrawMarkerTriangle(gl.draw, at.x, at.y, 9);
        std::u16string name(waypoint.name.begin(), waypoint.name.end());
        for (char16_t& c : name) c = static_cast<unsigned char>(c);
        DrawTextXorColour(gl.draw, at.x, at.y, name, 9);
    }
}

void ScreenViews::DrawLegendAndTexts(GlContext& gl) {
    const WindowRect& w = gl.windowRect;
    const int height = w.bottom - w.top;
    const TrackLayout& l = layout;
    const int step = (l.legendBottom - l.legendTop) / 20;
    for (int i = 1; i <= kRampSize; ++i) {
        DrawLegendBox(gl.draw, height, l.legendLeft, l.legendBottom - (i - 1) * step - 5,
                      l.legendRight, l.legendBottom - i * step - 5, i - 1);
    }
    const TrackScreenTexts& t = inputs.texts;
    auto label = [&](int anchor, int y, std::string_view text) {
        DrawWhiteXorText(gl.draw, RightAlignedX(anchor, static_cast<int>(text.size())), y, text);
    };
    label(l.legendRight, (w.bottom - l.legendTop - w.top) + 20, t.legendTitle);
    label(l.legendLeft, (w.bottom - l.legendTop - w.top) + 10, t.legendMax);
    label(l.legendLeft, (w.bottom - l.legendBottom - w.top) + 25, t.legendMin);
    DrawWhiteXorText(gl.draw, w.left, height - 12, t.header);
    const Track& track = *inputs.track;
    if (track.lastIndex < 0) {
        DrawWhiteXorText(gl.draw, 0, 30,
                         inputs.linkOpenFailed
                             ? "Hint: To setup communications\nwith your GPS use:\n"
                               "Tools->Preferences->NMEA"
                             : "Hint: You can use the arrow\nkeys on your device to cycle\n"
                               "through available screens.");
    } else if (!Idle()) {
        DrawLineStripFlat(gl.draw, l.scaleBar, true);
        DrawWhiteXorText(gl.draw, l.scaleBar[0].x + 20, 7, t.scaleLabel);
    }
}

}  // namespace trakomer::gl

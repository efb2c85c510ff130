#pragma once
// The GL screens: 0 "Track with Altitude" and 1 "Track with Speed" (the
// track as a coloured ribbon over maps or the globe, markers, compass,
// legend and texts) and 4 "Globe" (the satellites in the sky). The window
// sets the inputs, then calls DrawFrame; the frame reaches the window
// through PresentFrame.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/track.h"
#include "gl/draw_shapes.h"
#include "gl/globe_view.h"
#include "gl/gl_context.h"
#include "gl/gl_seams.h"
#include "gl/map_projection.h"
#include "gps/gps_fix.h"

namespace trakomer::gl {

constexpr int kScreenTrackAltitude = 0;
constexpr int kScreenTrackSpeed = 1;
constexpr int kScreenGlobe = 4;
constexpr int kRecordingWaiting = 1;

// The texts the screen composer prepared for the track screens (8-bit).
struct TrackScreenTexts {
    std::string_view header;  // the screen text, drawn at the top left
    std::string_view legendTitle;
    std::string_view legendMax;
    std::string_view legendMin;
    std::string_view scaleLabel;
};

struct MapWaypoint {
    std::string_view name;
    double latitude = 0;
    double longitude = 0;
};

// What one frame reads. Pointers are not owned and must outlive DrawFrame.
struct FrameInputs {
    const Track* track = nullptr;
    const GpsFix* fix = nullptr;  // a snapshot: read without a lock
    int screen = kScreenTrackAltitude;
    int recordingState = kRecordingWaiting;
    bool linkOpenFailed = false;  // the GPS port could not be opened
    TrackScreenTexts texts;
    // Overlays, each only when loaded.
    std::span<const TrackPoint> paceTrack;
    int paceIndex = -1;  // the pace track's current point
    std::span<const LatLon> displayTrack;
    std::span<const MapWaypoint> waypoints;
};

// Positions laid out on the first track-screen frame after a GL set-up.
struct TrackLayout {
    // Legend box; heights measured downward from the window's top.
    int legendLeft = 0, legendTop = 0, legendRight = 0, legendBottom = 0;
    PixelPoint scaleBar[4];
    ScreenPoint defaultMarker;
};

class ScreenViews : public GlViews {
public:
    FrameInputs inputs;
    MapViewState map;
    GlobeState globe;
    TrackLayout layout;
    bool layoutDue = true;
    ScreenPoint startMarker;
    ScreenPoint currentMarker;
    // Fills the image slot table; map packages and the image list hook in
    // here. Without it the screens draw without images.
    std::function<void(GlContext&)> imageLoader;
    // Starts reading those images ahead; may be null.
    std::function<void()> imagePrefetch;

    void LoadImages(GlContext& gl) override;
    void PrepareImages() override {
        if (imagePrefetch) imagePrefetch();
    }
    void ResetViewState() override;
    void DrawFrame(GlContext& gl) override;
    void LayoutChanged() override { layoutDue = true; }
    // A tick's frame: drawn unless it would show exactly what the last
    // frame drawn here showed. A frame not drawn still samples the
    // satellite trail as a drawn one would.
    void DrawChangedFrame(GlContext& gl);

private:
    bool DrawBackground(GlContext& gl);
    void DrawTrackScreen(GlContext& gl);
    void DrawGlobeScreen(GlContext& gl);
    void DrawTrackAndOverlays(GlContext& gl);
    void DrawLegendAndTexts(GlContext& gl);
    bool Idle() const;
    void SampleTrailOnTrackScreen(const GlContext& gl);
    bool trackRotated_ = true;
    // The key of the last frame DrawChangedFrame drew; empty after any
    // other frame, a new set-up or a screen that is not drawn with GL.
    std::optional<uint64_t> drawnKey_;
    Ribbon ribbon_;
    std::vector<PixelPoint> strip_;
};

// Layout for a window rectangle.
TrackLayout ComputeTrackLayout(const WindowRect& window);

// Start of a label of `length` characters right-aligned at `anchor`.
constexpr int RightAlignedX(int anchor, int length) { return anchor - 11 * length + 10; }

}  // namespace trakomer::gl

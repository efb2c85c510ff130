#pragma once
// The track screens' map view: zoom, pan, the fly-to target and the plain
// equirectangular projection between degrees and window pixels. No GL.

#include <span>
#include <vector>

#include "core/track.h"
#include "gl/draw_state.h"
#include "gl/view_geometry.h"

namespace trakomer::gl {

// Pixels per degree at map zoom 1.
constexpr double kPixelsPerDegree = 96000.0;
// Below this map zoom the track screens show the globe instead of maps.
constexpr double kMapZoomGlobe = 0.00005;
constexpr double kMapZoomMax = 150.0;

struct MapViewState {
    double zoom = 1.0;  // ViewZoom
    int panX = 0;       // pixels; the map moves right with PanX
    int panY = 0;       // pixels; the map moves down with PanY
    float panRateX = 0;  // pixels a frame while the stylus drags
    float panRateY = 0;
    // Set: the view shows the target instead of following the position.
    bool followOff = false;
    double targetLatitude = 0;
    double targetLongitude = 0;

    // Recomputed by UpdateMapScale.
    double scale = kPixelsPerDegree;
    double k = 0;              // (width - height) / 2
    long long originX = 0;     // window x of longitude 0 (less k)
    long long originY = 0;
    double leftLongitude = 0;  // at the view square's edges
    double rightLongitude = 0;
    double bottomLatitude = 0;
    double topLatitude = 0;
    double halfWidthNm = 0;    // half the great-circle width along the bottom
};

// Scale, origin, view bounds and half-width for the window and view square.
// The reference point is the fly-to target when followOff is set, else the
// track's newest point.
void UpdateMapScale(MapViewState& map, const WindowRect& window, const ViewSquare& square,
                    const Track& track);

// Window pixels (y upward) of a position; z is the height of the altitude
// (metres) at this scale. Far-away positions are clamped, never wrapped.
ScreenPoint ProjectToView(const MapViewState& map, double latitude, double longitude,
                          double altitude = 0);

struct LatLon {
    double latitude = 0;
    double longitude = 0;
};
// The position under a tap at (x, y), y measured downward from the top of
// a window of the given height.
LatLon ProjectFromView(const MapViewState& map, int windowHeight, int x, int y);

// The centre of the view bounds.
LatLon ViewCentre(const MapViewState& map);

// Zoom steps of the up and down keys: false when refused (in above 150,
// out below 0.00005). A step while panned turns the present centre into
// the fly-to target and zeroes the pan.
bool MapZoomIn(MapViewState& map);
bool MapZoomOut(MapViewState& map);

// The ribbon of a track screen: point 0 and every step-th point
// (step = n / 256 + 1), each projected with its height and given its colour
// index by altitude (screen 0) or speed (screen 1).
struct Ribbon {
    std::vector<ScreenPoint> points;
    std::vector<int> colours;
};
void BuildRibbon(const Track& track, const MapViewState& map, int screen, Ribbon& ribbon);

// The ribbon colour of one point: (value - low) / step, clamped to the
// ramp; 0 when the step is 0 or not a number.
int RibbonColourIndex(double value, double low, double step);

}  // namespace trakomer::gl

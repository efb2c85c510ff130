#pragma once
// The globe and the satellites around it (screen 4), and the globe behind
// the track screens when they are zoomed out beyond the maps.

#include <vector>

#include "gl/image_slots.h"
#include "gl/sky_view.h"
#include "gl/view_geometry.h"

namespace trakomer::gl {

constexpr double kGlobeZoomMax = 10.0;

// One cached sphere mesh; rebuilt when the radius or the division changes.
struct SphereMesh {
    float radius = -1.0f;
    float slices = -1.0f;
    float stacks = -1.0f;
    std::vector<float> positions;
    std::vector<float> normals;
    std::vector<float> texCoords;
};

struct GlobeState {
    double zoom = 1.0;  // GlobeZoom
    int rotateX = 0;    // degrees; reset by every GL set-up
    int rotateY = 0;
    float spinRateX = 0;  // degrees a frame about x (vertical stylus moves)
    float spinRateY = 0;  // about y (horizontal stylus moves)
    // Set the first time the globe is drawn with a track and an earth
    // image: from then on it shows the earth turned to the track.
    bool earthLatch = false;
    // Set the first time a satellite is drawn: the globe zoom is reduced
    // once so that the sky fits the window.
    bool firstSatelliteLatch = false;
    int trailCounter = 0;
    SkyTrail trail;
    SphereMesh mesh;
};

// Zoom keys on the globe screen: in is refused above 10.
bool GlobeZoomIn(GlobeState& globe);
void GlobeZoomOut(GlobeState& globe);

// Advances the spin angles by the spin rates (once a drawn frame).
void SpinGlobe(GlobeState& globe);

// A sphere of that radius at the current origin (GL_FLOAT arrays).
void DrawSphere(SphereMesh& mesh, float radius, int slices, int stacks);

// Where the earth globe turns to face: the fly-to target or the track start.
struct GlobeFacing {
    double latitude = 0;
    double longitude = 0;
};

// The globe at a window position: the eye image turned by the spin angles
// until there is a track and an earth image, then the earth turned so that
// `facing` faces the viewer. Untextured when the image is missing.
void DrawGlobe(GlobeState& globe, const ImageSlotTable& images, int x, int y, int z,
               float radius, bool hasTrack, const GlobeFacing& facing);

// One satellite: a line from the observer, a sphere sized by the signal,
// coloured by the fix mode (1 red, 2 yellow, 3 green), its number beside.
// Also adds its position to the trail.
void DrawSatellite(GlobeState& globe, const WindowRect& window, int azimuth, int elevation,
                   int prn, int snr, int fixMode);

// The trail as white points, turned and zoomed with the globe.
void DrawTrail(const GlobeState& globe, const WindowRect& window);

// Digits as line strokes, 100 units high, drawn at the current origin in
// the current colour (the satellite labels).
void DrawStrokeDigits(const char* text);

}  // namespace trakomer::gl

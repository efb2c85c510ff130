#pragma once
// The satellites in the sky around the globe: where a satellite stands for
// its azimuth and elevation, and the trail of past positions. No GL.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gl/draw_state.h"
#include "gl/view_geometry.h"
#include "gps/gps_fix.h"

namespace trakomer::gl {

constexpr double kGlobeRadius = 90.0;
// The sphere the satellites stand on, around the globe.
constexpr double kSkyRadius = 90.0 * (1.0 + 3.1671370335528377);
constexpr double kSkyDegToRad = 0.01745329222;
constexpr double kSkyRadToDeg = 57.29578049773809;

// Window position of a satellite seen by an observer standing on top of the
// globe at (w/2, h/2, 90): azimuth 0 points up the screen, 90 to the right,
// elevation 90 straight at the viewer.
ScreenPoint SkyPosition(const WindowRect& window, int azimuth, int elevation);

constexpr std::size_t kTrailMax = 2048;
constexpr std::size_t kTrailDrop = 10;

// Past satellite positions as GL_SHORT triples, oldest first, no two equal.
struct SkyTrail {
    std::vector<std::array<int16_t, 3>> points;
};

// When full, drops the 10 oldest first; a point already stored is not
// added again.
void AddTrailPoint(SkyTrail& trail, const ScreenPoint& point);

// Adds the sky position of every satellite in view with a signal.
void SampleSatellites(SkyTrail& trail, const WindowRect& window, const GpsFix& fix);

// Satellite sphere radius by signal strength (dB-Hz).
float SatelliteRadius(int snr);

}  // namespace trakomer::gl

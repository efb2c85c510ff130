#include "gl/sky_view.h"

#include <algorithm>
#include <cmath>

#include "gl/gl_vertices.h"

namespace trakomer::gl {
namespace {

// The angle above the observer's horizon as seen from the globe's centre,
// as the complement used by SkyPosition.
double CentreAngle(int elevation) {
    const double r = kGlobeRadius;
    const double R = kSkyRadius;
    if (elevation == 0) return 90.0 - std::asin(std::sqrt(R * R - r * r) / R) * kSkyRadToDeg;
    if (elevation == 90) return 90.0;
    const double a = elevation + 90.0;
    return 90.0 - (180.0 - std::asin((std::sin(a * kSkyDegToRad) / R) * r) * kSkyRadToDeg - a);
}

}  // namespace

ScreenPoint SkyPosition(const WindowRect& window, int azimuth, int elevation) {
    const double theta = (90.0 - CentreAngle(elevation)) * kSkyDegToRad;
    const double phi = azimuth * kSkyDegToRad;
    ScreenPoint p;
    p.z = static_cast<int>(std::cos(theta) * kSkyRadius);
    p.x = static_cast<int>(std::sin(phi) * std::sin(theta) * kSkyRadius) + window.Width() / 2;
    p.y = static_cast<int>(std::cos(phi) * std::sin(theta) * kSkyRadius) + window.Height() / 2;
    return p;
}

void AddTrailPoint(SkyTrail& trail, const ScreenPoint& point) {
    auto& points = trail.points;
    if (points.size() >= kTrailMax) {
        points.erase(points.begin(), points.begin() + kTrailDrop);
    }
    const std::array<int16_t, 3> stored = {ToShort(point.x), ToShort(point.y), ToShort(point.z)};
    if (std::find(points.begin(), points.end(), stored) != points.end()) return;
    points.push_back(stored);
}

void SampleSatellites(SkyTrail& trail, const WindowRect& window, const GpsFix& fix) {
    const int count = std::min<int>(fix.gsvSatellitesInView, kMaxSatellites);
    for (int i = 0; i < count; ++i) {
        const SatelliteInfo& satellite = fix.gsvSatellites[i];
        if (satellite.snr == 0) continue;
        AddTrailPoint(trail, SkyPosition(window, satellite.azimuth, satellite.elevation));
    }
}

float SatelliteRadius(int snr) {
    if (snr < 36) return 4.0f;
    if (snr < 39) return 8.0f;
    if (snr < 42) return 12.0f;
    if (snr < 46) return 16.0f;
    return 20.0f;
}

}  // namespace trakomer::gl

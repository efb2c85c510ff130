#include "gl/map_projection.h"

#include <algorithm>
#include <cmath>

#include "core/geodesy.h"

namespace trakomer::gl {
namespace {

constexpr double kMapDegToRad = 0.0174532925239284;
constexpr double kMetresToNm = 0.0005399568034557236;
// Far beyond any window, yet safe to add and convert.
constexpr double kFarAway = 1.0e9;
constexpr int kRibbonPoints = 256;

long long TruncClamped(double value) {
    if (!std::isfinite(value)) return 0;
    return static_cast<long long>(std::clamp(value, -kFarAway, kFarAway));
}

int ToPixel(double value) { return static_cast<int>(TruncClamped(value)); }

const TrackPoint& ReferencePoint(const Track& track) {
    return track.points[static_cast<size_t>(std::max(track.lastIndex, 0))];
}

void FollowPresentCentre(MapViewState& map) {
    if (map.panX == 0 && map.panY == 0) return;
    const LatLon centre = ViewCentre(map);
    map.targetLatitude = centre.latitude;
    map.targetLongitude = centre.longitude;
    map.followOff = true;
    map.panX = map.panY = 0;
}

}  // namespace

void UpdateMapScale(MapViewState& map, const WindowRect& window, const ViewSquare& square,
                    const Track& track) {
    map.scale = map.zoom * kPixelsPerDegree;
    map.k = static_cast<double>((window.Width() - window.Height()) / 2);
    const int cx = square.left + (square.right - square.left) / 2;
    const int cy = square.bottom + (square.top - square.bottom) / 2;
    double refLatitude = map.targetLatitude;
    double refLongitude = map.targetLongitude;
    if (!map.followOff) {
        refLatitude = ReferencePoint(track).latitude;
        refLongitude = ReferencePoint(track).longitude;
    }
    const long long rx = TruncClamped(refLongitude * map.scale + map.k);
    const long long ry = TruncClamped(refLatitude * map.scale + map.k);
    map.originX = map.panX - rx + cx;
    map.originY = cy - map.panY - ry;
    const double ox = static_cast<double>(map.originX);
    const double oy = static_cast<double>(map.originY);
    map.leftLongitude = ((square.left - map.k) - ox) / map.scale;
    map.rightLongitude = ((square.right - ox) - map.k) / map.scale;
    map.bottomLatitude = ((square.bottom - map.k) - oy) / map.scale;
    map.topLatitude = ((square.top - oy) - map.k) / map.scale;
    map.halfWidthNm = 0.5 * GreatCircleDistance(map.bottomLatitude * kMapDegToRad,
                                                map.leftLongitude * kMapDegToRad,
                                                map.bottomLatitude * kMapDegToRad,
                                                map.rightLongitude * kMapDegToRad);
}

ScreenPoint ProjectToView(const MapViewState& map, double latitude, double longitude,
                          double altitude) {
    ScreenPoint p;
    p.x = ToPixel(longitude * map.scale + static_cast<double>(map.originX) + map.k);
    p.y = ToPixel(latitude * map.scale + static_cast<double>(map.originY) + map.k);
    p.z = ToPixel(altitude * kMetresToNm * kMapDegToRad * map.scale);
    return p;
}

LatLon ProjectFromView(const MapViewState& map, int windowHeight, int x, int y) {
    LatLon at;
    at.longitude = ((x - map.k) - static_cast<double>(map.originX)) / map.scale;
    at.latitude = (((windowHeight - y) - map.k) - static_cast<double>(map.originY)) / map.scale;
    return at;
}

LatLon ViewCentre(const MapViewState& map) {
    LatLon centre;
    centre.longitude = map.leftLongitude + (map.rightLongitude - map.leftLongitude) * 0.5;
    centre.latitude = map.bottomLatitude + (map.topLatitude - map.bottomLatitude) * 0.5;
    return centre;
}

bool MapZoomIn(MapViewState& map) {
    if (map.zoom > kMapZoomMax) return false;
    map.zoom *= 1.1;
    FollowPresentCentre(map);
    return true;
}

bool MapZoomOut(MapViewState& map) {
    if (map.zoom < kMapZoomGlobe) return false;
    map.zoom *= 0.9;
    FollowPresentCentre(map);
    return true;
}

int RibbonColourIndex(double value, double low, double step) {
    if (!(step > 0) && !(step < 0)) return 0;
    const double index = (value - low) / step;
    if (!std::isfinite(index)) return 0;
    return static_cast<int>(std::clamp(std::trunc(index), 0.0, double(kRampSize - 1)));
}

void BuildRibbon(const Track& track, const MapViewState& map, int screen, Ribbon& ribbon) {
    ribbon.points.clear();
    ribbon.colours.clear();
    const int n = std::min(track.lastIndex, kTrackCapacity - 1);
    if (n <= 0) return;
    const double altitudeStep = (track.maxAltitude - track.minAltitude) * (1.0 / 20.0);
    const double speedStep = track.maxSpeed * (1.0 / 20.0);
    const int step = n / kRibbonPoints + 1;
    for (int i = 0; i <= n; i += step) {
        const TrackPoint& point = track.points[static_cast<size_t>(i)];
        ribbon.points.push_back(
            ProjectToView(map, point.latitude, point.longitude, point.altitude));
        int colour = 0;
        if (i > 0 && screen == 0) {
            colour = RibbonColourIndex(point.altitude, track.minAltitude, altitudeStep);
        } else if (i > 0) {
            colour = RibbonColourIndex(point.speed, 0.0, speedStep);
        }
        ribbon.colours.push_back(colour);
    }
}

}  // namespace trakomer::gl

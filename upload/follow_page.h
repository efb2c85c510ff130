#pragma once
// The follow page: a GeoJSON document of the live track (a LineString) and
// its newest point (a Point with the time, speed, altitude and the Summary
// screen's figures), and a self-contained index.html that reloads it every
// few seconds and draws both on a canvas, over map tiles when a tile URL
// template ({z} {x} {y}) is given and on a plain grid otherwise.

#include <string>

#include "core/settings.h"
#include "core/track.h"

namespace trakomer::upload {

constexpr int kFollowRefreshSeconds = 5;

// "LL.<id>.json".
std::string FollowJsonName(const std::string& deviceId);

// The GeoJSON text.
std::string FollowJson(const Track& track, const Settings& settings);

// The page, which loads FollowJsonName(deviceId) from its own folder.
std::string FollowPageHtml(const std::string& deviceId, const std::string& tileUrl);

}  // namespace trakomer::upload

#include "gl/fly_to.h"

#include <cmath>

namespace trakomer::gl {
namespace {

// How far along the way, and the map zoom, of each frame.
constexpr double kAlong[kFlyToFrames] = {0,     0.001, 0.005, 0.015, 0.035, 0.075, 0.155,
                                         0.275, 0.425, 0.575, 0.725, 0.845, 0.925, 0.965,
                                         0.985, 0.995, 0.999, 1.0,   1.0};
constexpr double kZoom[kFlyToFrames] = {1.0,   0.5,   0.2,     0.1,   0.05,  0.02, 0.01,
                                        0.005, 0.001, 0.00015, 0.001, 0.005, 0.01, 0.02,
                                        0.05,  0.1,   0.2,     0.5,   1.0};

}  // namespace

std::vector<FlyToFrame> PlanFlyTo(const LatLon& centre, const LatLon& target, bool trackEmpty) {
    std::vector<FlyToFrame> frames;
    const bool moves = centre.latitude != target.latitude || centre.longitude != target.longitude;
    if (!moves || trackEmpty) return frames;
    frames.reserve(kFlyToFrames);
    for (int k = 0; k < kFlyToFrames; ++k) {
        FlyToFrame frame;
        frame.target.latitude = centre.latitude + kAlong[k] * (target.latitude - centre.latitude);
        frame.target.longitude =
            centre.longitude + kAlong[k] * (target.longitude - centre.longitude);
        frame.zoom = kZoom[k];
        frame.waitMs = static_cast<int>(std::trunc((1.0 - kZoom[k]) * 200.0));
        frames.push_back(frame);
    }
    return frames;
}

int FlyTo(const LatLon& centre, const LatLon& target, bool trackEmpty,
          const std::function<void(const FlyToFrame&)>& draw,
          const std::function<void(int milliseconds)>& wait) {
    const std::vector<FlyToFrame> frames = PlanFlyTo(centre, target, trackEmpty);
    for (const FlyToFrame& frame : frames) {
        if (draw) draw(frame);
        if (wait) wait(frame.waitMs);
    }
    return static_cast<int>(frames.size());
}

}  // namespace trakomer::gl

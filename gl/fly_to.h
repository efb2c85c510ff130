#pragma once
// The fly-to animation of the track screens: from the view's present
// centre to a target in 19 frames, zooming out and back in on the way. No
// GL: each frame is handed to the caller, who draws it.

#include <functional>

#include "gl/map_projection.h"

namespace trakomer::gl {

constexpr int kFlyToFrames = 19;

// One frame of the flight: show `target` at map zoom `zoom`, then wait.
struct FlyToFrame {
    LatLon target;
    double zoom = 1.0;
    int waitMs = 0;
};

// The flight's frames; none when the centre is the target or the track is
// empty (nothing to fly over).
std::vector<FlyToFrame> PlanFlyTo(const LatLon& centre, const LatLon& target, bool trackEmpty);

// Runs the flight: for each frame `draw` (which shows it) and then `wait`
// for its time. Returns the number of frames drawn. The caller holds its
// busy flag meanwhile, so that timer ticks do nothing.
int FlyTo(const LatLon& centre, const LatLon& target, bool trackEmpty,
          const std::function<void(const FlyToFrame&)>& draw,
          const std::function<void(int milliseconds)>& wait);

}  // namespace trakomer::gl

#pragma once
// The compass rose in the bottom-left corner of the track screens.

#include "gl/draw_state.h"

namespace trakomer::gl {

constexpr int kCompassX = 34;
constexpr int kCompassY = 33;
constexpr int kCompassRadius = 30;

// Needle (north half red, south half white), the letter N and two rings,
// exclusive-or drawn and turned by -viewHeading degrees.
void DrawCompass(DrawState& state, double viewHeading);

}  // namespace trakomer::gl

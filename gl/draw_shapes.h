#pragma once
// Flat drawing operations in window pixels (origin bottom-left). They need
// a current GL context and the orthographic set-up of InitGl.

#include <span>

#include "gl/draw_state.h"

namespace trakomer::gl {

struct PixelPoint {
    int x = 0;
    int y = 0;
};

// The track as 2-pixel bands, one per segment, each in the ramp colour of
// its end point; the start point of every segment widens the track box.
// Uses the current model-view; leaves the last segment's colour current.
void DrawTrackRibbon(DrawState& state, std::span<const ScreenPoint> points,
                     std::span<const int> colourIndices);

// Filled 6-pixel triangle (waypoints) at depth 199, current model-view.
void DrawMarkerTriangle(const DrawState& state, int x, int y, int colourIndex);

// Filled arrow with its tip at (x, y, z), turned by markerCourse degrees,
// in the current colour.
void DrawPositionArrow(int x, int y, int z, double markerCourse);

// Line loop of `segments` sides; nothing for fewer than 1 or 71 and more.
void DrawCircle(int x, int y, int z, int radius, int segments);

// Exclusive-or white circle of radius 5 with 15 sides.
void DrawCircleXor(int x, int y, int z);

// White line strip under the current model-view.
void DrawLineStrip(DrawState& state, std::span<const PixelPoint> points, bool xorMode);

// The same under an identity model-view; at most kFlatStripMax points.
constexpr int kFlatStripMax = 1024;
void DrawLineStripFlat(DrawState& state, std::span<const PixelPoint> points, bool xorMode);

// Filled rectangle for the colour legend. Heights are measured downward
// from the window's top and flipped with H = windowHeight + 20. Leaves the
// (half-pixel) identity model-view loaded.
void DrawLegendBox(const DrawState& state, int windowHeight, int x0, int y0, int x1, int y1,
                   int colourIndex);

}  // namespace trakomer::gl

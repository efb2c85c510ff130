#pragma once
// Model-view and logic-operation helpers shared by the drawing code.

namespace trakomer::gl {

// 16.16 fixed point: one unit is 0x10000. Values are clamped to the 16-bit
// range that 16.16 holds.
constexpr int kFixedOne = 0x10000;
constexpr int ToFixed(int value) {
    return (value < -32767 ? -32767 : value > 32767 ? 32767 : value) * kFixedOne;
}

// A rotation angle in whole degrees (truncated) as 16.16. Angles are taken
// modulo 360, which turns the same way; a non-finite angle gives 0.
int FixedDegrees(double degrees);

// Loads the identity model-view shifted by half a pixel. With the y-up
// orthographic projection a vertex at whole pixel (x, y) then lies on the
// centre of pixel (x, y): points and lines land on the pixel they name
// (without the shift Mesa draws a horizontal line one row low), while
// triangles with whole-pixel corners cover the same pixels as without it.
// Textured quads that must sample texel centres use plain glLoadIdentity.
void LoadPixelIdentity();

// Exclusive-or drawing for overlays readable on any background.
void BeginXor();
// Back to plain copying; the logic operation stays enabled as copy.
void EndXor();

}  // namespace trakomer::gl

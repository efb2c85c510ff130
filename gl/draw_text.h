#pragma once
// Text in the 8 x 13 bitmap font, drawn as points.

#include <string>
#include <string_view>

#include "gl/draw_state.h"

namespace trakomer::gl {

// Longest text the exclusive-or operations draw.
constexpr size_t kXorTextMax = 511;

// Draws 8-bit text in the current colour with the bottom-left of its first
// glyph cell at (x, y). A line feed starts a new line 13 pixels lower.
void DrawBitmapText(DrawState& state, int x, int y, std::string_view text);

// UTF-16 text as 8-bit (characters above 255 become '?'), cut at
// kXorTextMax characters.
std::string ToLatin1(std::u16string_view text);

// Exclusive-or text in white, or in a ramp colour: drawn twice at the same
// place it leaves the picture as it was.
void DrawTextXor(DrawState& state, int x, int y, std::u16string_view text);
void DrawTextXorColour(DrawState& state, int x, int y, std::u16string_view text, int colourIndex);

}  // namespace trakomer::gl

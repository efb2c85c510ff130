#pragma once
// The 8 x 13 fixed bitmap font used for all GL text.

#include <cstdint>

namespace trakomer::gl {

constexpr int kFontGlyphCount = 256;
constexpr int kFontHeight = 13;
// One width byte followed by 13 row bytes.
constexpr int kFontGlyphBytes = 1 + kFontHeight;

// Entry n - 1 holds the glyph of character code n. Rows run bottom row
// first; bit 7 of a row byte is the leftmost pixel.
extern const uint8_t kFont8x13[kFontGlyphCount][kFontGlyphBytes];

}  // namespace trakomer::gl

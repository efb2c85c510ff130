#include "gl/draw_text.h"

#include <GLES/gl.h>

#include <string>

#include "gl/font_8x13.h"
#include "gl/gl_vertices.h"
#include "gl/pixel_matrix.h"

namespace trakomer::gl {
namespace {

// Appends one point per set bit of the glyph; bits run on from one row
// byte into the next, wrapping to a new row after `width` columns.
void AddGlyphPoints(std::vector<int16_t>& points, const uint8_t* glyph, int penX, int penY) {
    const int width = glyph[0];
    if (width <= 0) return;
    const int totalBits = kFontHeight * 8;
    int column = 0;
    int row = 0;
    for (int bit = 0; bit < totalBits && row < kFontHeight; ++bit) {
        const uint8_t byte = glyph[1 + bit / 8];
        if (byte & (0x80 >> (bit % 8))) {
            points.push_back(ToShort(penX + column));
            points.push_back(ToShort(penY + row));
        }
        if (++column == width) {
            column = 0;
            ++row;
        }
    }
}

void DrawXor(DrawState& state, int x, int y, std::u16string_view text) {
    BeginXor();
    DrawBitmapText(state, x, y, ToLatin1(text));
    EndXor();
}

}  // namespace

void DrawBitmapText(DrawState& state, int x, int y, std::string_view text) {
    glPushMatrix();
    LoadPixelIdentity();
    glTranslatex(ToFixed(x), ToFixed(y), 0);
    std::vector<int16_t>& points = state.textPoints;
    points.clear();
    int penX = 0;
    int penY = 0;
    for (const char c : text) {
        const int code = static_cast<unsigned char>(c);
        if (code == '\n') {
            penX = 0;
            penY -= kFontHeight;
            continue;
        }
        if (code == 0) continue;  // no glyph before code 1
        const uint8_t* glyph = kFont8x13[code - 1];
        AddGlyphPoints(points, glyph, penX, penY);
        penX += glyph[0];
    }
    if (!points.empty()) {
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(2, GL_SHORT, 0, points.data());
        glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(points.size() / 2));
    }
    glPopMatrix();
}

std::string ToLatin1(std::u16string_view text) {
    std::string out;
    const size_t length = std::min(text.size(), kXorTextMax);
    out.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        const char16_t c = text[i];
        out.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
    }
    return out;
}

void DrawTextXor(DrawState& state, int x, int y, std::u16string_view text) {
    glColor4x(kFixedOne, kFixedOne, kFixedOne, kFixedOne);
    DrawXor(state, x, y, text);
}

void DrawTextXorColour(DrawState& state, int x, int y, std::u16string_view text, int colourIndex) {
    SetRampColour(state.ramp, colourIndex);
    DrawXor(state, x, y, text);
}

}  // namespace trakomer::gl

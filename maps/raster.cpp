#include "maps/raster.h"

#include <algorithm>
#include <cmath>
#include <vector>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb_easy_font.h>
#pragma GCC diagnostic pop

namespace trakomer::maps {
namespace {

// The font's characters are printable ASCII only. A copyright sign becomes
// a 'c' between spaces, at the returned offsets, for a ring to be drawn
// around it.
std::string AsciiText(std::string_view text, std::vector<size_t>& rings) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (text.substr(i, 2) == "\xC2\xA9") {
            rings.push_back(out.size() + 1);
            out += " c ";
            ++i;
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else if ((c & 0xC0) != 0x80) {
            out += '?';
        }
    }
    return out;
}

void FillBox(RgbImage& image, int x0, int y0, int x1, int y1, uint8_t value) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, image.width);
    y1 = std::min(y1, image.height);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            uint8_t* p = image.At(x, y);
            p[0] = p[1] = p[2] = value;
        }
    }
}

}  // namespace

std::string EncodeTga(const RgbImage& image) {
    std::string tga(18, '\0');
    tga[2] = 2;
    tga[12] = static_cast<char>(image.width & 0xFF);
    tga[13] = static_cast<char>(image.width >> 8);
    tga[14] = static_cast<char>(image.height & 0xFF);
    tga[15] = static_cast<char>(image.height >> 8);
    tga[16] = 24;
    tga.resize(18 + image.rgb.size());
    char* out = tga.data() + 18;
    for (int y = image.height - 1; y >= 0; --y) {
        const uint8_t* row = image.At(0, y);
        for (int x = 0; x < image.width; ++x, out += 3) {
            out[0] = static_cast<char>(row[x * 3 + 2]);
            out[1] = static_cast<char>(row[x * 3 + 1]);
            out[2] = static_cast<char>(row[x * 3]);
        }
    }
    return tga;
}

// A one-pixel ring of radius 5.5 font pixels around a 'c' whose left edge is
// at font x `cx`.
void DrawRing(RgbImage& image, int left, int top, int scale, int cx) {
    const double centreX = cx + 2.0, centreY = 4.5, radius = 5.5;
    for (int fy = -2; fy < 12; ++fy) {
        for (int fx = cx - 5; fx < cx + 9; ++fx) {
            const double d = std::hypot(fx + 0.5 - centreX, fy + 0.5 - centreY);
            if (std::abs(d - radius) > 0.6) continue;
            const int x = left + (2 + fx) * scale, y = top + (2 + fy) * scale;
            FillBox(image, x, y, x + scale, y + scale, 0x20);
        }
    }
}

void DrawAttribution(RgbImage& image, std::string_view text) {
    std::vector<size_t> rings;
    std::string ascii = AsciiText(text, rings);
    if (ascii.empty() || image.width < 8 || image.height < 8) return;
    const int textWidth = stb_easy_font_width(ascii.data());
    const int textHeight = 7;  // capitals; descenders reach two rows lower
    // Twice the font's size where it fits: a one-pixel stroke is hard to
    // read on a busy map.
    const int scale = textWidth * 2 + 8 <= image.width ? 2 : 1;
    const int boxWidth = (textWidth + 4) * scale;
    const int boxHeight = (textHeight + 5) * scale;
    const int left = image.width - boxWidth;
    const int top = image.height - boxHeight;
    FillBox(image, left, top, image.width, image.height, 0xF0);

    std::vector<char> quads(ascii.size() * 270 + 64);
    unsigned char colour[4] = {0, 0, 0, 255};
    const int count = stb_easy_font_print(0, 0, ascii.data(), colour, quads.data(),
                                          static_cast<int>(quads.size()));
    struct Vertex {
        float x, y, z;
        unsigned char c[4];
    };
    const auto* v = reinterpret_cast<const Vertex*>(quads.data());
    for (int q = 0; q < count; ++q, v += 4) {
        const int x0 = left + (2 + static_cast<int>(v[0].x)) * scale;
        const int y0 = top + (2 + static_cast<int>(v[0].y)) * scale;
        const int x1 = left + (2 + static_cast<int>(v[2].x)) * scale;
        const int y1 = top + (2 + static_cast<int>(v[2].y)) * scale;
        FillBox(image, x0, y0, x1, y1, 0x20);
    }
    for (size_t at : rings) {
        std::string before = ascii.substr(0, at);
        DrawRing(image, left, top, scale, before.empty() ? 0 : stb_easy_font_width(before.data()));
    }
}

}  // namespace trakomer::maps

#pragma once
// RGB pictures in memory, top row first, and the two ways they leave it:
// the uncompressed TGA of a map package and an attribution line drawn in.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace trakomer::maps {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // width x height x 3 bytes, top row first

    uint8_t* At(int x, int y) { return rgb.data() + (static_cast<size_t>(y) * width + x) * 3; }
    const uint8_t* At(int x, int y) const {
        return rgb.data() + (static_cast<size_t>(y) * width + x) * 3;
    }
};

// An uncompressed 24-bit TGA, stored bottom row first as the recorder reads
// it (the first texel is the south-west corner).
std::string EncodeTga(const RgbImage& image);

// Draws `text` in dark letters on a light box into the bottom-right corner,
// twice the font's size where it fits so that it reads at 1:1. "©" is
// drawn as a ringed c; other characters outside ASCII as '?'.
void DrawAttribution(RgbImage& image, std::string_view text);

}  // namespace trakomer::maps

#pragma once
// A rendered GL frame as the window shows it.

#include <cstdint>
#include <vector>

namespace trakomer::gl {

struct FrameImage {
    int width = 0;
    int height = 0;
    // RGBA, 4 bytes a pixel, rows packed without padding. GL reads pixels
    // bottom-up, so the first row is the bottom one: the window flips the
    // image vertically when it draws it.
    bool bottomRowFirst = true;
    std::vector<uint8_t> rgba;

    // Pixel (x, y) in GL window coordinates (y = 0 is the bottom row).
    const uint8_t* PixelAt(int x, int y) const {
        return rgba.data() + (static_cast<size_t>(y) * width + x) * 4;
    }
};

}  // namespace trakomer::gl

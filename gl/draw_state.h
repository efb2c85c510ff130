#pragma once
// State kept by the drawing layer between frames.

#include <array>
#include <cstdint>
#include <vector>

#include "gl/colour_ramp.h"

namespace trakomer::gl {

// Window pixels, y upward; z is the height above the map.
struct ScreenPoint {
    int x = 0;
    int y = 0;
    int z = 0;
};

// The extent of the ribbon points drawn since the last GL set-up.
struct TrackBox {
    int minX = 1000, minY = 1000, minZ = 1000;
    int maxX = -1000, maxY = -1000, maxZ = -1000;
    void Reset() { *this = TrackBox{}; }
    void Add(const ScreenPoint& p);
};

// The compass needle and letter, built on first use.
struct CompassArrays {
    bool built = false;
    std::array<int16_t, 12> needle{};  // four (x, y, z) vertices
    std::array<int16_t, 12> letter{};  // the N as a four-point strip
};

struct DrawState {
    ColourRamp ramp = MakeColourRamp();
    TrackBox trackBox;
    CompassArrays compass;
    // Reused buffers: they only grow, so frames allocate nothing once warm.
    std::vector<float> ribbonVertices;
    std::vector<uint8_t> ribbonColours;
    std::vector<float> stripVertices;
    std::vector<int16_t> textPoints;
};

}  // namespace trakomer::gl

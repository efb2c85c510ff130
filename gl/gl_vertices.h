#pragma once
// Helpers for GL_SHORT vertex arrays (internal to the gl module).

#include <algorithm>
#include <cstdint>

namespace trakomer::gl {

// A window coordinate as a GL_SHORT; values beyond its range are clamped
// rather than wrapped, so far-away points stay far away.
inline int16_t ToShort(int value) {
    return static_cast<int16_t>(std::clamp(value, -32768, 32767));
}

}  // namespace trakomer::gl

#pragma once
// Differences of track times (seconds since 1970 in 32 bits).

#include <cstdint>

namespace trakomer {

// Seconds from `earlier` to `later`, computed in 64 bits. No two honest
// track times lie further apart than 32 bits hold, so a larger difference
// comes from a damaged or hostile file: it counts as 0, the interval the
// figures treat as "no time passed".
constexpr int32_t SecondsBetween(int64_t later, int64_t earlier) {
    const int64_t d = later - earlier;
    return d > INT32_MAX || d < INT32_MIN ? 0 : static_cast<int32_t>(d);
}

}  // namespace trakomer

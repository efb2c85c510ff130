#pragma once

#include <climits>
#include <cmath>

namespace trakomer {

// An altitude truncated to whole metres. Values no int can hold are pinned
// to its limits and a value that is not a number reads as 0, instead of
// overflowing.
inline int WholeMetres(double metres) {
    if (std::isnan(metres)) return 0;
    if (metres >= 2147483647.0) return INT_MAX;
    if (metres <= -2147483648.0) return INT_MIN;
    return static_cast<int>(metres);
}

}  // namespace trakomer

#pragma once

#include <cmath>

namespace trakomer {

// An altitude truncated to whole metres; values no receiver gives (not
// finite, beyond a million metres) read as 0 instead of overflowing.
inline int WholeMetres(double metres) {
    if (!(std::fabs(metres) < 1e6)) return 0;
    return static_cast<int>(metres);
}

}  // namespace trakomer

#include "gl/view_geometry.h"

#include <cmath>

namespace trakomer::gl {

ViewSquare ComputeViewSquare(const WindowRect& window, int upMode) {
    ViewSquare square;
    if (upMode == 1) {
        square.left = window.left;
        square.bottom = 0;
        square.right = window.right;
        square.top = window.Height();
        return square;
    }
    const int halfWidth = window.Width() / 2;
    const int halfHeight = window.Height() / 2;
    const double radius = std::sqrt(double(halfWidth) * halfWidth + double(halfHeight) * halfHeight);
    square.left = static_cast<int>(halfWidth - radius);
    square.bottom = static_cast<int>(halfHeight - radius);
    square.right = square.left + static_cast<int>(2 * radius);
    square.top = square.bottom + static_cast<int>(2 * radius);
    return square;
}

Orientation OrientationOf(int width, int height) {
    return width > height ? Orientation::Landscape : Orientation::Portrait;
}

}  // namespace trakomer::gl

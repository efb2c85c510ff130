#pragma once
// Window rectangle, orientation and the square the rotating views cover.

namespace trakomer::gl {

// The main window's rectangle (left, top, right, bottom); the window passes
// (0, 0, width, height) of its drawing area.
struct WindowRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// In window pixels with y upward.
struct ViewSquare {
    int left = 0;
    int bottom = 0;
    int right = 0;
    int top = 0;
    bool operator==(const ViewSquare&) const = default;
};

enum class Orientation { Unknown = 0, Landscape = 1, Portrait = 2 };

// Up mode 1 (north up, no rotation): the window itself. Any other mode: the
// square centred on the window whose half side is the half diagonal, so the
// rotated views cover the window at any angle.
ViewSquare ComputeViewSquare(const WindowRect& window, int upMode);

// Landscape when wider than high.
Orientation OrientationOf(int width, int height);

}  // namespace trakomer::gl

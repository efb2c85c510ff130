#pragma once
// Screen numbering and stepping between screens with the arrow keys.

#include <array>

namespace trakomer {

constexpr int kNumberOfScreens = 6;
constexpr int kScreenTrackAltitude = 0;
constexpr int kScreenTrackSpeed = 1;
constexpr int kScreenSummary = 2;
constexpr int kScreenShortSummary = 3;
constexpr int kScreenGlobe = 4;
constexpr int kScreenGraph = 5;

using ScreenFlags = std::array<bool, kNumberOfScreens>;

// The screen's name as the Screens preference page lists it.
const char* ScreenName(int screen);

// Screens 2, 3 and 5 are drawn in 2D into the off-screen image; 0, 1 and 4
// are GL views.
bool IsTwoDimensionalScreen(int screen);

// The screen the right key leads to: forwards (5 wraps to 0) to the next
// screen enabled in views. While idle (waiting for a start with nothing
// under review) only screens 0, 1 and 4 are offered, whatever views says.
// With every flag cleared the current screen is kept.
int NextScreen(int current, const ScreenFlags& views, bool idle);

// The same for the left key, backwards (0 wraps to 5).
int PreviousScreen(int current, const ScreenFlags& views, bool idle);

}  // namespace trakomer

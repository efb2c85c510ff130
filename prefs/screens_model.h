#pragma once
// The Screens page's rules: which screens are on, the short summary's four
// large figures and their previews.

#include <array>
#include <string>

#include "core/settings.h"

namespace trakomer::prefs {

// The check boxes in page order with the screen each one switches.
struct ScreenBox {
    const char* label;
    int screen;
};
inline constexpr std::array<ScreenBox, kScreenCount> kScreenBoxes = {{
    {"Track with Altitude", 0},
    {"Track with Speed", 1},
    {"Summary", 2},
    {"Short Summary, Font Size:", 3},
    {"Globe", 4},
    {"Time vs Distance Graph", 5},
}};

// The figures a large field can show, by index.
inline constexpr std::array<const char*, 14> kFigureNames = {
    "",         "Fixmode",   "Coords", "Timer",  "Speed",   "Altitude", "Distance",
    "Ascended", "Descended", "Slope",  "Energy", "Battery", "Rel Time", "Pace"};

// "%c: 123" with the first letter of the figure's name; empty for the empty
// entry and for an index outside the list.
std::string PreviewText(int figureIndex);

// After the box of `screen` changed: when both track screens (0 and 1) are
// now off, the other one is switched on again.
void KeepOneTrackScreen(std::array<bool, kScreenCount>& screensOn, int screen);

}  // namespace trakomer::prefs

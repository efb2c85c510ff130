#include "screens/screens.h"

#include <cstddef>

namespace trakomer {

namespace {

int Wrap(int screen) { return (screen % kNumberOfScreens + kNumberOfScreens) % kNumberOfScreens; }

bool OfferedWhileIdle(int screen) {
    return screen == kScreenTrackAltitude || screen == kScreenTrackSpeed ||
           screen == kScreenGlobe;
}

int Step(int current, const ScreenFlags& views, bool idle, int direction) {
    bool anyEnabled = false;
    for (bool enabled : views) anyEnabled = anyEnabled || enabled;
    if (!anyEnabled) return current;

    int screen = Wrap(current);
    do {
        screen = Wrap(screen + direction);
    } while (!views[static_cast<std::size_t>(screen)]);

    if (idle) {
        while (!OfferedWhileIdle(screen)) screen = Wrap(screen + direction);
    }
    return screen;
}

}  // namespace

const char* ScreenName(int screen) {
    static const char* const kNames[kNumberOfScreens] = {
        "Track with Altitude", "Track with Speed", "Summary",
        "Short Summary",       "Globe",            "Time vs Distance Graph"};
    if (screen < 0 || screen >= kNumberOfScreens) return "";
    return kNames[screen];
}

bool IsTwoDimensionalScreen(int screen) {
    return screen == kScreenSummary || screen == kScreenShortSummary || screen == kScreenGraph;
}

int NextScreen(int current, const ScreenFlags& views, bool idle) {
    return Step(current, views, idle, +1);
}

int PreviousScreen(int current, const ScreenFlags& views, bool idle) {
    return Step(current, views, idle, -1);
}

}  // namespace trakomer

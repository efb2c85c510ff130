#include "screens/screens.h"

#include <gtest/gtest.h>

namespace trakomer {
namespace {

constexpr ScreenFlags kAll{true, true, true, true, true, true};
constexpr ScreenFlags kNone{false, false, false, false, false, false};

struct StepCase {
    const char* name;
    int from;
    ScreenFlags views;
    bool idle;
    int next;
    int previous;
};

TEST(ScreenStepping, FollowsFlagsAndIdleRule) {
    const StepCase cases[] = {
        {"all enabled, recording", 2, kAll, false, 3, 1},
        {"wraps at the ends", 5, kAll, false, 0, 4},
        {"wraps backwards from 0", 0, kAll, false, 1, 5},
        {"only 5 enabled comes back to 5", 5, {false, false, false, false, false, true}, false, 5, 5},
        {"skips disabled screens", 1, {true, true, false, false, true, true}, false, 4, 0},
        {"idle from 1 lands on 4", 1, kAll, true, 4, 0},
        {"idle from 4 lands on 0", 4, kAll, true, 0, 1},
        {"idle ignores disabled flags", 0, {true, false, false, false, false, true}, true, 0, 4},
        {"all cleared keeps the screen", 3, kNone, false, 3, 3},
        {"all cleared keeps the screen while idle", 2, kNone, true, 2, 2},
    };
    for (const StepCase& c : cases) {
        EXPECT_EQ(NextScreen(c.from, c.views, c.idle), c.next) << c.name;
        EXPECT_EQ(PreviousScreen(c.from, c.views, c.idle), c.previous) << c.name;
    }
}

TEST(ScreenStepping, IdleOnlyOffersTrackAndGlobeScreens) {
    int screen = 0;
    for (int i = 0; i < 12; ++i) {
        screen = NextScreen(screen, kAll, true);
        EXPECT_TRUE(screen == 0 || screen == 1 || screen == 4) << screen;
    }
}

}  // namespace
}  // namespace trakomer

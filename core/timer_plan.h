#pragma once
// Which of the window timers 1-4 run, and how often, for a usage profile.
// The window and the virtual-clock replay both arm their timers from this.

namespace trakomer {

struct TimerPlan {
    int collectionMs = 0;  // timer 1; 0 = not running
    int pointMs = 0;       // timer 2, always running
    int summaryMs = 0;     // timer 3; 0 = not running
    int uploadMs = 0;      // timer 4; 0 = not running
    bool averaging = false;
};

constexpr int kCollectionPeriodMs = 400;
constexpr int kReviewPointPeriodMs = 200;

// The point tick period of a profile (1-6); any other value gets the Car
// period.
int PointPeriodMs(int profile);

// Whether pending fixes are averaged into points (Walk and Run).
bool AveragingFor(int profile);

// Timers 1-4 for a profile. In review only the point tick runs (200 ms).
// Intervals of 0 or less switch their timer off.
TimerPlan PlanTimers(int profile, bool inReview, int summaryMinutes, bool uploadOn,
                     int uploadSeconds);

}  // namespace trakomer

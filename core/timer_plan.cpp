#include "core/timer_plan.h"

namespace trakomer {

int PointPeriodMs(int profile) {
    switch (profile) {
        case 1: return 5000;   // Walk
        case 2: return 3000;   // Run
        case 3: return 2500;   // Bike
        case 5: return 500;    // Motorbike
        case 6: return 10000;  // Blackbox
        default: return 1000;  // Car, and anything unknown
    }
}

bool AveragingFor(int profile) { return profile == 1 || profile == 2; }

TimerPlan PlanTimers(int profile, bool inReview, int summaryMinutes, bool uploadOn,
                     int uploadSeconds) {
    TimerPlan plan;
    plan.averaging = AveragingFor(profile);
    if (inReview) {
        plan.pointMs = kReviewPointPeriodMs;
        return plan;
    }
    plan.pointMs = PointPeriodMs(profile);
    plan.collectionMs = kCollectionPeriodMs;
    // Periods are bounded so that a huge setting cannot overflow.
    if (summaryMinutes > 0) plan.summaryMs = summaryMinutes > 35000 ? 35000 * 60000 : summaryMinutes * 60000;
    if (uploadOn && uploadSeconds > 0) plan.uploadMs = uploadSeconds > 2000000 ? 2000000000 : uploadSeconds * 1000;
    return plan;
}

}  // namespace trakomer

#include "core/recorder.h"

#include <gtest/gtest.h>

#include "core/geodesy.h"
#include "core/timer_plan.h"
#include "tests/core/recorder_rig.h"

namespace trakomer::testing {
namespace {

constexpr double kLat0 = 48.0, kLon0 = 11.0;
// About 2.8 m per second northwards: roughly 10 km/h.
constexpr double kStepDeg = 0.000025;

TEST(TimerPlan, PeriodsAndAveragingByProfile) {
    struct Case { int profile; int pointMs; bool averaging; };
    for (const Case c : {Case{1, 5000, true}, Case{2, 3000, true}, Case{3, 2500, false},
                         Case{4, 1000, false}, Case{5, 500, false}, Case{6, 10000, false},
                         Case{0, 1000, false}, Case{9, 1000, false}}) {
        const TimerPlan live = PlanTimers(c.profile, false, 10, true, 600);
        EXPECT_EQ(live.pointMs, c.pointMs) << c.profile;
        EXPECT_EQ(live.averaging, c.averaging) << c.profile;
        EXPECT_EQ(live.collectionMs, 400);
        EXPECT_EQ(live.summaryMs, 600000);
        EXPECT_EQ(live.uploadMs, 600000);
        const TimerPlan review = PlanTimers(c.profile, true, 10, true, 600);
        EXPECT_EQ(review.pointMs, 200);
        EXPECT_EQ(review.collectionMs + review.summaryMs + review.uploadMs, 0);
    }
    EXPECT_EQ(PlanTimers(4, false, 0, false, 600).summaryMs, 0);
    EXPECT_EQ(PlanTimers(4, false, 10, false, 600).uploadMs, 0);
}

TEST(Recorder, WalkAveragesPendingFixesEveryFiveSeconds) {
    Rig rig(1);
    // Diagonal: a fix is collected only when both coordinates changed.
    rig.Run(30, [](int s) { return ReceiverSecond(s, kLat0 + s * kStepDeg, kLon0 + s * kStepDeg); });
    // First point direct, then one every 5 s from the pending fixes.
    EXPECT_EQ(rig.track.lastIndex, 5);
    EXPECT_GE(rig.recorder->State().pendingUsed, 2);
    // The average lies behind the newest fix of its period.
    const double newest = kLat0 + 30 * kStepDeg;
    EXPECT_LT(rig.track.points[5].latitude, newest);
    EXPECT_GT(rig.track.points[5].latitude, kLat0 + 25 * kStepDeg);
}

TEST(Recorder, WalkTakesTheNewest3DFixWhenThereIsOne) {
    Rig rig(1);
    rig.Run(30, [](int s) {
        return ReceiverSecond(s, kLat0 + s * kStepDeg, kLon0 + s * kStepDeg, 0, 'A',
                              s == 27 ? 3 : 1);
    });
    EXPECT_EQ(rig.track.lastIndex, 5);
    EXPECT_NEAR(rig.track.points[5].latitude, kLat0 + 27 * kStepDeg, 1e-6);
    EXPECT_EQ(rig.track.points[5].hundredths, 0);
}

TEST(Recorder, PointRateByFixAndReceiver) {
    struct Case {
        const char* name;
        int fixMode, fixModeAfter10;
        bool silentAfter10;
        int seconds, expectedLastIndex;
    };
    for (const Case c : {Case{"3D", 3, 3, false, 20, 19}, Case{"2D halves the rate", 2, 2, false, 20, 9},
                         Case{"first 2D tick after 3D counts", 3, 2, false, 11, 10},
                         Case{"silent receiver adds nothing", 3, 3, true, 20, 9}}) {
        Rig rig(4);  // Car: a point a second
        rig.Run(c.seconds, [&](int s) {
            if (c.silentAfter10 && s > 10) return std::string();
            return ReceiverSecond(s, kLat0 + s * kStepDeg, kLon0, 5, 'A',
                                  s > 10 ? c.fixModeAfter10 : c.fixMode);
        });
        EXPECT_EQ(rig.track.lastIndex, c.expectedLastIndex) << c.name;
    }
}

TEST(Recorder, NoFixGivesNoPoint) {
    Rig rig(4);
    rig.Run(10, [](int s) { return ReceiverSecond(s, kLat0, kLon0, 0, 'V'); });
    EXPECT_EQ(rig.track.lastIndex, -1);
}

TEST(Recorder, AutoStartOnlyForRunOnAnOutwardPath) {
    struct Case { const char* name; int profile; bool zigzag; bool starts; };
    for (const Case c : {Case{"run outward", 2, false, true}, Case{"walk", 1, false, false},
                         Case{"car", 4, false, false}, Case{"run back and forth", 2, true, false}}) {
        Rig rig(c.profile, /*autoStart=*/true);
        rig.Run(60, [&](int s) {
            // 0.00005 deg a second is about 20 km/h.
            const int along = c.zigzag ? (s / 3 % 2 == 0 ? s % 3 : 3 - s % 3) : s;
            return ReceiverSecond(s, kLat0 + along * 0.00005, kLon0, 11, 'A', 3);
        });
        const bool started = rig.recorder->State().recordingState == RecordingState::Started;
        EXPECT_EQ(started, c.starts) << c.name;
        if (c.starts) {
            EXPECT_EQ(rig.log.events.front(), RecordingEvent::AutoStart);
            EXPECT_EQ(rig.log.said.front(), "Starting");
        }
    }
}

TEST(Recorder, AutoStopNeedsHalfAKilometreTripAndSlowSpeedNearTheStart) {
    Rig rig(4, false, /*autoStop=*/true);
    rig.recorder->StartRecording();
    // Standing at the start: never stops.
    rig.Run(30, [](int s) { return ReceiverSecond(s, kLat0, kLon0, 0, 'A', 3); });
    EXPECT_EQ(rig.recorder->State().recordingState, RecordingState::Started);
    // 300 m out and back at speed, then slow at the start.
    rig.Run(200, [](int s) {
        const int t = s - 30;
        const int along = t < 100 ? t : (t < 200 ? 200 - t : 0);
        return ReceiverSecond(s, kLat0 + along * 0.000027, kLon0, t < 200 ? 6 : 0, 'A', 3);
    });
    EXPECT_EQ(rig.recorder->State().recordingState, RecordingState::Stopped);
    ASSERT_FALSE(rig.log.events.empty());
    EXPECT_EQ(rig.log.events.back(), RecordingEvent::AutoStop);
    EXPECT_TRUE(rig.track.InReview());
    EXPECT_EQ(rig.log.messages.back(), "File saved|/tmp/x.trz");
}

TEST(Recorder, ConfirmedStopSavesAllButTheNewestPointAndReviews) {
    for (const bool saveOk : {true, false}) {
        Rig rig(4);
        rig.log.saveOk = saveOk;
        rig.recorder->StartRecording();
        rig.Run(10, [](int s) { return ReceiverSecond(s, kLat0 + s * kStepDeg, kLon0, 5, 'A', 3); });
        rig.recorder->ConfirmStop();
        EXPECT_EQ(rig.log.questions.back(), "Stop now?|Recording will stop and data will be saved");
        EXPECT_EQ(rig.log.savedCount, 9);
        EXPECT_EQ(rig.track.loadedCount, 9);
        EXPECT_EQ(rig.log.said.back(), "Stopping");
        EXPECT_EQ(rig.log.messages.back(), saveOk ? "File saved|/tmp/x.trz"
                                                  : "Error: File save failed. Check path.|/tmp/x.trz");
    }
}

TEST(Recorder, FirstReviewTickAfterStopAddsNoBackwardSegment) {
    Rig rig(4);
    rig.recorder->StartRecording();
    rig.Run(10, [](int s) {
        return ReceiverSecond(s, kLat0 + s * kStepDeg, kLon0, 5, 'A', 3, 100 + s);
    });
    rig.recorder->ConfirmStop();
    const Track before = rig.track;
    for (int i = 0; i < 3; ++i) rig.recorder->OnPointTick();
    EXPECT_EQ(rig.track.lastIndex, rig.track.loadedCount - 1);
    EXPECT_EQ(rig.track.totalDistance, before.totalDistance);
    EXPECT_EQ(rig.track.ascent, before.ascent);
    EXPECT_EQ(rig.track.descent, 0);
    EXPECT_GE(rig.track.currentSpeed, 0);
}

TEST(Recorder, StopIsRefusedWithoutPointsAndDeclinedStopKeepsRecording) {
    Rig empty(4);
    empty.recorder->StartRecording();
    empty.recorder->ConfirmStop();
    EXPECT_TRUE(empty.log.questions.empty());
    EXPECT_FALSE(empty.track.InReview());

    Rig rig(4);
    rig.log.answer = false;
    rig.Run(5, [](int s) { return ReceiverSecond(s, kLat0, kLon0, 0, 'A', 3); });
    rig.recorder->ConfirmStop();
    EXPECT_EQ(rig.log.questions.size(), 1u);
    EXPECT_FALSE(rig.track.InReview());
}

TEST(Recorder, TapStartsOnlyInTheStartAreaWhileWaitingWithAFix) {
    struct Case { int x, y; bool fix; bool starts; };
    for (const Case c : {Case{10, 310, true, true}, Case{200, 310, true, false},
                         Case{10, 100, true, false}, Case{10, 310, false, false}}) {
        Rig rig(4);
        rig.Feed(ReceiverSecond(0, kLat0, kLon0, 0, c.fix ? 'A' : 'V'));
        rig.recorder->OnScreenTap(c.x, c.y, 240, 320);
        EXPECT_EQ(rig.recorder->State().recordingState == RecordingState::Started, c.starts)
            << c.x << "," << c.y;
    }
}

TEST(Recorder, ResetAsksOnlyWithDataAndReturnsToWaitingWithAutoStart) {
    Rig rig(4, /*autoStart=*/true);
    rig.recorder->ConfirmReset();
    EXPECT_TRUE(rig.log.questions.empty());
    rig.recorder->StartRecording();
    rig.Run(5, [](int s) { return ReceiverSecond(s, kLat0 + s * kStepDeg, kLon0, 5, 'A', 3); });
    rig.recorder->ConfirmStop();
    rig.recorder->ConfirmReset();
    EXPECT_EQ(rig.log.questions.back(), "Reset now?|Current data will be lost");
    EXPECT_EQ(rig.recorder->State().recordingState, RecordingState::Waiting);
    EXPECT_EQ(rig.track.lastIndex, -1);
    EXPECT_FALSE(rig.track.InReview());
    EXPECT_EQ(rig.log.plans.back().pointMs, 1000);
}

TEST(Recorder, CapacityThinsBeforeThe8193rdPoint) {
    Rig rig(4);
    rig.recorder->StartRecording();
    // Three hours at 1 Hz, 3 m apart: far more points than fit.
    rig.Run(3 * 3600, [](int s) {
        return ReceiverSecond(s, kLat0 + s * 0.000027, kLon0, 6, 'A', 3);
    });
    EXPECT_LE(rig.track.lastIndex, kTrackCapacity - 1);
    EXPECT_NE(std::find(rig.log.events.begin(), rig.log.events.end(), RecordingEvent::Thinned),
              rig.log.events.end());
    const TrackPoint& newest = rig.track.points[rig.track.lastIndex];
    EXPECT_NEAR(newest.latitude, kLat0 + 3 * 3600 * 0.000027, 1e-6);
    for (int i = 1; i <= rig.track.lastIndex; ++i) {
        ASSERT_GT(rig.track.points[i].time, rig.track.points[i - 1].time) << i;
    }
}

// A reviewed track of ten points along a meridian.
Rig& ReviewRig(Rig& rig) {
    rig.recorder->StartRecording();
    rig.Run(11, [](int s) { return ReceiverSecond(s, kLat0 + s * kStepDeg, kLon0, 5, 'A', 3); });
    rig.recorder->ConfirmStop();
    rig.recorder->ProcessReview();
    return rig;
}

TEST(Playback, ClampsAtBothEnds) {
    Rig rig(4);
    ReviewRig(rig);
    ASSERT_EQ(rig.track.loadedCount, 10);
    EXPECT_EQ(rig.track.lastIndex, 9);
    EXPECT_EQ(rig.log.plans.back().pointMs, 200);

    rig.recorder->Playback(PlaybackCommand::FastForward);
    for (int i = 0; i < 5; ++i) rig.recorder->OnPointTick();
    EXPECT_EQ(rig.track.lastIndex, 9);
    rig.recorder->Playback(PlaybackCommand::Rewind);
    for (int i = 0; i < 5; ++i) rig.recorder->OnPointTick();
    EXPECT_EQ(rig.track.lastIndex, 0);
    rig.recorder->Playback(PlaybackCommand::StepBack);
    rig.recorder->OnPointTick();
    EXPECT_EQ(rig.track.lastIndex, 0);
    rig.recorder->Playback(PlaybackCommand::End);
    rig.recorder->OnPointTick();
    EXPECT_EQ(rig.track.lastIndex, 9);
}

TEST(Playback, PlayFromTheEndRestartsAndMeasuresFromTheFirstPoint) {
    Rig rig(4);
    ReviewRig(rig);
    const double whole = rig.track.totalDistance;
    rig.recorder->Playback(PlaybackCommand::Play);
    for (int i = 0; i < 20; ++i) rig.recorder->OnPointTick();
    EXPECT_EQ(rig.track.lastIndex, 9);
    EXPECT_NEAR(rig.track.totalDistance, whole, 1e-9);
}

TEST(Playback, DeleteCurrentRemovesThePointButNeverTheLastOne) {
    Rig rig(4);
    ReviewRig(rig);
    rig.recorder->Playback(PlaybackCommand::Pause);
    rig.recorder->Playback(PlaybackCommand::DeleteCurrent);
    EXPECT_EQ(rig.track.loadedCount, 9);
    rig.recorder->Playback(PlaybackCommand::Play);  // playing: delete does nothing
    rig.recorder->Playback(PlaybackCommand::DeleteCurrent);
    EXPECT_EQ(rig.track.loadedCount, 9);
    rig.recorder->Playback(PlaybackCommand::Pause);
    for (int i = 0; i < 20; ++i) rig.recorder->Playback(PlaybackCommand::DeleteCurrent);
    EXPECT_EQ(rig.track.loadedCount, 1);
    EXPECT_TRUE(rig.track.InReview());
}

}  // namespace
}  // namespace trakomer::testing

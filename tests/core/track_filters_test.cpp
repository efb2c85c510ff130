#include "core/track_filters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "core/dialogs.h"

namespace trakomer {
namespace {

struct Answer : Dialogs {
    bool yes = false;
    int asked = 0;
    void ShowMessage(const std::string&, const std::string&, MessageIcon) override {}
    bool AskYesNo(const std::string& text, const std::string& caption) override {
        EXPECT_EQ(text, "Resample data at 10s intervals and remove duplicates");
        EXPECT_EQ(caption, "Resample data?");
        ++asked;
        return yes;
    }
};

std::unique_ptr<Track> TrackOf(const std::vector<std::pair<double, int>>& latAndTime) {
    auto track = std::make_unique<Track>();
    for (size_t i = 0; i < latAndTime.size(); ++i) {
        track->points[i].latitude = latAndTime[i].first;
        track->points[i].time = latAndTime[i].second;
    }
    return track;
}

TEST(RemoveDuplicates, SinglePassComparesWithTheMovedUpSuccessor) {
    struct Case { std::vector<double> lats; std::vector<int> keptTimes; };
    const double a = 48.0, b = 48.001;
    for (const Case& c : {Case{{a, a, a}, {0, 2}}, Case{{a, a, a, a}, {0, 2}},
                          Case{{a, b, a}, {0, 1, 2}}, Case{{a}, {0}}, Case{{}, {}}}) {
        std::vector<std::pair<double, int>> pts;
        for (size_t i = 0; i < c.lats.size(); ++i) pts.push_back({c.lats[i], int(i)});
        auto track = TrackOf(pts);
        const int n = RemoveDuplicates(*track, int(pts.size()), false);
        ASSERT_EQ(n, int(c.keptTimes.size()));
        for (int i = 0; i < n; ++i) EXPECT_EQ(track->points[i].time, c.keptTimes[i]);
    }
}

TEST(RemoveDuplicates, UntilRemovedAlwaysFreesAPointOfAFullTrack) {
    auto track = std::make_unique<Track>();
    for (int i = 0; i < kTrackCapacity; ++i) {
        track->points[i].latitude = 48.0 + i * 0.0001;  // about 11 m apart
        track->points[i].time = i;
    }
    const int n = ThinForCapacity(*track, kTrackCapacity);
    EXPECT_LT(n, kTrackCapacity);
    EXPECT_GT(n, 0);
    for (int i = 1; i < n; ++i) ASSERT_GT(track->points[i].time, track->points[i - 1].time);
    // Points that compare with nothing still give way.
    track->points[0].latitude = std::numeric_limits<double>::quiet_NaN();
    track->points[1].latitude = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(ThinForCapacity(*track, 2), 1);
}

TEST(ResampleTenSeconds, KeepsPointsTenSecondsFromTheLastKept) {
    struct Case { std::vector<int> times; std::vector<int> kept; };
    for (const Case& c : {Case{{0, 4, 9, 10, 15, 21}, {0, 10, 21}}, Case{{0, 10, 5, 20}, {0, 10, 20}},
                          Case{{5}, {5}}, Case{{0, 0, 0}, {0}}}) {
        std::vector<std::pair<double, int>> pts;
        for (int t : c.times) pts.push_back({48.0, t});
        auto track = TrackOf(pts);
        const int n = ResampleTenSeconds(*track, int(pts.size()));
        ASSERT_EQ(n, int(c.kept.size()));
        for (int i = 0; i < n; ++i) EXPECT_EQ(track->points[i].time, c.kept[i]);
    }
}

TEST(OfferCleanup, AsksForTrackFilesOnlyAndCleansOnYes) {
    for (const bool yes : {false, true}) {
        auto track = TrackOf({{48.0, 0}, {48.0, 4}, {48.001, 9}, {48.002, 12}});
        track->loadedCount = 4;
        Answer answer;
        answer.yes = yes;
        EXPECT_FALSE(OfferCleanup(*track, answer, "walk.kml"));
        EXPECT_EQ(answer.asked, 0);
        EXPECT_EQ(OfferCleanup(*track, answer, "walk.trz"), yes);
        EXPECT_EQ(answer.asked, 1);
        EXPECT_EQ(track->loadedCount, yes ? 2 : 4);
    }
}

}  // namespace
}  // namespace trakomer

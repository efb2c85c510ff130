// The fix shared between the reader thread and the user-interface thread.

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "gps/shared_fix.h"
#include "nmea_test_util.h"

namespace trakomer {
namespace {

TEST(SharedGpsFix, SnapshotsAreConsistentWhileAnotherThreadFeeds) {
    SharedGpsFix shared;
    // Each GGA carries the same number as its altitude and its seconds, so a
    // torn snapshot would show them disagreeing.
    std::string log;
    for (int i = 0; i < 60; ++i) {
        char body[100];
        std::snprintf(body, sizeof body, "GPGGA,1200%02d,4807.038,N,01131.000,E,1,08,0.9,%d.0,M,,M,,",
                      i, i);
        log += test::WithChecksum(body);
    }
    constexpr int kRounds = 200;
    std::atomic<bool> done{false};
    std::thread reader([&] {
        for (int r = 0; r < kRounds; ++r) {
            for (size_t at = 0; at < log.size(); at += 37) {
                shared.Feed(log.data() + at, std::min<size_t>(37, log.size() - at));
            }
        }
        done = true;
    });
    uint32_t lastCount = 0;
    int snapshots = 0;
    while (!done || snapshots == 0) {
        const GpsFix fix = shared.Snapshot();
        ASSERT_EQ(static_cast<int>(fix.ggaAltitude), fix.ggaSecond);
        ASSERT_GE(fix.sentenceCount, lastCount);
        ASSERT_EQ(fix.sentenceCount, fix.ggaCount);
        lastCount = fix.sentenceCount;
        ++snapshots;
    }
    reader.join();
    EXPECT_EQ(shared.SentenceCount(), 60u * kRounds);
}

}  // namespace
}  // namespace trakomer

#include "files/log_file.h"

#include <gtest/gtest.h>

#include "core/utc_time.h"
#include "tests/files/test_folder.h"
#include "tests/files/track_fixture.h"

namespace trakomer {
namespace {

const int32_t kJan25 = static_cast<int32_t>(UtcToSeconds(2009, 1, 25, 10, 11, 12));

TEST(LogFile, PointLines) {
    struct Case {
        TrackPoint point;
        const char* line;
    };
    const Case cases[] = {
        {{-33.5, 151.25, 12.7f, 0, kJan25, 0},
         "$PMGNTRK,3330.000,S,15115.000,E,00012,101112.00,A,track,250109\n"},
        {{0, -0.5, -3.9f, 0, kJan25, 0},
         "$PMGNTRK,0.000,S,30.000,W,-0003,101112.00,A,track,250109\n"},
        {{51.4775, 0, 123456, 0, 0, 0},
         "$PMGNTRK,5128.650,N,0.000,E,123456,000000.00,A,track,010170\n"},
        {{0, 0, 1234567.9f, 0, 0, 0}, "$PMGNTRK,0.000,S,0.000,E,1234567,000000.00,A,track,010170\n"},
        {{0, 0, -1e12f, 0, 0, 0},
         "$PMGNTRK,0.000,S,0.000,E,-2147483648,000000.00,A,track,010170\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatLogPoint(c.point), c.line);
}

TEST(LogFile, GoldenFile) {
    testing::TestFolder folder;
    auto track = testing::LiveTrack({{-33.5, 151.25, 12, kJan25, 0}, {-33.5, 151.25, 13, kJan25 + 1, 0},
                                     {0, 0, 0, 0, 0}});
    track->lastIndex = 2;
    ASSERT_TRUE(WriteLog(*track, folder.File("a.log")));
    EXPECT_EQ(folder.Read("a.log"),
              "$PMGNFMT,%TRK,LAT,HEMI,LON,HEMI,ALT,UNIT,TIME,VALID,NAME,DATE,CHKSUM,%META,ASCII\n"
              "$PMGNTRK,3330.000,S,15115.000,E,00012,101112.00,A,track,250109\n"
              "$PMGNTRK,3330.000,S,15115.000,E,00013,101113.00,A,track,250109\n");
    track->lastIndex = -1;
    ASSERT_TRUE(WriteLog(*track, folder.File("b.log")));
    EXPECT_EQ(folder.Read("b.log"), std::string(kLogFormatLine) + "\n");
    EXPECT_FALSE(WriteLog(*track, folder.File("no/such/folder.log")));
}

}  // namespace
}  // namespace trakomer

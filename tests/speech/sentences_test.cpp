#include "speech/sentences.h"

#include <gtest/gtest.h>

#include "tests/speech/recording_speaker.h"

namespace trakomer::speech {
namespace {

using testing::RecordingSpeaker;
using testing::Said;

TEST(SentencesTest, GreetingByLocalHour) {
    struct Case {
        int64_t utcSeconds;
        int64_t offset;
        const char* greeting;
    };
    constexpr int64_t kDay = 20000 * 86400LL;
    for (Case c : std::vector<Case>{{kDay + 0, 0, "Good morning, Ann"},
                                     {kDay + 11 * 3600 + 3599, 0, "Good morning, Ann"},
                                     {kDay + 12 * 3600, 0, "Good afternoon, Ann"},
                                     {kDay + 16 * 3600 + 3599, 0, "Good afternoon, Ann"},
                                     {kDay + 17 * 3600, 0, "Good evening, Ann"},
                                     {kDay + 10 * 3600, 8 * 3600, "Good evening, Ann"},
                                     {kDay + 1 * 3600, -2 * 3600, "Good evening, Ann"}}) {
        ManualClock clock(c.utcSeconds, c.offset);
        EXPECT_EQ(GreetingFor("Ann", clock), c.greeting) << c.utcSeconds << " " << c.offset;
    }
    ManualClock clock(kDay);
    RecordingSpeaker speaker;
    SpeakGreeting(speaker, "", clock);
    EXPECT_TRUE(speaker.said.empty());
    SpeakGreeting(speaker, "Ann", clock);
    EXPECT_EQ(speaker.said, (std::vector<Said>{{"Good morning, Ann", false}}));
}

TEST(SentencesTest, ReadAloudPieceByPiece) {
    RecordingSpeaker speaker;
    int breaks = 0;
    ReadAloud(speaker, "First part. Second\r\nThird..\n  \nLast", [&] { ++breaks; return true; });
    EXPECT_EQ(speaker.said, (std::vector<Said>{{"First part", true},
                                               {" Second", true},
                                               {"Third", true},
                                               {"Last", true}}));
    EXPECT_EQ(breaks, 4);

    RecordingSpeaker stopped;
    ReadAloud(stopped, "One. Two. Three", [] { return false; });
    EXPECT_EQ(stopped.Texts(), (std::vector<std::string>{"One"}));
}

}  // namespace
}  // namespace trakomer::speech

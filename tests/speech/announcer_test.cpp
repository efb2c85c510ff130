#include "speech/announcer.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/speech/recording_speaker.h"

namespace trakomer::speech {
namespace {

using testing::RecordingSpeaker;

class FixedBattery : public BatteryLevel {
public:
    int Percent() const override { return percent; }
    int percent = 80;
};

void FeedSentence(SharedGpsFix& gps, const std::string& body) {
    unsigned checksum = 0;
    for (char c : body) checksum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", checksum);
    std::string sentence = "$" + body + tail;
    gps.Feed(sentence.data(), sentence.size());
}

TEST(AnnouncerTest, ReadsTheProgramsRecordsAtEachCall) {
    Settings settings;
    settings.mUnits = 2;  // miles
    settings.mSaySpeed = settings.mSayTime = settings.mSayCalories = settings.mSayAltitude = 0;
    settings.mSayPace = 0;
    Track track;
    track.lastIndex = 3;
    SharedGpsFix gps;
    FixedBattery battery;
    RecordingState state = RecordingState::Started;
    RecordingSpeaker speaker;
    Announcer announcer({settings, track, gps, battery, [&] { return state; }}, speaker);

    FeedSentence(gps, "GPGSA,A,3,04,05,09,12,,,,,,,,,2.5,1.3,2.1");
    announcer.Announce();
    EXPECT_EQ(speaker.Texts(), (std::vector<std::string>{"3d fix", "Battery", "80", "percent"}));

    speaker.said.clear();
    track.totalDistance = 1.5 / UnitFactorsFor(2).distanceFactor;  // 1.5 miles
    announcer.Announce();
    EXPECT_EQ(speaker.Texts(), (std::vector<std::string>{"Distance", "1.5"}));

    speaker.said.clear();
    state = RecordingState::Stopped;
    settings.mSayDistance = 0;
    battery.percent = 75;
    announcer.MarkSummaryDue();
    announcer.Announce();
    EXPECT_EQ(speaker.Texts(), (std::vector<std::string>{"Battery", "75", "Percent"}));
    EXPECT_FALSE(announcer.Memory().summaryRequested);
}

}  // namespace
}  // namespace trakomer::speech

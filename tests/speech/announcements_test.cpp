#include "speech/announcements.h"

#include <gtest/gtest.h>

#include "speech/speed_bands.h"
#include "speech/spoken_text.h"
#include "tests/speech/recording_speaker.h"

namespace trakomer::speech {
namespace {

using testing::RecordingSpeaker;
using testing::Said;
using Texts = std::vector<std::string>;

// Settings with every announcement off, to switch on one at a time.
Settings Quiet() {
    Settings s;
    s.mSaySpeed = s.mSayDistance = s.mSaySplit = s.mSaySummary = 0;
    s.mSayAltitude = s.mSayCalories = s.mSayTime = s.mSayBattery = s.mSayPace = 0;
    return s;
}

// One recording seen by the announcements, figures in display units.
struct Session {
    explicit Session(Settings s = Quiet()) : settings(s) {
        units = UnitFactorsFor(1);
        units.distanceFactor = units.altitudeFactor = units.energyFactor = 1.0;
        track.lastIndex = 5;
        memory.lastFixMode = 3;  // the fix is known: no fix sentence in the way
    }
    // Runs one decision and returns what it said.
    std::vector<Said> Tick() {
        speaker.said.clear();
        AnnouncementInputs in{settings, track, units, fixMode, state, battery, relativeTime,
                              paceTrackLoaded};
        ComposeAnnouncements(memory, in, speaker);
        return speaker.said;
    }
    Texts TickTexts() {
        Tick();
        return speaker.Texts();
    }

    Settings settings;
    Track track;
    UnitFactors units{};
    AnnouncementMemory memory;
    RecordingSpeaker speaker;
    int fixMode = 3;
    RecordingState state = RecordingState::Started;
    int battery = 50;
    int relativeTime = kUnknownRelativeTime;
    bool paceTrackLoaded = false;
};

TEST(SpokenTextTest, NumbersAndDurations) {
    struct NumberCase {
        double value;
        const char* text;
    };
    for (auto c : std::vector<NumberCase>{{1.04, "1.0"}, {150.2, "150"}, {99.6, "100"},
                                          {3.0, "3"}, {2.5, "2.5"}, {0.0, "0"}, {-1.5, "-1.5"}}) {
        EXPECT_EQ(FormatNumberForSpeech(c.value), c.text) << c.value;
    }
    struct DurationCase {
        int seconds;
        const char* parts;
        const char* relative;
    };
    for (auto c : std::vector<DurationCase>{
             {3600, "1 hours", "1 hours0 seconds"},
             {3720, "1 hours2 minutes", "1 hours2 minutes0 seconds"},
             {61, "1 minutes1 seconds", "1 minutes1 seconds"},
             {0, "", "0 seconds"},
             {-61, "-1 minutes-1 seconds", "-1 minutes-1 seconds"},
             {-3600, "-1 hours", "-1 hours0 seconds"}}) {
        EXPECT_EQ(DurationParts(c.seconds), c.parts) << c.seconds;
        EXPECT_EQ(RelativeTimeParts(c.seconds), c.relative) << c.seconds;
    }
    EXPECT_EQ(PaceSentence(5.5), "Pace, 5 minutes 30");
    EXPECT_EQ(PaceSentence(12.25), "Pace, 12 minutes 15");
    EXPECT_EQ(PaceSentence(1e300), "Pace, 1000000000 minutes 0");
}

TEST(SpeedBandsTest, RisingGivesLowerEdgeFallingGivesUpperEdge) {
    struct Case {
        int profile;
        float last;
        float speed;
        float expected;
    };
    for (auto c : std::vector<Case>{
             {2, 9.5f, 10.2f, 10.0f},   // rising into 10..10.5
             {2, 12.0f, 11.8f, 0.0f},   // falling, upper edge 12 already said
             {2, 12.0f, 11.3f, 11.5f},  // falling into 11..11.5
             {2, 0.0f, 10.0f, 10.0f},   // on an edge
             {2, 0.0f, 4.9f, 0.0f},     // below the table
             {2, 26.0f, 27.0f, 0.0f},   // above the table
             {2, 10.0f, 10.2f, 0.0f},   // rising in the band already said
             {1, 0.0f, 6.2f, 6.0f},     // walk: 6..6.5
             {4, 50.0f, 42.0f, 45.0f},  // car: 40..45 falling
             {3, 0.0f, 12.0f, 10.0f},   // bike: 10..15 rising
             {5, 0.0f, 9.9f, 0.0f}}) {  // motorbike: below 10
        EXPECT_EQ(SpeedToAnnounce(SpeedBandsFor(c.profile), c.speed, c.last), c.expected)
            << "profile " << c.profile << " last " << c.last << " speed " << c.speed;
    }
    EXPECT_EQ(SpeedBandsFor(2).size(), 28u);
    EXPECT_EQ(SpeedBandsFor(4).size(), 21u);
    EXPECT_EQ(SpeedBandsFor(6).size(), 24u);
}

TEST(AnnouncementsTest, DistanceAtEveryStepAndSplitOnTheSameTick) {
    Session session;
    session.settings.mSayDistance = 1;
    struct Step {
        double distance;
        Texts said;
    };
    for (const Step& step : std::vector<Step>{{0.5, {}},
                                               {1.04, {"Distance", "1.0"}},
                                               {1.9, {}},
                                               {2.0, {"Distance", "2"}},
                                               {2.95, {}},
                                               {3.0, {"Distance", "3"}},
                                               {150.2, {"Distance", "150"}}}) {
        session.track.totalDistance = step.distance;
        EXPECT_EQ(session.TickTexts(), step.said) << step.distance;
    }
    for (const Said& s : session.speaker.said) EXPECT_TRUE(s.wait);

    Session split;
    split.settings.mSayDistance = split.settings.mSaySplit = 1;
    split.track.lastIndex = 0;
    split.track.elapsedSeconds = 10;
    split.Tick();  // new recording: the split starts at t = 10
    split.track.lastIndex = 5;
    split.track.totalDistance = 1.0;
    split.track.elapsedSeconds = 3730;
    EXPECT_EQ(split.TickTexts(), (Texts{"Distance", "1", "Split, 1 hours2 minutes"}));
    split.track.totalDistance = 2.0;
    split.track.elapsedSeconds = 3745;
    EXPECT_EQ(split.TickTexts(), (Texts{"Distance", "2", "Split, 15 seconds"}));
}

TEST(AnnouncementsTest, FixChanges) {
    Session session;
    session.memory.lastFixMode = -1.0f;
    struct Step {
        int mode;
        const char* said;
    };
    for (Step step : std::vector<Step>{{3, "3d fix"},
                                        {2, ""},
                                        {1, "no signal"},
                                        {3, "3d fix"},
                                        {3, ""},
                                        {0, ""},
                                        {1, "no signal"},
                                        {2, "2d fix"}}) {
        session.fixMode = step.mode;
        std::vector<Said> said = session.Tick();
        std::vector<Said> expected;
        if (*step.said) expected.push_back({step.said, false});
        EXPECT_EQ(said, expected) << "mode " << step.mode;
    }
}

TEST(AnnouncementsTest, SilentWhileReviewingOrSwitchedOff) {
    for (bool review : {true, false}) {
        Session session{Settings{}};
        if (review) session.track.loadedCount = 20;
        else session.settings.mVoice = 0;
        session.memory.summaryRequested = true;
        for (int i = 0; i < 30; ++i) {
            session.fixMode = 1 + i % 3;
            session.state = i < 25 ? RecordingState::Waiting : RecordingState::Started;
            session.track.elapsedSeconds = i * 100;
            session.track.totalDistance = i;
            EXPECT_TRUE(session.Tick().empty()) << "review " << review << " tick " << i;
        }
    }
}

TEST(AnnouncementsTest, ReminderToStartWhileWaitingWithAFix) {
    struct Case {
        int profile;
        int autoStart;
        std::vector<Said> reminder;
    };
    const Said press{"Press start button", true};
    for (const Case& c : std::vector<Case>{{2, 1, {press, {"or start running", false}}},
                                           {2, 0, {press}},
                                           {1, 1, {press}}}) {
        Session session;
        session.settings.mUserProfile = c.profile;
        session.settings.mAutoStart = c.autoStart;
        session.state = RecordingState::Waiting;
        std::vector<int> reminded;
        for (int call = 1; call <= 50; ++call) {
            std::vector<Said> said = session.Tick();
            if (said.empty()) continue;
            EXPECT_EQ(said, c.reminder);
            reminded.push_back(call);
        }
        EXPECT_EQ(reminded, (std::vector<int>{3, 24, 45})) << "profile " << c.profile;
    }

    Session noFix;
    noFix.state = RecordingState::Waiting;
    noFix.fixMode = 1;
    noFix.memory.lastFixMode = 1;
    for (int call = 0; call < 30; ++call) EXPECT_TRUE(noFix.Tick().empty());
}

TEST(AnnouncementsTest, FirstPeriodicTickAnnouncesTheBattery) {
    Session session{Settings{}};
    std::vector<Said> battery{{"Battery", true}, {"50", true}, {"percent", true}};
    EXPECT_EQ(session.Tick(), battery);
    EXPECT_TRUE(session.Tick().empty());
    session.battery = 41;
    EXPECT_TRUE(session.Tick().empty());
    session.battery = 40;
    EXPECT_EQ(session.TickTexts(), (Texts{"Battery", "40", "percent"}));
}

TEST(AnnouncementsTest, EnergyAndAltitudeMarksAndOneGroupPerTick) {
    Session session;
    session.settings.mSayCalories = session.settings.mSayAltitude = 1;
    session.track.currentAltitude = 250;
    // Altitude is unknown until the track has a minimum.
    EXPECT_TRUE(session.Tick().empty());
    session.track.minAltitude = 240;
    session.track.maxAltitude = 250;
    struct Step {
        double energy;
        double altitude;
        Texts said;
    };
    for (const Step& step : std::vector<Step>{{150, 250, {"Energy", "150"}},  // altitude waits
                                               {160, 250, {"Altitude", "250"}},
                                               {199, 299, {}},
                                               {200, 299, {"Energy", "200"}},
                                               {210, 100, {"Altitude", "100"}},
                                               {210, 150.5, {}}}) {
        session.track.energy = step.energy;
        session.track.currentAltitude = step.altitude;
        EXPECT_EQ(session.TickTexts(), step.said) << step.energy << " " << step.altitude;
    }
}

TEST(AnnouncementsTest, TimeAtEveryStepWithRelativeTime) {
    Session session;
    session.settings.mSayTime = 1;
    session.settings.mSayBattery = 1;
    session.memory.lastBatterySpoken = 50;
    struct Step {
        int t;
        int relative;
        Texts said;
    };
    for (const Step& step : std::vector<Step>{
             {299, -61, {}},
             {300, -61, {"Time, 5 minutes", "Relative Time, -1 minutes-1 seconds"}},
             {301, -61, {}},
             {620, kUnknownRelativeTime, {"Time, 10 minutes20 seconds"}},
             {899, 3725, {}},
             {900, 3725, {"Time, 15 minutes", "Relative Time, 1 hours2 minutes5 seconds"}}}) {
        session.track.elapsedSeconds = step.t;
        session.relativeTime = step.relative;
        session.paceTrackLoaded = true;
        EXPECT_EQ(session.TickTexts(), step.said) << step.t;
    }

    Session hour;
    hour.settings.mSayTime = 1;
    hour.settings.mSayTimeThreshold = 3600;
    hour.track.elapsedSeconds = 3600;
    hour.relativeTime = 10;  // no pace track: not spoken
    EXPECT_EQ(hour.TickTexts(), (Texts{"Time, 1 hours"}));
}

TEST(AnnouncementsTest, SpeedBandsOverTicks) {
    Session session;
    session.settings.mSaySpeed = 1;
    session.settings.mUserProfile = 2;
    struct Step {
        int t;
        double speed;
        std::vector<Said> said;
    };
    const Said speed{"Speed", true};
    for (const Step& step : std::vector<Step>{{0, 10.0, {}},  // first call: the check clock starts
                                               {9, 10.0, {}},
                                               {10, 10.0, {speed, {"10", false}}},
                                               {20, 10.0, {}},
                                               {40, 10.0, {}},
                                               {50, 11.3, {speed, {"11", false}}},
                                               {55, 12.4, {}},  // too soon
                                               {60, 12.4, {speed, {"12", false}}},
                                               {70, 11.8, {}},
                                               {80, 11.3, {speed, {"11.5", false}}}}) {
        session.track.elapsedSeconds = step.t;
        session.track.currentSpeed = step.speed;
        EXPECT_EQ(session.Tick(), step.said) << step.t;
    }
    // A new recording: elapsed time starts again, and so does the speed clock.
    session.track.lastIndex = 0;
    session.track.elapsedSeconds = 0;
    EXPECT_TRUE(session.Tick().empty());
    session.track.lastIndex = 5;
    session.track.elapsedSeconds = 10;
    EXPECT_EQ(session.Tick(), (std::vector<Said>{speed, {"11", false}}));
}

TEST(AnnouncementsTest, PaceThenSpeedOnTheSameTick) {
    Session session;
    session.settings.mSayPace = session.settings.mSaySpeed = 1;
    session.settings.mUserProfile = 1;
    session.memory.speedCheckTimeSet = true;
    session.track.pace = 9.75;
    session.track.currentSpeed = 6.2;
    session.track.elapsedSeconds = 300;
    EXPECT_EQ(session.TickTexts(), (Texts{"Pace, 9 minutes 45", "Speed", "6"}));
    session.track.elapsedSeconds = 599;
    EXPECT_TRUE(session.Tick().empty());
    session.settings.mUserProfile = 4;  // no pace while driving
    session.track.elapsedSeconds = 900;
    EXPECT_TRUE(session.Tick().empty());
}

TEST(AnnouncementsTest, SummaryWhenRequested) {
    Session session{Settings{}};
    session.settings.mUserProfile = 2;
    session.track.elapsedSeconds = 3725;
    session.track.pace = 6.5;
    session.track.maxSpeed = 14.6;
    session.track.averageSpeed = 9.4;
    session.track.totalDistance = 9.8765;
    session.track.minAltitude = 12.0;
    session.track.maxAltitude = 48.5;
    session.track.energy = 640.4;
    session.memory.summaryRequested = true;

    session.state = RecordingState::Waiting;  // the request waits for a recording
    session.Tick();
    EXPECT_TRUE(session.memory.summaryRequested);

    session.state = RecordingState::Stopped;
    std::vector<Said> said = session.Tick();
    EXPECT_EQ(session.speaker.Texts(),
              (Texts{"Time, 1 hours2 minutes5 seconds", "Pace, 6 minutes 30", "Maximum", "Speed",
                     "15", "Average", "Speed", "9", "Distance", "9.9", "Minimum", "Altitude",
                     "12", "Maximum", "Altitude", "48.5", "Energy", "640", "Battery", "50",
                     "Percent"}));
    for (const Said& s : said) EXPECT_TRUE(s.wait) << s.text;
    EXPECT_FALSE(session.memory.summaryRequested);
}

TEST(AnnouncementsTest, StepsThatAreNotPositiveSwitchTheirCheckOff) {
    Settings settings;
    settings.mSaySpeed = 0;
    settings.mSaySplit = 1;
    settings.mSayDistanceThreshold = settings.mSaySplitThreshold = 0;
    settings.mSayCalorieThreshold = settings.mSayAltitudeThreshold = 0;
    settings.mSayTimeThreshold = settings.mSayBatteryThreshold = settings.mSayPaceThreshold = 0;
    Session session{settings};
    session.track.minAltitude = 5;
    session.track.pace = 7;
    for (int t = 0; t < 5; ++t) {
        session.track.elapsedSeconds = t;
        EXPECT_TRUE(session.Tick().empty()) << t;
    }
}

}  // namespace
}  // namespace trakomer::speech

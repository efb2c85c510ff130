#include "screens/screen_text.h"

#include <gtest/gtest.h>

#include <memory>

namespace trakomer {
namespace {

struct MagnitudeCase {
    double value;
    const char* text;
};

TEST(FormatMagnitude, SwitchesDecimalsAtTenAndHundred) {
    const MagnitudeCase cases[] = {
        {0, "0.00"},    {9.99, "9.99"},  {9.994, "9.99"}, {10, "10.0"},
        {99.94, "99.9"}, {100, "100"},   {1234.5, "1234"}, {-3, "-3.00"},
    };
    for (const MagnitudeCase& c : cases) EXPECT_EQ(FormatMagnitude(c.value), c.text) << c.value;
}

struct RelativeCase {
    int seconds;
    const char* longForm;
    const char* shortForm;
};

TEST(RelativeTimeField, PositiveNegativeAndUnknownForms) {
    const RelativeCase cases[] = {
        {0, "Rel Time 00:00:00", "R: 00:00"},
        {3725, "Rel Time 01:02:05", "R: 02:05"},
        {-61, "Rel Time -00:01:01", "R: -01:01"},
        {-3600, "Rel Time -1:00:00", "R: 00:00"},
        {-3661, "Rel Time -01:01:01", "R: -01:01"},
        {kUnknownRelativeTime, "Rel Time ?", "R: ?"},
    };
    for (const RelativeCase& c : cases) {
        FieldText field = RelativeTimeField(c.seconds);
        EXPECT_EQ(field.longForm, c.longForm) << c.seconds;
        EXPECT_EQ(field.shortForm, c.shortForm) << c.seconds;
    }
}

TEST(ScaleLabel, SmallScalesInMetresOrFeet) {
    UnitFactors metric = UnitFactorsFor(1);
    UnitFactors imperial = UnitFactorsFor(2);
    EXPECT_EQ(ScaleLabel(0.25, metric, 1), "463 m");
    EXPECT_EQ(ScaleLabel(0.5, imperial, 2), "3038 ft");
    EXPECT_EQ(ScaleLabel(1.0, metric, 1), "1.85 km");
    EXPECT_EQ(ScaleLabel(100.0, imperial, 2), "115 miles");
}

// A fix, a track and options that tests adjust case by case.
class Composer : public ::testing::Test {
protected:
    void SetUp() override {
        track = std::make_unique<Track>();
        in.track = track.get();
        in.fix = &fix;
        in.options.userProfile = 1;
        in.options.autoStart = false;
    }

    void AddPoint(double lat, double lon, float alt, int time) {
        track->lastIndex += 1;
        TrackPoint& p = track->points[static_cast<size_t>(track->lastIndex)];
        p.latitude = lat;
        p.longitude = lon;
        p.altitude = alt;
        p.time = time;
    }

    std::string Compose(int screen) {
        in.currentScreen = screen;
        ComposeScreenText(in, texts);
        return texts.screenText;
    }

    std::unique_ptr<Track> track;
    GpsFix fix;
    ScreenInputs in;
    ScreenTexts texts;
};

TEST_F(Composer, WaitingScreensShowStatusAndSatellites) {
    fix.gsaFixMode = 1;
    fix.rmcStatus = 'V';
    in.options.autoStart = true;
    EXPECT_EQ(Compose(0), "No Fix, Walk[-1:0], Waiting\nSatellites:\n0\n");
    EXPECT_EQ(Compose(3), "No Fix, Walk[-1:0], Waiting\n");

    fix.gsvSatellitesInView = 2;
    fix.gsvSatellites[0] = {.prn = 5, .snr = 41};
    fix.gsvSatellites[1] = {.prn = 12, .snr = 0};
    in.batteryPercent = 80;
    EXPECT_EQ(Compose(2),
              "No Fix, Walk[-1:0], Waiting\nSatellites:\n05:12:\n41:00:\nBattery 80%\n");
}

TEST_F(Composer, SatellitesBlockKeepsLastContentOnceFixed) {
    fix.rmcStatus = 'V';
    fix.gsvSatellitesInView = 1;
    fix.gsvSatellites[0] = {.prn = 7, .snr = 30};
    Compose(0);
    fix.rmcStatus = 'A';
    fix.gsvSatellitesInView = 0;
    Compose(0);
    EXPECT_EQ(texts.satellites, "Satellites:\n07:\n30:");
}

TEST_F(Composer, StatusLineForProfilesFixesAndStates) {
    struct Case {
        int fixMode, profile, state;
        bool autoStart;
        const char* text;
    } cases[] = {
        {3, 2, kStateStarted, true, "3d Fix, Run[-1:0], Started"},
        {2, 6, kStateStopped, true, "2d Fix, Blackbox[-1:0], Stopped"},
        {0, 9, kStateWaiting, false, "Unknown, Unknown[-1:0]"},
        {3, 4, 7, true, "3d Fix, Car[-1:0], Waiting"},
    };
    for (const Case& c : cases) {
        fix.gsaFixMode = static_cast<uint8_t>(c.fixMode);
        in.options.userProfile = c.profile;
        in.options.autoStart = c.autoStart;
        in.recordingState = c.state;
        EXPECT_EQ(StatusLine(in), c.text);
    }
}

TEST_F(Composer, ReviewStatusUsesLoadedCountAndDropsState) {
    AddPoint(50, 8, 100, 1000);
    AddPoint(50.001, 8, 110, 1010);
    track->loadedCount = 2;
    in.options.autoStart = true;
    fix.gsaFixMode = 3;
    EXPECT_EQ(StatusLine(in), "3d Fix, Walk[1:1]");
}

TEST_F(Composer, SummaryListsEveryFieldInOrder) {
    fix.rmcStatus = 'A';
    fix.gsaFixMode = 3;
    AddPoint(50.5, 8.25, 120, 1000);
    track->currentSpeed = 6;
    track->averageSpeed = 2;
    track->maxSpeed = 60;
    track->totalDistance = 1;
    track->elapsedSeconds = 3725;
    track->minAltitude = 100;
    track->maxAltitude = 130;
    track->ascent = 30;
    track->descent = 10;
    track->gradient = -2.5;
    track->energy = 100;
    track->pace = 6.5;
    in.clock = {9, 8, 7};
    in.batteryPercent = 55;
    in.uploadStatus = "Uploaded";
    EXPECT_EQ(Compose(2),
              "3d Fix, Walk[0:0]\n"
              "Pos 8.250000:50.500000\n"
              "Time 01:02:05 [09:08:07]\n"
              "Spd 11.1  (Av:3.70 Mx:111)\n"
              "Dist  1.85\n"
              "Alt 120  (Mn:100, Mx:130)\n"
              "Ascended 30\n"
              "Descended 10\n"
              "Slope \\ -2.5%\n"
              "Energy 418, Pace 06:30\n"
              "Battery 55%\n"
              "Uploaded");
}

TEST_F(Composer, CarHasNoEnergyOrPace) {
    fix.rmcStatus = 'A';
    AddPoint(50, 8, 0, 0);
    track->energy = 100;
    track->pace = 6;
    in.options.userProfile = 4;
    std::string summary = Compose(2);
    EXPECT_EQ(summary.find("Energy"), std::string::npos);
    EXPECT_EQ(summary.find("Pace"), std::string::npos);

    in.options.viewLarge = {10, 13, 0, 6};
    EXPECT_EQ(Compose(3), "\n\n\nD: 0.00");
}

TEST_F(Composer, ShortSummaryUsesChosenFieldsAndBlanksUnknownOnes) {
    fix.rmcStatus = 'A';
    AddPoint(50, 8, 42, 0);
    track->currentSpeed = 1;
    track->gradient = 0;
    track->pace = 5.25;
    in.batteryPercent = 9;
    in.options.viewLarge = {4, 5, 9, 11};
    EXPECT_EQ(Compose(3), "S: 1.85\nA: 42\nS: - 0.0%\nB: 9%\n");
    in.options.viewLarge = {0, 13, -1, 14};
    EXPECT_EQ(Compose(3), "\nP: 05:15\n\n");
}

TEST_F(Composer, TrackScreensCarryHeaderLegendAndScale) {
    fix.rmcStatus = 'A';
    AddPoint(50, 8, 200, 0);
    AddPoint(50, 8, 250, 10);
    track->minAltitude = 200;
    track->maxAltitude = 250;
    track->maxSpeed = 10;
    track->elapsedSeconds = 61;
    in.pendingUsed = 3;
    in.mapZoom = 2.5;
    in.mapHalfWidthNm = 0.1;
    EXPECT_EQ(Compose(0), "Spd 0.00  (Av:0.00 Mx:18.5)\nDist  0.00    Time 00:01:01\n[1:3] 2.5x");
    EXPECT_EQ(texts.legendMin, "200");
    EXPECT_EQ(texts.legendMax, "250");
    EXPECT_EQ(texts.legendTitle, "Alt[m]");
    EXPECT_EQ(texts.scaleLabel, "185 m");

    in.options.units = 2;
    in.factors = UnitFactorsFor(2);
    EXPECT_EQ(Compose(1),
              "Alt 820  (Mn:656, Mx:820)\nDist  0.00    Time 00:01:01\n[1:3] 2.5x");
    EXPECT_EQ(texts.legendMin, "0");
    EXPECT_EQ(texts.legendMax, "12");
    EXPECT_EQ(texts.legendTitle, "Spd[mph]");
}

TEST_F(Composer, UnknownAltitudeExtremesShowQuestionMarks) {
    fix.rmcStatus = 'A';
    AddPoint(50, 8, 0, 0);
    Compose(0);
    EXPECT_EQ(texts.legendMin, "?");
    EXPECT_EQ(texts.legendMax, "?");
}

TEST_F(Composer, LinkFailureReplacesEveryScreenText) {
    in.linkOpenFailed = true;
    in.linkErrorText = "Cannot open /dev/ttyUSB0";
    fix.rmcStatus = 'A';
    EXPECT_EQ(Compose(2), "Cannot open /dev/ttyUSB0");
    EXPECT_EQ(Compose(0), "Cannot open /dev/ttyUSB0");
}

TEST_F(Composer, RelativeTimeOnlyWithActivePaceTrack) {
    fix.rmcStatus = 'A';
    AddPoint(50, 8, 0, 0);
    in.relativeSeconds = -61;
    EXPECT_EQ(Compose(2).find("Rel Time"), std::string::npos);
    in.paceTrackActive = true;
    EXPECT_NE(Compose(2).find("Rel Time -00:01:01\n"), std::string::npos);
}

TEST_F(Composer, EmptyTrackUnderReviewDoesNotReadOutsideTheTrack) {
    track->loadedCount = 1;
    track->lastIndex = -1;
    EXPECT_NE(Compose(2).find("Pos 0.000000:0.000000"), std::string::npos);
}

}  // namespace
}  // namespace trakomer

// The preference pages' logic without a window: numbers read from edits,
// unit switching, the track-screen rule and the texts the pages show.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/settings.h"
#include "prefs/general_model.h"
#include "prefs/maps_model.h"
#include "prefs/number_text.h"
#include "prefs/screens_model.h"
#include "prefs/speech_model.h"
#include "prefs/tracks_model.h"

namespace trakomer::prefs {
namespace {

TEST(NumberText, ReadsAsFarAsItParsesAndNeverYieldsNonFinite) {
    struct Case {
        const char* text;
        std::optional<double> decimal;
        std::optional<int> integer;
        bool fitsFloat;
    };
    const Case cases[] = {
        {"12.5 km", 12.5, 12, true},
        {" +3.25", 3.25, 3, true},
        {"-2", -2.0, -2, true},
        {".5", 0.5, std::nullopt, true},
        {"abc", std::nullopt, std::nullopt, false},
        {"", std::nullopt, std::nullopt, false},
        {"+-1", std::nullopt, std::nullopt, false},
        {"nan", std::nullopt, std::nullopt, false},
        {"inf", std::nullopt, std::nullopt, false},
        {"1e999", std::nullopt, 1, false},
        {"1e300", 1e300, 1, false},
        {"99999999999", 99999999999.0, std::nullopt, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LeadingDecimal(c.text), c.decimal) << c.text;
        EXPECT_EQ(LeadingInteger(c.text), c.integer) << c.text;
        EXPECT_EQ(LeadingFloat(c.text).has_value(), c.fitsFloat && c.decimal.has_value()) << c.text;
    }
    EXPECT_EQ(FormatFixed(191.8, 1), "191.8");
    EXPECT_EQ(FormatFixed(1.0, 2), "1.00");
    EXPECT_EQ(FormatFixed(-122.25, 6), "-122.250000");
}

TEST(GeneralModel, UnitsSwitchConvertsFromTheStoredUnits) {
    struct Case {
        int storedUnits;
        float distance, speed;
        int shownIndex;
        UnitNumbers expected;
    };
    const Case cases[] = {
        {1, 0.4f, 6.0f, 1, {"0.2", "3.7", "191.8"}},  // km to miles
        {1, 0.4f, 6.0f, 0, {"0.4", "6.0", "87.0"}},   // back to the stored units
        {2, 1.0f, 5.0f, 0, {"1.6", "8.0", "87.0"}},   // miles to km
    };
    for (const Case& c : cases) {
        Settings s;
        s.mUnits = c.storedUnits;
        s.mAutoStopDistance = c.distance;
        s.mAutoStopSpeed = c.speed;
        const UnitNumbers n = NumbersForUnits(s, c.shownIndex);
        EXPECT_EQ(n.stopDistance, c.expected.stopDistance);
        EXPECT_EQ(n.stopSpeed, c.expected.stopSpeed);
        EXPECT_EQ(n.weight, c.expected.weight);
    }
}

TEST(GeneralModel, StoreKeepsFieldsThatDoNotParse) {
    Settings s;
    GeneralFields f = GeneralFieldsFrom(s);
    f.unitsIndex = 1;
    f.profileIndex = 5;
    f.stopDistance = "nan";
    f.stopSpeed = "7.5mph";
    f.weight = "";
    const GeneralStore out = StoreGeneral(f, s);
    EXPECT_EQ(s.mUserProfile, 6);
    EXPECT_EQ(s.mUnits, 2);
    EXPECT_TRUE(out.distanceRejected);
    EXPECT_FLOAT_EQ(s.mAutoStopDistance, 0.4f);
    EXPECT_FLOAT_EQ(s.mAutoStopSpeed, 7.5f);
    EXPECT_TRUE(out.weightRejected);
    EXPECT_DOUBLE_EQ(s.bodyWeightKg, 87.0);
}

TEST(ScreensModel, OneTrackScreenStaysOn) {
    struct Case {
        std::array<bool, kScreenCount> before;
        int changed;
        bool track0, track1;
    };
    const Case cases[] = {
        {{false, false, true, true, true, true}, 1, true, false},    // cleared speed
        {{false, false, true, true, true, true}, 0, false, true},    // cleared altitude
        {{true, false, true, true, true, true}, 1, true, false},     // one left: no change
        {{false, false, false, true, true, true}, 2, false, false},  // not a track box
    };
    for (const Case& c : cases) {
        auto on = c.before;
        KeepOneTrackScreen(on, c.changed);
        EXPECT_EQ(on[0], c.track0);
        EXPECT_EQ(on[1], c.track1);
    }
    EXPECT_EQ(PreviewText(4), "S: 123");
    EXPECT_EQ(PreviewText(12), "R: 123");
    EXPECT_EQ(PreviewText(0), "");
    EXPECT_EQ(PreviewText(14), "");
}

TEST(SpeechModel, IntervalsAndUnitsFollowTheUnits) {
    Settings s;
    s.mSayDistanceThreshold = 0.5f;
    s.mSayAltitudeThreshold = 50;
    EXPECT_EQ(IntervalText(kAnnouncements[2], s), "0.50");
    EXPECT_EQ(IntervalText(kAnnouncements[4], s), "50");
    EXPECT_STREQ(UnitLabel(IntervalUnit::Distance, 2), "miles");
    EXPECT_STREQ(UnitLabel(IntervalUnit::Altitude, 2), "ft");
    EXPECT_STREQ(UnitLabel(IntervalUnit::Energy, 1), "kJ");
    EXPECT_STREQ(UnitLabel(IntervalUnit::Energy, 2), "Calories");
    EXPECT_TRUE(StoreInterval(kAnnouncements[2], "2.25 miles", s));
    EXPECT_FLOAT_EQ(s.mSayDistanceThreshold, 2.25f);
    EXPECT_FALSE(StoreInterval(kAnnouncements[4], "x", s));
    EXPECT_EQ(s.mSayAltitudeThreshold, 50);
}

TEST(TracksAndMaps, FileNamesAndCorners) {
    EXPECT_EQ(FileNamePart("/home/u/Documents/run.trz"), "run.trz");
    EXPECT_EQ(FileNamePart("\\My Documents\\run.trk"), "run.trk");
    EXPECT_EQ(FileNamePart(""), "");
    const auto cells = MapRowTexts({"/maps/town.tga", 11.5, 48.125, 11.75, 48.25});
    EXPECT_EQ(cells[0], "/maps/town.tga");
    EXPECT_EQ(cells[1], "11.500000");
    EXPECT_EQ(cells[4], "48.250000");
}

}  // namespace
}  // namespace trakomer::prefs

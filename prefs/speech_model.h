#pragma once
// The Speech page's announcements: each with its switch, its interval and
// the interval's unit.

#include <array>
#include <string>

#include "core/settings.h"

namespace trakomer::prefs {

enum class IntervalUnit { Minutes, Seconds, Distance, Altitude, Energy, Percent };

struct AnnouncementRow {
    const char* name;  // the check box's text, also the controls' name suffix
    int Settings::*enabled;
    int Settings::*intInterval;      // "%d" intervals
    float Settings::*floatInterval;  // "%.2f" intervals
    IntervalUnit unit;
};

inline constexpr std::array<AnnouncementRow, 9> kAnnouncements = {{
    {"Summary", &Settings::mSaySummary, &Settings::mSaySummaryThreshold, nullptr,
     IntervalUnit::Minutes},
    {"Speed", &Settings::mSaySpeed, &Settings::mSaySpeedThreshold, nullptr, IntervalUnit::Seconds},
    {"Distance", &Settings::mSayDistance, nullptr, &Settings::mSayDistanceThreshold,
     IntervalUnit::Distance},
    {"Split", &Settings::mSaySplit, nullptr, &Settings::mSaySplitThreshold, IntervalUnit::Distance},
    {"Altitude", &Settings::mSayAltitude, &Settings::mSayAltitudeThreshold, nullptr,
     IntervalUnit::Altitude},
    {"Energy", &Settings::mSayCalories, &Settings::mSayCalorieThreshold, nullptr,
     IntervalUnit::Energy},
    {"Time", &Settings::mSayTime, &Settings::mSayTimeThreshold, nullptr, IntervalUnit::Seconds},
    {"Pace", &Settings::mSayPace, &Settings::mSayPaceThreshold, nullptr, IntervalUnit::Seconds},
    {"Battery", &Settings::mSayBattery, &Settings::mSayBatteryThreshold, nullptr,
     IntervalUnit::Percent},
}};

// "min", "s", "km"/"miles", "m"/"ft", "kJ"/"Calories", "%" for mUnits.
const char* UnitLabel(IntervalUnit unit, int units);

// The interval as the edit shows it ("%d" or "%.2f").
std::string IntervalText(const AnnouncementRow& row, const Settings& settings);

// Stores the edit's text as the interval; false (nothing stored) when it
// does not start with a number.
bool StoreInterval(const AnnouncementRow& row, const std::string& text, Settings& settings);

}  // namespace trakomer::prefs

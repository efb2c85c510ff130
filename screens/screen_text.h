#pragma once
// The text of every displayed figure and the text of each screen. Strings
// in, strings out: the window draws what this composes.

#include <array>
#include <string>

#include "core/geodesy.h"
#include "core/track.h"
#include "gps/gps_fix.h"

namespace trakomer {

// "%.2f" below 10, "%.1f" below 100, "%.0f" from 100 on.
std::string FormatMagnitude(double value);

// Recording state numbers as the recording engine keeps them.
constexpr int kStateWaiting = 1;
constexpr int kStateStarted = 2;
constexpr int kStateStopped = 3;

// Marker of an unknown relative time.
constexpr int kUnknownRelativeTime = 999999;

// Indices of the field table that the Short Summary choices refer to.
enum FieldIndex {
    kFieldBlank = 0,
    kFieldFixmode,
    kFieldCoords,
    kFieldTimer,
    kFieldSpeed,
    kFieldAltitude,
    kFieldDistance,
    kFieldAscended,
    kFieldDescended,
    kFieldSlope,
    kFieldEnergy,
    kFieldBattery,
    kFieldRelTime,
    kFieldPace,
    kFieldCount
};

// Name of a field table entry as the Screens preference page lists it.
const char* FieldName(int field);

// The settings the composer reads.
struct ScreenOptions {
    int userProfile = 4;                         // mUserProfile
    bool autoStart = true;                       // mAutoStart
    int units = 1;                               // mUnits: 1 metric
    std::array<int, 4> viewLarge{4, 6, 5, 10};    // mViewLarge
};

// Local wall-clock time of day; -1 in every part when it cannot be read.
struct ClockTime {
    int hour = -1, minute = -1, second = -1;
};

// Everything one composition reads.
struct ScreenInputs {
    const Track* track = nullptr;
    const GpsFix* fix = nullptr;
    ScreenOptions options;
    UnitFactors factors = UnitFactorsFor(1);
    int currentScreen = 0;
    int recordingState = kStateWaiting;
    int pendingUsed = 0;               // averaged fixes in use (live second index)
    int batteryPercent = 0;
    ClockTime clock;
    bool linkOpenFailed = false;       // the GPS port could not be opened
    std::string linkErrorText;         // the link's message then
    bool receiverLost = false;         // the receiver went away; waiting for it
    std::string journalProblem;        // the recording journal fails ("" when not)
    std::string uploadStatus;          // last upload result, may be empty
    bool paceTrackActive = false;
    int relativeSeconds = kUnknownRelativeTime;
    double mapZoom = 1.0;
    double mapHalfWidthNm = 0;         // half the width the map view shows
};

// One field in both forms: long for screens 0, 1, 2, 5; short for screen 3.
struct FieldText {
    std::string longForm;
    std::string shortForm;
};

// What the composer leaves for the screens. Fields keep their last value
// between compositions; so do the satellites block and the legend texts.
struct ScreenTexts {
    std::array<FieldText, kFieldCount> fields{};
    std::string satellites;
    std::string screenText;
    std::string legendMin, legendMax, legendTitle;
    std::string scaleLabel;
};

// Rebuilds every field and the text of the current screen.
void ComposeScreenText(const ScreenInputs& in, ScreenTexts& out);

// Pieces, exposed for the graph and the speech composer.
std::string FormatClock(int seconds);                   // "%02d:%02d:%02d"
std::string StatusLine(const ScreenInputs& in);
std::string SatellitesBlock(const GpsFix& fix);
FieldText RelativeTimeField(int relativeSeconds);
std::string ScaleLabel(double halfWidthNm, const UnitFactors& factors, int units);

}  // namespace trakomer

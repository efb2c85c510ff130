#include "screens/screen_text.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace trakomer {

namespace {

std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Printf(const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

const char* FixText(int fixMode) {
    switch (fixMode) {
        case 1: return "No Fix";
        case 2: return "2d Fix";
        case 3: return "3d Fix";
        default: return "Unknown";
    }
}

const char* ProfileText(int profile) {
    switch (profile) {
        case 1: return "Walk";
        case 2: return "Run";
        case 3: return "Bike";
        case 4: return "Car";
        case 5: return "Motorbike";
        case 6: return "Blackbox";
        default: return "Unknown";
    }
}

// Units as the factors treat them: 2 is imperial, anything else metric.
bool Metric(int units) { return units != 2; }

bool ProfileHasEnergy(int profile) { return profile >= 1 && profile <= 3; }

// The point the position and altitude fields show; none while empty.
const TrackPoint* CurrentPoint(const Track& track) {
    if (track.lastIndex < 0 || track.lastIndex >= kTrackCapacity) return nullptr;
    return &track.points[static_cast<size_t>(track.lastIndex)];
}

// The second number of the status line and the map header.
int SecondIndex(const ScreenInputs& in) {
    return in.track->InReview() ? in.track->loadedCount - 1 : in.pendingUsed;
}

struct HoursMinutesSeconds {
    int h, m, s;
};

HoursMinutesSeconds Split(int t) {
    int h = t / 3600;
    int m = (t % 3600) / 60;
    int s = t - (m + 60 * h) * 60;
    return {h, m, s};
}

FieldText SpeedField(const Track& track, double factor) {
    return {"Spd " + FormatMagnitude(track.currentSpeed * factor) + "  (Av:" +
                FormatMagnitude(track.averageSpeed * factor) +
                " Mx:" + FormatMagnitude(track.maxSpeed * factor) + ")",
            "S: " + FormatMagnitude(track.currentSpeed * factor)};
}

FieldText AltitudeField(const Track& track, double factor) {
    const TrackPoint* point = CurrentPoint(track);
    double altitude = point ? point->altitude * factor : 0.0;
    return {Printf("%s %.0f  (Mn:%.0f, Mx:%.0f)", "Alt", altitude, track.minAltitude * factor,
                   track.maxAltitude * factor),
            Printf("%c: %.0f", 'A', altitude)};
}

void UpdateLegend(const ScreenInputs& in, ScreenTexts& out) {
    const Track& track = *in.track;
    bool metric = Metric(in.options.units);
    if (in.currentScreen == 0) {
        double factor = in.factors.altitudeFactor;
        out.legendMin = track.minAltitude == kEmptyBoxMin
                            ? "?"
                            : Printf("%.0f", track.minAltitude * factor);
        out.legendMax = std::abs(std::trunc(track.maxAltitude)) == kEmptyBoxMin
                            ? "?"
                            : Printf("%.0f", track.maxAltitude * factor);
        out.legendTitle = Printf("%s[%s]", "Alt", metric ? "m" : "ft");
    } else if (in.currentScreen == 1) {
        out.legendMin = Printf("%.0f", 0.0);
        out.legendMax = Printf("%.0f", track.maxSpeed * in.factors.distanceFactor);
        out.legendTitle = Printf("%s[%s]", "Spd", metric ? "kph" : "mph");
    }
}

FieldText TimeField(int elapsed, int screen, const ClockTime& clock) {
    HoursMinutesSeconds t = Split(elapsed);
    FieldText field;
    field.shortForm = Printf("%02d:%02d:%02d", t.h, t.m, t.s);
    if (screen == 2) {
        field.longForm = Printf("Time %02d:%02d:%02d [%02d:%02d:%02d]", t.h, t.m, t.s, clock.hour,
                                clock.minute, clock.second);
    } else {
        field.longForm = Printf("Time %02d:%02d:%02d", t.h, t.m, t.s);
    }
    return field;
}

FieldText ClimbField(const char* label, double metres, double factor) {
    return {Printf("%s %.0f", label, metres * factor), Printf("%c: %.0f", label[0], metres * factor)};
}

FieldText SlopeField(double gradient) {
    const char* sign = gradient > 0 ? "/" : (gradient < 0 ? "\\" : "-");
    std::string label = std::string("Slope ") + sign;
    std::string shortLabel = std::string("S: ") + sign;
    return {Printf("%s %.1f%%", label.c_str(), gradient),
            Printf("%s %.1f%%", shortLabel.c_str(), gradient)};
}

FieldText PositionField(const Track& track) {
    const TrackPoint* point = CurrentPoint(track);
    double lon = point ? point->longitude : 0.0;
    double lat = point ? point->latitude : 0.0;
    return {Printf("Pos %f:%f", lon, lat), Printf("P: %f:%f", lon, lat)};
}

FieldText EnergyField(const Track& track, double factor) {
    double energy = track.energy * factor;
    return {Printf("Energy %.0f", energy), Printf("E: %.0f", energy)};
}

FieldText PaceField(double pace) {
    // Guard the conversion: an undefined pace (infinite or NaN) shows as 0.
    if (!std::isfinite(pace) || std::abs(pace) > 1e6) pace = 0;
    int minutes = static_cast<int>(pace);
    int seconds = static_cast<int>((pace - minutes) * 60);
    return {Printf("Pace %.2d:%.2d", minutes, seconds), Printf("P: %.2d:%.2d", minutes, seconds)};
}

void BuildFields(const ScreenInputs& in, ScreenTexts& out) {
    const Track& track = *in.track;
    const UnitFactors& f = in.factors;
    auto& fields = out.fields;

    std::string status = StatusLine(in);
    fields[kFieldFixmode] = {status, status};
    if (in.fix->rmcStatus == 'V' && !track.InReview()) out.satellites = SatellitesBlock(*in.fix);
    fields[kFieldSpeed] = SpeedField(track, f.distanceFactor);
    fields[kFieldAltitude] = AltitudeField(track, f.altitudeFactor);
    UpdateLegend(in, out);
    std::string distance = FormatMagnitude(track.totalDistance * f.distanceFactor);
    fields[kFieldDistance] = {"Dist  " + distance, "D: " + distance};
    if (in.currentScreen == 0 || in.currentScreen == 1) {
        out.scaleLabel = ScaleLabel(in.mapHalfWidthNm, f, in.options.units);
    }
    fields[kFieldTimer] = TimeField(track.elapsedSeconds, in.currentScreen, in.clock);
    if (in.paceTrackActive) fields[kFieldRelTime] = RelativeTimeField(in.relativeSeconds);
    fields[kFieldAscended] = ClimbField("Ascended", track.ascent, f.altitudeFactor);
    fields[kFieldDescended] = ClimbField("Descended", track.descent, f.altitudeFactor);
    fields[kFieldSlope] = SlopeField(track.gradient);
    fields[kFieldCoords] = PositionField(track);
    if (ProfileHasEnergy(in.options.userProfile)) {
        fields[kFieldEnergy] = EnergyField(track, f.energyFactor);
        fields[kFieldPace] = PaceField(track.pace);
    } else {
        fields[kFieldEnergy] = {};
        fields[kFieldPace] = {};
    }
    fields[kFieldBattery] = {Printf("Battery %d%%\n", in.batteryPercent),
                             Printf("B: %d%%\n", in.batteryPercent)};
    fields[kFieldBlank] = {};
}

std::string SummaryText(const ScreenInputs& in, const ScreenTexts& out) {
    static const int kOrder[] = {kFieldFixmode,  kFieldCoords,   kFieldTimer,
                                 kFieldSpeed,    kFieldDistance, kFieldAltitude,
                                 kFieldAscended, kFieldDescended, kFieldSlope};
    std::string text;
    for (int field : kOrder) text += out.fields[static_cast<size_t>(field)].longForm + "\n";
    if (ProfileHasEnergy(in.options.userProfile)) {
        text += out.fields[kFieldEnergy].longForm + ", " + out.fields[kFieldPace].longForm + "\n";
    }
    if (in.paceTrackActive) text += out.fields[kFieldRelTime].longForm + "\n";
    return text;
}

std::string ShortSummaryText(const ScreenInputs& in, const ScreenTexts& out) {
    std::string text;
    for (size_t i = 0; i < in.options.viewLarge.size(); ++i) {
        int field = in.options.viewLarge[i];
        if (field < 0 || field >= kFieldCount) field = kFieldBlank;
        if (i > 0) text += "\n";
        text += out.fields[static_cast<size_t>(field)].shortForm;
    }
    return text;
}

std::string MapHeaderText(const ScreenInputs& in, const ScreenTexts& out) {
    const FieldText& first =
        in.currentScreen == 0 ? out.fields[kFieldSpeed] : out.fields[kFieldAltitude];
    return first.longForm + "\n" + out.fields[kFieldDistance].longForm + "    " +
           out.fields[kFieldTimer].longForm +
           Printf("\n[%d:%d] %.1fx", in.track->lastIndex, SecondIndex(in), in.mapZoom);
}

std::string ComposeForScreen(const ScreenInputs& in, const ScreenTexts& out) {
    // A failing journal shows on every screen: the recording is not safe.
    const std::string journal = in.journalProblem.empty() ? "" : in.journalProblem + "\n";
    if (in.linkOpenFailed) return journal + in.linkErrorText;
    const int screen = in.currentScreen;
    std::string text = (in.receiverLost ? "GPS receiver lost\n" : "") + journal;
    if (in.fix->rmcStatus == 'A' || in.track->InReview()) {
        if (screen == 2) text += SummaryText(in, out);
        else if (screen == 3) text += ShortSummaryText(in, out);
        else if (screen == 0 || screen == 1) text += MapHeaderText(in, out);
    } else if (screen == 3) {
        text += out.fields[kFieldFixmode].longForm + "\n";
    } else {
        text += out.fields[kFieldFixmode].longForm + "\n" + out.satellites + "\n";
    }
    if (screen == 2) {
        text += out.fields[kFieldBattery].longForm;
        text += in.uploadStatus;
    }
    return text;
}

}  // namespace

std::string FormatMagnitude(double value) {
    if (value < 10) return Printf("%.2f", value);
    if (value < 100) return Printf("%.1f", value);
    return Printf("%.0f", value);
}

const char* FieldName(int field) {
    static const char* const kNames[kFieldCount] = {
        "",         "Fixmode",   "Coords", "Timer",  "Speed",   "Altitude", "Distance",
        "Ascended", "Descended", "Slope",  "Energy", "Battery", "Rel Time", "Pace"};
    if (field < 0 || field >= kFieldCount) return "";
    return kNames[field];
}

std::string FormatClock(int seconds) {
    HoursMinutesSeconds t = Split(seconds);
    return Printf("%02d:%02d:%02d", t.h, t.m, t.s);
}

std::string StatusLine(const ScreenInputs& in) {
    std::string text = Printf("%s, %s[%d:%d]", FixText(in.fix->gsaFixMode),
                              ProfileText(in.options.userProfile), in.track->lastIndex,
                              SecondIndex(in));
    if (in.options.autoStart && !in.track->InReview()) {
        if (in.recordingState == kStateStarted) text += ", Started";
        else if (in.recordingState == kStateStopped) text += ", Stopped";
        else text += ", Waiting";
    }
    return text;
}

std::string SatellitesBlock(const GpsFix& fix) {
    int count = std::min<int>(fix.gsvSatellitesInView, kMaxSatellites);
    std::string text = "Satellites:\n";
    if (count == 0) return text + "0";
    for (int i = 0; i < count; ++i) text += Printf("%02d:", fix.gsvSatellites[i].prn);
    text += "\n";
    for (int i = 0; i < count; ++i) text += Printf("%02d:", fix.gsvSatellites[i].snr);
    return text;
}

FieldText RelativeTimeField(int relativeSeconds) {
    if (relativeSeconds == kUnknownRelativeTime) return {"Rel Time ?", "R: ?"};
    HoursMinutesSeconds t = Split(relativeSeconds);
    if (t.m < 0 || t.s < 0) {
        return {Printf("Rel Time -%02d:%02d:%02d", std::abs(t.h), std::abs(t.m), std::abs(t.s)),
                Printf("R: -%02d:%02d", std::abs(t.m), std::abs(t.s))};
    }
    return {Printf("Rel Time %02d:%02d:%02d", t.h, t.m, t.s), Printf("R: %02d:%02d", t.m, t.s)};
}

std::string ScaleLabel(double halfWidthNm, const UnitFactors& factors, int units) {
    bool metric = Metric(units);
    double s = halfWidthNm * factors.distanceFactor;
    if (s < 1.0) {
        return Printf("%d %s", static_cast<int>(s * (metric ? 1000 : 5280)), metric ? "m" : "ft");
    }
    return FormatMagnitude(s) + " " + (metric ? "km" : "miles");
}

void ComposeScreenText(const ScreenInputs& in, ScreenTexts& out) {
    if (!in.track || !in.fix) return;
    BuildFields(in, out);
    out.screenText = ComposeForScreen(in, out);
}

}  // namespace trakomer

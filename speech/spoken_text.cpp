#include "speech/spoken_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace trakomer::speech {

namespace {
std::string Format(const char* format, int value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}
}  // namespace

std::string FormatNumberForSpeech(double value) {
    char buffer[64];
    const char* format = (value > 99.5 || value == std::trunc(value)) ? "%.0f" : "%.1f";
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

void SpeakNumber(Speaker& speaker, double value, bool wait) {
    speaker.Speak(FormatNumberForSpeech(value), wait);
}

namespace {

// "%d hours" and "%d minutes" when not 0, then "%d seconds" when not 0 or
// when asked for always, run together.
std::string TimeParts(int seconds, bool alwaysSeconds) {
    const int hours = seconds / 3600;
    const int minutes = (seconds % 3600) / 60;
    const int rest = seconds - (minutes + 60 * hours) * 60;
    std::string text;
    if (hours != 0) text += Format("%d hours", hours);
    if (minutes != 0) text += Format("%d minutes", minutes);
    if (rest != 0 || alwaysSeconds) text += Format("%d seconds", rest);
    return text;
}

}  // namespace

std::string DurationParts(int seconds) { return TimeParts(seconds, false); }

std::string RelativeTimeParts(int seconds) { return TimeParts(seconds, true); }

std::string PaceSentence(double minutesPerUnit) {
    // A pace over a tiny distance can be huge; keep it within int.
    double bounded = std::isfinite(minutesPerUnit) ? std::clamp(minutesPerUnit, -1e9, 1e9) : 0.0;
    int whole = static_cast<int>(bounded);
    int seconds = static_cast<int>((bounded - whole) * 60.0);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "Pace, %d minutes %d", whole, seconds);
    return buffer;
}

}  // namespace trakomer::speech

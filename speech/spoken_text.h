#pragma once
// Texts for speaking numbers and durations.

#include <string>

#include "core/speaker.h"

namespace trakomer::speech {

// A figure as the voice reads it: whole above 99.5 or when it has no
// fraction, else with one decimal ("150", "3", "1.5").
std::string FormatNumberForSpeech(double value);

// Speaks FormatNumberForSpeech(value).
void SpeakNumber(Speaker& speaker, double value, bool wait);

// Hours, minutes and seconds of a duration run together: "%d hours" when
// there are hours, "%d minutes" when there are minutes, "%d seconds" when
// there are seconds ("1 hours2 minutes" for 3720 s).
std::string DurationParts(int seconds);

// A relative time (seconds, negative when ahead of the pace): hours and
// minutes when not zero, seconds always; negative parts keep their sign.
std::string RelativeTimeParts(int seconds);

// "Pace, %d minutes %d": whole minutes and the seconds of the fraction.
std::string PaceSentence(double minutesPerUnit);

}  // namespace trakomer::speech

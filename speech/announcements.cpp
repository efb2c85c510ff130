#include "speech/announcements.h"

#include <cmath>

#include "speech/speed_bands.h"
#include "speech/spoken_text.h"

namespace trakomer::speech {

namespace {

constexpr bool kWait = true;
constexpr bool kNoWait = false;

// The figures of one call in display units.
struct Figures {
    int32_t t;          // elapsed seconds
    float speed;        // current speed
    float distance;     // total distance
    float energy;
    float altitude;     // current altitude
    bool altitudeKnown;
};

Figures FiguresOf(const AnnouncementInputs& in) {
    const Track& track = in.track;
    return Figures{
        track.elapsedSeconds,
        static_cast<float>(track.currentSpeed * in.units.distanceFactor),
        static_cast<float>(track.totalDistance * in.units.distanceFactor),
        static_cast<float>(track.energy * in.units.energyFactor),
        static_cast<float>(track.currentAltitude * in.units.altitudeFactor),
        track.minAltitude != kEmptyBoxMin,
    };
}

bool PaceProfile(int userProfile) { return userProfile >= 1 && userProfile <= 3; }

void ResetForNewRecording(AnnouncementMemory& memory, int32_t t) {
    memory.lastSpeedSpoken = 0;
    memory.distanceMark = 0;
    memory.splitMark = 0;
    memory.splitStartTime = t;
    memory.energyMark = 0;
    memory.altitudeMark = -1.0f;
    memory.lastTimeAnnounced = -1;
    memory.nextTimeMultiple = 1;
    memory.nextPaceMultiple = 1;
}

void AnnounceFixChange(AnnouncementMemory& memory, int fixMode, Speaker& speaker) {
    const float mode = static_cast<float>(fixMode);
    if (mode == memory.lastFixMode) return;
    const bool hadNoMode = memory.lastFixMode == 1.0f || memory.lastFixMode == -1.0f;
    memory.lastFixMode = mode;
    if (!hadNoMode && fixMode != 1) return;
    switch (fixMode) {
        case 1: speaker.Speak("no signal", kNoWait); break;
        case 2: speaker.Speak("2d fix", kNoWait); break;
        case 3: speaker.Speak("3d fix", kNoWait); break;
        default: break;
    }
}

void RemindToStart(AnnouncementMemory& memory, const AnnouncementInputs& in, Speaker& speaker) {
    if (in.fixMode > 1) memory.idleReminderCounter += 1.0f;
    if (memory.idleReminderCounter <= 20.0f) return;
    speaker.Speak("Press start button", kWait);
    if (in.settings.mAutoStart != 0 && in.settings.mUserProfile == 2) {
        speaker.Speak("or start running", kNoWait);
    }
    memory.idleReminderCounter = 0;
}

// Periodic checks; each returns true when it ended this call's checks. A
// step that is not positive (a hand-edited settings file) switches its check
// off rather than speaking on every tick or dividing by zero.

void CheckDistance(AnnouncementMemory& memory, const Settings& s, const Figures& f,
                   Speaker& speaker) {
    const float step = s.mSayDistanceThreshold;
    if (s.mSayDistance == 0 || !(step > 0)) return;
    if (std::fabs(f.distance - memory.distanceMark) < step) return;
    speaker.Speak("Distance", kWait);
    SpeakNumber(speaker, f.distance, kWait);
    // The mark is the distance cut down to tenths of a step.
    memory.distanceMark = std::trunc(10.0f * f.distance / step) * step * 0.1f;
}

bool CheckSplit(AnnouncementMemory& memory, const Settings& s, const Figures& f,
                Speaker& speaker) {
    const float step = s.mSaySplitThreshold;
    if (s.mSaySplit == 0 || !(step > 0)) return false;
    if (std::fabs(f.distance - memory.splitMark) < step) return false;
    std::string sentence = "Split, " + DurationParts(f.t - memory.splitStartTime);
    memory.splitMark = f.distance;
    memory.splitStartTime = f.t;
    speaker.Speak(sentence, kWait);
    return true;
}

bool CheckEnergy(AnnouncementMemory& memory, const Settings& s, const Figures& f,
                 Speaker& speaker) {
    const int step = s.mSayCalorieThreshold;
    if (s.mSayCalories == 0 || step <= 0) return false;
    if (std::fabs(f.energy - memory.energyMark) < static_cast<float>(step)) return false;
    speaker.Speak("Energy", kWait);
    SpeakNumber(speaker, f.energy, kWait);
    memory.energyMark = static_cast<float>(step * static_cast<int>(std::trunc(f.energy / step)));
    return true;
}

bool CheckAltitude(AnnouncementMemory& memory, const Settings& s, const Figures& f,
                   Speaker& speaker) {
    const int step = s.mSayAltitudeThreshold;
    if (s.mSayAltitude == 0 || !f.altitudeKnown || step <= 0) return false;
    if (std::fabs(f.altitude - memory.altitudeMark) < static_cast<float>(step)) return false;
    speaker.Speak("Altitude", kWait);
    SpeakNumber(speaker, f.altitude, kWait);
    memory.altitudeMark =
        static_cast<float>(step * static_cast<int>(std::trunc(f.altitude / step)));
    return true;
}

bool RelativeTimeDue(const AnnouncementInputs& in) {
    return in.paceTrackLoaded && in.settings.mAutoStart != 0 &&
           in.state == RecordingState::Started && in.relativeTime != kUnknownRelativeTime;
}

bool CheckTime(AnnouncementMemory& memory, const AnnouncementInputs& in, const Figures& f,
               Speaker& speaker) {
    const int step = in.settings.mSayTimeThreshold;
    if (in.settings.mSayTime == 0 || step <= 0) return false;
    const float due = static_cast<float>(step) * static_cast<float>(memory.nextTimeMultiple);
    if (static_cast<float>(f.t) < due || !(due > static_cast<float>(memory.lastTimeAnnounced))) {
        return false;
    }
    speaker.Speak("Time, " + DurationParts(f.t), kWait);
    if (RelativeTimeDue(in)) {
        speaker.Speak("Relative Time, " + RelativeTimeParts(in.relativeTime), kWait);
    }
    memory.lastTimeAnnounced = f.t;
    memory.nextTimeMultiple = f.t / step + 1;
    return true;
}

bool CheckBattery(AnnouncementMemory& memory, const AnnouncementInputs& in, Speaker& speaker) {
    if (in.settings.mSayBattery == 0 || in.settings.mSayBatteryThreshold <= 0) return false;
    if (std::abs(in.batteryPercent - memory.lastBatterySpoken) < in.settings.mSayBatteryThreshold) {
        return false;
    }
    speaker.Speak("Battery", kWait);
    SpeakNumber(speaker, in.batteryPercent, kWait);
    speaker.Speak("percent", kWait);
    memory.lastBatterySpoken = in.batteryPercent;
    return true;
}

void CheckPace(AnnouncementMemory& memory, const AnnouncementInputs& in, const Figures& f,
               Speaker& speaker) {
    const Settings& s = in.settings;
    const int step = s.mSayPaceThreshold;
    if (s.mSayPace == 0 || in.track.pace == 0 || !PaceProfile(s.mUserProfile) || step <= 0) return;
    if (static_cast<float>(f.t) <
        static_cast<float>(step) * static_cast<float>(memory.nextPaceMultiple)) {
        return;
    }
    speaker.Speak(PaceSentence(in.track.pace), kWait);
    memory.nextPaceMultiple = f.t / step + 1;
}

void CheckSpeed(AnnouncementMemory& memory, const Settings& s, const Figures& f,
                Speaker& speaker) {
    if (s.mSaySpeed == 0) return;
    const float speed = std::trunc(10.0f * f.speed) * 0.1f;
    if (speed == memory.lastSpeedSpoken) return;
    // A new recording starts its clock again; an older check time would
    // silence speed until the new recording caught up with it.
    if (memory.lastSpeedCheckTime > f.t) memory.lastSpeedCheckTime = f.t;
    if (memory.lastSpeedCheckTime > f.t - s.mSaySpeedThreshold) return;
    memory.lastSpeedCheckTime = f.t;
    const float edge = SpeedToAnnounce(SpeedBandsFor(s.mUserProfile), speed, memory.lastSpeedSpoken);
    if (edge == 0) return;
    speaker.Speak("Speed", kWait);
    SpeakNumber(speaker, edge, kNoWait);
    memory.lastSpeedSpoken = edge;
}

void RunPeriodicChecks(AnnouncementMemory& memory, const AnnouncementInputs& in,
                       const Figures& f, Speaker& speaker) {
    CheckDistance(memory, in.settings, f, speaker);
    if (CheckSplit(memory, in.settings, f, speaker)) return;
    if (CheckEnergy(memory, in.settings, f, speaker)) return;
    if (CheckAltitude(memory, in.settings, f, speaker)) return;
    if (CheckTime(memory, in, f, speaker)) return;
    if (CheckBattery(memory, in, speaker)) return;
    CheckPace(memory, in, f, speaker);
    CheckSpeed(memory, in.settings, f, speaker);
}

}  // namespace

void ComposeAnnouncements(AnnouncementMemory& memory, const AnnouncementInputs& in,
                          Speaker& speaker) {
    const Figures f = FiguresOf(in);
    if (!memory.speedCheckTimeSet) {
        memory.lastSpeedCheckTime = f.t;
        memory.speedCheckTimeSet = true;
    }
    if (in.settings.mVoice == 0 || in.track.InReview()) return;
    if (in.track.lastIndex < 1) ResetForNewRecording(memory, f.t);
    AnnounceFixChange(memory, in.fixMode, speaker);
    if (in.state == RecordingState::Waiting) {
        RemindToStart(memory, in, speaker);
        return;
    }
    if (memory.summaryRequested && in.track.lastIndex != 0) {
        SpeakSummary(in, speaker);
        memory.summaryRequested = false;
        return;
    }
    RunPeriodicChecks(memory, in, f, speaker);
}

void SpeakSummary(const AnnouncementInputs& in, Speaker& speaker) {
    const Settings& s = in.settings;
    const Track& track = in.track;
    const UnitFactors& u = in.units;
    if (s.mSayTime != 0) speaker.Speak("Time, " + DurationParts(track.elapsedSeconds), kWait);
    if (s.mSayPace != 0 && track.pace != 0 && PaceProfile(s.mUserProfile)) {
        speaker.Speak(PaceSentence(track.pace), kWait);
    }
    if (s.mSaySpeed != 0) {
        speaker.Speak("Maximum", kWait);
        speaker.Speak("Speed", kWait);
        SpeakNumber(speaker, std::trunc(track.maxSpeed * u.distanceFactor + 0.5), kWait);
        speaker.Speak("Average", kWait);
        speaker.Speak("Speed", kWait);
        SpeakNumber(speaker, std::trunc(track.averageSpeed * u.distanceFactor + 0.5), kWait);
    }
    if (s.mSayDistance != 0) {
        speaker.Speak("Distance", kWait);
        SpeakNumber(speaker, std::trunc(100.0 * track.totalDistance * u.distanceFactor) * 0.01,
                    kWait);
    }
    if (s.mSayAltitude != 0 && track.minAltitude != kEmptyBoxMin) {
        speaker.Speak("Minimum", kWait);
        speaker.Speak("Altitude", kWait);
        SpeakNumber(speaker, track.minAltitude * u.altitudeFactor, kWait);
        speaker.Speak("Maximum", kWait);
        speaker.Speak("Altitude", kWait);
        SpeakNumber(speaker, track.maxAltitude * u.altitudeFactor, kWait);
    }
    if (s.mSayCalories != 0 && PaceProfile(s.mUserProfile)) {
        speaker.Speak("Energy", kWait);
        SpeakNumber(speaker, track.energy * u.energyFactor, kWait);
    }
    if (s.mSayBattery != 0) {
        speaker.Speak("Battery", kWait);
        SpeakNumber(speaker, in.batteryPercent, kWait);
        speaker.Speak("Percent", kWait);
    }
}

}  // namespace trakomer::speech

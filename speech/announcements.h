#pragma once
// What is announced while recording, and when: fix changes, the reminder
// to start, distance, splits, energy, altitude, time, battery, pace, speed
// bands and the summary. One call per point tick speaks at most one group.

#include <cstdint>

#include "core/geodesy.h"
#include "core/recording_types.h"
#include "core/settings.h"
#include "core/speaker.h"
#include "core/track.h"

namespace trakomer::speech {

// Marks an unknown relative time against the pace track.
constexpr int kUnknownRelativeTime = 999999;

// What the announcements remember between calls. Figures are in display
// units. The fields marked "new recording" start again whenever lastIndex
// is below 1.
struct AnnouncementMemory {
    float lastFixMode = -1.0f;
    float idleReminderCounter = 18.0f;
    float lastSpeedSpoken = 0.0f;         // new recording
    int32_t lastSpeedCheckTime = 0;       // set to t on the first call
    bool speedCheckTimeSet = false;
    float distanceMark = 0.0f;            // new recording
    float splitMark = 0.0f;               // new recording
    int32_t splitStartTime = -1;          // new recording: t
    float energyMark = 0.0f;              // new recording
    float altitudeMark = -1.0f;           // new recording
    int32_t lastTimeAnnounced = -1;       // new recording
    int32_t nextTimeMultiple = 1;         // new recording
    int32_t nextPaceMultiple = 1;         // new recording
    int32_t lastBatterySpoken = -1;
    // Set by the summary timer and by Stop; cleared once spoken.
    bool summaryRequested = false;
};

// Everything one decision reads. The settings are read on every call.
struct AnnouncementInputs {
    const Settings& settings;
    const Track& track;
    const UnitFactors& units;
    int fixMode;  // gsaFixMode: 1 none, 2 2D, 3 3D
    RecordingState state;
    int batteryPercent;
    int relativeTime = kUnknownRelativeTime;  // seconds behind the pace track
    bool paceTrackLoaded = false;
};

// Decides on and speaks this tick's announcements. Silent while mVoice is 0
// or a track is under review.
void ComposeAnnouncements(AnnouncementMemory& memory, const AnnouncementInputs& in,
                          Speaker& speaker);

// Speaks the summary of the enabled figures, all waiting.
void SpeakSummary(const AnnouncementInputs& in, Speaker& speaker);

}  // namespace trakomer::speech

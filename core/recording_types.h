#pragma once
// The records of recording control: state, pending fixes, playback state
// and the options it reads from the user's settings.

#include <cstdint>

namespace trakomer {

enum class RecordingState { Waiting = 1, Started = 2, Stopped = 3 };

// How the point tick moves the playback position of a reviewed track.
enum class PlayMode { GoToStart = 1, Playing = 2, GoToEnd = 3, Paused = 4 };

enum class PlaybackCommand {
    Start,
    Rewind,
    StepBack,
    Play,
    Pause,
    StepForward,
    FastForward,
    End,
    DeleteCurrent
};

// A receiver position collected between point ticks for averaging.
struct PendingFix {
    double latitude = 0;   // degrees, from RMC
    double longitude = 0;  // degrees, from RMC
    float altitude = 0;    // metres, from GGA
    int32_t time = 0;      // UTC seconds since 1970, from the RMC date and time
    uint32_t fixMode = 1;  // GSA fix mode: 1 none, 2 2D, 3 3D
};

constexpr int kMaxPendingFixes = 15;

// What recording control takes from the settings (units as the user set
// them: km and km/h, or miles and mph).
struct RecordingOptions {
    int userProfile = 4;  // mUserProfile
    int upMode = 1;       // mUpMode
    int units = 1;        // mUnits
    bool voice = true;    // mVoice
    bool autoStart = true;
    bool autoStop = true;
    double autoStopDistance = 0.4;
    double autoStopSpeed = 6.0;
    bool nmeaEnableGpgga = false;  // mNMEAEnableGPGGA
    bool saySummary = false;
    int saySummaryThresholdMinutes = 10;
    bool tcpip = false;
    int tcpipUploadFrequencySeconds = 600;
    double bodyWeightKg = 87.0;
};

// Things that happened, for observers such as the headless recorder.
enum class RecordingEvent { Start, Stop, AutoStart, AutoStop, Thinned };

}  // namespace trakomer

#pragma once
// Recording control: turns receiver fixes into track points at the point
// tick, starts and stops recordings (by command, by a tap, automatically),
// keeps the track within its capacity and plays back a track under review.
// Driven by the window's timers and commands; main thread only.

#include <array>
#include <cstdint>

#include "core/recording_ports.h"
#include "core/recording_types.h"
#include "core/track.h"

namespace trakomer {

struct GpsFix;
class SharedGpsFix;

// The state recording control keeps between ticks (readable by screens).
struct RecorderState {
    RecordingState recordingState = RecordingState::Waiting;
    std::array<PendingFix, kMaxPendingFixes> pendingFixes{};
    int pendingCount = 0;
    int pendingUsed = 0;  // pending fixes that fed the last point
    uint32_t lastSentenceCount = 0;
    uint32_t lastFixSeen = 0;
    int lastShownIndex = 0;
    int lastReviewIndex = -1;
    bool skipToggle = false;
    bool configSent = false;
    PlayMode playMode = PlayMode::Paused;
    int playStep = 1;
    bool averaging = false;
    bool backlightTaken = false;
};

class Recorder {
public:
    Recorder(Track& track, SharedGpsFix& gps, const RecordingOptions& options,
             const RecordingPorts& ports);
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // Settings changed (preferences): takes the new options. Timers are not
    // re-armed; call ArmTimers when the profile changed.
    void SetOptions(const RecordingOptions& options) { options_ = options; }
    const RecordingOptions& Options() const { return options_; }
    const RecorderState& State() const { return state_; }

    // Re-arms timers 1-4 for the profile (or for review) and sets averaging.
    void ArmTimers();

    // Timer 1: collects a pending fix; sends the receiver configuration once.
    void OnCollectionTick();
    // Timer 2: playback step, the 2D-fix skip, the next point and its
    // statistics, then the screens.
    void OnPointTick();
    // Timer 3: the periodic summary becomes due.
    void OnSummaryTick();

    // Places point lastIndex (live) or processes the review position, and
    // runs the statistics with auto start and auto stop.
    void ProcessPoint(const GpsFix& fix);

    void StartRecording();
    void StopRecording();
    // The Stop command: asks, and stops with saving on Yes.
    void ConfirmStop();
    // The Reset command: asks when there is data, and resets on Yes.
    void ConfirmReset();
    // Steps 1-5 of "Reset all values".
    void ResetAll();
    // Pen down at (x, y) in a client area of the given size.
    void OnScreenTap(int x, int y, int clientWidth, int clientHeight);

    void Playback(PlaybackCommand command);

    // Statistics of a track just read into points 0..loadedCount-1: every
    // point is processed in turn, then playback waits at the end and the
    // timers run for review.
    void ProcessReview();

private:
    bool PlaceLivePoint(const GpsFix& fix, int index);
    void PlaceAveragedPoint(const GpsFix& fix, int index);
    void TestAutoStartStop(const GpsFix& fix, int index);
    bool OutwardPath(int index) const;
    void MovePlaybackPosition();
    void CollectPendingFix(const GpsFix& fix);
    void Start(RecordingEvent cause);
    void Stop(RecordingEvent cause);
    void ZeroRunningStatistics();
    void LoadPreviousPoint(int index);
    double DistanceFactor() const;
    void Notify(RecordingEvent event);

    Track& track_;
    SharedGpsFix& gps_;
    RecordingOptions options_;
    RecordingPorts ports_;
    RecorderState state_;

    // Stand-ins for ports nobody provided.
    TimerControl noTimers_;
    MenuControl noMenus_;
    ViewControl noView_;
    PowerControl noPower_;
    ReceiverLink noReceiver_;
    AnnouncementHooks noAnnouncements_;
    PaceFeedback noPace_;
    RecordingObserver noObserver_;
    RecordingJournal noJournal_;
};

}  // namespace trakomer

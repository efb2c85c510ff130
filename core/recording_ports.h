#pragma once
// What recording control asks of the rest of the program. The window
// implements these; tests and the headless recorder implement them too.
// Every interface has a do-nothing default so a caller overrides only what
// it needs.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/recording_types.h"
#include "core/timer_plan.h"
#include "core/track.h"

namespace trakomer {

class Dialogs;
class Speaker;

// Kills timers 1-4 and sets them again as the plan says.
class TimerControl {
public:
    virtual ~TimerControl() = default;
    virtual void Arm(const TimerPlan&) {}
};

class MenuControl {
public:
    virtual ~MenuControl() = default;
    // Rebuilds the menu bar, with or without the playback buttons.
    virtual void RebuildMenus(bool /*withReviewButtons*/) {}
    // Enables or greys the menu items that depend on the state.
    virtual void UpdateMenuStates() {}
    // Shows Play (true) or Pause (false) in the playback buttons.
    virtual void ShowPlayButton(bool /*play*/) {}
};

class ViewControl {
public:
    virtual ~ViewControl() = default;
    // After a point tick processed a point: refresh the screen texts, let
    // speech announce and draw the view (the window skips the last two
    // while a dialog is open).
    virtual void AfterPointProcessed() {}
    // Draws the current view now.
    virtual void Redraw() {}
    // Zoom, pan and rotation back to their start values.
    virtual void ResetViews() {}
};

class PowerControl {
public:
    virtual ~PowerControl() = default;
    // Keeps the backlight on while recording (asked for once per run).
    virtual void TakeBacklightRequirement() {}
};

// Bytes for the receiver (configuration sentences).
class ReceiverLink {
public:
    virtual ~ReceiverLink() = default;
    virtual void Send(std::string_view /*bytes*/) {}
};

class AnnouncementHooks {
public:
    virtual ~AnnouncementHooks() = default;
    // The periodic spoken summary is due at the next announcement.
    virtual void MarkSummaryDue() {}
    // Let speech decide on announcements now.
    virtual void Announce() {}
};

// Comparison with a loaded pace track.
class PaceFeedback {
public:
    virtual ~PaceFeedback() = default;
    virtual bool PaceTrackLoaded() const { return false; }
    virtual void UpdateRelativeTime(int /*index*/) {}
};

// Saves a stopped recording under an automatic name.
class TrackSaver {
public:
    virtual ~TrackSaver() = default;
    // The automatic file name for a recording stopped now.
    virtual std::string AutoTrackName() = 0;
    // The automatic file name for a recording that started at `utcSeconds`
    // (one recovered later); by default the name for now.
    virtual std::string AutoTrackNameAt(int64_t /*utcSeconds*/) { return AutoTrackName(); }
    // Writes points 0..lastIndex-1 as a zipped track file; true when saved.
    virtual bool WriteTrz(const std::string& path, const Track& track) = 0;
    // Why the last WriteTrz failed, as the system put it ("" if unknown).
    virtual std::string FailureReason() const { return {}; }
};

// Keeps the points of a running recording on disk as they are placed, so a
// crash or power cut loses at most the newest one.
class RecordingJournal {
public:
    virtual ~RecordingJournal() = default;
    // A recording started; the track is empty.
    virtual void Begin(const RecordingOptions& /*options*/) {}
    // A point was placed in the running recording.
    virtual void Append(const TrackPoint& /*point*/) {}
    // The recording stopped; `saved` says whether its track file was
    // written. An unsaved recording stays in the journal.
    virtual void Finish(bool /*saved*/) {}
    // The user reset the track: the recording is given up.
    virtual void Discard() {}
};

class RecordingObserver {
public:
    virtual ~RecordingObserver() = default;
    virtual void OnRecordingEvent(RecordingEvent) {}
};

// The outside world of a Recorder. Null pointers mean "nobody listens"
// (and, for the saver, "saving fails").
struct RecordingPorts {
    Dialogs* dialogs = nullptr;
    Speaker* speaker = nullptr;
    TrackSaver* saver = nullptr;
    TimerControl* timers = nullptr;
    MenuControl* menus = nullptr;
    ViewControl* view = nullptr;
    PowerControl* power = nullptr;
    ReceiverLink* receiver = nullptr;
    AnnouncementHooks* announcements = nullptr;
    PaceFeedback* pace = nullptr;
    RecordingObserver* observer = nullptr;
    RecordingJournal* journal = nullptr;
};

}  // namespace trakomer

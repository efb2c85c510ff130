#pragma once
// One headless recording: the track, the shared fix, the recording engine
// and the stand-ins for the window (timers, dialogs, saving), plus the
// summary it prints. Used by the replay of a log and by the live mode.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/dialogs.h"
#include "core/recorder.h"
#include "core/recording_options.h"
#include "core/recording_ports.h"
#include "core/settings.h"
#include "core/track.h"
#include "files/recording_journal.h"
#include "gps/shared_fix.h"

namespace trakomer::cli {

struct TimedEvent {
    double t = 0;  // seconds since the session began
    RecordingEvent event = RecordingEvent::Start;
};

// Timers 1-3 as the engine last armed them, on the session's millisecond
// scale.
struct TimerSchedule {
    int64_t periodMs[3] = {0, 0, 0};  // collection, point, summary
    int64_t dueMs[3] = {0, 0, 0};
    // The earliest due timer (0-2) and its time; -1 when none runs.
    int Next(int64_t& dueAt) const;
};

// Answers every question Yes (the headless tool confirms what it asks
// for) and prints error messages on standard error.
class ConsoleDialogs : public Dialogs {
public:
    void ShowMessage(const std::string& text, const std::string& caption,
                     MessageIcon icon) override;
    bool AskYesNo(const std::string&, const std::string&) override { return true; }
};

class RecordSession : private TimerControl, private RecordingObserver, private RecordingJournal {
public:
    // `nowMs` gives the session's time in milliseconds (virtual or wall).
    // `receiver`, when given, takes the receiver configuration sentences.
    RecordSession(const Settings& settings, TrackSaver* saver, std::function<int64_t()> nowMs,
                  ReceiverLink* receiver = nullptr);

    Recorder& Engine() { return *recorder_; }
    SharedGpsFix& Gps() { return gps_; }
    Track& CurrentTrack() { return *track_; }
    const std::vector<TimedEvent>& Events() const { return events_; }
    const TimerSchedule& Timers() const { return timers_; }
    bool Stopped() const { return stopped_; }
    int64_t StartMs() const { return startMs_; }

    // Runs timer `which` (0-2) and schedules its next tick.
    void FireTimer(int which, int64_t dueAt);
    // Starts as a tap on the start area would, when waiting with a valid fix.
    void TapStart();
    // Journals the recording's points in `folder` (named by `clock`'s time)
    // from the next start on; an empty folder keeps no journal.
    void KeepJournal(const std::string& folder, const Clock& clock);

private:
    void Arm(const TimerPlan& plan) override;
    void OnRecordingEvent(RecordingEvent event) override;
    void Begin(const RecordingOptions& options) override;
    void Append(const TrackPoint& point) override;
    void Finish(bool saved) override;
    void Discard() override;
    int64_t Now() const { return nowMs_(); }

    Settings settings_;
    std::unique_ptr<Track> track_;
    SharedGpsFix gps_;
    ConsoleDialogs dialogs_;
    std::function<int64_t()> nowMs_;
    int64_t startMs_;
    TimerSchedule timers_;
    std::vector<TimedEvent> events_;
    bool stopped_ = false;
    std::unique_ptr<FileJournal> journal_;
    std::unique_ptr<Recorder> recorder_;
};

// "walk", "run", ... for profiles 1-6; empty otherwise.
std::string ProfileName(int profile);
// The profile number of a name, or 0.
int ProfileNumber(const std::string& name);

// The summary JSON: profile, events, points and the statistics, and the
// saved file (null when nothing was saved).
std::string SummaryJson(int profile, const std::vector<TimedEvent>& events, const Track& track,
                        const std::optional<std::string>& file);

}  // namespace trakomer::cli

#pragma once
// The announcements wired to the program's records: the recording engine
// and the window call MarkSummaryDue and Announce; the inputs are gathered
// from the settings, the track, the shared fix and the battery at each call.

#include <functional>
#include <utility>

#include "core/recording_ports.h"
#include "core/settings.h"
#include "core/speaker.h"
#include "core/track.h"
#include "gps/shared_fix.h"
#include "speech/announcements.h"

namespace trakomer::speech {

// The battery charge as the program last read it.
class BatteryLevel {
public:
    virtual ~BatteryLevel() = default;
    // Percent, 0-100.
    virtual int Percent() const = 0;
};

struct AnnouncerSources {
    const Settings& settings;
    const Track& track;
    SharedGpsFix& gps;
    const BatteryLevel& battery;
    // The recording state now.
    std::function<RecordingState()> recordingState;
    // Seconds behind the pace track, kUnknownRelativeTime when unknown;
    // may be empty (no pace track support).
    std::function<int()> relativeTime = {};
    std::function<bool()> paceTrackLoaded = {};
};

class Announcer : public AnnouncementHooks {
public:
    Announcer(AnnouncerSources sources, Speaker& speaker)
        : sources_(std::move(sources)), speaker_(speaker) {}

    // The summary is spoken at the next Announce during a recording.
    void MarkSummaryDue() override { memory_.summaryRequested = true; }

    // Decides on and speaks this tick's announcements. The window calls it
    // after each processed point unless a dialog is open; the recording
    // engine calls it once more on Stop.
    void Announce() override;

    const AnnouncementMemory& Memory() const { return memory_; }

private:
    AnnouncerSources sources_;
    Speaker& speaker_;
    AnnouncementMemory memory_;
};

}  // namespace trakomer::speech

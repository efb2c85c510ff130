#include "cli/record_session.h"

#include <cstdio>

#include "cli/json_writer.h"
#include "core/geodesy.h"

namespace trakomer::cli {
namespace {

const char* const kProfileNames[] = {"walk", "run", "bike", "car", "motorbike", "blackbox"};

const char* EventName(RecordingEvent event) {
    switch (event) {
        case RecordingEvent::Start: return "start";
        case RecordingEvent::Stop: return "stop";
        case RecordingEvent::AutoStart: return "autostart";
        case RecordingEvent::AutoStop: return "autostop";
        case RecordingEvent::Thinned: return "thinned";
    }
    return "";
}

}  // namespace

int TimerSchedule::Next(int64_t& dueAt) const {
    int which = -1;
    for (int i = 0; i < 3; ++i) {
        if (periodMs[i] <= 0) continue;
        if (which < 0 || dueMs[i] < dueAt) {
            which = i;
            dueAt = dueMs[i];
        }
    }
    return which;
}

void ConsoleDialogs::ShowMessage(const std::string& text, const std::string& caption,
                                 MessageIcon icon) {
    if (icon == MessageIcon::Error || icon == MessageIcon::Warning) {
        std::fprintf(stderr, "trakomer-cli: %s %s\n", caption.c_str(), text.c_str());
    }
}

RecordSession::RecordSession(const Settings& settings, TrackSaver* saver,
                             std::function<int64_t()> nowMs, ReceiverLink* receiver)
    : settings_(settings), track_(std::make_unique<Track>()), nowMs_(std::move(nowMs)) {
    startMs_ = Now();
    RecordingPorts ports;
    ports.dialogs = &dialogs_;
    ports.saver = saver;
    ports.timers = this;
    ports.observer = this;
    ports.receiver = receiver;
    ports.journal = this;
    recorder_ = std::make_unique<Recorder>(*track_, gps_, RecordingOptionsFrom(settings_), ports);
    recorder_->ArmTimers();
}

void RecordSession::Arm(const TimerPlan& plan) {
    const int64_t now = Now();
    const int periods[3] = {plan.collectionMs, plan.pointMs, plan.summaryMs};
    for (int i = 0; i < 3; ++i) {
        timers_.periodMs[i] = periods[i];
        timers_.dueMs[i] = now + periods[i];
    }
}

void RecordSession::OnRecordingEvent(RecordingEvent event) {
    events_.push_back({static_cast<double>(Now() - startMs_) / 1000.0, event});
    if (event == RecordingEvent::Stop || event == RecordingEvent::AutoStop) stopped_ = true;
}

void RecordSession::KeepJournal(const std::string& folder, const Clock& clock) {
    journal_ = folder.empty() ? nullptr : std::make_unique<FileJournal>(folder, clock);
    if (!journal_) return;
    // Said at once: the user must know the recording is not protected.
    journal_->OnProblemChange([](const std::string& problem) {
        if (problem.empty()) {
            std::fprintf(stderr, "trakomer-cli: Journal: writing again, no point missing\n");
        } else {
            std::fprintf(stderr, "trakomer-cli: %s; the points are kept in memory\n",
                         problem.c_str());
        }
    });
}

void RecordSession::Begin(const RecordingOptions& options) {
    if (journal_) journal_->Begin(options);
}

void RecordSession::Append(const TrackPoint& point) {
    if (journal_) journal_->Append(point);
}

void RecordSession::Finish(bool saved) {
    if (journal_) journal_->Finish(saved);
}

void RecordSession::Discard() {
    if (journal_) journal_->Discard();
}

void RecordSession::FireTimer(int which, int64_t dueAt) {
    // Scheduled before the tick runs: a tick that re-arms the timers
    // replaces this schedule.
    timers_.dueMs[which] = dueAt + timers_.periodMs[which];
    switch (which) {
        case 0: recorder_->OnCollectionTick(); break;
        case 1: recorder_->OnPointTick(); break;
        case 2: recorder_->OnSummaryTick(); break;
        default: break;
    }
}

void RecordSession::TapStart() {
    // The lower-left corner of a 240 x 320 screen: the start area.
    recorder_->OnScreenTap(0, 319, 240, 320);
}

std::string ProfileName(int profile) {
    return profile >= 1 && profile <= 6 ? kProfileNames[profile - 1] : "";
}

int ProfileNumber(const std::string& name) {
    for (int i = 0; i < 6; ++i) {
        if (name == kProfileNames[i]) return i + 1;
    }
    return 0;
}

std::string SummaryJson(int profile, const std::vector<TimedEvent>& events, const Track& track,
                        const std::optional<std::string>& file) {
    JsonWriter json;
    json.BeginObject();
    const std::string name = ProfileName(profile);
    if (name.empty()) {
        json.Field("profile", profile);
    } else {
        json.Field("profile", name);
    }
    json.Key("events").BeginArray();
    for (const TimedEvent& e : events) {
        json.BeginObject().Field("t", e.t).Field("event", EventName(e.event)).EndObject();
    }
    json.EndArray();
    const int points = track.InReview() ? track.loadedCount : track.lastIndex + 1;
    json.Field("points", points)
        .Field("totalDistance", track.totalDistance)
        .Field("distanceKm", track.totalDistance * kMetresPerNm / 1000.0)
        .Field("elapsedSeconds", int{track.elapsedSeconds})
        .Field("ascent", track.ascent)
        .Field("descent", track.descent)
        .Field("maxSpeed", track.maxSpeed)
        .Field("averageSpeed", track.averageSpeed)
        .Field("energy", track.energy)
        .Field("pace", track.pace);
    json.Key("file");
    if (file) {
        json.String(*file);
    } else {
        json.Null();
    }
    json.EndObject();
    return json.Text();
}

}  // namespace trakomer::cli

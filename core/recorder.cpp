#include "core/recorder.h"

#include "core/dialogs.h"
#include "core/geodesy.h"
#include "core/speaker.h"
#include "core/statistics.h"
#include "core/track_filters.h"
#include "core/utc_time.h"
#include "gps/nmea_parser.h"
#include "gps/shared_fix.h"

namespace trakomer {
namespace {

// Stand-ins when no dialogs or speaker are given: nothing is shown, every
// question is answered No, nothing is said.
class NoDialogs : public Dialogs {
public:
    void ShowMessage(const std::string&, const std::string&, MessageIcon) override {}
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
};

NoDialogs noDialogs;  // stateless
SilentSpeaker silentSpeaker;

constexpr double kAutoStartSpeed = 8.0;     // km/h or mph
constexpr double kAutoStopMinTrip = 0.5;    // km or miles
constexpr int kRunProfile = static_cast<int>(UserProfile::Run);

int32_t RmcSeconds(const GpsFix& fix) {
    return static_cast<int32_t>(UtcToSeconds(fix.rmcYear, fix.rmcMonth, fix.rmcDay, fix.rmcHour,
                                             fix.rmcMinute, fix.rmcSecond));
}

double DistanceNm(double lat1, double lon1, double lat2, double lon2) {
    return GreatCircleDistance(lat1 * kDegToRad, lon1 * kDegToRad, lat2 * kDegToRad,
                               lon2 * kDegToRad);
}

double DistanceNm(const TrackPoint& a, const TrackPoint& b) {
    return DistanceNm(a.latitude, a.longitude, b.latitude, b.longitude);
}

}  // namespace

Recorder::Recorder(Track& track, SharedGpsFix& gps, const RecordingOptions& options,
                   const RecordingPorts& ports)
    : track_(track), gps_(gps), options_(options), ports_(ports) {
    if (!ports_.dialogs) ports_.dialogs = &noDialogs;
    if (!ports_.speaker) ports_.speaker = &silentSpeaker;
    if (!ports_.timers) ports_.timers = &noTimers_;
    if (!ports_.menus) ports_.menus = &noMenus_;
    if (!ports_.view) ports_.view = &noView_;
    if (!ports_.power) ports_.power = &noPower_;
    if (!ports_.receiver) ports_.receiver = &noReceiver_;
    if (!ports_.announcements) ports_.announcements = &noAnnouncements_;
    if (!ports_.pace) ports_.pace = &noPace_;
    if (!ports_.observer) ports_.observer = &noObserver_;
    if (!ports_.journal) ports_.journal = &noJournal_;
    state_.averaging = AveragingFor(options_.userProfile);
}

double Recorder::DistanceFactor() const { return UnitFactorsFor(options_.units).distanceFactor; }

void Recorder::Notify(RecordingEvent event) { ports_.observer->OnRecordingEvent(event); }

void Recorder::ArmTimers() {
    const TimerPlan plan = PlanTimers(options_.userProfile, track_.InReview(),
                                      options_.saySummaryThresholdMinutes, options_.tcpip,
                                      options_.tcpipUploadFrequencySeconds);
    state_.averaging = plan.averaging;
    ports_.timers->Arm(plan);
}

void Recorder::OnCollectionTick() {
    const GpsFix fix = gps_.Snapshot();
    CollectPendingFix(fix);
    if (options_.nmeaEnableGpgga && !state_.configSent) {
        ports_.receiver->Send(kEnableGgaSentence);
        ports_.receiver->Send(kEnableGsvSentence);
        state_.configSent = true;
    }
}

void Recorder::CollectPendingFix(const GpsFix& fix) {
    // A counter that changed (also one that restarted) means new sentences.
    if (!state_.averaging || track_.InReview() || fix.sentenceCount == state_.lastFixSeen ||
        state_.pendingCount >= kMaxPendingFixes) {
        return;
    }
    state_.lastFixSeen = fix.sentenceCount;
    if (state_.pendingCount > 0) {
        const PendingFix& newest = state_.pendingFixes[state_.pendingCount - 1];
        if (newest.latitude == fix.rmcLatitude || newest.longitude == fix.rmcLongitude) return;
    }
    PendingFix& slot = state_.pendingFixes[state_.pendingCount++];
    slot.latitude = fix.rmcLatitude;
    slot.longitude = fix.rmcLongitude;
    slot.altitude = static_cast<float>(fix.ggaAltitude);
    slot.time = RmcSeconds(fix);
    slot.fixMode = fix.gsaFixMode;
}

void Recorder::OnSummaryTick() {
    if (options_.saySummary) ports_.announcements->MarkSummaryDue();
}

void Recorder::OnPointTick() {
    const GpsFix fix = gps_.Snapshot();
    const bool review = track_.InReview();
    if (review) MovePlaybackPosition();

    // With a 2D fix only every second tick does anything; the toggle moves
    // only on 2D ticks, so a 3D stretch does not decide the next 2D tick.
    if (fix.gsaFixMode == 2 && !review) {
        state_.skipToggle = !state_.skipToggle;
        if (!state_.skipToggle) return;
    }

    if (!review && fix.rmcStatus == 'A') {
        ++track_.lastIndex;
        if (track_.lastIndex > kTrackCapacity - 1) {
            track_.lastIndex = ThinForCapacity(track_, track_.lastIndex);
            Notify(RecordingEvent::Thinned);
        }
    }
    if (!review || track_.lastIndex != state_.lastShownIndex) {
        state_.lastShownIndex = track_.lastIndex;
        ports_.menus->UpdateMenuStates();
        ProcessPoint(fix);
        ports_.view->AfterPointProcessed();
    }
}

void Recorder::ProcessPoint(const GpsFix& fix) {
    const bool review = track_.InReview();
    const int i = track_.lastIndex;
    if (!review) {
        // Only a valid fix ('A') gives a point; 'V' and anything unknown don't.
        if (fix.rmcStatus != 'A' || i < 0) return;
        if (!PlaceLivePoint(fix, i)) return;
    } else {
        if (i < 0 || i >= track_.loadedCount) return;
        if (i == state_.lastReviewIndex && i != 0) return;
        state_.lastReviewIndex = i;
        if (state_.playStep < 0) LoadPreviousPoint(i > 0 ? i - 1 : 0);
    }

    StatisticsInput input;
    input.upMode = options_.upMode;
    input.userProfile = options_.userProfile;
    input.live = !review;
    input.rmcSpeedKnots = fix.rmcSpeedKnots;
    input.distanceFactor = DistanceFactor();
    input.bodyWeightKg = options_.bodyWeightKg;
    const auto result = UpdateStatistics(track_, i, input, [&] {
        if (!review) TestAutoStartStop(fix, i);
    });
    if (result == StatisticsResult::Rejected || track_.lastIndex != i) return;
    if (!review && state_.recordingState == RecordingState::Started) {
        ports_.journal->Append(track_.points[i]);
    }

    const bool paceWanted =
        (options_.autoStart && state_.recordingState == RecordingState::Started) ||
        (track_.InReview() && state_.playMode == PlayMode::Playing);
    if (paceWanted && ports_.pace->PaceTrackLoaded()) ports_.pace->UpdateRelativeTime(i);
}

bool Recorder::PlaceLivePoint(const GpsFix& fix, int i) {
    const bool fromPending = state_.averaging && i > 0 && state_.pendingCount >= 2;
    if (fromPending) {
        PlaceAveragedPoint(fix, i);
        state_.pendingUsed = state_.pendingCount;
        state_.pendingCount = 0;
        return true;
    }
    if (fix.sentenceCount == state_.lastSentenceCount) {
        --track_.lastIndex;  // nothing new from the receiver: the slot is reused
        return false;
    }
    TrackPoint& p = track_.points[i];
    p = TrackPoint{};
    p.latitude = fix.rmcLatitude;
    p.longitude = fix.rmcLongitude;
    p.altitude = static_cast<float>(fix.ggaAltitude);
    p.time = RmcSeconds(fix);
    p.hundredths = fix.rmcHundredths;
    state_.lastSentenceCount = fix.sentenceCount;
    return true;
}

void Recorder::PlaceAveragedPoint(const GpsFix& fix, int i) {
    TrackPoint& p = track_.points[i];
    p = TrackPoint{};
    const int count = state_.pendingCount;
    const auto& pending = state_.pendingFixes;

    // The newest 3D fix beats any average.
    for (int k = count - 1; k >= 0; --k) {
        if (pending[k].fixMode == 3) {
            p.latitude = pending[k].latitude;
            p.longitude = pending[k].longitude;
            p.altitude = pending[k].altitude;
            p.time = pending[k].time;
            return;
        }
    }

    // Average the fixes whose step from their predecessor is shorter than
    // the distance from the previous point to the newest fix.
    const TrackPoint& previous = track_.points[i - 1];
    const PendingFix& newest = pending[count - 1];
    const double reach = DistanceNm(previous.latitude, previous.longitude, newest.latitude,
                                    newest.longitude);
    double fromLat = previous.latitude;
    double fromLon = previous.longitude;
    double sumLat = 0, sumLon = 0, sumAlt = 0;
    int summed = 0;
    for (int k = 0; k < count; ++k) {
        const double step = DistanceNm(fromLat, fromLon, pending[k].latitude, pending[k].longitude);
        if (step < reach) {
            sumLat += pending[k].latitude;
            sumLon += pending[k].longitude;
            sumAlt += pending[k].altitude;
            ++summed;
        }
        fromLat = pending[k].latitude;
        fromLon = pending[k].longitude;
    }
    if (summed > 0) {
        p.latitude = sumLat / summed;
        p.longitude = sumLon / summed;
        p.altitude = static_cast<float>(sumAlt / summed);
    } else {
        p.latitude = newest.latitude;
        p.longitude = newest.longitude;
        p.altitude = newest.altitude;
    }
    p.time = RmcSeconds(fix);
    p.hundredths = fix.rmcHundredths;
}

bool Recorder::OutwardPath(int i) const {
    const auto& pts = track_.points;
    double d[5] = {};
    for (int k = 1; k <= 4; ++k) d[k] = DistanceNm(pts[i - k], pts[i]);
    return d[4] > d[3] && d[3] > d[2] && d[2] > d[1];
}

void Recorder::TestAutoStartStop(const GpsFix& fix, int i) {
    const double factor = DistanceFactor();
    if (options_.autoStart && state_.recordingState == RecordingState::Waiting &&
        options_.userProfile == kRunProfile && i > 4 &&
        track_.currentSpeed * factor > kAutoStartSpeed &&
        fix.rmcSpeedKnots * factor > kAutoStartSpeed && OutwardPath(i)) {
        Start(RecordingEvent::AutoStart);
        return;
    }
    if (options_.autoStop && state_.recordingState == RecordingState::Started) {
        const double fromStart = DistanceNm(track_.points[0], track_.points[i]) * factor;
        if (fromStart < options_.autoStopDistance &&
            track_.totalDistance * factor > kAutoStopMinTrip &&
            track_.currentSpeed * factor < options_.autoStopSpeed) {
            Stop(RecordingEvent::AutoStop);
        }
    }
}

void Recorder::StartRecording() { Start(RecordingEvent::Start); }

void Recorder::Start(RecordingEvent cause) {
    if (!state_.backlightTaken) {
        state_.backlightTaken = true;
        ports_.power->TakeBacklightRequirement();
    }
    ResetAll();
    state_.recordingState = RecordingState::Started;
    ports_.journal->Begin(options_);
    if (options_.voice) ports_.speaker->Speak("Starting", true);
    Notify(cause);
}

void Recorder::StopRecording() { Stop(RecordingEvent::Stop); }

void Recorder::Stop(RecordingEvent cause) {
    if (options_.voice) ports_.speaker->Speak("Stopping", true);
    std::string name;
    bool saved = false;
    if (ports_.saver) {
        name = ports_.saver->AutoTrackName();
        saved = ports_.saver->WriteTrz(name, track_);
    }
    ports_.journal->Finish(saved);
    ports_.announcements->MarkSummaryDue();
    state_.recordingState = RecordingState::Stopped;
    ports_.announcements->Announce();

    // The newest point is not part of the reviewed track. An empty track
    // stays live rather than going into review with a negative count.
    track_.loadedCount = track_.lastIndex > 0 ? track_.lastIndex : 0;
    state_.lastReviewIndex = -1;
    if (track_.InReview()) {
        // Review starts at the last reviewed point, already counted: the
        // statistics stay those of the recording instead of measuring back
        // from the newest point.
        track_.lastIndex = track_.loadedCount - 1;
        state_.lastShownIndex = state_.lastReviewIndex = track_.lastIndex;
    }
    Notify(cause);

    if (saved) {
        ports_.dialogs->ShowMessage(name, "File saved", MessageIcon::None);
    } else {
        const std::string reason = ports_.saver ? ports_.saver->FailureReason() : std::string();
        ports_.dialogs->ShowMessage(name, SaveFailedCaption(reason), MessageIcon::Error);
    }
    ports_.menus->RebuildMenus(true);
    ports_.menus->ShowPlayButton(true);
}

void Recorder::ConfirmStop() {
    // Stopping needs at least one point to save besides the newest one.
    if (track_.InReview() || track_.lastIndex <= 0) return;
    if (!ports_.dialogs->AskYesNo("Recording will stop and data will be saved", "Stop now?")) {
        return;
    }
    ports_.view->Redraw();
    Stop(RecordingEvent::Stop);
}

void Recorder::ConfirmReset() {
    if (track_.lastIndex != -1 &&
        !ports_.dialogs->AskYesNo("Current data will be lost", "Reset now?")) {
        return;
    }
    ResetAll();
    // The reset data goes from the journal too; a recording that goes on
    // starts a fresh one.
    ports_.journal->Discard();
    if (state_.recordingState == RecordingState::Started) ports_.journal->Begin(options_);
}

void Recorder::ResetAll() {
    ResetTrack(track_);
    state_.pendingCount = 0;
    state_.pendingUsed = 0;
    state_.lastReviewIndex = -1;
    if (options_.autoStart && state_.recordingState == RecordingState::Stopped) {
        state_.recordingState = RecordingState::Waiting;
    }
    ArmTimers();
    ports_.menus->RebuildMenus(false);
    ports_.view->ResetViews();
}

void Recorder::OnScreenTap(int x, int y, int clientWidth, int clientHeight) {
    if (state_.recordingState != RecordingState::Waiting || track_.InReview()) return;
    if (gps_.Snapshot().rmcStatus != 'A') return;
    const int m = clientWidth < clientHeight ? clientWidth : clientHeight;
    if (x < m / 2 && y > clientHeight - m / 5) StartRecording();
}

}  // namespace trakomer

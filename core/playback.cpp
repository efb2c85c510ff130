// Review of a stopped or opened track: playback commands, the playback
// step of the point tick and the processing of a whole track.

#include "core/geodesy.h"
#include "core/recorder.h"
#include "gps/shared_fix.h"

namespace trakomer {

void Recorder::ZeroRunningStatistics() {
    track_.totalDistance = 0;
    track_.averageSpeed = 0;
    track_.maxSpeed = 0;
    track_.ascent = 0;
    track_.descent = 0;
    track_.gradient = 0;
    track_.energy = 0;
    track_.elapsedSeconds = 0;
}

void Recorder::LoadPreviousPoint(int index) {
    const TrackPoint& p = track_.points[index];
    track_.previousLatitudeRad = p.latitude * kDegToRad;
    track_.previousLongitudeRad = p.longitude * kDegToRad;
    track_.previousTime = p.time;
}

void Recorder::MovePlaybackPosition() {
    const int last = track_.loadedCount - 1;
    int& position = track_.lastIndex;
    switch (state_.playMode) {
        case PlayMode::GoToStart:
            position = 0;
            break;
        case PlayMode::Playing:
            if (position >= track_.loadedCount || position + state_.playStep >= track_.loadedCount) {
                position = last;
                ports_.menus->ShowPlayButton(true);
            } else {
                position += state_.playStep;
                if (position < 0) {
                    position = 0;
                    ports_.menus->ShowPlayButton(true);
                }
            }
            break;
        case PlayMode::GoToEnd:
            position = last;
            break;
        case PlayMode::Paused:
            if (position > last) position = last;
            if (position < 0) position = 0;
            break;
    }
}

void Recorder::Playback(PlaybackCommand command) {
    if (!track_.InReview()) return;
    auto& menus = *ports_.menus;
    switch (command) {
        case PlaybackCommand::Start:
            ZeroRunningStatistics();
            state_.playMode = PlayMode::GoToStart;
            menus.ShowPlayButton(true);
            break;
        case PlaybackCommand::Rewind:
            state_.playStep = -5;
            state_.playMode = PlayMode::Playing;
            menus.ShowPlayButton(false);
            break;
        case PlaybackCommand::StepBack:
            state_.playStep = -1;
            --track_.lastIndex;
            state_.playMode = PlayMode::Paused;
            menus.ShowPlayButton(true);
            break;
        case PlaybackCommand::Play:
            if (track_.lastIndex >= track_.loadedCount - 1) track_.lastIndex = 0;
            state_.playStep = 1;
            if (track_.lastIndex < 1) {
                // Playing from the start measures from the first point, not
                // from wherever playback last was.
                ZeroRunningStatistics();
                LoadPreviousPoint(0);
            }
            state_.playMode = PlayMode::Playing;
            menus.ShowPlayButton(false);
            break;
        case PlaybackCommand::Pause:
            state_.playMode = PlayMode::Paused;
            menus.ShowPlayButton(true);
            break;
        case PlaybackCommand::StepForward:
            state_.playStep = 1;
            ++track_.lastIndex;
            state_.playMode = PlayMode::Paused;
            menus.ShowPlayButton(true);
            break;
        case PlaybackCommand::FastForward:
            state_.playStep = 5;
            state_.playMode = PlayMode::Playing;
            menus.ShowPlayButton(false);
            break;
        case PlaybackCommand::End:
            state_.playMode = PlayMode::GoToEnd;
            menus.ShowPlayButton(true);
            break;
        case PlaybackCommand::DeleteCurrent:
            // The last point stays: a track without points would be live again.
            if (state_.playMode != PlayMode::Playing && track_.loadedCount > 1) {
                DeletePoint(track_, track_.lastIndex);
                state_.lastReviewIndex = -1;
            }
            break;
    }
}

void Recorder::ProcessReview() {
    if (track_.InReview()) {
        const GpsFix fix = gps_.Snapshot();
        state_.lastReviewIndex = -1;
        track_.lastIndex = -1;
        for (int i = 0; i < track_.loadedCount; ++i) {
            ++track_.lastIndex;
            ProcessPoint(fix);
        }
        state_.playMode = PlayMode::GoToEnd;
        state_.lastShownIndex = track_.lastIndex;
        ports_.menus->RebuildMenus(true);
        ports_.menus->ShowPlayButton(true);
    }
    ArmTimers();
}

}  // namespace trakomer

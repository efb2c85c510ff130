#include "speech/announcer.h"

#include "core/geodesy.h"

namespace trakomer::speech {

void Announcer::Announce() {
    const int fixMode = sources_.gps.With([](const GpsFix& fix) { return int{fix.gsaFixMode}; });
    const UnitFactors units = UnitFactorsFor(sources_.settings.mUnits);
    AnnouncementInputs in{
        sources_.settings,
        sources_.track,
        units,
        fixMode,
        sources_.recordingState ? sources_.recordingState() : RecordingState::Waiting,
        sources_.battery.Percent(),
        sources_.relativeTime ? sources_.relativeTime() : kUnknownRelativeTime,
        sources_.paceTrackLoaded ? sources_.paceTrackLoaded() : false,
    };
    ComposeAnnouncements(memory_, in, speaker_);
}

}  // namespace trakomer::speech

#include "core/recording_options.h"

namespace trakomer {

RecordingOptions RecordingOptionsFrom(const Settings& s) {
    RecordingOptions o;
    o.userProfile = s.mUserProfile;
    o.upMode = s.mUpMode;
    o.units = s.mUnits;
    o.voice = s.mVoice != 0;
    o.autoStart = s.mAutoStart != 0;
    o.autoStop = s.mAutoStop != 0;
    o.autoStopDistance = s.mAutoStopDistance;
    o.autoStopSpeed = s.mAutoStopSpeed;
    o.nmeaEnableGpgga = s.mNMEAEnableGPGGA != 0;
    o.saySummary = s.mSaySummary != 0;
    o.saySummaryThresholdMinutes = s.mSaySummaryThreshold;
    o.tcpip = s.mTCPIP != 0;
    o.tcpipUploadFrequencySeconds = s.mTCPIPUploadFrequency;
    o.bodyWeightKg = s.bodyWeightKg;
    return o;
}

}  // namespace trakomer

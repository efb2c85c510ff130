#pragma once
// The recording engine's options taken from the user's settings.

#include "core/recording_types.h"
#include "core/settings.h"

namespace trakomer {

RecordingOptions RecordingOptionsFrom(const Settings& settings);

}  // namespace trakomer

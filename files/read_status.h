#pragma once
// The outcome of reading a track or waypoint file.

namespace trakomer {

enum class ReadStatus {
    Ok,
    CannotOpen,  // missing or unreadable: nothing is reported to the user
    Corrupt,     // "Corrupt file" has been shown
};

}  // namespace trakomer

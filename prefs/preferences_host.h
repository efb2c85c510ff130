#pragma once
// What the preference sheet asks of the main window when its pages are
// applied, and what the receiver page's scan borrows from it.

#include "gps/serial_port.h"
#include "gps/shared_fix.h"

namespace trakomer::prefs {

class PreferencesHost {
public:
    virtual ~PreferencesHost() = default;
    // Any scheduled start of the launcher is cancelled (every profile but
    // Blackbox).
    virtual void CancelLauncher() = 0;
    // The recording options follow the settings and timers 1-4 are armed
    // for the profile (also after a changed upload interval).
    virtual void RearmTimers() = 0;
    // The GL view square follows the up mode.
    virtual void ResizeGl() = 0;
    // Closes the receiver and opens the port the settings name, with a new
    // reader.
    virtual void ReopenReceiver() = 0;
    // Loads the waypoint file the settings name and rebuilds Fly To.
    virtual void ReloadWaypoints() = 0;
    // Writes the settings file.
    virtual void SaveSettingsFile() = 0;
    // The user answered Yes to "Restart now?".
    virtual void RequestRestart() = 0;

    // For the port scan: the point tick stops while it runs; the scan uses
    // the receiver's port and fix directly (no reader thread meanwhile).
    virtual void StopPointTick() = 0;
    virtual SerialPort& ReceiverPort() = 0;
    virtual SharedGpsFix& ReceiverFix() = 0;
};

}  // namespace trakomer::prefs

#pragma once
// The power calls on a Linux desktop, through D-Bus:
//   hold       org.freedesktop.ScreenSaver.Inhibit on the session bus, else
//              an "idle" inhibitor lock of systemd-logind on the system bus;
//              with neither running there is nothing to hold against
//   idle reset org.freedesktop.ScreenSaver.SimulateUserActivity
//   wake       org.freedesktop.ScreenSaver.SetActive(false)
//   battery    UPower's display device on the system bus, else sysfs
// A missing bus or service makes the call fail quietly.

#include <string>

#include "platform/power.h"

struct sd_bus;

namespace trakomer {

struct PowerBuses {
    // D-Bus addresses to use instead of the session and system buses
    // (tests); empty for the usual ones.
    std::string session;
    std::string system;
    std::string powerSupplyFolder = "/sys/class/power_supply";
};

class DesktopPower : public PowerPlatform {
public:
    explicit DesktopPower(const PowerBuses& buses = {});
    ~DesktopPower() override;
    DesktopPower(const DesktopPower&) = delete;
    DesktopPower& operator=(const DesktopPower&) = delete;

    DisplayHold HoldDisplay() override;
    void ReleaseDisplay() override;
    void ResetIdleTimer() override;
    int BatteryPercent() override;
    void WakeScreen() override;

private:
    sd_bus* session_ = nullptr;
    sd_bus* system_ = nullptr;
    std::string powerSupplyFolder_;
    uint32_t cookie_ = 0;
    bool screenSaverHold_ = false;
    int inhibitorFd_ = -1;
};

// Asks the desktop on the session bus to end screen blanking (the
// launcher's "switch the device on"). busAddress "" is the session bus.
void WakeScreenOnSessionBus(const std::string& busAddress = "");

}  // namespace trakomer

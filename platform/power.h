#pragma once
// The machine's power calls the recorder makes. Each may fail; only the
// display hold reports why.

#include <cstdint>

namespace trakomer {

class PowerPlatform {
public:
    virtual ~PowerPlatform() = default;
    // Keeps the screen from blanking and the machine from idling into
    // suspend until released. 0 when held, else an error code.
    virtual uint32_t HoldDisplay() = 0;
    virtual void ReleaseDisplay() = 0;
    // Counts as user activity: the idle count-down starts again.
    virtual void ResetIdleTimer() = 0;
    // Battery charge in percent; 100 on a machine without a battery.
    virtual int BatteryPercent() = 0;
    // Switches the screen on (ends blanking), best effort.
    virtual void WakeScreen() = 0;
};

// Battery charge from the first battery of a power supply class folder laid
// out like /sys/class/power_supply; 100 when there is none.
int SysfsBatteryPercent(const char* powerSupplyFolder = "/sys/class/power_supply");

}  // namespace trakomer

#pragma once
// The machine's power calls the recorder makes. Each may fail; only the
// display hold reports why.

#include <cstdint>
#include <string>

namespace trakomer {

// What came of asking to keep the screen on.
struct DisplayHold {
    enum class Outcome {
        Held,
        NothingToHold,  // no service that would blank the screen (a bare X server)
        Refused,
    };
    Outcome outcome = Outcome::Held;
    std::string reason;  // for Refused: what failed and why, in words
};

class PowerPlatform {
public:
    virtual ~PowerPlatform() = default;
    // Keeps the screen from blanking and the machine from idling into
    // suspend until released.
    virtual DisplayHold HoldDisplay() = 0;
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

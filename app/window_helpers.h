#pragma once
// Small pieces of the window that need no window: the port settings, the battery level, the local clock and number texts.

#include <string>

#include "core/clock.h"
#include "core/settings.h"
#include "gps/port_settings.h"
#include "screens/screen_text.h"

namespace trakomer {


// Battery charge in percent from the first battery of the power supply
// class; 100 when the machine runs on mains only.
int ReadBatteryPercent(const std::string& powerSupplyFolder = "/sys/class/power_supply");

ClockTime LocalClock(const Clock& clock);

// Half the width the map view shows at a zoom, in nautical miles (the map
// scale is zoom x 96000; the map view refines this when it lands).
double MapHalfWidthNm(double mapZoom);

std::string FormatOneDecimal(double value);

// The first characters of a file name kept as the track title.
std::string TrackTitle(const std::string& fileName);

}  // namespace trakomer

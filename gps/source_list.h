#pragma once
// Every receiver the program can read, as the NMEA page and
// `trakomer-cli ports` list them: the serial ports, then a gpsd that
// answers on this machine, each modem with GNSS, and the demo receiver.

#include <vector>

#include "gps/modem_link.h"
#include "gps/port_discovery.h"

namespace trakomer {

inline constexpr const char* kDemoReceiverName = "Demo receiver";

// The list from what was found.
PortList BuildSourceList(PortList serialPorts, bool gpsdAnswers,
                         const std::vector<ModemEntry>& modems);

// Looks for every source now (asks a local gpsd and ModemManager).
PortList EnumerateSources();

}  // namespace trakomer

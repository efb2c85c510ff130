#include "gps/source_list.h"

#include <unistd.h>

#include "gps/gpsd_link.h"

namespace trakomer {

namespace {
constexpr int kGpsdProbeTimeoutMs = 300;
}

PortList BuildSourceList(PortList serialPorts, bool gpsdAnswers,
                         const std::vector<ModemEntry>& modems) {
    PortList list = std::move(serialPorts);
    if (gpsdAnswers) list.push_back({"gpsd", "gpsd", kGpsdKind});
    for (const ModemEntry& modem : modems) {
        if (!HasGnssNmea(modem) || modem.index < 0) continue;
        list.push_back({"modem:" + std::to_string(modem.index), "Modem GNSS (" + modem.model + ")",
                        kModemKind});
    }
    list.push_back({"demo", kDemoReceiverName, kDemoKind});
    return list;
}

PortList EnumerateSources() {
    const int gpsd = ConnectGpsd("gpsd", kGpsdProbeTimeoutMs);
    if (gpsd >= 0) close(gpsd);
    return BuildSourceList(EnumeratePorts(), gpsd >= 0, ListModems());
}

}  // namespace trakomer

// trakomer-cli ports: the serial ports a receiver may be on, one JSON line
// each, wired ports first.

#include <cstdio>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "gps/port_discovery.h"

namespace trakomer::cli {

int RunPorts(const Args& args) {
    for (const std::string& a : args) {
        if (a == "--help") {
            std::printf("Usage: trakomer-cli ports\n");
            return kExitOk;
        }
        return UsageError("ports: unknown argument '" + a + "'");
    }
    for (const PortEntry& entry : EnumeratePorts()) {
        JsonWriter json;
        json.BeginObject()
            .Field("portName", entry.portName)
            .Field("friendlyName", entry.friendlyName)
            .EndObject();
        std::printf("%s\n", json.Text().c_str());
    }
    return kExitOk;
}

}  // namespace trakomer::cli

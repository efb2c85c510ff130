// trakomer-cli ports: the sources a receiver may be read from, one JSON
// line each: serial ports (wired first), gpsd, modems with GNSS, the demo.

#include <cstdio>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "gps/source_list.h"

namespace trakomer::cli {

int RunPorts(const Args& args) {
    for (const std::string& a : args) {
        if (a == "--help") {
            std::printf("Usage: trakomer-cli ports\n");
            return kExitOk;
        }
        return UsageError("ports: unknown argument '" + a + "'");
    }
    for (const PortEntry& entry : EnumerateSources()) {
        JsonWriter json;
        json.BeginObject()
            .Field("portName", entry.portName)
            .Field("friendlyName", entry.friendlyName)
            .Field("kind", entry.kind)
            .EndObject();
        std::printf("%s\n", json.Text().c_str());
    }
    return kExitOk;
}

}  // namespace trakomer::cli

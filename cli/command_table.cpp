#include "cli/commands.h"

namespace trakomer::cli {

const std::vector<Command>& AllCommands() {
    static const std::vector<Command> commands = {
        {"nmea-dump", RunNmeaDump, "nmea-dump [--each] FILE   parse an NMEA log (- for stdin), print the fix as JSON"},
    };
    return commands;
}

}  // namespace trakomer::cli

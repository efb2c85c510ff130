#include "cli/commands.h"

namespace trakomer::cli {

const std::vector<Command>& AllCommands() {
    static const std::vector<Command> commands = {
        {"nmea-dump", RunNmeaDump, "nmea-dump [--each] FILE   parse an NMEA log (- for stdin), print the fix as JSON"},
        {"record", RunRecord, "record --input FILE [--out-dir DIR] [--home DIR] [--profile P] [--autostart] [--realtime]   replay a receiver log through the recorder, print the summary as JSON"},
    };
    return commands;
}

}  // namespace trakomer::cli

#include "cli/commands.h"

namespace trakomer::cli {

const std::vector<Command>& AllCommands() {
    static const std::vector<Command> commands = {
        {"nmea-dump", RunNmeaDump, "nmea-dump [--each] FILE   parse an NMEA log (- for stdin), print the fix as JSON"},
        {"record", RunRecord, "record --input FILE [--out-dir DIR] [--home DIR] [--profile P] [--autostart] [--realtime]   replay a receiver log through the recorder, print the summary as JSON"},
        {"recover", RunRecover, "recover [--home DIR] [--out-dir DIR]   save the recording a killed recorder left unsaved, print {\"points\": N, \"file\": ...}"},
        {"info", RunInfo, "info FILE [--resample] [--home DIR] [--profile P]   load a .trk, .trz, .kml or .gpx track, print its statistics as JSON"},
        {"ports", RunPorts, "ports   list the serial ports a receiver may be on, one JSON line each"},
        {"scan", RunScan, "scan [--home DIR] [--device PATH ...]   find the port and baud rate a receiver answers on"},
        {"convert", RunConvert, "convert IN OUT [--home DIR]   convert a track file (.trk/.trz/.kml/.gpx to .trk/.trz/.log/.kmz/.gpx), print a JSON line"},
        {"settings", RunSettings, "settings [--home DIR]   print the settings in effect as JSON"},
        {"mappack", RunMappack, "mappack IMAGE --corners LAT1,LON1,LAT2,LON2 OUT.tgz   make a map package of a PNG or JPEG map and its south-west and north-east corners, print a JSON line"},
        {"mappack", RunMappack, "mappack --tiles SOURCE (--around TRACK [--margin KM] | --bbox S,W,N,E) [--zoom Z] [--max-tiles N] [--attribution TEXT] OUT.tgz   map packages from a tile server URL template, an .mbtiles file or a z/x/y tile folder, print a JSON line"},
        {"upload", RunUpload, "upload [--home DIR] [--type 1|2|3] TRACKFILE   upload a track as \"Upload now\" does, print the status line"},
    };
    return commands;
}

}  // namespace trakomer::cli

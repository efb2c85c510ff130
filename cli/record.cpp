// trakomer-cli record: replays a receiver log through the parser and the
// recording engine on a virtual clock (or the wall clock with --realtime),
// stops at the end like a confirmed Stop, saves the track and prints the
// summary as JSON.

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "cli/commands.h"
#include "cli/record_live.h"
#include "cli/record_replay.h"
#include "cli/record_session.h"
#include "core/settings_file.h"
#include "files/auto_trz_saver.h"
#include "gps/port_termios.h"
#include "platform/paths.h"
#include "platform/temp_file.h"

namespace trakomer::cli {
namespace {

struct RecordOptions {
    std::string input;
    std::string outDir;
    std::string home;
    std::string profile;
    std::string device;  // live mode
    std::string baud;    // live mode: baud rate instead of the settings'
    bool autostart = false;
    bool realtime = false;
};

const char kRecordUsage[] =
    "Usage: trakomer-cli record --input FILE [--out-dir DIR] [--home DIR]\n"
    "         [--profile walk|run|bike|car|motorbike|blackbox] [--autostart] [--realtime]\n"
    "       trakomer-cli record --device PATH|demo|demo:FILE|gpsd|gpsd://HOST[:PORT]|modem|modem:N\n"
    "         [--baud N] [--out-dir DIR]\n"
    "         [--home DIR] [--profile ...] [--autostart]   (live; Ctrl-C stops and saves)\n";

// Returns kExitOk when parsed, else the exit code to end with.
int ParseRecordOptions(const Args& args, RecordOptions& o) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        if (a == "--help") {
            std::printf("%s", kRecordUsage);
            return -1;
        } else if (a == "--autostart") {
            o.autostart = true;
        } else if (a == "--realtime") {
            o.realtime = true;
        } else if (a == "--input" || a == "--out-dir" || a == "--home" || a == "--profile" ||
                   a == "--device" || a == "--baud") {
            std::string& target = a == "--input"     ? o.input
                                  : a == "--out-dir" ? o.outDir
                                  : a == "--home"    ? o.home
                                  : a == "--profile" ? o.profile
                                  : a == "--baud"    ? o.baud
                                                     : o.device;
            if (!value(target)) return UsageError("record: " + a + " needs a value");
        } else {
            return UsageError("record: unknown argument '" + a + "'");
        }
    }
    if (o.input.empty() && o.device.empty()) return UsageError("record: no --input FILE given");
    if (!o.input.empty() && !o.device.empty()) {
        return UsageError("record: give either --input FILE or --device PATH");
    }
    if (!o.baud.empty() && (o.device.empty() || SpeedConstant(std::atoi(o.baud.c_str())) == B0)) {
        return UsageError("record: --baud needs --device and a supported rate");
    }
    if (!o.profile.empty() && ProfileNumber(o.profile) == 0) {
        return UsageError("record: unknown profile '" + o.profile + "'");
    }
    return kExitOk;
}

bool ReadWholeFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    text = buffer.str();
    return !in.bad();
}

Settings RunSettings(const RecordOptions& o) {
    const ProgramPaths paths = ResolvePaths(o.home, ProcessEnvironment());
    Settings settings = DefaultSettings(paths.documentsFolder);
    LoadSettings(paths.SettingsFile(), settings);
    if (!o.profile.empty()) settings.mUserProfile = ProfileNumber(o.profile);
    settings.mAutoStart = o.autostart ? 1 : 0;
    settings.mVoice = 0;  // nothing to speak through
    return settings;
}

int64_t SteadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int ReplayFile(const RecordOptions& o, const Settings& settings) {
    std::string text;
    if (!ReadWholeFile(o.input, text)) {
        std::fprintf(stderr, "trakomer-cli: cannot read '%s'\n", o.input.c_str());
        return kExitFailure;
    }
    const ReceiverLog log = SplitIntoSeconds(text);

    SystemClock wall;
    ManualClock virtualClock(log.hasStartTime ? log.startUnixSeconds : wall.UnixSeconds(),
                             wall.LocalOffsetSeconds());
    const Clock& clock = o.realtime ? static_cast<const Clock&>(wall) : virtualClock;
    AutoTrzSaver saver(settings, clock, SystemTempFolder(), o.outDir,
                       DocumentsFolder(ProcessEnvironment()));

    const int64_t virtualStart = virtualClock.MonotonicMs();
    std::function<int64_t()> now = [&] {
        return o.realtime ? SteadyMs() : virtualClock.MonotonicMs() - virtualStart;
    };
    RecordSession session(settings, &saver, now);
    // A replay in real time is journaled like a live recording; one on the
    // virtual clock ends in moments and its log is the record already.
    if (o.realtime) {
        session.KeepJournal(ResolvePaths(o.home, ProcessEnvironment()).stateFolder, clock);
    }
    ReplayControl control;
    control.tapToStart = !o.autostart;
    control.waitUntilMs = [&](int64_t at) {
        const int64_t delta = at - now();
        if (delta <= 0) return;
        if (o.realtime) {
            std::this_thread::sleep_for(std::chrono::milliseconds(delta));
        } else {
            virtualClock.AdvanceMs(delta);
        }
    };
    ReplayLog(session, log, control);
    if (!session.Stopped()) session.Engine().ConfirmStop();

    const bool saved = !saver.SavedPath().empty();
    std::optional<std::string> file;
    if (saved) file = saver.SavedPath();
    std::printf("%s\n", SummaryJson(settings.mUserProfile, session.Events(),
                                    session.CurrentTrack(), file)
                            .c_str());
    if (!session.Stopped()) {
        std::fprintf(stderr, "trakomer-cli: no track was recorded (no valid fix)\n");
        return kExitOk;
    }
    return saved ? kExitOk : kExitFailure;
}

}  // namespace

int RunRecord(const Args& args) {
    RecordOptions o;
    const int parsed = ParseRecordOptions(args, o);
    if (parsed < 0) return kExitOk;
    if (parsed != kExitOk) return parsed;
    const Settings settings = RunSettings(o);
    // Live recording from a receiver: the serial-link module's entry.
    if (!o.device.empty()) {
        LiveRecordOptions live;
        live.device = o.device;
        live.baudRate = o.baud.empty() ? 0 : std::atoi(o.baud.c_str());
        live.outDir = o.outDir;
        live.autostart = o.autostart;
        live.journalFolder = ResolvePaths(o.home, ProcessEnvironment()).stateFolder;
        return RecordLive(live, settings);
    }
    return ReplayFile(o, settings);
}

}  // namespace trakomer::cli

#include "cli/record_live.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>

#include "cli/commands.h"
#include "cli/record_session.h"
#include "core/clock.h"
#include "files/auto_trz_saver.h"
#include "gps/gpsd_link.h"
#include "gps/serial_port.h"
#include "gps/settings_port.h"
#include "platform/paths.h"
#include "platform/temp_file.h"

namespace trakomer::cli {
namespace {

constexpr int kPointTimer = 1;
constexpr int kMaxWaitMs = 250;  // longest wait between looks at the port

int64_t SteadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The configuration sentences go out through the serial link.
class PortReceiverLink : public ReceiverLink {
public:
    explicit PortReceiverLink(SerialPort& port) : port_(port) {}
    void Send(std::string_view bytes) override { port_.Write(bytes.data(), bytes.size()); }

private:
    SerialPort& port_;
};

// SIGINT, SIGTERM and SIGHUP (a closed terminal or a dropped ssh session)
// delivered through a descriptor instead of a handler; blocked before any
// thread starts so every thread leaves them to it.
class StopSignals {
public:
    StopSignals() {
        sigemptyset(&set_);
        sigaddset(&set_, SIGINT);
        sigaddset(&set_, SIGTERM);
        sigaddset(&set_, SIGHUP);
        pthread_sigmask(SIG_BLOCK, &set_, &previous_);
        fd_ = signalfd(-1, &set_, SFD_CLOEXEC | SFD_NONBLOCK);
    }
    ~StopSignals() {
        if (fd_ >= 0) close(fd_);
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    bool Valid() const { return fd_ >= 0; }
    // Waits up to ms for a stop signal; true when one came. The signal is
    // taken, so it does not fire again once the mask is restored.
    bool WaitMs(int ms) const {
        pollfd p = {fd_, POLLIN, 0};
        if (poll(&p, 1, std::max(ms, 0)) <= 0) return false;
        signalfd_siginfo info{};
        return read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info);
    }

private:
    sigset_t set_{};
    sigset_t previous_{};
    int fd_ = -1;
};

// Fires every timer that is due by now.
void RunDueTimers(RecordSession& session, bool tapToStart) {
    for (;;) {
        if (session.Stopped()) return;
        int64_t dueAt = 0;
        const int which = session.Timers().Next(dueAt);
        if (which < 0 || dueAt > SteadyMs()) return;
        if (which == kPointTimer && tapToStart &&
            session.Engine().State().recordingState == RecordingState::Waiting) {
            session.TapStart();
        }
        session.FireTimer(which, dueAt);
    }
}

// Milliseconds until the next timer, at most kMaxWaitMs.
int WaitBeforeNextTimer(const RecordSession& session) {
    int64_t dueAt = 0;
    if (session.Timers().Next(dueAt) < 0) return kMaxWaitMs;
    return static_cast<int>(std::clamp<int64_t>(dueAt - SteadyMs(), 0, kMaxWaitMs));
}

}  // namespace

int RecordLive(const LiveRecordOptions& o, Settings settings) {
    PortSettings portSettings = PortSettingsFrom(settings);
    portSettings.commDevice = o.device;
    if (o.baudRate > 0) portSettings.baudRate = o.baudRate;
    StorePortSettings(portSettings, settings);

    StopSignals signals;
    if (!signals.Valid()) {
        std::fprintf(stderr, "trakomer-cli: cannot watch for SIGINT, SIGTERM and SIGHUP\n");
        return kExitFailure;
    }
    SerialPort port;
    if (!port.Open(portSettings, true)) {
        std::fprintf(stderr, "trakomer-cli: %s\n", port.errorText.c_str());
        return kExitFailure;
    }

    SystemClock wall;
    AutoTrzSaver saver(settings, wall, SystemTempFolder(), o.outDir,
                       DocumentsFolder(ProcessEnvironment()));
    PortReceiverLink link(port);
    RecordSession session(settings, &saver, SteadyMs, &link);
    port.reopenIntervalMs = o.reopenIntervalMs;
    ReceiverEvents events;
    events.lost = [] {
        std::fprintf(stderr, "trakomer-cli: the receiver went away; waiting for it\n");
    };
    events.back = [] { std::fprintf(stderr, "trakomer-cli: the receiver is back\n"); };
    session.KeepJournal(o.journalFolder, wall);
    port.StartReader(session.Gps(), std::move(events));
    if (IsGpsdDevice(o.device) || IsModemDevice(o.device)) {
        std::fprintf(stderr, "trakomer-cli: recording from %s; Ctrl-C stops and saves\n",
                     o.device.c_str());
    } else {
        std::fprintf(stderr, "trakomer-cli: recording from %s at %d baud; Ctrl-C stops and saves\n",
                     o.device.c_str(), portSettings.baudRate);
    }

    if (!port.rateText.empty()) std::fprintf(stderr, "trakomer-cli: %s\n", port.rateText.c_str());

    while (!session.Stopped()) {
        if (signals.WaitMs(WaitBeforeNextTimer(session))) break;
        RunDueTimers(session, !o.autostart);
    }
    if (!session.Stopped()) session.Engine().ConfirmStop();
    port.closePauseMs = 0;  // the pause is for a reopen, and none follows
    port.Close();

    std::optional<std::string> file;
    if (!saver.SavedPath().empty()) file = saver.SavedPath();
    std::printf("%s\n", SummaryJson(settings.mUserProfile, session.Events(),
                                    session.CurrentTrack(), file)
                            .c_str());
    std::fflush(stdout);
    if (!session.Stopped()) {
        std::fprintf(stderr, "trakomer-cli: no track was recorded (no valid fix)\n");
        return kExitOk;
    }
    return file ? kExitOk : kExitFailure;
}

}  // namespace trakomer::cli

#include "gps/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <grp.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>

#include "gps/gpsd_link.h"
#include "gps/port_termios.h"

namespace trakomer {

namespace {
constexpr int kMaxEmptyWakes = 50;
constexpr int kEmptyWakePauseMs = 20;
constexpr int kGpsdConnectTimeoutMs = 2000;
}  // namespace

std::string AccessDeniedText(const std::string& devicePath) {
    struct stat info {};
    std::string name;
    if (stat(devicePath.c_str(), &info) == 0) {
        if (const struct group* entry = getgrgid(info.st_gid)) name = entry->gr_name;
    }
    // Without a group to join (root's, or none known) the user needs
    // another way in; say so instead of pointing at a group.
    if (name.empty() || info.st_gid == 0) {
        return "Access Denied!\nYou may not open " + devicePath + ".";
    }
    return "Access Denied!\nYou are not in the group " + name + "\nthat owns " + devicePath +
           ". Join it with\nsudo usermod -aG " + name + " $USER\nthen log out and in again.";
}

std::string OpenErrorText(int error, const std::string& devicePath) {
    switch (error) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return "Communication Port (" + devicePath +
                   ") not found!\nThe communications port does not exist.";
        case EACCES:
        case EPERM:
            return AccessDeniedText(devicePath);
        case EBUSY:
        case EWOULDBLOCK:
            return "Access Denied!\nThe communications port may be in use.";
        default:
            return "Comm Open Error! [" + std::to_string(error) + "].\nThe port (" + devicePath +
                   ") may be in use.";
    }
}

std::string DefaultDemoLog() {
#ifdef TRAKOMER_DEMO_LOG
    return TRAKOMER_DEMO_LOG;
#else
    return "data/demo/demo.nmea";
#endif
}

SerialPort::~SerialPort() {
    StopReader();
    CloseDescriptor();
}

void SerialPort::CloseDescriptor() {
    const int fd = fd_.exchange(-1);
    if (fd >= 0) {
        if (!gpsd_) ioctl(fd, TIOCNXCL);
        close(fd);
    }
    demo_.reset();
    modem_.reset();
}

bool SerialPort::Open(const PortSettings& settings, bool quiet) {
    return Open(DevicePathFor(settings), settings.baudRate, settings.parity, settings.dataBits,
                settings.stopBits, quiet);
}

bool SerialPort::Open(const std::string& path, int baud, int parity, int dataBits, int stopBits,
                      bool quiet) {
    StopReader();
    CloseDescriptor();
    baudRate = baud;
    portNumber = PortNumberOfDevice(path);
    devicePath = path;
    openFailed = false;
    errorText.clear();
    openError = 0;
    rateText.clear();

    parity_ = parity;
    dataBits_ = dataBits;
    stopBits_ = stopBits;
    gpsd_ = IsGpsdDevice(path);

    std::string node = path;
    if (IsDemoDevice(path)) {
        demo_ = std::make_unique<DemoReceiver>();
        const int error = demo_->Create(DemoLogPath(path, demoLog));
        if (error != 0) return Fail(error);
        node = demo_->SlavePath();
    }
    bool configFailed = false;
    const int fd = OpenDevice(node, configFailed);
    if (fd < 0) {
        if (configFailed && !quiet && errorBeep) errorBeep();
        return Fail(-fd);
    }
    fd_ = fd;
    if (modem_) rateText = modem_->rateText;
    if (demo_) demo_->Start();
    return true;
}

// Opens and configures the device node (or connects to gpsd); the
// descriptor, or -errno with configFailed set when the settings were refused.
int SerialPort::OpenDevice(const std::string& node, bool& configFailed) {
    configFailed = false;
    if (gpsd_) return ConnectGpsd(node, kGpsdConnectTimeoutMs);
    if (IsModemDevice(node)) {
        if (!modem_) modem_ = std::make_unique<ModemLink>();
        const int fd = modem_->Open(node);
        return fd >= 0 ? fd : -EIO;
    }
    // Non-blocking so that neither the open nor a read waits for a carrier
    // or for data.
    const int fd = open(node.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -errno;
    auto fail = [fd](int error) {
        ioctl(fd, TIOCNXCL);
        close(fd);
        return -error;
    };
    // Take the port for this program alone: TIOCEXCL refuses other opens,
    // the lock tells other lock-aware programs (and root) it is in use.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) return fail(errno);
    if (ioctl(fd, TIOCEXCL) != 0 && errno != ENOTTY) return fail(errno);

    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return fail(errno);
    if (!ConfigureTermios(tio, baudRate, parity_, dataBits_, stopBits_)) {
        configFailed = true;
        return fail(EINVAL);
    }
    if (tcsetattr(fd, TCSANOW, &tio) != 0) {
        configFailed = true;
        return fail(errno);
    }
    // Raise DTR and RTS (some receivers are powered from them); lines that
    // the device does not have are not an error.
    const int lines = TIOCM_DTR | TIOCM_RTS;
    ioctl(fd, TIOCMBIS, &lines);
    // Drop whatever arrived before the port had its settings.
    tcflush(fd, TCIOFLUSH);
    return fd;
}

bool SerialPort::Fail(int error) {
    errorText = modem_ ? modem_->errorText : OpenErrorText(error, devicePath);
    CloseDescriptor();
    openFailed = true;
    openError = error;
    return false;
}

bool SerialPort::Close() {
    StopReader();
    receiverLost_ = false;
    const int fd = fd_.exchange(-1);
    if (fd < 0) {
        demo_.reset();
        modem_.reset();
        return false;
    }
    if (!gpsd_) ioctl(fd, TIOCNXCL);
    const bool closed = close(fd) == 0;
    demo_.reset();
    modem_.reset();
    if (closePauseMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(closePauseMs));
    return closed;
}

size_t SerialPort::Read(char* buffer, size_t size) {
    const int fd = fd_.load();
    if (fd < 0 || size == 0) return 0;
    for (;;) {
        const ssize_t n = read(fd, buffer, size);
        if (n > 0) return static_cast<size_t>(n);
        if (n < 0 && errno == EINTR) continue;
        return 0;
    }
}

size_t SerialPort::Write(const char* data, size_t length) {
    std::lock_guard lock(writeMutex_);
    const int fd = fd_.load();
    if (fd < 0 || length == 0 || gpsd_) return 0;
    for (;;) {
        const ssize_t n = write(fd, data, length);
        if (n >= 0) return static_cast<size_t>(n);
        if (errno == EINTR) continue;
        return 0;
    }
}

void SerialPort::StartReader(SharedGpsFix& fix, ReceiverEvents events) {
    ReceiverEvents marking = events;
    marking.lost = [&fix, lost = std::move(events.lost)] {
        fix.With([](GpsFix& f) { f.rmcStatus = 'V'; });
        if (lost) lost();
    };
    StartReader([&fix](const char* bytes, size_t length) { fix.Feed(bytes, length); },
                std::move(marking));
}

void SerialPort::StartReader(ByteSink sink, ReceiverEvents events) {
    if (fd_.load() < 0 || reader_.joinable() || !wake_.Valid() || !sink) return;
    wake_.Clear();
    receiverLost_ = false;
    readerRunning_.store(true);
    reader_ = std::thread(&SerialPort::ReaderLoop, this, std::move(sink), std::move(events));
}

void SerialPort::StopReader() {
    if (!reader_.joinable()) return;
    wake_.Signal();
    reader_.join();
    wake_.Clear();
}

// Reads the device until Close; after a hang-up or read error waits for
// the device to come back when asked to.
void SerialPort::ReaderLoop(ByteSink sink, ReceiverEvents events) {
    const bool reopen = reopenIntervalMs > 0 && !demo_;
    while (!PumpUntilGone(fd_.load(), sink) && reopen) {
        DropDescriptor();
        receiverLost_ = true;
        if (events.lost) events.lost();
        if (!WaitAndReopen()) break;
        receiverLost_ = false;
        if (events.back) events.back();
    }
    readerRunning_.store(false);
}

void SerialPort::DropDescriptor() {
    std::lock_guard lock(writeMutex_);
    const int fd = fd_.exchange(-1);
    if (fd >= 0) {
        if (!gpsd_) ioctl(fd, TIOCNXCL);
        close(fd);
    }
}

// Tries the same device every reopenIntervalMs, sleeping on the wake-up
// descriptor in between (so Close ends the wait at once).
bool SerialPort::WaitAndReopen() {
    for (;;) {
        pollfd wake = {wake_.Fd(), POLLIN, 0};
        const int ready = poll(&wake, 1, reopenIntervalMs);
        if (ready < 0 && errno == EINTR) continue;
        if (ready != 0) return false;
        bool configFailed = false;
        const int fd = OpenDevice(devicePath, configFailed);
        if (fd >= 0) {
            std::lock_guard lock(writeMutex_);
            fd_ = fd;
            return true;
        }
    }
}

// Waits for bytes or the wake-up; reads every chunk that has arrived and
// passes it on. Returns true on the wake-up, false on a hang-up or read
// error; a readable port that keeps yielding nothing also counts as hung
// up, so the loop never spins.
bool SerialPort::PumpUntilGone(int fd, const ByteSink& sink) {
    char buffer[kReadChunkSize];
    int emptyWakes = 0;
    for (;;) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {wake_.Fd(), POLLIN, 0}};
        const int ready = poll(fds, 2, -1);
        if (ready < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (fds[1].revents != 0) return true;
        if (fds[0].revents & POLLNVAL) return false;
        bool gotBytes = false;
        bool failed = false;
        for (;;) {
            const ssize_t n = read(fd, buffer, sizeof buffer);
            if (n > 0) {
                gotBytes = true;
                sink(buffer, static_cast<size_t>(n));
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            failed = n == 0 || errno != EAGAIN;
            break;
        }
        if (fds[0].revents & (POLLHUP | POLLERR)) return false;
        if (failed && !gotBytes) return false;
        // Reported readable yet nothing to read: back off briefly (still
        // woken at once by Close), and give up if it keeps happening.
        emptyWakes = gotBytes ? 0 : emptyWakes + 1;
        if (emptyWakes > kMaxEmptyWakes) return false;
        if (emptyWakes > 0) {
            pollfd wake = {wake_.Fd(), POLLIN, 0};
            if (poll(&wake, 1, kEmptyWakePauseMs) > 0) return true;
        }
    }
}

}  // namespace trakomer

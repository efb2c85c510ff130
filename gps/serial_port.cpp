#include "gps/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "gps/port_termios.h"

namespace trakomer {

namespace {
constexpr int kMaxEmptyWakes = 50;
constexpr int kEmptyWakePauseMs = 20;
}  // namespace

std::string OpenErrorText(int error, const std::string& devicePath) {
    switch (error) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return "Communication Port (" + devicePath +
                   ") not found!\nThe communications port does not exist.";
        case EACCES:
        case EPERM:
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
    if (fd_ >= 0) {
        ioctl(fd_, TIOCNXCL);
        close(fd_);
        fd_ = -1;
    }
    demo_.reset();
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

    // Non-blocking so that neither the open nor a read waits for a carrier
    // or for data.
    std::string node = path;
    if (IsDemoDevice(path)) {
        demo_ = std::make_unique<DemoReceiver>();
        const int error = demo_->Create(DemoLogPath(path, demoLog));
        if (error != 0) return Fail(error);
        node = demo_->SlavePath();
    }
    const int fd = open(node.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return Fail(errno);
    fd_ = fd;

    // Take the port for this program alone: TIOCEXCL refuses other opens,
    // the lock tells other lock-aware programs (and root) it is in use.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) return Fail(errno);
    if (ioctl(fd, TIOCEXCL) != 0 && errno != ENOTTY) return Fail(errno);

    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return Fail(errno);
    if (!ConfigureTermios(tio, baud, parity, dataBits, stopBits)) {
        if (!quiet && errorBeep) errorBeep();
        return Fail(EINVAL);
    }
    if (tcsetattr(fd, TCSANOW, &tio) != 0) {
        const int error = errno;
        if (!quiet && errorBeep) errorBeep();
        return Fail(error);
    }
    // Raise DTR and RTS (some receivers are powered from them); lines that
    // the device does not have are not an error.
    const int lines = TIOCM_DTR | TIOCM_RTS;
    ioctl(fd, TIOCMBIS, &lines);
    // Drop whatever arrived before the port had its settings.
    tcflush(fd, TCIOFLUSH);
    if (demo_) demo_->Start();
    return true;
}

bool SerialPort::Fail(int error) {
    CloseDescriptor();
    openFailed = true;
    errorText = OpenErrorText(error, devicePath);
    return false;
}

bool SerialPort::Close() {
    StopReader();
    if (fd_ < 0) return false;
    ioctl(fd_, TIOCNXCL);
    const bool closed = close(fd_) == 0;
    fd_ = -1;
    demo_.reset();
    if (closePauseMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(closePauseMs));
    return closed;
}

size_t SerialPort::Read(char* buffer, size_t size) {
    if (fd_ < 0 || size == 0) return 0;
    for (;;) {
        const ssize_t n = read(fd_, buffer, size);
        if (n > 0) return static_cast<size_t>(n);
        if (n < 0 && errno == EINTR) continue;
        return 0;
    }
}

size_t SerialPort::Write(const char* data, size_t length) {
    if (fd_ < 0 || length == 0) return 0;
    for (;;) {
        const ssize_t n = write(fd_, data, length);
        if (n >= 0) return static_cast<size_t>(n);
        if (errno == EINTR) continue;
        return 0;
    }
}

void SerialPort::StartReader(SharedGpsFix& fix) {
    StartReader([&fix](const char* bytes, size_t length) { fix.Feed(bytes, length); });
}

void SerialPort::StartReader(ByteSink sink) {
    if (fd_ < 0 || reader_.joinable() || !wake_.Valid() || !sink) return;
    wake_.Clear();
    readerRunning_.store(true);
    reader_ = std::thread(&SerialPort::ReaderLoop, this, fd_, std::move(sink));
}

void SerialPort::StopReader() {
    if (!reader_.joinable()) return;
    wake_.Signal();
    reader_.join();
    wake_.Clear();
}

// Waits for bytes or the wake-up; reads every chunk that has arrived and
// parses it. Ends on the wake-up, a hang-up or a read error; a readable
// port that keeps yielding nothing also counts as hung up, so the loop
// never spins.
void SerialPort::ReaderLoop(int fd, ByteSink sink) {
    char buffer[kReadChunkSize];
    int emptyWakes = 0;
    for (;;) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {wake_.Fd(), POLLIN, 0}};
        const int ready = poll(fds, 2, -1);
        if (ready < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[1].revents != 0) break;
        if (fds[0].revents & POLLNVAL) break;
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
        if (fds[0].revents & (POLLHUP | POLLERR)) break;
        if (failed && !gotBytes) break;
        // Reported readable yet nothing to read: back off briefly (still
        // woken at once by Close), and give up if it keeps happening.
        emptyWakes = gotBytes ? 0 : emptyWakes + 1;
        if (emptyWakes > kMaxEmptyWakes) break;
        if (emptyWakes > 0) {
            pollfd wake = {wake_.Fd(), POLLIN, 0};
            if (poll(&wake, 1, kEmptyWakePauseMs) > 0) break;
        }
    }
    readerRunning_.store(false);
}

}  // namespace trakomer

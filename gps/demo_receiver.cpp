#include "gps/demo_receiver.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "gps/port_termios.h"

namespace trakomer {

namespace {

constexpr std::string_view kDemoName = "demo";
constexpr int kFallbackBaudRate = 4800;
// Bytes are written in slices this long: long enough that the replay and the
// reader it feeds wake ten times a second, not twenty, short enough that a
// sentence still arrives in pieces as over a serial line.
constexpr int kPaceSliceMs = 100;
constexpr int kWriteRetryMs = 100;      // wait when the slave side is full

using SteadyClock = std::chrono::steady_clock;

// The address of a sentence line ("GPRMC"), or empty.
std::string_view AddressOf(std::string_view line) {
    const size_t start = line.find('$');
    if (start == std::string_view::npos) return {};
    const size_t end = line.find_first_of(",*\r\n", start + 1);
    if (end == std::string_view::npos) return {};
    return line.substr(start + 1, end - start - 1);
}

bool CarriesTime(std::string_view address) {
    return address.ends_with("GGA") || address.ends_with("RMC") || address.ends_with("ZDA");
}

// hhmmss of the first field, or empty.
std::string_view TimeOf(std::string_view line) {
    const size_t comma = line.find(',');
    if (comma == std::string_view::npos) return {};
    const std::string_view field = line.substr(comma + 1, 6);
    if (field.size() < 6 || field.find_first_of(",*") != std::string_view::npos) return {};
    return field;
}

int SlaveBaudRate(int master) {
    termios tio{};
    if (tcgetattr(master, &tio) != 0) return kFallbackBaudRate;
    const int baud = BaudRateOf(cfgetospeed(&tio));
    return baud > 0 ? baud : kFallbackBaudRate;
}

}  // namespace

bool IsDemoDevice(std::string_view device) {
    return device == kDemoName || (device.starts_with(kDemoName) && device.size() > 5 &&
                                   device[kDemoName.size()] == ':');
}

std::string DemoLogPath(std::string_view device, const std::string& defaultLog) {
    if (device.size() > kDemoName.size() + 1) {
        return std::string(device.substr(kDemoName.size() + 1));
    }
    return defaultLog;
}

std::vector<std::string> SplitIntoSeconds(std::string_view log) {
    std::vector<std::string> seconds;
    std::string current;
    std::string currentTime;
    std::vector<std::string> addresses;  // timed addresses in the current second
    size_t pos = 0;
    while (pos < log.size()) {
        const size_t newline = log.find('\n', pos);
        const size_t end = newline == std::string_view::npos ? log.size() : newline + 1;
        const std::string_view line = log.substr(pos, end - pos);
        pos = end;
        const std::string_view address = AddressOf(line);
        if (CarriesTime(address)) {
            const std::string time(TimeOf(line));
            const bool repeated =
                std::find(addresses.begin(), addresses.end(), address) != addresses.end();
            const bool newTime = !time.empty() && !currentTime.empty() && time != currentTime;
            if ((repeated || newTime) && !current.empty()) {
                seconds.push_back(std::move(current));
                current.clear();
                currentTime.clear();
                addresses.clear();
            }
            addresses.emplace_back(address);
            if (!time.empty()) currentTime = time;
        }
        current.append(line);
    }
    if (!current.empty()) seconds.push_back(std::move(current));
    return seconds;
}

DemoReceiver::~DemoReceiver() { Stop(); }

int DemoReceiver::Create(const std::string& logPath) {
    const int log = open(logPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (log < 0) return errno;
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(log, buffer, sizeof buffer);
        if (n > 0) {
            text.append(buffer, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        const int error = n < 0 ? errno : 0;
        close(log);
        if (error != 0) return error;
        break;
    }
    seconds_ = SplitIntoSeconds(text);

    if (!wake_.Valid()) return EMFILE;
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (master < 0) return errno;
    char name[128];
    if (grantpt(master) != 0 || unlockpt(master) != 0 || ptsname_r(master, name, sizeof name) != 0) {
        const int error = errno;
        close(master);
        return error;
    }
    // Raw from the start, so nothing written early is echoed or edited.
    termios tio{};
    if (tcgetattr(master, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(master, TCSANOW, &tio);
    }
    master_ = master;
    slavePath_ = name;
    return 0;
}

void DemoReceiver::Start() {
    if (master_ < 0 || thread_.joinable()) return;
    finished_.store(false);
    thread_ = std::thread(&DemoReceiver::Replay, this);
}

void DemoReceiver::Stop() {
    if (thread_.joinable()) {
        wake_.Signal();
        thread_.join();
    }
    if (master_ >= 0) {
        close(master_);
        master_ = -1;
    }
}

bool DemoReceiver::WaitMs(int ms) {
    pollfd wake = {wake_.Fd(), POLLIN, 0};
    return poll(&wake, 1, std::max(ms, 0)) == 0;
}

// Writes the bytes at most as fast as the slave's baud rate carries them
// (ten bits a byte), one slice at a time.
bool DemoReceiver::WritePaced(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const int bytesPerSecond = std::max(1, SlaveBaudRate(master_) / 10);
        const size_t slice =
            std::max<size_t>(1, static_cast<size_t>(bytesPerSecond) * kPaceSliceMs / 1000);
        const size_t length = std::min(slice, bytes.size() - done);
        const auto sliceStart = SteadyClock::now();
        const ssize_t n = write(master_, bytes.data() + done, length);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno != EAGAIN) return false;
            if (!WaitMs(kWriteRetryMs)) return false;
            continue;
        }
        done += static_cast<size_t>(n);
        const auto due = sliceStart + std::chrono::milliseconds(1000 * n / bytesPerSecond);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            due - SteadyClock::now());
        if (left.count() > 0 && !WaitMs(static_cast<int>(left.count()))) return false;
    }
    return true;
}

void DemoReceiver::Replay() {
    const auto start = SteadyClock::now();
    for (size_t i = 0; i < seconds_.size(); ++i) {
        const auto due = start + std::chrono::seconds(i);
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(due - SteadyClock::now());
        if (left.count() > 0 && !WaitMs(static_cast<int>(left.count()))) return;
        if (!WritePaced(seconds_[i])) return;
    }
    finished_.store(true);
}

}  // namespace trakomer

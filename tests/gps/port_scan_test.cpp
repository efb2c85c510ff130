// The port scan and the page's choices against real pseudo-terminals.

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "gps/port_scan.h"
#include "tests/gps/pty_pair.h"

namespace trakomer {
namespace {

using test::PtyPair;
using test::WaitUntil;

constexpr const char* kValidRmc =
    "$GPRMC,120000.00,A,4807.038,N,01131.000,E,022.4,084.4,150309,003.1,W*4B\r\n";

// A receiver that talks at one baud rate only: it reads the slave side's
// speed through the master and sends valid sentences at its own rate and
// garbage (without '$') at any other.
class FakeReceiver {
public:
    explicit FakeReceiver(int baudRate) : baudRate_(baudRate) {
        thread_ = std::thread([this] { Run(); });
    }
    ~FakeReceiver() {
        stop_.store(true);
        thread_.join();
    }
    const std::string& SlavePath() const { return pty_.SlavePath(); }

private:
    void Run() {
        const std::string garbage(40, '\xA5');
        while (!stop_.load()) {
            const std::string& bytes = pty_.SlaveBaudRate() == baudRate_ ? valid_ : garbage;
            [[maybe_unused]] const ssize_t n = write(pty_.Master(), bytes.data(), bytes.size());
            std::this_thread::sleep_for(std::chrono::milliseconds(15));
        }
    }

    PtyPair pty_;
    const int baudRate_;
    const std::string valid_ = kValidRmc;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// The page as the scan sees it; records what it was shown.
class RecordingPage : public ScanPage {
public:
    void EnableScanButton(bool enabled) override { buttonStates.push_back(enabled); }
    int SelectedPortLine() const override { return portLine; }
    int SelectedBaudIndex() const override { return baudIndex; }
    void SelectPortLine(int line) override { portLine = line; }
    void SelectBaudIndex(int index) override { baudIndex = index; }
    void SetStatus(const std::string& text) override { status = text; }
    void AppendStatus(const std::string& text) override { status += text; }
    void ProcessPendingMessages() override { shown.push_back(status); }
    void StopPointTick() override { ++tickStops; }

    // The status after each try: every second repaint.
    std::vector<std::string> Outcomes() const {
        std::vector<std::string> out;
        for (size_t i = 1; i < shown.size(); i += 2) out.push_back(shown[i]);
        return out;
    }

    int portLine = -1;
    int baudIndex = -1;
    std::string status;
    std::vector<std::string> shown;
    std::vector<bool> buttonStates;
    int tickStops = 0;
};

ScanOptions QuickScan() {
    ScanOptions options;
    options.settleMs = 150;
    return options;
}


std::string Try(const std::string& path, int baud, const std::string& outcome) {
    return "Scanning " + path + " @ " + std::to_string(baud) + "\n" + outcome;
}

TEST(PortScan, FindsTheReceiverAfterSilentPortsAndWrongSpeeds) {
    PtyPair silent;
    FakeReceiver receiver(4800);
    // The demo receiver would answer at any speed: the scan tries serial ports only.
    const PortList ports = {{silent.SlavePath(), ""},
                            {"demo", "Demo receiver", kDemoKind},
                            {receiver.SlavePath(), "Bluetooth"}};
    RecordingPage page;
    page.portLine = 0;
    page.baudIndex = 0;
    SerialPort port;
    port.closePauseMs = 0;
    SharedGpsFix fix;

    const ScanResult result = ScanPorts(page, ports, PortSettings{}, port, fix, QuickScan());

    EXPECT_TRUE(result.found);
    EXPECT_EQ(result.portLine, 2);
    EXPECT_EQ(result.baudRate, 4800);
    std::vector<std::string> expected;
    for (int baud : {57600, 38400, 19200, 9600, 4800, 2400}) {
        expected.push_back(Try(silent.SlavePath(), baud, "No output found"));
    }
    for (int baud : {57600, 38400, 19200, 9600}) {
        expected.push_back(Try(receiver.SlavePath(), baud, "Output not recognised."));
    }
    EXPECT_EQ(page.Outcomes(), expected);
    EXPECT_EQ(page.status, kScanSuccessText);
    EXPECT_EQ(page.portLine, 2);
    EXPECT_EQ(page.baudIndex, 1);  // 4800
    EXPECT_EQ(page.buttonStates, (std::vector<bool>{false, true}));
    EXPECT_EQ(page.tickStops, 1);
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.baudRate, 4800);
    EXPECT_GT(fix.Snapshot().rmcCount, 0u);
}

TEST(PortScan, PortInUseShowsAccessDeniedAndSelectionsReturn) {
    PtyPair held;
    const int holder = open(held.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    const PortList ports = {{held.SlavePath(), "USB GPS"}};
    RecordingPage page;
    page.portLine = -1;
    page.baudIndex = 3;
    SerialPort port;
    port.closePauseMs = 0;
    SharedGpsFix fix;

    const ScanResult result = ScanPorts(page, ports, PortSettings{}, port, fix, QuickScan());
    close(holder);

    EXPECT_FALSE(result.found);
    const std::vector<std::string> outcomes = page.Outcomes();
    ASSERT_EQ(outcomes.size(), kBaudRates.size());
    EXPECT_EQ(outcomes[0],
              Try(held.SlavePath(), 57600, "Access Denied!\nThe communications port may be in use."));
    EXPECT_EQ(page.status, kNoValidSettingsText);
    EXPECT_EQ(page.portLine, -1);
    EXPECT_EQ(page.baudIndex, 3);
    EXPECT_FALSE(port.IsOpen());
}

// A user outside the device's group: the port is tried once, and the final
// status says which group to join. Run as "nobody" in a child process (root
// may open anything).
TEST(PortScan, PortTheUserMayNotOpenIsTriedOnceAndTheWayInStaysShown) {
    const group* dialout = getgrnam("dialout");
    if (geteuid() != 0 || dialout == nullptr) GTEST_SKIP() << "needs root and a dialout group";
    char pattern[] = "/tmp/trakomer-denied-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    ASSERT_EQ(chmod(pattern, 0755), 0);
    const std::string device = std::string(pattern) + "/ttyUSB0";
    std::ofstream(device) << "";
    ASSERT_EQ(chown(device.c_str(), 0, dialout->gr_gid), 0);
    ASSERT_EQ(chmod(device.c_str(), 0660), 0);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    if (child == 0) {
        RecordingPage page;
        if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(1);
        SerialPort port;
        port.closePauseMs = 0;
        SharedGpsFix fix;
        ScanPorts(page, {{device, ""}}, PortSettings{}, port, fix, QuickScan());
        const std::string report = std::to_string(page.Outcomes().size()) + "|" + page.status;
        _exit(write(fds[1], report.data(), report.size()) > 0 ? 0 : 1);
    }
    close(fds[1]);
    char buffer[1024] = {};
    const ssize_t n = read(fds[0], buffer, sizeof buffer - 1);
    close(fds[0]);
    waitpid(child, nullptr, 0);
    EXPECT_EQ(std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0),
              "1|No valid settings found!\nAccess Denied!\nYou are not in the group dialout\n"
              "that owns " + device + ". Join it with\nsudo usermod -aG dialout $USER\n"
              "then log out and in again.");
    std::filesystem::remove_all(pattern);
}

TEST(PortScan, EmptyListEndsAtOnceAndClosesThePort) {
    PtyPair pty;
    SerialPort port;
    port.closePauseMs = 0;
    ASSERT_TRUE(port.Open(pty.SlavePath(), 4800, 0, 8, 0, true));
    RecordingPage page;
    SharedGpsFix fix;
    const ScanResult result = ScanPorts(page, {}, PortSettings{}, port, fix, QuickScan());
    EXPECT_FALSE(result.found);
    EXPECT_EQ(page.status, kNoValidSettingsText);
    EXPECT_TRUE(page.shown.empty());
    EXPECT_FALSE(port.IsOpen());
}

TEST(PortScan, ErrorTextIsCutTo220Characters) {
    const std::string longPath = "/nonexistent/" + std::string(300, 'x');
    RecordingPage page;
    SerialPort port;
    port.closePauseMs = 0;
    SharedGpsFix fix;
    ScanOptions options = QuickScan();
    int sleeps = 0;
    options.sleep = [&sleeps](int) { ++sleeps; };
    ScanPorts(page, {{longPath, ""}}, PortSettings{}, port, fix, options);
    const std::string prefix = "Scanning " + longPath + " @ 57600\n";
    ASSERT_GE(page.shown.size(), 2u);
    EXPECT_EQ(page.shown[1].size() - prefix.size(), 220u);
    EXPECT_EQ(sleeps, 0);  // a failed open does not wait
}

TEST(PageChoices, InitShowsTheSettingsAndStoreWritesThemBack) {
    const PortList ports = {{"/dev/ttyS0", ""}, {"/dev/ttyUSB0", "u-blox GPS"},
                            {"/dev/rfcomm0", "Bluetooth"}};
    struct Case {
        PortSettings settings;
        int expectLine;
        int expectBaud;
    };
    PortSettings classic;  // port 2 -> /dev/ttyS1, not listed
    PortSettings usb;
    usb.commDevice = "/dev/ttyUSB0";
    usb.baudRate = 57600;
    usb.parity = kParityEven;
    usb.dataBits = 7;
    usb.stopBits = kTwoStopBits;
    PortSettings first;
    first.commPort = 1;
    first.baudRate = 1234;  // not offered
    const Case cases[] = {{classic, -1, 1}, {usb, 1, 5}, {first, 0, -1}};
    for (const Case& c : cases) {
        const PageChoices choices = InitPage(ports, c.settings, true);
        EXPECT_EQ(choices.portLine, c.expectLine);
        EXPECT_EQ(choices.baudIndex, c.expectBaud);
        EXPECT_TRUE(choices.enableGga);
        // Storing unchanged choices keeps the settings.
        PortSettings stored = c.settings;
        bool gga = false;
        StoreChoices(choices, ports, stored, gga);
        EXPECT_EQ(DevicePathFor(stored), DevicePathFor(c.settings));
        EXPECT_EQ(stored.baudRate, c.settings.baudRate);
        EXPECT_EQ(stored.parity, c.settings.parity);
        EXPECT_EQ(stored.dataBits, c.settings.dataBits);
        EXPECT_EQ(stored.stopBits, c.settings.stopBits);
        EXPECT_TRUE(gga);
    }
    EXPECT_EQ(PortLineText(ports[1]), "/dev/ttyUSB0 u-blox GPS");

    // Picking the classic port also sets its number.
    PortSettings settings;
    bool gga = true;
    StoreChoices({0, 2, 1, 3, 1, false}, ports, settings, gga);
    EXPECT_EQ(settings.commDevice, "/dev/ttyS0");
    EXPECT_EQ(settings.commPort, 1);
    EXPECT_EQ(settings.baudRate, 9600);
    EXPECT_EQ(settings.parity, kParityOdd);
    EXPECT_EQ(settings.dataBits, 8);
    EXPECT_EQ(settings.stopBits, kTwoStopBits);
    EXPECT_FALSE(gga);
}

TEST(PortSettings, DevicePathAndClassicPortNumber) {
    struct Case {
        int commPort;
        const char* device;
        const char* path;
        int number;
    };
    const Case cases[] = {
        {1, "", "/dev/ttyS0", 1},
        {12, "", "/dev/ttyS11", 12},
        {0, "", "/dev/ttyS0", 1},
        {3, "/dev/ttyUSB0", "/dev/ttyUSB0", 0},
        {3, "/dev/ttyS", "/dev/ttyS", 0},
        {3, "/dev/ttyS1x", "/dev/ttyS1x", 0},
    };
    for (const Case& c : cases) {
        PortSettings s;
        s.commPort = c.commPort;
        s.commDevice = c.device;
        EXPECT_EQ(DevicePathFor(s), c.path);
        EXPECT_EQ(PortNumberOfDevice(DevicePathFor(s)), c.number) << c.path;
    }
}

}  // namespace
}  // namespace trakomer

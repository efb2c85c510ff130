// gpsd as the receiver: Debian's gpsd owns a pseudo-terminal receiver that
// sends a multi-system stream; the port reads the sentences gpsd relays,
// agrees with the fix gpsd computes, and comes back after gpsd restarts.

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <regex>
#include <string>
#include <thread>

#include "gps/gpsd_link.h"
#include "gps/serial_port.h"
#include "nmea_test_util.h"
#include "pty_pair.h"

extern char** environ;

namespace trakomer {
namespace {

using test::WithChecksum;

// A loopback TCP port nobody listens on right now.
int FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size) == 0) {
        port = ntohs(a.sin_port);
    }
    close(fd);
    return port;
}

// gpsd in the foreground on one device, stopped with the object.
class Gpsd {
public:
    Gpsd(int port, const std::string& device) {
        std::string args[] = {"gpsd", "-N", "-n", "-S", std::to_string(port), device};
        char* argv[] = {args[0].data(), args[1].data(), args[2].data(), args[3].data(),
                        args[4].data(), args[5].data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawnp(&pid_, "gpsd", &actions, nullptr, argv, environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Gpsd() { Stop(); }
    bool Spawned() const { return pid_ > 0; }
    void Stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
};

// One epoch of a GPS + GLONASS receiver at 12:00:00 + second.
std::string Epoch(int second) {
    char time[32];
    std::snprintf(time, sizeof time, "1200%02d.00", second % 60);
    const std::string t = time;
    return WithChecksum("GNRMC," + t + ",A,4717.11399,N,00833.91590,E,0.004,77.52,091202,,,A,V") +
           WithChecksum("GNGGA," + t + ",4717.11399,N,00833.91590,E,1,08,1.01,499.6,M,48.0,M,,") +
           WithChecksum("GNGSA,A,3,10,23,26,,,,,,,,,,1.94,1.04,1.64,1") +
           WithChecksum("GNGSA,A,3,70,80,,,,,,,,,,,1.94,1.04,1.64,2") +
           WithChecksum("GPGSV,1,1,03,10,45,120,40,23,30,200,35,26,60,300,42,1") +
           WithChecksum("GLGSV,1,1,02,70,40,010,33,80,35,020,31,1");
}

// The first 3D TPV report of gpsd's own JSON stream: lat, lon, altMSL.
bool GpsdFix(int port, double& lat, double& lon, double& alt) {
    const int fd = ConnectGpsd("gpsd://127.0.0.1:" + std::to_string(port), 2000);
    if (fd < 0) return false;
    const std::string watch = "?WATCH={\"enable\":true,\"json\":true}\n";
    if (send(fd, watch.data(), watch.size(), MSG_NOSIGNAL) < 0) return false;
    const std::regex tpv(
        "\"class\":\"TPV\".*\"mode\":3.*\"lat\":([-0-9.]+),\"lon\":([-0-9.]+).*\"altMSL\":([-0-9.]+)");
    std::string text;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < end) {
        pollfd p = {fd, POLLIN, 0};
        if (poll(&p, 1, 500) <= 0) continue;
        char buffer[4096];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        text.append(buffer, static_cast<size_t>(n));
        for (size_t eol; (eol = text.find('\n')) != std::string::npos; text.erase(0, eol + 1)) {
            std::smatch m;
            const std::string line = text.substr(0, eol);
            if (std::regex_search(line, m, tpv)) {
                lat = std::stod(m[1]);
                lon = std::stod(m[2]);
                alt = std::stod(m[3]);
                close(fd);
                return true;
            }
        }
    }
    close(fd);
    return false;
}

TEST(GpsdSource, RelaysTheReceiversSentencesAndReturnsAfterARestart) {
    test::PtyPair receiver;
    ASSERT_TRUE(receiver.Valid());
    std::atomic<bool> feeding{true};
    std::thread feeder([&] {
        for (int s = 0; feeding; ++s) {
            receiver.WriteAll(Epoch(s));
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    });
    struct Join {
        std::atomic<bool>& flag;
        std::thread& thread;
        ~Join() {
            flag = false;
            thread.join();
        }
    } join{feeding, feeder};

    const int tcpPort = FreePort();
    const std::string device = "gpsd://127.0.0.1:" + std::to_string(tcpPort);
    auto gpsd = std::make_unique<Gpsd>(tcpPort, receiver.SlavePath());
    SerialPort port;
    port.closePauseMs = 0;
    port.reopenIntervalMs = 300;
    const bool opened =
        gpsd->Spawned() && test::WaitUntil([&] { return port.Open(device, 4800, 0, 8, 0, true); },
                                           5000);
    if (!opened) GTEST_SKIP() << "gpsd cannot start here (is Debian's gpsd installed?)";

    SharedGpsFix fix;
    port.StartReader(fix);
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            const GpsFix f = fix.Snapshot();
            return f.rmcStatus == 'A' && f.ggaCount > 0 && f.gsvSatellitesInView == 5;
        },
        10000));
    EXPECT_EQ(port.Write("$PSRF103,00,00,01,01\r\n", 22), 0u);  // nothing goes through gpsd

    double lat = 0, lon = 0, alt = 0;
    ASSERT_TRUE(GpsdFix(tcpPort, lat, lon, alt));
    const GpsFix f = fix.Snapshot();
    EXPECT_NEAR(f.rmcLatitude, lat, 1e-8);
    EXPECT_NEAR(f.rmcLongitude, lon, 1e-8);
    EXPECT_NEAR(f.ggaAltitude, alt, 1e-3);
    EXPECT_EQ(f.gsaSatellitesInSolution[4], 80);

    gpsd.reset();
    ASSERT_TRUE(test::WaitUntil([&] { return port.ReceiverLost(); }, 3000));
    EXPECT_EQ(fix.Snapshot().rmcStatus, 'V');
    gpsd = std::make_unique<Gpsd>(tcpPort, receiver.SlavePath());
    const uint32_t before = fix.Snapshot().rmcCount;
    EXPECT_TRUE(test::WaitUntil(
        [&] { return !port.ReceiverLost() && fix.Snapshot().rmcCount > before + 2; }, 15000));
    EXPECT_TRUE(port.Close());
}

TEST(GpsdSource, DeviceNames) {
    struct Case {
        const char* device;
        bool ok;
        const char* host;
        int port;
    };
    const Case cases[] = {
        {"gpsd", true, "localhost", 2947},       {"gpsd://gps.lan", true, "gps.lan", 2947},
        {"gpsd://127.0.0.1:3000", true, "127.0.0.1", 3000},
        {"gpsd://[::1]:2948", true, "::1", 2948}, {"gpsd://::1", true, "::1", 2947},
        {"gpsd://host:", false, "", 0},           {"gpsd://host:99999", false, "", 0},
        {"gpsd://", false, "", 0},                {"/dev/ttyUSB0", false, "", 0},
    };
    for (const Case& c : cases) {
        GpsdAddress a;
        EXPECT_EQ(ParseGpsdAddress(c.device, a), c.ok) << c.device;
        if (c.ok) {
            EXPECT_EQ(a.host, c.host) << c.device;
            EXPECT_EQ(a.port, c.port) << c.device;
        }
    }
}

}  // namespace
}  // namespace trakomer

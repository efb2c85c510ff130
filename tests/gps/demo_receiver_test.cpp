// The demo receiver: a log replayed in real time through a pseudo-terminal
// into the ordinary serial link.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "cli/fix_json.h"
#include "gps/demo_receiver.h"
#include "gps/nmea_parser.h"
#include "gps/serial_port.h"
#include "tests/gps/pty_pair.h"

namespace trakomer {
namespace {

using test::WaitUntil;

constexpr const char* kThreeSeconds =
    "$GPRMC,120000.000,A,4807.038,N,01131.000,E,1.0,84.4,150309,,,A*58\r\n"
    "$GPGGA,120000.000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*57\r\n"
    "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39\r\n"
    "$GPRMC,120001.000,A,4807.039,N,01131.001,E,1.1,84.4,150309,,,A*58\r\n"
    "$GPGGA,120001.000,4807.039,N,01131.001,E,1,08,0.9,546.0,M,46.9,M,,*51\r\n"
    "$GPRMC,120002.000,A,4807.040,N,01131.002,E,1.2,84.4,150309,,,A*55\r\n"
    "$GPGGA,120002.000,4807.040,N,01131.002,E,1,08,0.9,547.1,M,46.9,M,,*5F\r\n"
    "$GPGSV,1,1,02,04,51,164,40,05,61,238,42*71\r\n";

// A log file in a temporary folder, removed at the end.
class TempLog {
public:
    explicit TempLog(const std::string& text) {
        char pattern[] = "/tmp/trakomer-demo-XXXXXX";
        dir_ = mkdtemp(pattern);
        path_ = dir_ + "/log.nmea";
        std::ofstream(path_, std::ios::binary) << text;
    }
    ~TempLog() { std::filesystem::remove_all(dir_); }
    const std::string& Path() const { return path_; }

private:
    std::string dir_;
    std::string path_;
};

std::string FixJson(const GpsFix& fix) {
    JsonWriter json;
    WriteFixJson(json, fix);
    return json.Text();
}

TEST(DemoDevice, NamesAndLogPaths) {
    struct Case {
        const char* device;
        bool demo;
        const char* log;
    };
    const Case cases[] = {
        {"demo", true, "default.nmea"},
        {"demo:/tmp/walk.nmea", true, "/tmp/walk.nmea"},
        {"demo:", false, ""},
        {"demonstration", false, ""},
        {"/dev/ttyUSB0", false, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsDemoDevice(c.device), c.demo) << c.device;
        if (c.demo) {
            EXPECT_EQ(DemoLogPath(c.device, "default.nmea"), c.log);
        }
    }
}

TEST(SplitIntoSeconds, GroupsByTimeAndRepeatedAddresses) {
    const auto seconds = SplitIntoSeconds(kThreeSeconds);
    ASSERT_EQ(seconds.size(), 3u);
    EXPECT_TRUE(seconds[0].starts_with("$GPRMC,120000"));
    EXPECT_NE(seconds[0].find("$GPGSA"), std::string::npos);
    EXPECT_TRUE(seconds[1].starts_with("$GPRMC,120001"));
    EXPECT_TRUE(seconds[2].ends_with("*71\r\n"));
    EXPECT_EQ(seconds[0] + seconds[1] + seconds[2], kThreeSeconds);

    // No time yet (receiver without fix): a repeated RMC starts a new second.
    const std::string noTime =
        "$GPRMC,,V,,,,,,,,,,N*53\n$GPGSA,A,1,,,,,,,,,,,,,,,*1E\n$GPRMC,,V,,,,,,,,,,N*53\nlast";
    const auto untimed = SplitIntoSeconds(noTime);
    ASSERT_EQ(untimed.size(), 2u);
    EXPECT_EQ(untimed[1], "$GPRMC,,V,,,,,,,,,,N*53\nlast");
    EXPECT_TRUE(SplitIntoSeconds("").empty());
}

TEST(DemoReceiver, DeliversTheLogInOrderAndPacedThroughTheSerialLink) {
    TempLog log(kThreeSeconds);
    SerialPort port;
    port.closePauseMs = 0;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(port.Open("demo:" + log.Path(), 4800, 0, 8, 0, true)) << port.errorText;
    ASSERT_NE(port.Demo(), nullptr);
    EXPECT_EQ(port.Demo()->SecondCount(), 3u);

    std::string received;
    std::chrono::milliseconds lastSecondAt{0};
    char buffer[kReadChunkSize];
    ASSERT_TRUE(WaitUntil(
        [&] {
            const size_t n = port.Read(buffer, sizeof buffer);
            if (n > 0 && received.find("120002") == std::string::npos) {
                received.append(buffer, n);
                if (received.find("120002") != std::string::npos) {
                    lastSecondAt = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start);
                }
            } else if (n > 0) {
                received.append(buffer, n);
            }
            return received.size() == std::string(kThreeSeconds).size();
        },
        5000));
    EXPECT_EQ(received, kThreeSeconds);
    EXPECT_GE(lastSecondAt.count(), 1900);
    EXPECT_LT(lastSecondAt.count(), 3500);
    EXPECT_TRUE(WaitUntil([&] { return port.Demo()->Finished(); }, 1000));
}

TEST(DemoReceiver, ReaderSeesTheSameFixAsParsingTheWholeLog) {
    TempLog log(kThreeSeconds);
    GpsFix expected;
    ProcessBytes(expected, kThreeSeconds, std::string(kThreeSeconds).size());

    SerialPort port;
    port.closePauseMs = 0;
    ASSERT_TRUE(port.Open("demo:" + log.Path(), 4800, 0, 8, 0, true)) << port.errorText;
    SharedGpsFix fix;
    port.StartReader(fix);
    ASSERT_TRUE(WaitUntil([&] { return fix.SentenceCount() == expected.sentenceCount; }, 5000));
    EXPECT_EQ(FixJson(fix.Snapshot()), FixJson(expected));
    EXPECT_TRUE(port.Close());
    EXPECT_EQ(port.Demo(), nullptr);
}

TEST(DemoReceiver, SlowBaudRatePacesTheBytes) {
    // 300 bytes at 2400 baud (240 bytes a second) take over a second.
    std::string line = "$GPTXT," + std::string(290, 'A') + "\r\n";
    TempLog log(line);
    SerialPort port;
    port.closePauseMs = 0;
    ASSERT_TRUE(port.Open("demo:" + log.Path(), 2400, 0, 8, 0, true));
    const auto start = std::chrono::steady_clock::now();
    size_t total = 0;
    char buffer[kReadChunkSize];
    ASSERT_TRUE(WaitUntil(
        [&] {
            total += port.Read(buffer, sizeof buffer);
            return total == line.size();
        },
        5000));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
}

TEST(DemoReceiver, MissingLogIsNotFound) {
    SerialPort port;
    port.closePauseMs = 0;
    EXPECT_FALSE(port.Open("demo:/nonexistent/log.nmea", 4800, 0, 8, 0, true));
    EXPECT_EQ(port.errorText,
              "Communication Port (demo:/nonexistent/log.nmea) not found!\n"
              "The communications port does not exist.");
    EXPECT_EQ(port.Demo(), nullptr);
}

TEST(DemoReceiver, CloseDuringReplayIsPrompt) {
    TempLog log(std::string(kThreeSeconds) + kThreeSeconds);
    SerialPort port;
    port.closePauseMs = 0;
    ASSERT_TRUE(port.Open("demo:" + log.Path(), 4800, 0, 8, 0, true));
    SharedGpsFix fix;
    port.StartReader(fix);
    ASSERT_TRUE(WaitUntil([&] { return fix.SentenceCount() > 0; }, 2000));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(port.Close());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
}

}  // namespace
}  // namespace trakomer

// A modem's GNSS as the receiver, read through a stand-in ModemManager on a
// private bus: the same fixes as the same log through a pseudo-terminal,
// the sources given back on close, a reconnect after ModemManager
// restarts, and a message for each failure.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "gps/serial_port.h"
#include "nmea_test_util.h"
#include "pty_pair.h"
#include "tests/gps/fake_modem_manager.h"
#include "tests/upload/private_bus.h"

namespace trakomer {
namespace {

using test::FakeModemManager;
using test::FakeModemOptions;

// The first seconds of the demo log, one sentence a line.
std::vector<std::string> DemoSentences(size_t count) {
    std::ifstream in(DefaultDemoLog());
    std::vector<std::string> lines;
    for (std::string line; lines.size() < count && std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// Parses what a port reads and keeps every fix an RMC completes.
class FixLog : public SentenceObserver {
public:
    using Fix = std::tuple<int, char, double, double, double, double, int>;
    void Feed(const char* bytes, size_t length) {
        std::lock_guard lock(mutex_);
        ProcessBytes(fix_, bytes, length, this);
    }
    void OnSentence(const GpsFix& f, SentenceKind kind) override {
        if (kind == SentenceKind::RMC) {
            fixes_.emplace_back(f.rmcHour * 3600 + f.rmcMinute * 60 + f.rmcSecond, f.rmcStatus,
                                f.rmcLatitude, f.rmcLongitude, f.rmcSpeedKnots, f.ggaAltitude,
                                f.ggaSatellites);
        }
    }
    std::vector<Fix> Fixes() {
        std::lock_guard lock(mutex_);
        return fixes_;
    }

private:
    std::mutex mutex_;
    GpsFix fix_;
    std::vector<Fix> fixes_;
};

class ModemSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(bus_.Address().empty());
        setenv("DBUS_SYSTEM_BUS_ADDRESS", bus_.Address().c_str(), 1);
        port_.closePauseMs = 0;
    }
    void TearDown() override { unsetenv("DBUS_SYSTEM_BUS_ADDRESS"); }
    void Read(SerialPort& port, FixLog& log) {
        port.StartReader([&log](const char* bytes, size_t length) { log.Feed(bytes, length); });
    }

    upload::testing::PrivateBus bus_;
    SerialPort port_;
};

TEST_F(ModemSourceTest, GivesTheFixesOfAPseudoTerminalAndRestoresTheSources) {
    const std::vector<std::string> sentences = DemoSentences(300);
    std::string bytes;
    for (const std::string& s : sentences) bytes += s + "\r\n";
    FixLog serialLog;
    test::PtyPair receiver;
    SerialPort serial;
    serial.closePauseMs = 0;
    ASSERT_TRUE(serial.Open(receiver.SlavePath(), 115200, 0, 8, 0, true));
    Read(serial, serialLog);
    ASSERT_TRUE(receiver.WriteAll(bytes));
    ASSERT_TRUE(test::WaitUntil([&] { return serialLog.Fixes().size() == 50; }, 5000));

    FakeModemManager fake(bus_.Address(), {}, sentences);
    ASSERT_TRUE(fake.Ready());
    ASSERT_TRUE(port_.Open("modem", 0, 0, 8, 0, true)) << port_.errorText;
    EXPECT_EQ(port_.rateText, "The modem's GNSS reports every new sentence.");
    FixLog modemLog;
    Read(port_, modemLog);
    ASSERT_TRUE(test::WaitUntil([&] { return modemLog.Fixes().size() == 50; }, 5000));
    EXPECT_EQ(modemLog.Fixes(), serialLog.Fixes());
    EXPECT_EQ(std::get<1>(modemLog.Fixes().back()), 'A');

    EXPECT_TRUE(port_.Close());
    EXPECT_EQ(fake.Enabled(), 1u);
    const std::vector<std::pair<uint32_t, bool>> calls = {{5u, true}, {1u, false}};
    EXPECT_EQ(fake.SetupCalls(), calls);
}

TEST_F(ModemSourceTest, ComesBackAfterModemManagerRestarts) {
    const std::vector<std::string> sentences = DemoSentences(120);
    auto fake = std::make_unique<FakeModemManager>(bus_.Address(), FakeModemOptions{}, sentences);
    port_.reopenIntervalMs = 100;
    ASSERT_TRUE(port_.Open("modem:0", 0, 0, 8, 0, true)) << port_.errorText;
    SharedGpsFix fix;
    port_.StartReader(fix);
    ASSERT_TRUE(test::WaitUntil([&] { return fake->Replayed(); }, 5000));
    ASSERT_TRUE(test::WaitUntil([&] { return fix.Snapshot().rmcCount >= 20; }, 5000));
    fake.reset();
    ASSERT_TRUE(test::WaitUntil([&] { return port_.ReceiverLost(); }, 3000));
    EXPECT_EQ(fix.Snapshot().rmcStatus, 'V');
    fake = std::make_unique<FakeModemManager>(bus_.Address(), FakeModemOptions{}, sentences);
    EXPECT_TRUE(test::WaitUntil(
        [&] { return !port_.ReceiverLost() && fix.Snapshot().rmcCount >= 40; }, 5000));
}

TEST_F(ModemSourceTest, SaysWhatFailedAndWhatToDo) {
    struct Case {
        const char* name;
        bool running;
        FakeModemOptions options;
        const char* device;
        const char* firstLine;
    };
    FakeModemOptions noModem, noGnss, refused, locked;
    noModem.modem = false;
    noGnss.capabilities = 1;
    refused.setupError = "org.freedesktop.ModemManager1.Error.Core.Unauthorized";
    locked.location = false;
    locked.state = 2;
    const Case cases[] = {
        {"not running", false, {}, "modem", "ModemManager is not running!"},
        {"no modem", true, noModem, "modem", "No modem found!"},
        {"no such modem", true, {}, "modem:3", "Modem 3 not found!"},
        {"no gnss", true, noGnss, "modem", "No GNSS in the modem!"},
        {"polkit refused", true, refused, "modem", "Access Denied!"},
        {"sim locked", true, locked, "modem", "SIM locked!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<FakeModemManager> fake;
        if (c.running) fake = std::make_unique<FakeModemManager>(bus_.Address(), c.options);
        EXPECT_FALSE(port_.Open(c.device, 0, 0, 8, 0, true));
        EXPECT_TRUE(port_.openFailed);
        EXPECT_EQ(port_.errorText.substr(0, port_.errorText.find('\n')), c.firstLine);
    }
    EXPECT_NE(ModemFailureText(ModemFailure::Refused, "").find(
                  "org.freedesktop.ModemManager1.Device.Control"),
              std::string::npos);
}

TEST_F(ModemSourceTest, GoesOnAtTheModemsRateWhereAFasterOneIsRefused) {
    FakeModemOptions options;
    options.rateError = "org.freedesktop.ModemManager1.Error.Core.Unauthorized";
    FakeModemManager fake(bus_.Address(), options);
    ASSERT_TRUE(port_.Open("modem", 0, 0, 8, 0, true)) << port_.errorText;
    EXPECT_NE(port_.rateText.find("rate of 5 s is in effect"), std::string::npos) << port_.rateText;
}

TEST(ModemDevice, Names) {
    for (const char* yes : {"modem", "modem:0", "modem:12"}) EXPECT_TRUE(IsModemDevice(yes)) << yes;
    for (const char* no : {"modem:", "modem:x", "modems", "/dev/modem"}) {
        EXPECT_FALSE(IsModemDevice(no)) << no;
    }
}

}  // namespace
}  // namespace trakomer

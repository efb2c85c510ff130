// Ordering of discovered ports, and discovery on this machine.

#include <gtest/gtest.h>

#include "gps/port_discovery.h"
#include "gps/port_scan.h"
#include "gps/source_list.h"

namespace trakomer {
namespace {

TEST(BuildPortList, WiredPortsFirstThenBluetoothInNaturalOrder) {
    const std::vector<TtyDevice> devices = {
        {"/dev/rfcomm1", "rfcomm1", false, "", ""},
        {"/dev/ttyUSB10", "ttyUSB10", true, "FTDI", "FT232R USB UART"},
        {"/dev/tty0", "tty0", false, "", ""},
        {"/dev/ttyACM0", "ttyACM0", true, "u-blox AG", ""},
        {"/dev/ttyUSB2", "ttyUSB2", true, "", "GPS Mouse"},
        {"/dev/ptmx", "ptmx", false, "", ""},
        {"/dev/ttyS0", "ttyS0", true, "", ""},
        {"/dev/rfcomm0", "rfcomm0", false, "", ""},
        {"", "ttyX", true, "no", "node"},
    };
    const PortList expected = {
        {"/dev/ttyACM0", "u-blox AG"},
        {"/dev/ttyS0", ""},
        {"/dev/ttyUSB2", "GPS Mouse"},
        {"/dev/ttyUSB10", "FTDI FT232R USB UART"},
        {"/dev/rfcomm0", "Bluetooth"},
        {"/dev/rfcomm1", "Bluetooth"},
    };
    const PortList list = BuildPortList(devices);
    ASSERT_EQ(list.size(), expected.size());
    for (size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i].portName, expected[i].portName) << i;
        EXPECT_EQ(list[i].friendlyName, expected[i].friendlyName) << i;
    }
}

TEST(LegacyUartAnswers, OnlyAKnownChipType) {
    const struct {
        const char* type;
        bool answers;
    } cases[] = {{nullptr, false}, {"", false}, {"0\n", false}, {"4\n", true}, {"x", false}};
    for (const auto& c : cases) EXPECT_EQ(LegacyUartAnswers(c.type), c.answers) << c.type;
}

TEST(BuildSourceList, SerialPortsThenGpsdModemsWithGnssAndTheDemo) {
    ModemEntry eg25{"/org/freedesktop/ModemManager1/Modem/0", 0, "EG25", true, 4 | 1};
    ModemEntry cellOnly{"/org/freedesktop/ModemManager1/Modem/1", 1, "Cell", true, 1};
    ModemEntry second = eg25;
    second.index = 3;
    second.model = "SIM7600";
    struct Case {
        bool gpsd;
        std::vector<ModemEntry> modems;
        std::vector<std::string> lines, names, kinds;
    } cases[] = {
        {false, {}, {"/dev/ttyUSB0 u-blox", "Demo receiver"}, {"/dev/ttyUSB0", "demo"},
         {"serial", "demo"}},
        {true, {eg25, cellOnly, second},
         {"/dev/ttyUSB0 u-blox", "gpsd", "Modem GNSS (EG25)", "Modem GNSS (SIM7600)", "Demo receiver"},
         {"/dev/ttyUSB0", "gpsd", "modem:0", "modem:3", "demo"},
         {"serial", "gpsd", "modem", "modem", "demo"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines, names, kinds;
        for (const PortEntry& e : BuildSourceList({{"/dev/ttyUSB0", "u-blox"}}, c.gpsd, c.modems)) {
            lines.push_back(PortLineText(e));
            names.push_back(e.portName);
            kinds.push_back(e.kind);
        }
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(kinds, c.kinds);
    }
}

TEST(EnumeratePorts, ListsNoVirtualTerminalsOrPseudoTerminals) {
    for (const PortEntry& entry : EnumeratePorts()) {
        EXPECT_FALSE(entry.portName.starts_with("/dev/pts/")) << entry.portName;
        EXPECT_NE(entry.portName, "/dev/ptmx");
        EXPECT_NE(entry.portName, "/dev/console");
        EXPECT_NE(entry.portName, "/dev/tty");
        EXPECT_NE(entry.portName, "/dev/tty1");
    }
}

}  // namespace
}  // namespace trakomer

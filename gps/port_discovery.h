#pragma once
// The serial ports present on the machine, as the GPS preference page and
// the scan list them: wired ports first, then Bluetooth serial ports.

#include <string>
#include <vector>

namespace trakomer {

// What kind of source a port list entry is.
inline constexpr const char* kSerialKind = "serial";
inline constexpr const char* kGpsdKind = "gpsd";
inline constexpr const char* kModemKind = "modem";
inline constexpr const char* kDemoKind = "demo";

struct PortEntry {
    std::string portName;      // the device path, e.g. /dev/ttyUSB0
    std::string friendlyName;  // vendor and model, "Bluetooth", or empty
    std::string kind = kSerialKind;
};

using PortList = std::vector<PortEntry>;

inline constexpr const char* kBluetoothFriendlyName = "Bluetooth";

// What discovery learns of one tty device.
struct TtyDevice {
    std::string devNode;    // /dev/ttyUSB0
    std::string sysName;    // ttyUSB0
    bool hasHardware = false;  // backed by a device (not a virtual console,
                               // pseudo-terminal or absent legacy UART)
    std::string vendor;
    std::string model;
};

// Orders discovered devices into the port list: wired ports with hardware
// first (friendly name "vendor model"), then /dev/rfcomm* ports (friendly
// name "Bluetooth"), each group by device path in natural order. Virtual
// terminals and pseudo-terminals are left out.
PortList BuildPortList(const std::vector<TtyDevice>& devices);

// Whether a legacy UART's chip answered, from the serial core's "type"
// attribute (0 is an unknown port: nothing answered; null: no attribute).
bool LegacyUartAnswers(const char* typeAttribute);

// The tty devices udev knows of.
std::vector<TtyDevice> DiscoverTtyDevices();

// DiscoverTtyDevices ordered by BuildPortList.
PortList EnumeratePorts();

}  // namespace trakomer

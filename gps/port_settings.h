#pragma once
// The settings that say which port the receiver is on and how to talk to it.

#include <string>

namespace trakomer {

// Parity values as stored in the settings.
enum : int { kParityNone = 0, kParityOdd = 1, kParityEven = 2, kParityMark = 3, kParitySpace = 4 };
// Stop-bit values as stored in the settings.
enum : int { kOneStopBit = 0, kTwoStopBits = 2 };

struct PortSettings {
    int commPort = 2;          // port n means /dev/ttyS<n-1> when commDevice is empty
    int baudRate = 4800;
    int parity = kParityNone;  // 0 none, 1 odd, 2 even, 3 mark, 4 space
    int dataBits = 8;          // 5..8
    int stopBits = kOneStopBit;
    std::string commDevice;    // device path; wins over commPort when set
};

// The device path the settings name.
std::string DevicePathFor(const PortSettings& settings);

// The classic port number of /dev/ttyS<n-1> (n), or 0 for any other path.
int PortNumberOfDevice(const std::string& devicePath);

}  // namespace trakomer

#pragma once
// gpsd as a receiver: a TCP connection to a running gpsd that relays the
// NMEA sentences of the receivers it owns ("?WATCH" in raw NMEA mode).

#include <string>
#include <string_view>

namespace trakomer {

// gpsd's port when the device names none.
constexpr int kGpsdDefaultPort = 2947;

// The request that makes gpsd relay its receivers' sentences unchanged.
inline constexpr std::string_view kGpsdWatchNmea = "?WATCH={\"enable\":true,\"nmea\":true}\n";

// True for "gpsd" (this machine, port 2947) and "gpsd://HOST[:PORT]".
bool IsGpsdDevice(std::string_view device);

struct GpsdAddress {
    std::string host;
    int port = kGpsdDefaultPort;
};

// The host and port a gpsd device names; false when it names none.
bool ParseGpsdAddress(std::string_view device, GpsdAddress& address);

// Connects to the gpsd the device names, waiting at most timeoutMs, and
// asks it for raw NMEA. A non-blocking socket, or -errno.
int ConnectGpsd(std::string_view device, int timeoutMs);

}  // namespace trakomer

#pragma once
// The GPS side of the receiver preference page: its choices, the scan that
// tries every port at every baud rate until NMEA sentences are recognised,
// and storing the page's choices (the window then reopens the receiver).

#include <array>
#include <functional>
#include <string>

#include "gps/port_discovery.h"
#include "gps/port_settings.h"
#include "gps/serial_port.h"
#include "gps/shared_fix.h"

namespace trakomer {

// The baud rates the page offers, in list order.
inline constexpr std::array<int, 6> kBaudRates = {2400, 4800, 9600, 19200, 38400, 57600};
inline constexpr std::array<int, 5> kParities = {kParityNone, kParityOdd, kParityEven,
                                                 kParityMark, kParitySpace};
inline constexpr std::array<int, 4> kDataBits = {5, 6, 7, 8};
inline constexpr std::array<int, 2> kStopBits = {kOneStopBit, kTwoStopBits};

inline constexpr const char* kScanSuccessText =
    "Success!\nGPS found on above settings.\nScan complete.";
inline constexpr const char* kNoOutputText = "No output found";
inline constexpr const char* kNotRecognisedText = "Output not recognised.";
inline constexpr const char* kNoValidSettingsText = "No valid settings found!";

// The page's choices, as list indexes (-1: nothing selected).
struct PageChoices {
    int portLine = -1;
    int baudIndex = -1;
    int parityIndex = -1;
    int dataBitsIndex = -1;
    int stopBitsIndex = -1;
    bool enableGga = false;
};

// One line of the port list as the page shows it: "%s %s".
std::string PortLineText(const PortEntry& entry);

// The choices that show the current settings: the line of the configured
// device, the settings' values in the other lists.
PageChoices InitPage(const PortList& ports, const PortSettings& settings, bool enableGga);

// What the scan needs from the page and the main window.
class ScanPage {
public:
    virtual ~ScanPage() = default;
    virtual void EnableScanButton(bool enabled) = 0;
    virtual int SelectedPortLine() const = 0;
    virtual int SelectedBaudIndex() const = 0;
    virtual void SelectPortLine(int line) = 0;
    virtual void SelectBaudIndex(int index) = 0;
    virtual void SetStatus(const std::string& text) = 0;
    virtual void AppendStatus(const std::string& text) = 0;
    // Lets pending window messages run so the page repaints.
    virtual void ProcessPendingMessages() = 0;
    // Stops the main window's point tick for the duration of the scan.
    virtual void StopPointTick() = 0;
};

struct ScanOptions {
    int settleMs = 500;  // wait after each open before the one read
    std::function<void(int ms)> sleep;  // defaults to a real sleep
    // Asked before each try; true ends the scan as if nothing was found.
    std::function<bool()> stopRequested;
};

struct ScanResult {
    bool found = false;
    int portLine = -1;
    int baudRate = 0;
};

// Closes the port and tries every listed port at 57600 down to 2400 baud
// with the settings' parity, data bits and stop bits. On success the port
// stays open at the found rate and the page shows it selected; otherwise
// the page's selections return to what they were. A port the user may not
// open is tried once, and why stays in the final status.
ScanResult ScanPorts(ScanPage& page, const PortList& ports, const PortSettings& settings,
                     SerialPort& port, SharedGpsFix& fix, const ScanOptions& options = {});

// Stores the page's choices in the settings. A port line that names a
// classic port also sets the port number; no selected line keeps the
// configured device.
void StoreChoices(const PageChoices& choices, const PortList& ports, PortSettings& settings,
                  bool& enableGga);

}  // namespace trakomer

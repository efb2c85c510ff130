#include "gps/port_scan.h"

#include <chrono>
#include <thread>

namespace trakomer {

namespace {

// Bytes the scan reads once per try.
constexpr size_t kScanReadSize = 255;
// Longest error text the status shows.
constexpr size_t kMaxErrorTextLength = 220;

template <size_t N>
int IndexOf(const std::array<int, N>& values, int value) {
    for (size_t i = 0; i < N; ++i) {
        if (values[i] == value) return static_cast<int>(i);
    }
    return -1;
}

template <size_t N>
int ValueAt(const std::array<int, N>& values, int index, int fallback) {
    return index >= 0 && static_cast<size_t>(index) < N ? values[index] : fallback;
}

void Sleep(const ScanOptions& options, int ms) {
    if (options.sleep) {
        options.sleep(ms);
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
}

std::string ScanningText(const std::string& portName, int baudRate) {
    return "Scanning " + portName + " @ " + std::to_string(baudRate) + "\n";
}

enum class TryOutcome { Found, NoOutput, NotRecognised, OpenFailed };

TryOutcome TryPort(const std::string& device, int baudRate, const PortSettings& settings,
                   SerialPort& port, SharedGpsFix& fix, uint32_t count0,
                   const ScanOptions& options) {
    port.Close();
    if (!port.Open(device, baudRate, settings.parity, settings.dataBits, settings.stopBits,
                   false)) {
        return TryOutcome::OpenFailed;
    }
    Sleep(options, options.settleMs);
    char buffer[kScanReadSize];
    const size_t n = port.Read(buffer, sizeof buffer);
    if (n == 0) return TryOutcome::NoOutput;
    fix.Feed(buffer, n);
    return fix.SentenceCount() > count0 ? TryOutcome::Found : TryOutcome::NotRecognised;
}

}  // namespace

std::string PortLineText(const PortEntry& entry) {
    if (entry.kind != kSerialKind) return entry.friendlyName;
    return entry.portName + " " + entry.friendlyName;
}

PageChoices InitPage(const PortList& ports, const PortSettings& settings, bool enableGga) {
    PageChoices choices;
    const std::string device = DevicePathFor(settings);
    for (size_t i = 0; i < ports.size(); ++i) {
        if (ports[i].portName == device) {
            choices.portLine = static_cast<int>(i);
            break;
        }
    }
    choices.baudIndex = IndexOf(kBaudRates, settings.baudRate);
    choices.parityIndex = IndexOf(kParities, settings.parity);
    choices.dataBitsIndex = IndexOf(kDataBits, settings.dataBits);
    choices.stopBitsIndex = IndexOf(kStopBits, settings.stopBits);
    choices.enableGga = enableGga;
    return choices;
}

ScanResult ScanPorts(ScanPage& page, const PortList& ports, const PortSettings& settings,
                     SerialPort& port, SharedGpsFix& fix, const ScanOptions& options) {
    page.EnableScanButton(false);
    const int rememberedLine = page.SelectedPortLine();
    const int rememberedBaud = page.SelectedBaudIndex();
    page.StopPointTick();
    port.Close();
    const uint32_t count0 = fix.SentenceCount();

    ScanResult result;
    std::string refusal;  // the first port the user may not open
    const auto stopped = [&options] { return options.stopRequested && options.stopRequested(); };
    for (size_t line = 0; line < ports.size() && !result.found && !stopped(); ++line) {
        if (ports[line].kind != kSerialKind) continue;  // no baud rate to find
        const std::string& device = ports[line].portName;
        page.SelectPortLine(static_cast<int>(line));
        for (int b = static_cast<int>(kBaudRates.size()) - 1; b >= 0; --b) {
            if (stopped()) break;
            const int baud = kBaudRates[b];
            page.SelectBaudIndex(b);
            page.SetStatus(ScanningText(device, baud));
            page.ProcessPendingMessages();
            switch (TryPort(device, baud, settings, port, fix, count0, options)) {
                case TryOutcome::Found:
                    page.SetStatus(kScanSuccessText);
                    result = {true, static_cast<int>(line), baud};
                    break;
                case TryOutcome::NoOutput: page.AppendStatus(kNoOutputText); break;
                case TryOutcome::NotRecognised: page.AppendStatus(kNotRecognisedText); break;
                case TryOutcome::OpenFailed:
                    page.AppendStatus(port.errorText.substr(0, kMaxErrorTextLength));
                    break;
            }
            if (result.found) break;
            page.ProcessPendingMessages();
            port.Close();
            // A device the user may not open refuses every baud rate alike.
            if (port.openFailed && AccessRefused(port.openError)) {
                if (refusal.empty()) refusal = port.errorText.substr(0, kMaxErrorTextLength);
                break;
            }
        }
    }
    if (!result.found) {
        page.SetStatus(kNoValidSettingsText);
        // Permissions are the usual first problem: the way out stays shown.
        if (!refusal.empty()) page.AppendStatus("\n" + refusal);
        page.SelectPortLine(rememberedLine);
        page.SelectBaudIndex(rememberedBaud);
    }
    page.EnableScanButton(true);
    return result;
}

void StoreChoices(const PageChoices& choices, const PortList& ports, PortSettings& settings,
                  bool& enableGga) {
    if (choices.portLine >= 0 && static_cast<size_t>(choices.portLine) < ports.size()) {
        settings.commDevice = ports[choices.portLine].portName;
        const int number = PortNumberOfDevice(settings.commDevice);
        if (number > 0) settings.commPort = number;
    }
    settings.baudRate = ValueAt(kBaudRates, choices.baudIndex, settings.baudRate);
    settings.parity = ValueAt(kParities, choices.parityIndex, settings.parity);
    settings.dataBits = ValueAt(kDataBits, choices.dataBitsIndex, settings.dataBits);
    settings.stopBits = ValueAt(kStopBits, choices.stopBitsIndex, settings.stopBits);
    enableGga = choices.enableGga;
}

}  // namespace trakomer

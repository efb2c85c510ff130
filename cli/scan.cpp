// trakomer-cli scan: tries every discovered port (and any given device) at
// every offered baud rate until a receiver's sentences are recognised.
// Status texts go to standard error as they come, the result to standard
// output as JSON.

#include <cstdio>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "core/settings_file.h"
#include "gps/port_scan.h"
#include "gps/settings_port.h"
#include "platform/paths.h"

namespace trakomer::cli {
namespace {

const char kScanUsage[] = "Usage: trakomer-cli scan [--home DIR] [--device PATH ...]\n";

// The page as a console: selections are remembered, status texts printed.
class ConsolePage : public ScanPage {
public:
    void EnableScanButton(bool) override {}
    int SelectedPortLine() const override { return portLine_; }
    int SelectedBaudIndex() const override { return baudIndex_; }
    void SelectPortLine(int line) override { portLine_ = line; }
    void SelectBaudIndex(int index) override { baudIndex_ = index; }
    void SetStatus(const std::string& text) override {
        status_ = text;
        Print(text);
    }
    void AppendStatus(const std::string& text) override {
        status_ += text;
        Print(text);
    }
    void ProcessPendingMessages() override {}
    void StopPointTick() override {}
    const std::string& Status() const { return status_; }

private:
    static void Print(const std::string& text) {
        std::fprintf(stderr, "%s%s", text.c_str(), text.ends_with('\n') ? "" : "\n");
    }
    int portLine_ = -1;
    int baudIndex_ = -1;
    std::string status_;
};

}  // namespace

int RunScan(const Args& args) {
    std::string home;
    std::vector<std::string> devices;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help") {
            std::printf("%s", kScanUsage);
            return kExitOk;
        }
        if (a != "--home" && a != "--device") return UsageError("scan: unknown argument '" + a + "'");
        if (i + 1 >= args.size()) return UsageError("scan: " + a + " needs a value");
        (a == "--home" ? home : devices.emplace_back()) = args[++i];
    }

    const ProgramPaths paths = ResolvePaths(home, ProcessEnvironment());
    Settings settings = DefaultSettings(paths.documentsFolder);
    LoadSettings(paths.SettingsFile(), settings);
    const PortSettings portSettings = PortSettingsFrom(settings);

    // Named devices are scanned alone; without any, every discovered port.
    PortList ports;
    if (devices.empty()) ports = EnumeratePorts();
    for (const std::string& device : devices) ports.push_back({device, ""});
    ConsolePage page;
    page.SelectPortLine(InitPage(ports, portSettings, false).portLine);
    page.SelectBaudIndex(InitPage(ports, portSettings, false).baudIndex);
    SerialPort port;
    SharedGpsFix fix;
    const ScanResult result = ScanPorts(page, ports, portSettings, port, fix);
    port.closePauseMs = 0;
    port.Close();

    JsonWriter json;
    json.BeginObject().Field("found", result.found);
    if (result.found) {
        json.Field("portName", ports[result.portLine].portName)
            .Field("friendlyName", ports[result.portLine].friendlyName)
            .Field("baudRate", result.baudRate);
    } else {
        json.Key("portName").Null().Key("friendlyName").Null().Key("baudRate").Null();
    }
    json.Field("status", page.Status()).EndObject();
    std::printf("%s\n", json.Text().c_str());
    return result.found ? kExitOk : kExitFailure;
}

}  // namespace trakomer::cli

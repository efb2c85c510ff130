#pragma once
// The GNSS receiver inside a cellular modem, read through ModemManager on
// the system bus (the one DBUS_SYSTEM_BUS_ADDRESS names when set). The
// modem's Location property holds the latest NMEA sentence of each kind;
// every new sentence is written once, CRLF-terminated, into a pipe whose
// read end the serial link reads like a port, so the sentences reach the
// same parser as a serial receiver's.

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "gps/wake_event.h"

struct sd_bus;
struct sd_bus_message;
struct sd_bus_slot;

namespace trakomer {

// "modem" (the first modem with GNSS) or "modem:N" (ModemManager's modem N).
bool IsModemDevice(std::string_view device);

enum class ModemFailure { None, NotRunning, NoModem, NoGnss, Refused, SimLocked, Other };

// What a failure means for the user and what to do about it.
std::string ModemFailureText(ModemFailure failure, const std::string& detail);

struct ModemEntry {
    std::string path;  // the modem's object path
    int index = -1;    // N of modem:N
    std::string model;
    bool hasLocation = false;
    uint32_t capabilities = 0;
    uint32_t enabled = 0;
    bool signalsLocation = false;
    int32_t state = 0;
};

// The modems ModemManager lists; empty when it does not run.
std::vector<ModemEntry> ListModems();

// True when the modem offers raw NMEA.
bool HasGnssNmea(const ModemEntry& modem);

class ModemLink {
public:
    ModemLink() = default;
    ~ModemLink();
    ModemLink(const ModemLink&) = delete;
    ModemLink& operator=(const ModemLink&) = delete;

    // Turns the modem's NMEA source on and starts relaying its sentences.
    // The non-blocking read end of the relay (owned by the caller), or -1
    // with failure and errorText set. The read end hangs up when the modem
    // or ModemManager goes away.
    int Open(std::string_view device);

    // Stops relaying and gives the modem back the sources it had enabled.
    void Close();

    ModemFailure failure = ModemFailure::None;
    std::string errorText;
    // Which refresh rate is in effect.
    std::string rateText;
    std::string model;

private:
    ModemFailure Start(std::string_view device, std::string& detail);
    bool Listen();  // to location updates and to the modem going away
    void Pump();
    void Relay(std::string_view cache);
    friend struct ModemSignals;  // the bus's signal handlers

    sd_bus* bus_ = nullptr;
    sd_bus_slot* slots_[3] = {};
    std::string path_;
    uint32_t enabledBefore_ = 0;
    bool signalsBefore_ = false;
    bool setUp_ = false;
    bool gone_ = false;
    int writeFd_ = -1;
    std::set<std::string> lastCache_;
    WakeEvent wake_;
    std::thread thread_;
};

}  // namespace trakomer

#include "upload/network_manager.h"

#include "platform/dbus_bus.h"

#include <systemd/sd-bus.h>

#include <chrono>
#include <cstring>

namespace trakomer::upload {

namespace {

constexpr const char* kService = "org.freedesktop.NetworkManager";
constexpr const char* kObject = "/org/freedesktop/NetworkManager";
constexpr const char* kInterface = "org.freedesktop.NetworkManager";
// NetworkManager's first connected state: 50 local, 60 site and 70 global
// connectivity all reach a server on the local network.
constexpr uint32_t kStateConnectedLocal = 50;
constexpr uint64_t kCallTimeoutUs = 5'000'000;
constexpr int kPollIntervalMs = 250;

// The service is not there: no NetworkManager runs on this machine.
bool ServiceMissing(const sd_bus_error& error) {
    return sd_bus_error_has_name(&error, SD_BUS_ERROR_SERVICE_UNKNOWN) ||
           sd_bus_error_has_name(&error, SD_BUS_ERROR_NAME_HAS_NO_OWNER);
}

// NetworkManager answers on the system bus (or the bus at `address`);
// bringing a connection up may take it a few seconds.
sd_bus* OpenBus(const std::string& address) {
    sd_bus* bus = trakomer::OpenBus(BusKind::System, address);
    if (bus != nullptr) sd_bus_set_method_call_timeout(bus, kCallTimeoutUs);
    return bus;
}

}  // namespace

NetworkManagerConnection::NetworkManagerConnection(const std::string& busAddress, Pump pump)
    : bus_(OpenBus(busAddress)), pump_(std::move(pump)) {}

NetworkManagerConnection::~NetworkManagerConnection() {
    sd_bus_flush_close_unref(bus_);
}

uint32_t NetworkManagerConnection::Status() {
    if (bus_ == nullptr || !ServiceRunning(bus_, kService)) return kNetConnected;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    uint32_t state = 0;
    const int result = sd_bus_get_property_trivial(bus_, kService, kObject, kInterface, "State",
                                                   &error, 'u', &state);
    const bool missing = result < 0 && ServiceMissing(error);
    sd_bus_error_free(&error);
    if (missing) return kNetConnected;
    return result >= 0 && state >= kStateConnectedLocal ? kNetConnected : kNetDisconnected;
}

uint32_t NetworkManagerConnection::Request(int timeoutMs) {
    if (Status() == kNetConnected) return kNetConnected;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    // Fails harmlessly when networking is enabled already.
    sd_bus_call_method(bus_, kService, kObject, kInterface, "Enable", &error, nullptr, "b", 1);
    sd_bus_error_free(&error);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        PauseWithPump(kPollIntervalMs, pump_);
        if (Status() == kNetConnected) return kNetConnected;
    }
    return kNetDisconnected;
}

}  // namespace trakomer::upload

#include "upload/network_manager.h"

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

// Whether NetworkManager runs now. Asked first so that a status query
// never starts an installed but stopped service through bus activation.
bool ServiceRunning(sd_bus* bus) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    int running = 0;
    if (sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                           "org.freedesktop.DBus", "NameHasOwner", &error, &reply, "s",
                           kService) < 0 ||
        sd_bus_message_read(reply, "b", &running) < 0) {
        running = 0;
    }
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    return running != 0;
}

// The service is not there: no NetworkManager runs on this machine.
bool ServiceMissing(const sd_bus_error& error) {
    return sd_bus_error_has_name(&error, SD_BUS_ERROR_SERVICE_UNKNOWN) ||
           sd_bus_error_has_name(&error, SD_BUS_ERROR_NAME_HAS_NO_OWNER);
}

sd_bus* OpenBus(const std::string& address) {
    sd_bus* bus = nullptr;
    int result = 0;
    if (address.empty()) {
        result = sd_bus_open_system(&bus);
    } else {
        result = sd_bus_new(&bus);
        if (result >= 0) result = sd_bus_set_address(bus, address.c_str());
        if (result >= 0) result = sd_bus_set_bus_client(bus, 1);
        if (result >= 0) result = sd_bus_start(bus);
    }
    if (result < 0) {
        sd_bus_unref(bus);
        return nullptr;
    }
    sd_bus_set_method_call_timeout(bus, kCallTimeoutUs);
    return bus;
}

}  // namespace

NetworkManagerConnection::NetworkManagerConnection(const std::string& busAddress, Pump pump)
    : bus_(OpenBus(busAddress)), pump_(std::move(pump)) {}

NetworkManagerConnection::~NetworkManagerConnection() {
    sd_bus_flush_close_unref(bus_);
}

uint32_t NetworkManagerConnection::Status() {
    if (bus_ == nullptr || !ServiceRunning(bus_)) return kNetConnected;
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

#include "platform/dbus_bus.h"

#include <systemd/sd-bus.h>

namespace trakomer {

namespace {
constexpr uint64_t kCallTimeoutUs = 2'000'000;
}  // namespace

sd_bus* OpenBus(BusKind kind, const std::string& address) {
    sd_bus* bus = nullptr;
    int result = 0;
    if (address.empty()) {
        result = kind == BusKind::Session ? sd_bus_open_user(&bus) : sd_bus_open_system(&bus);
    } else {
        result = sd_bus_new(&bus);
        if (result >= 0) result = sd_bus_set_address(bus, address.c_str());
        if (result >= 0) result = sd_bus_set_bus_client(bus, 1);
        if (result >= 0) result = sd_bus_negotiate_fds(bus, 1);
        if (result >= 0) result = sd_bus_start(bus);
    }
    if (result < 0) {
        sd_bus_unref(bus);
        return nullptr;
    }
    sd_bus_set_method_call_timeout(bus, kCallTimeoutUs);
    return bus;
}

bool ServiceRunning(sd_bus* bus, const char* name) {
    if (bus == nullptr) return false;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    int running = 0;
    if (sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                           "org.freedesktop.DBus", "NameHasOwner", &error, &reply, "s", name) < 0 ||
        sd_bus_message_read(reply, "b", &running) < 0) {
        running = 0;
    }
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    return running != 0;
}

}  // namespace trakomer

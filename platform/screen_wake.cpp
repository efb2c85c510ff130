#include <systemd/sd-bus.h>

#include "platform/dbus_bus.h"
#include "platform/desktop_power.h"

namespace trakomer {

void WakeScreenOnSessionBus(const std::string& busAddress) {
    sd_bus* bus = OpenBus(BusKind::Session, busAddress);
    if (bus == nullptr) return;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_call_method(bus, "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                       "org.freedesktop.ScreenSaver", "SetActive", &error, nullptr, "b", 0);
    sd_bus_error_free(&error);
    sd_bus_flush_close_unref(bus);
}

}  // namespace trakomer

// DiscoverTtyDevices through libudev: every device of the tty subsystem.

#include <libudev.h>

#include <algorithm>

#include "gps/port_discovery.h"

namespace trakomer {

namespace {

std::string Text(const char* value) { return value ? std::string(value) : std::string(); }

// The first of the properties that is set, with udev's underscores for
// spaces turned back into spaces.
std::string Property(udev_device* dev, const char* fromDatabase, const char* raw) {
    std::string value = Text(udev_device_get_property_value(dev, fromDatabase));
    if (value.empty()) {
        value = Text(udev_device_get_property_value(dev, raw));
        std::replace(value.begin(), value.end(), '_', ' ');
    }
    return value;
}

bool HasHardware(udev_device* dev) {
    const std::string devPath = Text(udev_device_get_devpath(dev));
    if (devPath.starts_with("/devices/virtual/")) return false;
    udev_device* parent = udev_device_get_parent(dev);
    if (!parent) return false;
    const std::string driver = Text(udev_device_get_driver(parent));
    // Legacy 8250 UARTs are registered whether or not a chip answers. The
    // serial core's "type" attribute says which answered, without opening
    // the port (an open raises DTR and RTS on whatever is attached).
    if (driver == "serial8250" || driver == "port") {
        return LegacyUartAnswers(udev_device_get_sysattr_value(dev, "type"));
    }
    return true;
}

void FillVendorAndModel(udev_device* dev, TtyDevice& out) {
    out.vendor = Property(dev, "ID_VENDOR_FROM_DATABASE", "ID_VENDOR");
    out.model = Property(dev, "ID_MODEL_FROM_DATABASE", "ID_MODEL");
    if (!out.vendor.empty() || !out.model.empty()) return;
    // Without udev's database, read the USB device's own strings.
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(dev, "usb", "usb_device");
    if (!usb) return;
    out.vendor = Text(udev_device_get_sysattr_value(usb, "manufacturer"));
    out.model = Text(udev_device_get_sysattr_value(usb, "product"));
}

}  // namespace

std::vector<TtyDevice> DiscoverTtyDevices() {
    std::vector<TtyDevice> devices;
    udev* context = udev_new();
    if (!context) return devices;
    udev_enumerate* enumerate = udev_enumerate_new(context);
    if (enumerate && udev_enumerate_add_match_subsystem(enumerate, "tty") >= 0 &&
        udev_enumerate_scan_devices(enumerate) >= 0) {
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate)) {
            udev_device* dev = udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
            if (!dev) continue;
            TtyDevice d;
            d.devNode = Text(udev_device_get_devnode(dev));
            d.sysName = Text(udev_device_get_sysname(dev));
            if (!d.devNode.empty()) {
                d.hasHardware = HasHardware(dev);
                if (d.hasHardware) FillVendorAndModel(dev, d);
                devices.push_back(std::move(d));
            }
            udev_device_unref(dev);
        }
    }
    if (enumerate) udev_enumerate_unref(enumerate);
    udev_unref(context);
    return devices;
}

}  // namespace trakomer

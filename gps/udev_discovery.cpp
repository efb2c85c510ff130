// DiscoverTtyDevices through libudev: every device of the tty subsystem.

#include <fcntl.h>
#include <libudev.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstring>

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

// Legacy 8250 UARTs are registered whether or not a chip answers; only
// those whose type the driver recognised are real.
bool LegacyUartPresent(const std::string& devNode) {
    const int fd = open(devNode.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == EACCES || errno == EPERM || errno == EBUSY;
    serial_struct info{};
    const bool known = ioctl(fd, TIOCGSERIAL, &info) != 0 || info.type != PORT_UNKNOWN;
    close(fd);
    return known;
}

bool HasHardware(udev_device* dev, const std::string& devNode) {
    const std::string devPath = Text(udev_device_get_devpath(dev));
    if (devPath.starts_with("/devices/virtual/")) return false;
    udev_device* parent = udev_device_get_parent(dev);
    if (!parent) return false;
    const std::string driver = Text(udev_device_get_driver(parent));
    if (driver == "serial8250" || driver == "port") return LegacyUartPresent(devNode);
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
                d.hasHardware = HasHardware(dev, d.devNode);
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

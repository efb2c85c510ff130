// libsystemd (D-Bus) and libudev (serial port discovery) opened when first
// used, not when the program starts (see platform/lazy_library.h): with the
// compression and crypto libraries libsystemd pulls in they cost every start
// about a millisecond, and converting or inspecting files needs neither.
// Without a library its calls fail with -ENOSYS or give nothing, as when the
// bus or the device database cannot be reached.

#include <libudev.h>
#include <systemd/sd-bus.h>

#include <cerrno>
#include <cstdarg>

#include "platform/lazy_library.h"

namespace {

TRAKOMER_LAZY_LIBRARY(Systemd, "libsystemd.so.0")

TRAKOMER_LAZY_LIBRARY(Udev, "libudev.so.1")

}  // namespace

extern "C" {

// The two functions with variable arguments pass them on to the library's
// va_list forms.
int sd_bus_call_method(sd_bus* bus, const char* destination, const char* path,
                       const char* interface, const char* member, sd_bus_error* error,
                       sd_bus_message** reply, const char* types, ...) {
    static const auto real = trakomer::LibraryFunction<decltype(&sd_bus_call_methodv)>(
        Systemd(), "sd_bus_call_methodv");
    if (real == nullptr) return -ENOSYS;
    va_list values;
    va_start(values, types);
    const int result = real(bus, destination, path, interface, member, error, reply, types, values);
    va_end(values);
    return result;
}

int sd_bus_message_read(sd_bus_message* message, const char* types, ...) {
    static const auto real = trakomer::LibraryFunction<decltype(&sd_bus_message_readv)>(
        Systemd(), "sd_bus_message_readv");
    if (real == nullptr) return -ENOSYS;
    va_list values;
    va_start(values, types);
    const int result = real(message, types, values);
    va_end(values);
    return result;
}

TRAKOMER_LAZY_FUNCTION(Systemd(), int, sd_bus_new, (sd_bus * *bus), (bus), -ENOSYS)
TRAKOMER_LAZY_FUNCTION(Systemd(), int, sd_bus_open_system, (sd_bus * *bus), (bus), -ENOSYS)
TRAKOMER_LAZY_FUNCTION(Systemd(), int, sd_bus_open_user, (sd_bus * *bus), (bus), -ENOSYS)
TRAKOMER_LAZY_FUNCTION(Systemd(), int, sd_bus_set_address, (sd_bus * bus, const char* address),
                       (bus, address), -ENOSYS)
TRAKOMER_LAZY_FUNCTION(Systemd(), int, sd_bus_set_bus_client, (sd_bus * bus, int client),
                       (bus, client), -ENOSYS)
TRAKOMER_LAZY_FUNCTION(Systemd(), int, sd_bus_negotiate_fds, (sd_bus * bus, int fds),
                       (bus, fds), -ENOSYS)
TRAKOMER_LAZY_FUNCTION(Systemd(), int, sd_bus_set_method_call_timeout,
                       (sd_bus * bus, uint64_t microseconds), (bus, microseconds), -ENOSYS)
TRAKOMER_LAZY_FUNCTION(Systemd(), int, sd_bus_start, (sd_bus * bus), (bus), -ENOSYS)
TRAKOMER_LAZY_FUNCTION(Systemd(), sd_bus*, sd_bus_unref, (sd_bus * bus), (bus), nullptr)
TRAKOMER_LAZY_FUNCTION(Systemd(), sd_bus*, sd_bus_flush_close_unref, (sd_bus * bus), (bus),
                       nullptr)
TRAKOMER_LAZY_FUNCTION(Systemd(), int, sd_bus_get_fd, (sd_bus * bus), (bus), -ENOSYS)
TRAKOMER_LAZY_FUNCTION(Systemd(), int, sd_bus_get_events, (sd_bus * bus), (bus), -ENOSYS)
TRAKOMER_LAZY_FUNCTION(Systemd(), int, sd_bus_get_timeout, (sd_bus * bus, uint64_t* when),
                       (bus, when), -ENOSYS)
TRAKOMER_LAZY_FUNCTION(Systemd(), int, sd_bus_process, (sd_bus * bus, sd_bus_message** message),
                       (bus, message), -ENOSYS)
TRAKOMER_LAZY_FUNCTION(Systemd(), int, sd_bus_add_match,
                       (sd_bus * bus, sd_bus_slot** slot, const char* match,
                        sd_bus_message_handler_t callback, void* data),
                       (bus, slot, match, callback, data), -ENOSYS)
TRAKOMER_LAZY_FUNCTION(Systemd(), int, sd_bus_match_signal,
                       (sd_bus * bus, sd_bus_slot** slot, const char* sender, const char* path,
                        const char* interface, const char* member,
                        sd_bus_message_handler_t callback, void* data),
                       (bus, slot, sender, path, interface, member, callback, data), -ENOSYS)
TRAKOMER_LAZY_FUNCTION(Systemd(), sd_bus_slot*, sd_bus_slot_unref, (sd_bus_slot * slot), (slot),
                       nullptr)
TRAKOMER_LAZY_FUNCTION(Systemd(), int, sd_bus_get_property,
                       (sd_bus * bus, const char* destination, const char* path,
                        const char* interface, const char* member, sd_bus_error* error,
                        sd_bus_message** reply, const char* type),
                       (bus, destination, path, interface, member, error, reply, type), -ENOSYS)
TRAKOMER_LAZY_FUNCTION(Systemd(), int, sd_bus_get_property_trivial,
                       (sd_bus * bus, const char* destination, const char* path,
                        const char* interface, const char* member, sd_bus_error* error,
                        char type, void* value),
                       (bus, destination, path, interface, member, error, type, value), -ENOSYS)
TRAKOMER_LAZY_FUNCTION(Systemd(), int, sd_bus_message_enter_container,
                       (sd_bus_message * message, char type, const char* contents),
                       (message, type, contents), -ENOSYS)
TRAKOMER_LAZY_FUNCTION(Systemd(), int, sd_bus_message_exit_container, (sd_bus_message * message),
                       (message), -ENOSYS)
TRAKOMER_LAZY_FUNCTION(Systemd(), int, sd_bus_message_skip,
                       (sd_bus_message * message, const char* types), (message, types), -ENOSYS)
TRAKOMER_LAZY_FUNCTION(Systemd(), int, sd_bus_message_is_signal,
                       (sd_bus_message * message, const char* interface, const char* member),
                       (message, interface, member), 0)
TRAKOMER_LAZY_FUNCTION(Systemd(), sd_bus_message*, sd_bus_message_unref,
                       (sd_bus_message * message), (message), nullptr)
TRAKOMER_LAZY_FUNCTION(Systemd(), void, sd_bus_error_free, (sd_bus_error * error), (error),
                       void())
TRAKOMER_LAZY_FUNCTION(Systemd(), int, sd_bus_error_has_name,
                       (const sd_bus_error* error, const char* name), (error, name), 0)

TRAKOMER_LAZY_FUNCTION(Udev(), udev*, udev_new, (), (), nullptr)
TRAKOMER_LAZY_FUNCTION(Udev(), udev*, udev_unref, (udev * context), (context), nullptr)
TRAKOMER_LAZY_FUNCTION(Udev(), udev_enumerate*, udev_enumerate_new, (udev * context), (context),
                       nullptr)
TRAKOMER_LAZY_FUNCTION(Udev(), udev_enumerate*, udev_enumerate_unref,
                       (udev_enumerate * enumerate), (enumerate), nullptr)
TRAKOMER_LAZY_FUNCTION(Udev(), int, udev_enumerate_add_match_subsystem,
                       (udev_enumerate * enumerate, const char* subsystem),
                       (enumerate, subsystem), -ENOSYS)
TRAKOMER_LAZY_FUNCTION(Udev(), int, udev_enumerate_scan_devices, (udev_enumerate * enumerate),
                       (enumerate), -ENOSYS)
TRAKOMER_LAZY_FUNCTION(Udev(), udev_list_entry*, udev_enumerate_get_list_entry,
                       (udev_enumerate * enumerate), (enumerate), nullptr)
TRAKOMER_LAZY_FUNCTION(Udev(), udev_list_entry*, udev_list_entry_get_next,
                       (udev_list_entry * entry), (entry), nullptr)
TRAKOMER_LAZY_FUNCTION(Udev(), const char*, udev_list_entry_get_name, (udev_list_entry * entry),
                       (entry), nullptr)
TRAKOMER_LAZY_FUNCTION(Udev(), udev_device*, udev_device_new_from_syspath,
                       (udev * context, const char* path), (context, path), nullptr)
TRAKOMER_LAZY_FUNCTION(Udev(), udev_device*, udev_device_unref, (udev_device * device), (device),
                       nullptr)
TRAKOMER_LAZY_FUNCTION(Udev(), udev_device*, udev_device_get_parent, (udev_device * device),
                       (device), nullptr)
TRAKOMER_LAZY_FUNCTION(Udev(), udev_device*, udev_device_get_parent_with_subsystem_devtype,
                       (udev_device * device, const char* subsystem, const char* type),
                       (device, subsystem, type), nullptr)
TRAKOMER_LAZY_FUNCTION(Udev(), const char*, udev_device_get_devnode, (udev_device * device),
                       (device), nullptr)
TRAKOMER_LAZY_FUNCTION(Udev(), const char*, udev_device_get_devpath, (udev_device * device),
                       (device), nullptr)
TRAKOMER_LAZY_FUNCTION(Udev(), const char*, udev_device_get_driver, (udev_device * device),
                       (device), nullptr)
TRAKOMER_LAZY_FUNCTION(Udev(), const char*, udev_device_get_sysname, (udev_device * device),
                       (device), nullptr)
TRAKOMER_LAZY_FUNCTION(Udev(), const char*, udev_device_get_property_value,
                       (udev_device * device, const char* key), (device, key), nullptr)
TRAKOMER_LAZY_FUNCTION(Udev(), const char*, udev_device_get_sysattr_value,
                       (udev_device * device, const char* name), (device, name), nullptr)

}  // extern "C"

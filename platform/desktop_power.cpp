#include "platform/desktop_power.h"

#include <fcntl.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/dbus_bus.h"

namespace trakomer {

namespace {

constexpr const char* kScreenSaver = "org.freedesktop.ScreenSaver";
constexpr const char* kScreenSaverPath = "/org/freedesktop/ScreenSaver";
constexpr const char* kLogin = "org.freedesktop.login1";
constexpr const char* kUPower = "org.freedesktop.UPower";
constexpr const char* kDisplayDevice = "/org/freedesktop/UPower/devices/DisplayDevice";
constexpr const char* kApplication = "trakomer";
constexpr const char* kReason = "Recording a track";

// A method of the desktop's screen saver without a reply worth reading.
int CallScreenSaver(sd_bus* bus, const char* method, const char* types = nullptr, int flag = 0) {
    if (bus == nullptr) return -ENOTCONN;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    const int result = types ? sd_bus_call_method(bus, kScreenSaver, kScreenSaverPath, kScreenSaver,
                                                  method, &error, nullptr, types, flag)
                             : sd_bus_call_method(bus, kScreenSaver, kScreenSaverPath, kScreenSaver,
                                                  method, &error, nullptr, "");
    sd_bus_error_free(&error);
    return result;
}

}  // namespace

DesktopPower::DesktopPower(const PowerBuses& buses)
    : session_(OpenBus(BusKind::Session, buses.session)),
      system_(OpenBus(BusKind::System, buses.system)),
      powerSupplyFolder_(buses.powerSupplyFolder) {}

DesktopPower::~DesktopPower() {
    ReleaseDisplay();
    sd_bus_flush_close_unref(session_);
    sd_bus_flush_close_unref(system_);
}

namespace {

// The failure of a call in words: the service's own message where it gave
// one, else the system's text for the error number.
std::string CallFailure(const sd_bus_error& error, int result) {
    if (error.message && *error.message) return error.message;
    if (error.name && *error.name) return error.name;
    return std::strerror(-result);
}

}  // namespace

DisplayHold DesktopPower::HoldDisplay() {
    if (screenSaverHold_ || inhibitorFd_ >= 0) return {};
    std::vector<std::string> failures;
    // Services that are not running are not started: where nothing runs
    // that would blank the screen, there is nothing to hold.
    if (ServiceRunning(session_, kScreenSaver)) {
        sd_bus_error error = SD_BUS_ERROR_NULL;
        sd_bus_message* reply = nullptr;
        int result = sd_bus_call_method(session_, kScreenSaver, kScreenSaverPath, kScreenSaver,
                                        "Inhibit", &error, &reply, "ss", kApplication, kReason);
        if (result >= 0) result = sd_bus_message_read(reply, "u", &cookie_);
        if (result >= 0) {
            screenSaverHold_ = true;
        } else {
            failures.push_back("the desktop's screen saver refused: " + CallFailure(error, result));
        }
        sd_bus_message_unref(reply);
        sd_bus_error_free(&error);
        if (screenSaverHold_) return {};
    }
    if (ServiceRunning(system_, kLogin)) {
        sd_bus_error error = SD_BUS_ERROR_NULL;
        sd_bus_message* reply = nullptr;
        int fd = -1;
        int result = sd_bus_call_method(system_, kLogin, "/org/freedesktop/login1",
                                        "org.freedesktop.login1.Manager", "Inhibit", &error,
                                        &reply, "ssss", "idle", kApplication, kReason, "block");
        if (result >= 0) result = sd_bus_message_read(reply, "h", &fd);
        // The lock lasts as long as its descriptor is open; the reply's copy
        // closes with the reply.
        if (result >= 0) inhibitorFd_ = fcntl(fd, F_DUPFD_CLOEXEC, 3);
        if (result >= 0 && inhibitorFd_ < 0) result = -errno;
        if (result < 0) {
            failures.push_back("systemd-logind refused an idle lock: " + CallFailure(error, result));
        }
        sd_bus_message_unref(reply);
        sd_bus_error_free(&error);
        if (inhibitorFd_ >= 0) return {};
    }
    if (failures.empty()) return {DisplayHold::Outcome::NothingToHold, {}};
    std::string reason = failures.front();
    for (size_t i = 1; i < failures.size(); ++i) reason += "; " + failures[i];
    return {DisplayHold::Outcome::Refused, reason};
}

void DesktopPower::ReleaseDisplay() {
    if (screenSaverHold_) {
        sd_bus_error error = SD_BUS_ERROR_NULL;
        sd_bus_call_method(session_, kScreenSaver, kScreenSaverPath, kScreenSaver, "UnInhibit",
                           &error, nullptr, "u", cookie_);
        sd_bus_error_free(&error);
        screenSaverHold_ = false;
    }
    if (inhibitorFd_ >= 0) {
        close(inhibitorFd_);
        inhibitorFd_ = -1;
    }
}

void DesktopPower::ResetIdleTimer() {
    CallScreenSaver(session_, "SimulateUserActivity");
}

void DesktopPower::WakeScreen() {
    CallScreenSaver(session_, "SetActive", "b", 0);
}

int DesktopPower::BatteryPercent() {
    if (ServiceRunning(system_, kUPower)) {
        sd_bus_error error = SD_BUS_ERROR_NULL;
        int present = 0;
        double percentage = 0;
        const bool read = sd_bus_get_property_trivial(system_, kUPower, kDisplayDevice,
                                                      "org.freedesktop.UPower.Device", "IsPresent",
                                                      &error, 'b', &present) >= 0 &&
                          sd_bus_get_property_trivial(system_, kUPower, kDisplayDevice,
                                                      "org.freedesktop.UPower.Device", "Percentage",
                                                      &error, 'd', &percentage) >= 0;
        sd_bus_error_free(&error);
        if (read) {
            if (!present) return 100;
            if (percentage >= 0 && percentage <= 100)
                return static_cast<int>(std::lround(percentage));
        }
    }
    return SysfsBatteryPercent(powerSupplyFolder_.c_str());
}

int SysfsBatteryPercent(const char* powerSupplyFolder) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(powerSupplyFolder, error)) {
        std::ifstream type(entry.path() / "type");
        std::string kind;
        if (!(type >> kind) || kind != "Battery") continue;
        std::ifstream capacity(entry.path() / "capacity");
        int percent = 0;
        if (capacity >> percent) return percent;
    }
    return 100;
}

}  // namespace trakomer

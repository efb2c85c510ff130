// The desktop power calls against stand-in ScreenSaver, logind and UPower
// services on a private message bus, and the sysfs battery fallback.

#include <gtest/gtest.h>
#include <poll.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/desktop_power.h"
#include "tests/upload/private_bus.h"

namespace trakomer {
namespace {

using upload::testing::MakeTempFolder;
using upload::testing::PrivateBus;

struct Services {
    bool screenSaver = false;
    bool logind = false;
    bool upower = false;
    bool refuse = false;  // the screen saver refuses to inhibit
    bool batteryPresent = true;
    double percentage = 0;
};

// The services a desktop offers, each only if asked for.
class FakeDesktop {
public:
    FakeDesktop(const std::string& address, const Services& services) : services_(services) {
        ready_ = Open(address);
        if (ready_) thread_ = std::thread([this] { Serve(); });
    }
    ~FakeDesktop() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        for (sd_bus_slot* slot : slots_) sd_bus_slot_unref(slot);
        sd_bus_flush_close_unref(bus_);
        if (lockReadEnd_ >= 0) close(lockReadEnd_);
    }
    bool Ready() const { return ready_; }

    std::atomic<int> inhibits{0}, uninhibits{0}, activity{0}, wakes{0}, locks{0};
    std::atomic<uint32_t> uninhibitedCookie{0};
    // The logind lock is held while its pipe has a writer somewhere.
    bool LockReleased(int waitMs) const {
        pollfd entry{lockReadEnd_, POLLIN, 0};
        return lockReadEnd_ >= 0 && poll(&entry, 1, waitMs) > 0 && (entry.revents & POLLHUP);
    }
    std::string LockRequest() {
        std::lock_guard lock(mutex_);
        return lockRequest_;
    }

private:
    static constexpr uint32_t kCookie = 77;

    static FakeDesktop* Self(void* data) { return static_cast<FakeDesktop*>(data); }
    static int Inhibit(sd_bus_message* call, void* data, sd_bus_error* error) {
        if (Self(data)->services_.refuse) {
            return sd_bus_error_set(error, SD_BUS_ERROR_ACCESS_DENIED, "Not allowed here");
        }
        ++Self(data)->inhibits;
        return sd_bus_reply_method_return(call, "u", kCookie);
    }
    static int UnInhibit(sd_bus_message* call, void* data, sd_bus_error*) {
        uint32_t cookie = 0;
        sd_bus_message_read(call, "u", &cookie);
        Self(data)->uninhibitedCookie = cookie;
        ++Self(data)->uninhibits;
        return sd_bus_reply_method_return(call, "");
    }
    static int Activity(sd_bus_message* call, void* data, sd_bus_error*) {
        ++Self(data)->activity;
        return sd_bus_reply_method_return(call, "");
    }
    static int SetActive(sd_bus_message* call, void* data, sd_bus_error*) {
        int active = 1;
        sd_bus_message_read(call, "b", &active);
        if (!active) ++Self(data)->wakes;
        return sd_bus_reply_method_return(call, "b", 1);
    }
    static int Lock(sd_bus_message* call, void* data, sd_bus_error*) {
        FakeDesktop* self = Self(data);
        const char *what = nullptr, *who = nullptr, *why = nullptr, *mode = nullptr;
        sd_bus_message_read(call, "ssss", &what, &who, &why, &mode);
        int fds[2];
        if (pipe(fds) != 0) return -errno;
        {
            std::lock_guard lock(self->mutex_);
            self->lockRequest_ = std::string(what) + " " + who + " " + mode;
        }
        self->lockReadEnd_ = fds[0];
        const int result = sd_bus_reply_method_return(call, "h", fds[1]);
        close(fds[1]);  // the reply carries its own copy
        ++self->locks;
        return result;
    }
    static int Present(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply,
                       void* data, sd_bus_error*) {
        return sd_bus_message_append(reply, "b", Self(data)->services_.batteryPresent ? 1 : 0);
    }
    static int Percentage(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply,
                          void* data, sd_bus_error*) {
        return sd_bus_message_append(reply, "d", Self(data)->services_.percentage);
    }
    static constexpr sd_bus_vtable kScreenSaver[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("Inhibit", "ss", "u", Inhibit, 0),
        SD_BUS_METHOD("UnInhibit", "u", "", UnInhibit, 0),
        SD_BUS_METHOD("SimulateUserActivity", "", "", Activity, 0),
        SD_BUS_METHOD("SetActive", "b", "b", SetActive, 0),
        SD_BUS_VTABLE_END,
    };
    static constexpr sd_bus_vtable kLogin[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("Inhibit", "ssss", "h", Lock, 0),
        SD_BUS_VTABLE_END,
    };
    static constexpr sd_bus_vtable kDevice[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_PROPERTY("IsPresent", "b", Present, 0, 0),
        SD_BUS_PROPERTY("Percentage", "d", Percentage, 0, 0),
        SD_BUS_VTABLE_END,
    };

    bool Offer(const char* name, const char* path, const char* interface,
               const sd_bus_vtable* vtable) {
        sd_bus_slot* slot = nullptr;
        const bool ok = sd_bus_add_object_vtable(bus_, &slot, path, interface, vtable, this) >= 0 &&
                        sd_bus_request_name(bus_, name, 0) >= 0;
        slots_.push_back(slot);
        return ok;
    }
    bool Open(const std::string& address) {
        if (sd_bus_new(&bus_) < 0 || sd_bus_set_address(bus_, address.c_str()) < 0 ||
            sd_bus_set_bus_client(bus_, 1) < 0 || sd_bus_negotiate_fds(bus_, 1) < 0 ||
            sd_bus_start(bus_) < 0) {
            return false;
        }
        bool ok = true;
        if (services_.screenSaver) {
            ok = ok && Offer("org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                             "org.freedesktop.ScreenSaver", kScreenSaver);
        }
        if (services_.logind) {
            ok = ok && Offer("org.freedesktop.login1", "/org/freedesktop/login1",
                             "org.freedesktop.login1.Manager", kLogin);
        }
        if (services_.upower) {
            ok = ok &&
                 Offer("org.freedesktop.UPower", "/org/freedesktop/UPower/devices/DisplayDevice",
                       "org.freedesktop.UPower.Device", kDevice);
        }
        return ok;
    }
    void Serve() {
        while (!stop_) {
            if (sd_bus_process(bus_, nullptr) > 0) continue;
            sd_bus_wait(bus_, 20000);
        }
    }

    Services services_;
    sd_bus* bus_ = nullptr;
    std::vector<sd_bus_slot*> slots_;
    std::mutex mutex_;
    std::string lockRequest_;
    std::atomic<int> lockReadEnd_{-1};
    std::atomic<bool> stop_{false};
    bool ready_ = false;
    std::thread thread_;
};

// One bus stands for both the session and the system bus.
PowerBuses OnBus(const std::string& address, const std::string& supplies = "/nonexistent") {
    return {address, address, supplies};
}

TEST(DesktopPower, HoldsThroughTheScreenSaverElseAnIdleLockOfLogind) {
    PrivateBus bus;
    ASSERT_FALSE(bus.Address().empty());
    {
        SCOPED_TRACE("screen saver");
        FakeDesktop desktop(bus.Address(), {.screenSaver = true, .logind = true});
        ASSERT_TRUE(desktop.Ready());
        DesktopPower power(OnBus(bus.Address()));
        EXPECT_EQ(power.HoldDisplay().outcome, DisplayHold::Outcome::Held);
        power.ResetIdleTimer();
        power.WakeScreen();
        WakeScreenOnSessionBus(bus.Address());  // the launcher's call
        power.ReleaseDisplay();
        EXPECT_EQ(desktop.inhibits, 1);
        EXPECT_EQ(desktop.locks, 0);
        EXPECT_EQ(desktop.uninhibits, 1);
        EXPECT_EQ(desktop.uninhibitedCookie, 77u);
        EXPECT_EQ(desktop.activity, 1);
        EXPECT_EQ(desktop.wakes, 2);
    }
    {
        SCOPED_TRACE("logind only");
        FakeDesktop desktop(bus.Address(), {.logind = true});
        ASSERT_TRUE(desktop.Ready());
        DesktopPower power(OnBus(bus.Address()));
        EXPECT_EQ(power.HoldDisplay().outcome, DisplayHold::Outcome::Held);
        EXPECT_EQ(desktop.LockRequest(), "idle trakomer block");
        EXPECT_FALSE(desktop.LockReleased(0));
        power.ReleaseDisplay();
        EXPECT_TRUE(desktop.LockReleased(1000));
    }
    {
        SCOPED_TRACE("refused, no logind");
        FakeDesktop desktop(bus.Address(), {.screenSaver = true, .refuse = true});
        ASSERT_TRUE(desktop.Ready());
        DesktopPower power(OnBus(bus.Address()));
        const DisplayHold hold = power.HoldDisplay();
        EXPECT_EQ(hold.outcome, DisplayHold::Outcome::Refused);
        EXPECT_EQ(hold.reason, "the desktop's screen saver refused: Not allowed here");
    }
    {
        SCOPED_TRACE("neither: nothing would blank the screen");
        DesktopPower power(OnBus(bus.Address()));
        EXPECT_EQ(power.HoldDisplay().outcome, DisplayHold::Outcome::NothingToHold);
        power.ResetIdleTimer();  // quietly nothing
    }
    {
        SCOPED_TRACE("no buses at all");
        DesktopPower power(OnBus("unix:path=/nonexistent"));
        EXPECT_EQ(power.HoldDisplay().outcome, DisplayHold::Outcome::NothingToHold);
    }
}

TEST(DesktopPower, BatteryFromUPowerElseSysfs) {
    const std::filesystem::path supplies = MakeTempFolder("trakomer-supply-");
    std::filesystem::create_directories(supplies / "BAT0");
    std::ofstream(supplies / "BAT0" / "type") << "Battery\n";
    std::ofstream(supplies / "BAT0" / "capacity") << "57\n";
    struct Case {
        const char* name;
        Services services;
        int percent;
    } cases[] = {
        {"upower", {.upower = true, .percentage = 42.6}, 43},
        {"upower, no battery", {.upower = true, .batteryPresent = false}, 100},
        {"sysfs", {}, 57},
    };
    PrivateBus bus;
    ASSERT_FALSE(bus.Address().empty());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeDesktop desktop(bus.Address(), c.services);
        ASSERT_TRUE(desktop.Ready());
        EXPECT_EQ(DesktopPower(OnBus(bus.Address(), supplies.string())).BatteryPercent(),
                  c.percent);
    }
    std::filesystem::remove_all(supplies);
}

}  // namespace
}  // namespace trakomer

// The NetworkManager connection against a stand-in NetworkManager service
// on a private message bus (a dbus-daemon started for the test).

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "tests/upload/private_bus.h"
#include "upload/network_manager.h"

namespace trakomer::upload {
namespace {

using testing::PrivateBus;

constexpr uint32_t kStateDisconnected = 20;
constexpr uint32_t kStateConnecting = 40;
constexpr uint32_t kStateConnectedLocal = 50;
constexpr uint32_t kStateConnectedSite = 60;
constexpr uint32_t kStateConnectedGlobal = 70;

// Serves the State property and the Enable method of NetworkManager.
class FakeNetworkManager {
public:
    FakeNetworkManager(const std::string& address, uint32_t state, uint32_t stateAfterEnable)
        : state_(state), stateAfterEnable_(stateAfterEnable) {
        ready_ = Open(address);
        if (ready_) thread_ = std::thread([this] { Serve(); });
    }
    ~FakeNetworkManager() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        sd_bus_slot_unref(slot_);
        sd_bus_flush_close_unref(bus_);
    }
    bool Ready() const { return ready_; }
    int EnableCalls() const { return enableCalls_; }

private:
    static int GetState(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply,
                        void* self, sd_bus_error*) {
        return sd_bus_message_append(reply, "u",
                                     static_cast<FakeNetworkManager*>(self)->state_.load());
    }
    static int Enable(sd_bus_message* call, void* self, sd_bus_error*) {
        auto* fake = static_cast<FakeNetworkManager*>(self);
        ++fake->enableCalls_;
        fake->state_ = fake->stateAfterEnable_;
        return sd_bus_reply_method_return(call, "");
    }
    static constexpr sd_bus_vtable kVtable[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_PROPERTY("State", "u", GetState, 0, 0),
        SD_BUS_METHOD("Enable", "b", "", Enable, 0),
        SD_BUS_VTABLE_END,
    };

    bool Open(const std::string& address) {
        return sd_bus_new(&bus_) >= 0 && sd_bus_set_address(bus_, address.c_str()) >= 0 &&
               sd_bus_set_bus_client(bus_, 1) >= 0 && sd_bus_start(bus_) >= 0 &&
               sd_bus_add_object_vtable(bus_, &slot_, "/org/freedesktop/NetworkManager",
                                        "org.freedesktop.NetworkManager", kVtable, this) >= 0 &&
               sd_bus_request_name(bus_, "org.freedesktop.NetworkManager", 0) >= 0;
    }
    void Serve() {
        while (!stop_) {
            if (sd_bus_process(bus_, nullptr) > 0) continue;
            sd_bus_wait(bus_, 20000);
        }
    }

    sd_bus* bus_ = nullptr;
    sd_bus_slot* slot_ = nullptr;
    std::atomic<uint32_t> state_;
    const uint32_t stateAfterEnable_;
    std::atomic<int> enableCalls_{0};
    std::atomic<bool> stop_{false};
    bool ready_ = false;
    std::thread thread_;
};

TEST(NetworkManagerConnection, WithoutNetworkManagerCountsAsConnected) {
    PrivateBus bus;
    ASSERT_FALSE(bus.Address().empty());
    EXPECT_EQ(NetworkManagerConnection(bus.Address()).Status(), kNetConnected);
    EXPECT_EQ(NetworkManagerConnection("unix:path=/nonexistent/bus").Status(), kNetConnected);
}

TEST(NetworkManagerConnection, FollowsTheStateAndRequestsNetworking) {
    struct Case {
        const char* name;
        uint32_t state, afterEnable;
        uint32_t status, afterRequest;
        int enableCalls;
    } cases[] = {
        {"global", kStateConnectedGlobal, kStateConnectedGlobal, kNetConnected, kNetConnected, 0},
        {"site only", kStateConnectedSite, kStateConnectedSite, kNetConnected, kNetConnected, 0},
        {"local only", kStateConnectedLocal, kStateConnectedLocal, kNetConnected, kNetConnected, 0},
        {"connecting", kStateConnecting, kStateConnecting, kNetDisconnected, kNetDisconnected, 1},
        {"comes up", kStateDisconnected, kStateConnectedGlobal, kNetDisconnected, kNetConnected, 1},
    };
    PrivateBus bus;
    ASSERT_FALSE(bus.Address().empty());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeNetworkManager fake(bus.Address(), c.state, c.afterEnable);
        ASSERT_TRUE(fake.Ready());
        NetworkManagerConnection network(bus.Address());
        EXPECT_EQ(network.Status(), c.status);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(network.Request(600), c.afterRequest);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
        EXPECT_EQ(fake.EnableCalls(), c.enableCalls);
    }
}

}  // namespace
}  // namespace trakomer::upload

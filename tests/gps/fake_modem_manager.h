#pragma once
// A stand-in ModemManager on a private bus: one modem (or none) at
// /org/freedesktop/ModemManager1/Modem/0 with the Modem and Location
// interfaces. Once its NMEA source is set up it replays a log as Location
// updates: the cache of the latest sentence of each kind, CRLF-joined, one
// PropertiesChanged per sentence.

#include <systemd/sd-bus.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace trakomer::test {

struct FakeModemOptions {
    bool modem = true;
    bool location = true;  // the Location interface is there
    uint32_t capabilities = 1 | 4;
    uint32_t enabled = 1;  // 3GPP cell location on beforehand
    int32_t state = 8;     // registered
    std::string setupError;  // an error name Setup answers with
    std::string rateError;   // an error name SetGpsRefreshRate answers with
    uint32_t rate = 5;
    int secondMs = 0;  // paces the log: each RMC this long after the last
};

class FakeModemManager {
public:
    FakeModemManager(const std::string& address, FakeModemOptions options,
                     std::vector<std::string> sentences = {})
        : options_(std::move(options)), sentences_(std::move(sentences)) {
        ready_ = Open(address);
        if (ready_) thread_ = std::thread([this] { Serve(); });
    }
    ~FakeModemManager() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        for (sd_bus_slot* slot : slots_) sd_bus_slot_unref(slot);
        sd_bus_flush_close_unref(bus_);
    }
    bool Ready() const { return ready_; }
    bool Replayed() const { return next_.load() == sentences_.size(); }
    uint32_t Enabled() const { return enabled_.load(); }
    std::vector<std::pair<uint32_t, bool>> SetupCalls() {
        std::lock_guard lock(mutex_);
        return setupCalls_;
    }

private:
    static constexpr const char* kPath = "/org/freedesktop/ModemManager1/Modem/0";
    static constexpr const char* kLocation = "org.freedesktop.ModemManager1.Modem.Location";

    static int Get(sd_bus*, const char*, const char*, const char* property, sd_bus_message* reply,
                   void* self, sd_bus_error*) {
        auto* fake = static_cast<FakeModemManager*>(self);
        const std::string name = property;
        if (name == "Model") return sd_bus_message_append(reply, "s", "QUECTEL EG25");
        if (name == "State") return sd_bus_message_append(reply, "i", fake->options_.state);
        if (name == "Capabilities") {
            return sd_bus_message_append(reply, "u", fake->options_.capabilities);
        }
        if (name == "Enabled") return sd_bus_message_append(reply, "u", fake->enabled_.load());
        if (name == "SignalsLocation") return sd_bus_message_append(reply, "b", fake->signals_);
        if (name == "GpsRefreshRate") return sd_bus_message_append(reply, "u", fake->options_.rate);
        std::string cache;
        for (const auto& [key, sentence] : fake->cache_) cache += sentence + "\r\n";
        if (cache.empty()) return sd_bus_message_append(reply, "a{uv}", 0);
        return sd_bus_message_append(reply, "a{uv}", 1, 4u, "s", cache.c_str());
    }
    static int Setup(sd_bus_message* call, void* self, sd_bus_error*) {
        auto* fake = static_cast<FakeModemManager*>(self);
        uint32_t sources = 0;
        int signals = 0;
        sd_bus_message_read(call, "ub", &sources, &signals);
        if (!fake->options_.setupError.empty()) {
            return sd_bus_reply_method_errorf(call, fake->options_.setupError.c_str(), "refused");
        }
        std::lock_guard lock(fake->mutex_);
        fake->setupCalls_.emplace_back(sources, signals != 0);
        fake->enabled_ = sources;
        fake->signals_ = signals;
        return sd_bus_reply_method_return(call, "");
    }
    static int SetRate(sd_bus_message* call, void* self, sd_bus_error*) {
        auto* fake = static_cast<FakeModemManager*>(self);
        if (!fake->options_.rateError.empty()) {
            return sd_bus_reply_method_errorf(call, fake->options_.rateError.c_str(), "not allowed");
        }
        return sd_bus_reply_method_return(call, "");
    }
    static constexpr sd_bus_vtable kModemVtable[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_PROPERTY("Model", "s", Get, 0, SD_BUS_VTABLE_PROPERTY_CONST),
        SD_BUS_PROPERTY("State", "i", Get, 0, 0),
        SD_BUS_VTABLE_END,
    };
    static constexpr sd_bus_vtable kLocationVtable[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_PROPERTY("Capabilities", "u", Get, 0, SD_BUS_VTABLE_PROPERTY_CONST),
        SD_BUS_PROPERTY("Enabled", "u", Get, 0, 0),
        SD_BUS_PROPERTY("SignalsLocation", "b", Get, 0, 0),
        SD_BUS_PROPERTY("GpsRefreshRate", "u", Get, 0, 0),
        SD_BUS_PROPERTY("Location", "a{uv}", Get, 0, SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE),
        SD_BUS_METHOD("Setup", "ub", "", Setup, 0),
        SD_BUS_METHOD("SetGpsRefreshRate", "u", "", SetRate, 0),
        SD_BUS_VTABLE_END,
    };

    bool Open(const std::string& address) {
        enabled_ = options_.enabled;
        if (sd_bus_new(&bus_) < 0 || sd_bus_set_address(bus_, address.c_str()) < 0 ||
            sd_bus_set_bus_client(bus_, 1) < 0 || sd_bus_start(bus_) < 0 ||
            sd_bus_add_object_manager(bus_, &slots_[0], "/org/freedesktop/ModemManager1") < 0) {
            return false;
        }
        if (options_.modem &&
            sd_bus_add_object_vtable(bus_, &slots_[1], kPath, "org.freedesktop.ModemManager1.Modem",
                                     kModemVtable, this) < 0) {
            return false;
        }
        if (options_.modem && options_.location &&
            sd_bus_add_object_vtable(bus_, &slots_[2], kPath, kLocation, kLocationVtable, this) < 0) {
            return false;
        }
        return sd_bus_request_name(bus_, "org.freedesktop.ModemManager1", 0) >= 0;
    }
    // The cache keeps one sentence per address, and per part for GSV.
    static std::string KeyOf(const std::string& sentence) {
        const size_t comma = sentence.find(',');
        std::string key = sentence.substr(0, comma);
        if (key.ends_with("GSV")) key = sentence.substr(0, sentence.find(',', sentence.find(',', comma + 1) + 1));
        return key;
    }
    void PublishNext() {
        const std::string& sentence = sentences_[next_];
        cache_[KeyOf(sentence)] = sentence;
        ++next_;
        sd_bus_emit_properties_changed(bus_, kPath, kLocation, "Location", nullptr);
    }
    bool Due() {
        if (options_.secondMs == 0 || sentences_[next_].find("RMC,") == std::string::npos) {
            return true;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now < nextSecond_) return false;
        nextSecond_ = now + std::chrono::milliseconds(options_.secondMs);
        return true;
    }
    void Serve() {
        while (!stop_) {
            if (sd_bus_process(bus_, nullptr) > 0) continue;
            if ((enabled_ & 4) != 0 && next_ < sentences_.size() && Due()) {
                PublishNext();
                continue;
            }
            sd_bus_wait(bus_, 20000);
        }
    }

    FakeModemOptions options_;
    std::vector<std::string> sentences_;
    std::map<std::string, std::string> cache_;
    std::atomic<size_t> next_{0};
    std::chrono::steady_clock::time_point nextSecond_;
    std::atomic<uint32_t> enabled_{0};
    int signals_ = 0;
    std::mutex mutex_;
    std::vector<std::pair<uint32_t, bool>> setupCalls_;
    sd_bus* bus_ = nullptr;
    sd_bus_slot* slots_[3] = {};
    std::atomic<bool> stop_{false};
    bool ready_ = false;
    std::thread thread_;
};

}  // namespace trakomer::test

#include "gps/modem_link.h"

#include <fcntl.h>
#include <poll.h>
#include <systemd/sd-bus.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

namespace trakomer {

namespace {

constexpr const char* kService = "org.freedesktop.ModemManager1";
constexpr const char* kRoot = "/org/freedesktop/ModemManager1";
constexpr std::string_view kModemPrefix = "/org/freedesktop/ModemManager1/Modem/";
constexpr const char* kModemInterface = "org.freedesktop.ModemManager1.Modem";
constexpr const char* kLocationInterface = "org.freedesktop.ModemManager1.Modem.Location";
constexpr std::string_view kDevice = "modem";
constexpr uint32_t kSourceGpsNmea = 4;
constexpr int32_t kStateLocked = 2;
constexpr uint64_t kCallTimeoutUs = 5'000'000;

struct BusError {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    ~BusError() { sd_bus_error_free(&error); }
    bool Named(const char* name) const { return sd_bus_error_has_name(&error, name) > 0; }
    bool NameContains(const char* part) const {
        return error.name != nullptr && std::strstr(error.name, part) != nullptr;
    }
    std::string Text() const {
        return error.message != nullptr ? error.message : error.name != nullptr ? error.name : "";
    }
};

struct Reply {
    sd_bus_message* message = nullptr;
    ~Reply() { sd_bus_message_unref(message); }
};

sd_bus* OpenSystemBus() {
    sd_bus* bus = nullptr;
    if (sd_bus_open_system(&bus) < 0) return nullptr;
    sd_bus_set_method_call_timeout(bus, kCallTimeoutUs);
    return bus;
}

bool ServiceRunning(sd_bus* bus) {
    BusError error;
    Reply reply;
    int running = 0;
    return sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                              "org.freedesktop.DBus", "NameHasOwner", &error.error,
                              &reply.message, "s", kService) >= 0 &&
           sd_bus_message_read(reply.message, "b", &running) >= 0 && running != 0;
}

// Reads one property (name and variant) of the modem or its Location.
void ReadProperty(sd_bus_message* m, std::string_view interface, std::string_view name,
                  ModemEntry& entry) {
    const char* text = nullptr;
    int flag = 0;
    if (interface == kModemInterface && name == "Model" &&
        sd_bus_message_read(m, "v", "s", &text) >= 0) {
        entry.model = text;
    } else if (interface == kModemInterface && name == "State") {
        sd_bus_message_read(m, "v", "i", &entry.state);
    } else if (interface == kLocationInterface && name == "Capabilities") {
        sd_bus_message_read(m, "v", "u", &entry.capabilities);
    } else if (interface == kLocationInterface && name == "Enabled") {
        sd_bus_message_read(m, "v", "u", &entry.enabled);
    } else if (interface == kLocationInterface && name == "SignalsLocation" &&
               sd_bus_message_read(m, "v", "b", &flag) >= 0) {
        entry.signalsLocation = flag != 0;
    } else {
        sd_bus_message_skip(m, "v");
    }
}

// Reads the a{sa{sv}} of one object; true when it is a modem.
bool ReadInterfaces(sd_bus_message* m, ModemEntry& entry) {
    bool modem = false;
    if (sd_bus_message_enter_container(m, 'a', "{sa{sv}}") < 0) return false;
    while (sd_bus_message_enter_container(m, 'e', "sa{sv}") > 0) {
        const char* interface = nullptr;
        if (sd_bus_message_read(m, "s", &interface) < 0) return false;
        const std::string_view name = interface;
        modem = modem || name == kModemInterface;
        if (name == kLocationInterface) entry.hasLocation = true;
        if (name == kModemInterface || name == kLocationInterface) {
            sd_bus_message_enter_container(m, 'a', "{sv}");
            while (sd_bus_message_enter_container(m, 'e', "sv") > 0) {
                const char* property = nullptr;
                if (sd_bus_message_read(m, "s", &property) < 0) return false;
                ReadProperty(m, name, property, entry);
                sd_bus_message_exit_container(m);
            }
            sd_bus_message_exit_container(m);
        } else {
            sd_bus_message_skip(m, "a{sv}");
        }
        sd_bus_message_exit_container(m);
    }
    sd_bus_message_exit_container(m);
    return modem;
}

int IndexOfPath(std::string_view path) {
    if (!path.starts_with(kModemPrefix)) return -1;
    path.remove_prefix(kModemPrefix.size());
    int index = -1;
    const auto [end, ec] = std::from_chars(path.data(), path.data() + path.size(), index);
    return ec == std::errc() && end == path.data() + path.size() ? index : -1;
}

// The modems from ModemManager's object manager, by index.
bool ListModemsOn(sd_bus* bus, std::vector<ModemEntry>& modems, std::string& detail) {
    BusError error;
    Reply reply;
    if (sd_bus_call_method(bus, kService, kRoot, "org.freedesktop.DBus.ObjectManager",
                           "GetManagedObjects", &error.error, &reply.message, "") < 0) {
        detail = error.Text();
        return false;
    }
    sd_bus_message* m = reply.message;
    if (sd_bus_message_enter_container(m, 'a', "{oa{sa{sv}}}") < 0) return false;
    while (sd_bus_message_enter_container(m, 'e', "oa{sa{sv}}") > 0) {
        const char* path = nullptr;
        if (sd_bus_message_read(m, "o", &path) < 0) return false;
        ModemEntry entry;
        entry.path = path;
        entry.index = IndexOfPath(path);
        if (ReadInterfaces(m, entry)) modems.push_back(entry);
        sd_bus_message_exit_container(m);
    }
    std::sort(modems.begin(), modems.end(),
              [](const ModemEntry& a, const ModemEntry& b) { return a.index < b.index; });
    return true;
}

// The NMEA cache (key 4) of a Location value a{uv}; false when absent.
bool ReadNmea(sd_bus_message* m, std::string& nmea) {
    bool found = false;
    if (sd_bus_message_enter_container(m, 'a', "{uv}") < 0) return false;
    while (sd_bus_message_enter_container(m, 'e', "uv") > 0) {
        uint32_t source = 0;
        const char* text = nullptr;
        if (sd_bus_message_read(m, "u", &source) < 0) return false;
        if (source == kSourceGpsNmea && sd_bus_message_read(m, "v", "s", &text) >= 0) {
            nmea = text;
            found = true;
        } else {
            sd_bus_message_skip(m, "v");
        }
        sd_bus_message_exit_container(m);
    }
    sd_bus_message_exit_container(m);
    return found;
}

// The modem the device names: "modem:N" that one, "modem" the first with
// GNSS (or the first at all, to say it has none).
const ModemEntry* Choose(const std::vector<ModemEntry>& modems, std::string_view device) {
    if (device.size() > kDevice.size()) {
        const int wanted = IndexOfPath(std::string(kModemPrefix) +
                                       std::string(device.substr(kDevice.size() + 1)));
        for (const ModemEntry& m : modems) {
            if (wanted >= 0 && m.index == wanted) return &m;
        }
        return nullptr;
    }
    for (const ModemEntry& m : modems) {
        if (HasGnssNmea(m)) return &m;
    }
    return modems.empty() ? nullptr : &modems.front();
}

ModemFailure SetupFailure(const BusError& error, int32_t state) {
    if (error.Named("org.freedesktop.ModemManager1.Error.Core.Unauthorized") ||
        error.Named(SD_BUS_ERROR_ACCESS_DENIED) ||
        error.Named(SD_BUS_ERROR_INTERACTIVE_AUTHORIZATION_REQUIRED)) {
        return ModemFailure::Refused;
    }
    if (error.NameContains("SimPin") || error.NameContains("SimPuk") || state == kStateLocked) {
        return ModemFailure::SimLocked;
    }
    return ModemFailure::Other;
}

// Asks for each sentence as it comes (rate 0); what rate is in effect.
std::string AskForEverySentence(sd_bus* bus, const char* path) {
    BusError rateError;
    if (sd_bus_call_method(bus, kService, path, kLocationInterface, "SetGpsRefreshRate",
                           &rateError.error, nullptr, "u", 0u) >= 0) {
        return "The modem's GNSS reports every new sentence.";
    }
    BusError readError;
    uint32_t rate = 0;
    sd_bus_get_property_trivial(bus, kService, path, kLocationInterface, "GpsRefreshRate",
                                &readError.error, 'u', &rate);
    return "ModemManager refused a faster refresh rate (" + rateError.Text() +
           "); the modem's rate of " + std::to_string(rate) + " s is in effect.";
}

int MillisecondsUntil(uint64_t deadlineUs) {
    if (deadlineUs == UINT64_MAX) return -1;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t nowUs = static_cast<uint64_t>(now.tv_sec) * 1'000'000 +
                           static_cast<uint64_t>(now.tv_nsec) / 1000;
    if (deadlineUs <= nowUs) return 0;
    return static_cast<int>(std::min<uint64_t>((deadlineUs - nowUs + 999) / 1000, 60'000));
}

}  // namespace

struct ModemSignals {
    static int OnPropertiesChanged(sd_bus_message* m, void* self, sd_bus_error*);
    static int OnGone(sd_bus_message* m, void* self, sd_bus_error*);
};

bool IsModemDevice(std::string_view device) {
    if (device == kDevice) return true;
    if (!device.starts_with("modem:") || device.size() == kDevice.size() + 1) return false;
    return std::all_of(device.begin() + static_cast<long>(kDevice.size()) + 1, device.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

bool HasGnssNmea(const ModemEntry& modem) {
    return modem.hasLocation && (modem.capabilities & kSourceGpsNmea) != 0;
}

std::string ModemFailureText(ModemFailure failure, const std::string& detail) {
    switch (failure) {
        case ModemFailure::None:
            return {};
        case ModemFailure::NotRunning:
            return "ModemManager is not running!\nStart the ModemManager service, or choose "
                   "another receiver.";
        case ModemFailure::NoModem:
            if (detail.empty()) {
                return "No modem found!\nModemManager lists no modem; check that the modem is "
                       "switched on.";
            }
            return "Modem " + detail + " not found!\nModemManager lists no modem " + detail +
                   "; \"mmcli -L\" shows the modems it has.";
        case ModemFailure::NoGnss:
            return "No GNSS in the modem!\nThe modem (" + detail +
                   ") gives no NMEA location; choose another receiver.";
        case ModemFailure::Refused:
            return "Access Denied!\nThe system refused this user the action "
                   "org.freedesktop.ModemManager1.Device.Control that turns the modem's GNSS "
                   "on; ask the administrator to allow it (a polkit rule).";
        case ModemFailure::SimLocked:
            return "SIM locked!\nThe modem turns its GNSS on only with the SIM unlocked; enter "
                   "the SIM's PIN and try again.";
        case ModemFailure::Other:
            break;
    }
    return "Modem GNSS error!\n" + detail;
}

std::vector<ModemEntry> ListModems() {
    std::vector<ModemEntry> modems;
    sd_bus* bus = OpenSystemBus();
    std::string detail;
    if (bus != nullptr && ServiceRunning(bus)) ListModemsOn(bus, modems, detail);
    sd_bus_flush_close_unref(bus);
    return modems;
}

ModemLink::~ModemLink() { Close(); }

int ModemLink::Open(std::string_view device) {
    Close();
    failure = ModemFailure::None;
    errorText.clear();
    rateText.clear();
    std::string detail;
    failure = Start(device, detail);
    int fds[2] = {-1, -1};
    if (failure == ModemFailure::None && (!wake_.Valid() || pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)) {
        failure = ModemFailure::Other;
        detail = std::strerror(errno);
    }
    if (failure != ModemFailure::None) {
        errorText = ModemFailureText(failure, detail);
        Close();
        return -1;
    }
    writeFd_ = fds[1];
    gone_ = false;
    wake_.Clear();
    thread_ = std::thread(&ModemLink::Pump, this);
    return fds[0];
}

ModemFailure ModemLink::Start(std::string_view device, std::string& detail) {
    bus_ = OpenSystemBus();
    if (bus_ == nullptr || !ServiceRunning(bus_)) return ModemFailure::NotRunning;
    std::vector<ModemEntry> modems;
    if (!ListModemsOn(bus_, modems, detail)) return ModemFailure::Other;
    const ModemEntry* modem = Choose(modems, device);
    if (modem == nullptr) {
        if (device.size() > kDevice.size()) detail = device.substr(kDevice.size() + 1);
        return ModemFailure::NoModem;
    }
    model = modem->model;
    detail = model;
    // The Location interface shows only once the SIM is unlocked.
    if (!modem->hasLocation && modem->state == kStateLocked) return ModemFailure::SimLocked;
    if (!HasGnssNmea(*modem)) return ModemFailure::NoGnss;
    path_ = modem->path;
    enabledBefore_ = modem->enabled;
    signalsBefore_ = modem->signalsLocation;

    // Listen before turning the source on, so that no update is missed.
    if (!Listen()) {
        detail = "cannot listen to ModemManager";
        return ModemFailure::Other;
    }
    // What the cache holds before the set-up is old: only later changes are read.
    BusError getError;
    Reply reply;
    std::string cache;
    if (sd_bus_get_property(bus_, kService, path_.c_str(), kLocationInterface, "Location",
                            &getError.error, &reply.message, "a{uv}") >= 0 &&
        ReadNmea(reply.message, cache)) {
        Relay(cache);  // nothing written yet: fills the last cache only
    }
    BusError error;
    if (sd_bus_call_method(bus_, kService, path_.c_str(), kLocationInterface, "Setup",
                           &error.error, nullptr, "ub", enabledBefore_ | kSourceGpsNmea, 1) < 0) {
        detail = error.Text();
        return SetupFailure(error, modem->state);
    }
    setUp_ = true;

    rateText = AskForEverySentence(bus_, path_.c_str());
    return ModemFailure::None;
}

bool ModemLink::Listen() {
    return sd_bus_match_signal(bus_, &slots_[0], kService, path_.c_str(),
                               "org.freedesktop.DBus.Properties", "PropertiesChanged",
                               &ModemSignals::OnPropertiesChanged, this) >= 0 &&
           sd_bus_match_signal(bus_, &slots_[1], kService, kRoot,
                               "org.freedesktop.DBus.ObjectManager", "InterfacesRemoved",
                               &ModemSignals::OnGone, this) >= 0 &&
           sd_bus_add_match(bus_, &slots_[2],
                            "type='signal',sender='org.freedesktop.DBus',"
                            "member='NameOwnerChanged',arg0='org.freedesktop.ModemManager1'",
                            &ModemSignals::OnGone, this) >= 0;
}

void ModemLink::Close() {
    if (thread_.joinable()) {
        wake_.Signal();
        thread_.join();
        wake_.Clear();
    }
    if (writeFd_ >= 0) close(writeFd_);
    writeFd_ = -1;
    if (setUp_ && bus_ != nullptr) {
        // Give the modem back its sources; fails harmlessly when it is gone.
        BusError error;
        sd_bus_call_method(bus_, kService, path_.c_str(), kLocationInterface, "Setup",
                           &error.error, nullptr, "ub", enabledBefore_, signalsBefore_ ? 1 : 0);
    }
    setUp_ = false;
    for (sd_bus_slot*& slot : slots_) slot = sd_bus_slot_unref(slot);
    sd_bus_flush_close_unref(bus_);
    bus_ = nullptr;
    lastCache_.clear();
}

// Dispatches the bus until Close or until the modem goes away; then the
// write end closes and the reader sees the receiver hang up.
void ModemLink::Pump() {
    while (!gone_) {
        const int processed = sd_bus_process(bus_, nullptr);
        if (processed < 0) break;
        if (processed > 0) continue;
        uint64_t deadline = UINT64_MAX;
        sd_bus_get_timeout(bus_, &deadline);
        const int events = sd_bus_get_events(bus_);
        if (events < 0) break;  // the connection is closed
        pollfd fds[2] = {{sd_bus_get_fd(bus_), static_cast<short>(events), 0},
                         {wake_.Fd(), POLLIN, 0}};
        if (poll(fds, 2, MillisecondsUntil(deadline)) < 0 && errno != EINTR) break;
        if (fds[1].revents != 0) return;
    }
    close(writeFd_);
    writeFd_ = -1;
}

// Writes the sentences of the cache that the previous cache did not hold.
void ModemLink::Relay(std::string_view cache) {
    std::set<std::string> now;
    while (!cache.empty()) {
        const size_t end = cache.find('\n');
        std::string_view sentence = cache.substr(0, end);
        cache.remove_prefix(end == std::string_view::npos ? cache.size() : end + 1);
        while (!sentence.empty() && (sentence.back() == '\r' || sentence.back() == ' ')) {
            sentence.remove_suffix(1);
        }
        if (sentence.empty()) continue;
        std::string line(sentence);
        if (writeFd_ >= 0 && !lastCache_.contains(line)) {
            line += "\r\n";
            // A reader that stopped reading loses sentences, never blocks us.
            [[maybe_unused]] const ssize_t n = write(writeFd_, line.data(), line.size());
            line.resize(line.size() - 2);
        }
        now.insert(std::move(line));
    }
    lastCache_ = std::move(now);
}

int ModemSignals::OnPropertiesChanged(sd_bus_message* m, void* self, sd_bus_error*) {
    const char* interface = nullptr;
    if (sd_bus_message_read(m, "s", &interface) < 0 ||
        std::string_view(interface) != kLocationInterface) {
        return 0;
    }
    if (sd_bus_message_enter_container(m, 'a', "{sv}") < 0) return 0;
    while (sd_bus_message_enter_container(m, 'e', "sv") > 0) {
        const char* property = nullptr;
        if (sd_bus_message_read(m, "s", &property) < 0) return 0;
        std::string cache;
        if (std::string_view(property) == "Location" &&
            sd_bus_message_enter_container(m, 'v', "a{uv}") > 0) {
            if (ReadNmea(m, cache)) static_cast<ModemLink*>(self)->Relay(cache);
            sd_bus_message_exit_container(m);
        } else {
            sd_bus_message_skip(m, "v");
        }
        sd_bus_message_exit_container(m);
    }
    return 0;
}

// ModemManager left the bus, or our modem left ModemManager.
int ModemSignals::OnGone(sd_bus_message* m, void* self, sd_bus_error*) {
    auto* link = static_cast<ModemLink*>(self);
    const char* first = nullptr;
    if (sd_bus_message_is_signal(m, nullptr, "NameOwnerChanged")) {
        const char *oldOwner = nullptr, *newOwner = nullptr;
        if (sd_bus_message_read(m, "sss", &first, &oldOwner, &newOwner) >= 0 &&
            (newOwner == nullptr || *newOwner == '\0')) {
            link->gone_ = true;
        }
    } else if (sd_bus_message_read(m, "o", &first) >= 0 && link->path_ == first) {
        link->gone_ = true;
    }
    return 0;
}

}  // namespace trakomer

#include "gps/port_settings.h"

#include <cctype>
#include <string_view>

namespace trakomer {

namespace {
constexpr std::string_view kClassicPrefix = "/dev/ttyS";
}

std::string DevicePathFor(const PortSettings& settings) {
    if (!settings.commDevice.empty()) return settings.commDevice;
    const int index = settings.commPort > 0 ? settings.commPort - 1 : 0;
    return std::string(kClassicPrefix) + std::to_string(index);
}

int PortNumberOfDevice(const std::string& devicePath) {
    const std::string_view path = devicePath;
    if (!path.starts_with(kClassicPrefix)) return 0;
    const std::string_view digits = path.substr(kClassicPrefix.size());
    if (digits.empty() || digits.size() > 6) return 0;
    int index = 0;
    for (char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
        index = index * 10 + (c - '0');
    }
    return index + 1;
}

}  // namespace trakomer

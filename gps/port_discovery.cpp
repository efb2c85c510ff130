#include "gps/port_discovery.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string_view>

namespace trakomer {

namespace {

bool IsBluetoothPort(const TtyDevice& d) { return d.sysName.starts_with("rfcomm"); }

// "ttyUSB10" after "ttyUSB2": digit runs compare by value.
bool NaturalLess(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const bool da = std::isdigit(static_cast<unsigned char>(a[i])) != 0;
        const bool db = std::isdigit(static_cast<unsigned char>(b[j])) != 0;
        if (da && db) {
            size_t ie = i, je = j;
            while (ie < a.size() && std::isdigit(static_cast<unsigned char>(a[ie]))) ++ie;
            while (je < b.size() && std::isdigit(static_cast<unsigned char>(b[je]))) ++je;
            const std::string_view na = a.substr(i, ie - i), nb = b.substr(j, je - j);
            const size_t za = na.find_first_not_of('0'), zb = nb.find_first_not_of('0');
            const std::string_view ta = za == std::string_view::npos ? "" : na.substr(za);
            const std::string_view tb = zb == std::string_view::npos ? "" : nb.substr(zb);
            if (ta.size() != tb.size()) return ta.size() < tb.size();
            if (ta != tb) return ta < tb;
            i = ie;
            j = je;
        } else {
            if (a[i] != b[j]) return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

std::string FriendlyName(const TtyDevice& d) {
    if (d.vendor.empty()) return d.model;
    if (d.model.empty()) return d.vendor;
    return d.vendor + " " + d.model;
}

}  // namespace

PortList BuildPortList(const std::vector<TtyDevice>& devices) {
    std::vector<const TtyDevice*> wired, bluetooth;
    for (const TtyDevice& d : devices) {
        if (d.devNode.empty()) continue;
        if (IsBluetoothPort(d)) {
            bluetooth.push_back(&d);
        } else if (d.hasHardware) {
            wired.push_back(&d);
        }
    }
    const auto byPath = [](const TtyDevice* a, const TtyDevice* b) {
        return NaturalLess(a->devNode, b->devNode);
    };
    std::sort(wired.begin(), wired.end(), byPath);
    std::sort(bluetooth.begin(), bluetooth.end(), byPath);

    PortList list;
    for (const TtyDevice* d : wired) list.push_back({d->devNode, FriendlyName(*d)});
    for (const TtyDevice* d : bluetooth) list.push_back({d->devNode, kBluetoothFriendlyName});
    return list;
}

bool LegacyUartAnswers(const char* typeAttribute) {
    if (typeAttribute == nullptr) return false;
    char* end = nullptr;
    const long type = std::strtol(typeAttribute, &end, 10);
    return end != typeAttribute && type > 0;
}

PortList EnumeratePorts() { return BuildPortList(DiscoverTtyDevices()); }

}  // namespace trakomer

#include "upload/ftp_address.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace trakomer::upload {

namespace {

// A decimal port 1-65535; -1 otherwise.
int ParsePort(const std::string& text) {
    if (text.empty() || text.size() > 5) return -1;
    int port = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return -1;
        port = port * 10 + (c - '0');
    }
    return port >= 1 && port <= 65535 ? port : -1;
}

}  // namespace

FtpEndpoint ParseFtpAddress(const std::string& text) {
    // Blanks and a carriage return around the value are not part of it.
    const size_t first = text.find_first_not_of(" \t\r\n");
    const size_t last = text.find_last_not_of(" \t\r\n");
    std::string address =
        first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    FtpEndpoint endpoint;
    for (const auto& [scheme, tls] : {std::pair{"ftps://", true}, std::pair{"ftp://", false}}) {
        const std::string prefix = scheme;
        if (address.size() >= prefix.size() &&
            std::equal(prefix.begin(), prefix.end(), address.begin(), [](char a, char b) {
                return a == std::tolower(static_cast<unsigned char>(b));
            })) {
            address.erase(0, prefix.size());
            endpoint.tls = tls;
            if (!address.empty() && address.back() == '/') address.pop_back();
            break;
        }
    }
    std::string portText;
    if (!address.empty() && address.front() == '[') {
        const size_t close = address.find(']');
        if (close == std::string::npos) return endpoint;
        endpoint.host = address.substr(1, close - 1);
        const std::string rest = address.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') return endpoint;
            portText = rest.substr(1);
            if (portText.empty()) return endpoint;
        }
    } else if (const size_t colon = address.find(':');
               colon != std::string::npos && address.find(':', colon + 1) == std::string::npos) {
        endpoint.host = address.substr(0, colon);
        portText = address.substr(colon + 1);
        if (portText.empty()) return endpoint;
    } else {
        endpoint.host = address;  // a name, a dotted address or a bare IPv6 address
    }
    if (!portText.empty()) endpoint.port = ParsePort(portText);
    endpoint.valid = !endpoint.host.empty() && endpoint.port > 0;
    return endpoint;
}

}  // namespace trakomer::upload

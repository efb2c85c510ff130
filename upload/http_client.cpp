#include "upload/http_client.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "upload/ftp_address.h"

namespace trakomer::upload {

namespace {

constexpr size_t kMaxHeadBytes = 16 * 1024;

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return a == std::tolower(static_cast<unsigned char>(b));
           });
}

// The status code of "HTTP/1.x NNN ..."; 0 when the line is not one.
int StatusOf(const std::string& line) {
    if (line.size() < 12 || line.compare(0, 5, "HTTP/") != 0) return 0;
    const size_t blank = line.find(' ');
    if (blank == std::string::npos || blank + 4 > line.size()) return 0;
    for (size_t i = blank + 1; i < blank + 4; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(line[i]))) return 0;
    }
    return std::atoi(line.substr(blank + 1, 3).c_str());
}

}  // namespace

HttpUrl ParseHttpUrl(const std::string& text) {
    HttpUrl url;
    std::string rest;
    if (StartsWithNoCase(text, "https://")) {
        url.tls = true;
        rest = text.substr(8);
    } else if (StartsWithNoCase(text, "http://")) {
        rest = text.substr(7);
    } else {
        return url;
    }
    const size_t end = rest.find_first_of("/?#");
    const std::string authority = rest.substr(0, end);
    if (end != std::string::npos) url.target = rest.substr(end);
    if (!url.target.empty() && url.target.front() == '?') url.target.insert(0, "/");
    if (const size_t hash = url.target.find('#'); hash != std::string::npos)
        url.target.resize(hash);
    if (authority.find('@') != std::string::npos) return url;  // no credentials in the URL
    const FtpEndpoint endpoint = ParseFtpAddress(authority);
    const bool bracketed = !authority.empty() && authority.front() == '[';
    const bool hasPort = bracketed ? authority.back() != ']'
                                   : std::count(authority.begin(), authority.end(), ':') == 1;
    url.host = endpoint.host;
    url.port = hasPort ? endpoint.port : (url.tls ? 443 : 80);
    url.valid = endpoint.valid && url.target.find_first_of(" \r\n") == std::string::npos;
    return url;
}

HttpAnswer HttpRequest(const HttpUrl& url, bool post, const std::string& formBody, int timeoutMs,
                       const Pump& pump) {
    HttpAnswer answer;
    if (!url.valid) {
        answer.detail = "not an http:// or https:// address";
        return answer;
    }
    int fd = ConnectTo(url.host, url.port, timeoutMs, pump);
    if (fd < 0) {
        answer.detail = "cannot connect to " + url.host + ":" + std::to_string(url.port);
        return answer;
    }
    TlsStream tls;
    if (url.tls) {
        answer.tls = tls.Start(fd, TlsPeer{url.host, {}}, timeoutMs, pump);
        if (answer.tls != TlsFailure::None) {
            answer.detail = tls.Detail();
            CloseSocket(fd);
            return answer;
        }
    }
    const bool ipv6 = url.host.find(':') != std::string::npos;
    const std::string hostHeader =
        (ipv6 ? "[" + url.host + "]" : url.host) + ":" + std::to_string(url.port);
    std::string request = std::string(post ? "POST " : "GET ") + url.target +
                          " HTTP/1.1\r\nHost: " + hostHeader +
                          "\r\nUser-Agent: trakomer\r\nConnection: close\r\n";
    if (post) {
        request += "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                   std::to_string(formBody.size()) + "\r\n\r\n" + formBody;
    } else {
        request += "\r\n";
    }
    const bool sent = url.tls ? tls.SendAll(request.data(), request.size(), timeoutMs, pump)
                              : SendAll(fd, request.data(), request.size(), timeoutMs, pump);
    std::string head;
    char byte = 0;
    while (sent && head.size() < kMaxHeadBytes &&
           (head.size() < 4 || head.compare(head.size() - 4, 4, "\r\n\r\n") != 0)) {
        const ReadResult got =
            url.tls ? tls.ReadByte(byte, timeoutMs, pump) : ReadByte(fd, byte, timeoutMs, pump);
        if (got != ReadResult::Byte) break;
        head += byte;
    }
    if (url.tls) tls.Shutdown(timeoutMs, pump);
    CloseSocket(fd);
    answer.status = StatusOf(head.substr(0, head.find("\r\n")));
    if (answer.status == 0) answer.detail = "no answer from " + url.host;
    return answer;
}

}  // namespace trakomer::upload

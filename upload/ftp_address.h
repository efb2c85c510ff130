#pragma once
// The server setting may carry a port: "host", "host:port", "[v6]:port",
// "[v6]" or a bare IPv6 address. Without a port the FTP port 21 is used.
// "ftps://" before it asks for explicit TLS on the same port; "ftp://" is
// plain FTP as without a scheme.

#include <string>

namespace trakomer::upload {

struct FtpEndpoint {
    std::string host;
    int port = 21;
    bool valid = false;  // false for an empty host or a bad port
    bool tls = false;
};

FtpEndpoint ParseFtpAddress(const std::string& address);

}  // namespace trakomer::upload

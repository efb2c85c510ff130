// The server address setting and the device identifier.

#include <gtest/gtest.h>

#include <fstream>

#include "tests/upload/pyftpd_server.h"
#include "upload/device_id.h"
#include "upload/ftp_address.h"

namespace trakomer::upload {
namespace {

TEST(FtpAddress, SplitsHostAndPort) {
    struct Case {
        const char* text;
        const char* host;
        int port;
        bool valid;
    } cases[] = {
        {"ftp.example.org", "ftp.example.org", 21, true},
        {"10.0.0.7:2121", "10.0.0.7", 2121, true},
        {"[::1]:2121", "::1", 2121, true},
        {"[fe80::1]", "fe80::1", 21, true},
        {"::1", "::1", 21, true},
        {"  host.example\r", "host.example", 21, true},
        {"", "", 21, false},
        {"host:", "host", 21, false},
        {"host:0", "host", -1, false},
        {"host:65536", "host", -1, false},
        {"host:21x", "host", -1, false},
        {"[::1", "", 21, false},
        {"[::1]2121", "::1", 21, false},
        {":2121", "", 2121, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const FtpEndpoint endpoint = ParseFtpAddress(c.text);
        EXPECT_EQ(endpoint.valid, c.valid);
        if (c.valid) {
            EXPECT_EQ(endpoint.host, c.host);
            EXPECT_EQ(endpoint.port, c.port);
        }
    }
}

TEST(DeviceIdentifier, StableHexFromTheMachineId) {
    const auto folder = testing::MakeTempFolder("trakomer-devid-");
    const auto idFile = folder / "machine-id";
    std::ofstream(idFile) << "0123456789abcdef0123456789abcdef\n";
    const std::string id = DeviceIdentifier(idFile.string());
    EXPECT_EQ(id, DeviceIdentifier(idFile.string()));
    EXPECT_EQ(id, HashedIdentifier("0123456789abcdef0123456789abcdef"));
    EXPECT_EQ(id.size(), 8u);
    EXPECT_EQ(id.find_first_not_of("0123456789abcdef"), std::string::npos);
    EXPECT_NE(HashedIdentifier("a"), HashedIdentifier("b"));

    // Without a machine id: the host name, made safe for a file name.
    const std::string fallback = DeviceIdentifier((folder / "missing").string());
    EXPECT_FALSE(fallback.empty());
    EXPECT_EQ(fallback.find_first_of("/\\:. "), std::string::npos);
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace trakomer::upload

// The server address setting and the device identifier.

#include <gtest/gtest.h>

#include <fstream>

#include "tests/upload/pyftpd_server.h"
#include "upload/device_id.h"
#include "upload/ftp_address.h"
#include "upload/http_client.h"
#include "upload/tls_stream.h"

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

TEST(UploadAddresses, SchemesUrlsAndCertificatePins) {
    struct FtpCase {
        const char* text;
        const char* host;
        int port;
        bool tls;
    } ftpCases[] = {
        {"ftps://ftp.example.org", "ftp.example.org", 21, true},
        {"FTPS://[::1]:990/", "::1", 990, true},
        {"ftp://10.0.0.7:2121", "10.0.0.7", 2121, false},
    };
    for (const FtpCase& c : ftpCases) {
        const FtpEndpoint endpoint = ParseFtpAddress(c.text);
        EXPECT_TRUE(endpoint.valid) << c.text;
        EXPECT_EQ(endpoint.host, c.host) << c.text;
        EXPECT_EQ(endpoint.port, c.port) << c.text;
        EXPECT_EQ(endpoint.tls, c.tls) << c.text;
    }
    struct HttpCase {
        const char* text;
        bool valid, tls;
        const char* host;
        int port;
        const char* target;
    } httpCases[] = {
        {"http://10.0.0.2:5055", true, false, "10.0.0.2", 5055, "/"},
        {"https://t.example.org/osmand?x=1#top", true, true, "t.example.org", 443, "/osmand?x=1"},
        {"http://[::1]?id=1", true, false, "::1", 80, "/?id=1"},
        {"http://user:pw@h/", false, false, "", 0, ""},
        {"ftp://h/", false, false, "", 0, ""},
        {"http://h/a b", false, false, "", 0, ""},
    };
    for (const HttpCase& c : httpCases) {
        const HttpUrl url = ParseHttpUrl(c.text);
        EXPECT_EQ(url.valid, c.valid) << c.text;
        if (!c.valid) continue;
        EXPECT_EQ(url.tls, c.tls) << c.text;
        EXPECT_EQ(url.host, c.host) << c.text;
        EXPECT_EQ(url.port, c.port) << c.text;
        EXPECT_EQ(url.target, c.target) << c.text;
    }
    const std::string hex = "00112233445566778899aabbccddeeff00112233445566778899AABBCCDDEEFF";
    std::string pairs;
    for (size_t i = 0; i < hex.size(); i += 2) pairs += (i ? ":" : "") + hex.substr(i, 2);
    struct PinCase {
        std::string text;
        size_t bytes;
    } pins[] = {{"sha256:" + hex, 32}, {"SHA256:" + pairs, 32},    {"sha256:" + hex.substr(2), 0},
                {"sha1:" + hex, 0},    {"sha256:" + hex + "0", 0}, {"sha256::" + hex, 0}};
    for (const PinCase& c : pins) EXPECT_EQ(ParseCertificatePin(c.text).size(), c.bytes) << c.text;
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

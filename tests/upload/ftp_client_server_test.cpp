// The FTP client against a real FTP server on the loopback interface.

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "tests/upload/pyftpd_server.h"
#include "upload/ftp_client.h"

namespace trakomer::upload {
namespace {

using testing::MakeTempFolder;
using testing::PyFtpServer;

std::string RandomBytes(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& b : bytes) b = static_cast<char>(random() & 0xff);
    return bytes;
}

class FtpClientServer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Running()) << "pyftpdlib did not start";
        local_ = MakeTempFolder("trakomer-ftp-local-");
    }
    void TearDown() override { std::filesystem::remove_all(local_); }

    std::string WriteLocal(const std::string& name, const std::string& bytes) {
        const auto path = local_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    PyFtpServer server_{"walker", "s3cret"};
    std::filesystem::path local_;
};

TEST_F(FtpClientServer, StoresFilesByteForByte) {
    struct Case {
        const char* name;
        size_t size;
    } cases[] = {{"LL.empty.kmz", 0}, {"LL.small", 255}, {"LL.exact", 512}, {"LL.big.kmz", 3001}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string bytes = RandomBytes(c.size, static_cast<unsigned>(c.size));
        const std::string path = WriteLocal(c.name, bytes);
        int pumped = 0;
        FtpClient client;
        client.SetPump([&pumped] { ++pumped; });
        ASSERT_TRUE(client.Connect("127.0.0.1", server_.Port()));
        ASSERT_TRUE(client.Login("walker", "s3cret"));
        client.SetBinaryType();
        EXPECT_TRUE(client.Store(path, c.name));
        EXPECT_EQ(client.LastReplyCode(), 226);
        EXPECT_TRUE(client.Quit());
        EXPECT_EQ(server_.Contents(c.name), bytes);
        EXPECT_GT(pumped, 0);
    }
}

TEST_F(FtpClientServer, StoreReplacesAnOlderFile) {
    const std::string path = WriteLocal("a", "first version, longer");
    const std::string second = WriteLocal("b", "second");
    for (const std::string& local : {path, second}) {
        FtpClient client;
        ASSERT_TRUE(client.Connect("127.0.0.1", server_.Port()));
        ASSERT_TRUE(client.Login("walker", "s3cret"));
        client.SetBinaryType();
        EXPECT_TRUE(client.Store(local, "LL.same"));
        client.Quit();
    }
    EXPECT_EQ(server_.Contents("LL.same"), "second");
}

TEST_F(FtpClientServer, WrongPasswordFailsTheLogin) {
    FtpClient client;
    ASSERT_TRUE(client.Connect("127.0.0.1", server_.Port()));
    EXPECT_FALSE(client.Login("walker", "wrong"));
    EXPECT_EQ(client.LastReplyCode(), 530);
}

TEST_F(FtpClientServer, ConnectsByHostName) {
    // "localhost" may resolve to ::1 first, where nothing listens.
    FtpClient client;
    EXPECT_TRUE(client.Connect("localhost", server_.Port()));
    EXPECT_EQ(client.LastReplyCode(), 220);
}

TEST_F(FtpClientServer, EncryptedStoreResumesTheSessionOnTheDataConnection) {
    PyFtpServer tlsServer{"walker", "s3cret", true};
    ASSERT_TRUE(tlsServer.Running());
    const std::string bytes = RandomBytes(3001, 7);
    FtpClient client;
    client.SetTls(TlsPeer{"127.0.0.1", "sha256:" + tlsServer.Fingerprint()});
    ASSERT_TRUE(client.Connect("127.0.0.1", tlsServer.Port())) << client.TlsDetail();
    ASSERT_TRUE(client.Login("walker", "s3cret"));
    client.SetBinaryType();
    EXPECT_TRUE(client.Store(WriteLocal("LL.tls", bytes), "LL.tls"));
    EXPECT_TRUE(client.DataSessionResumed());
    EXPECT_TRUE(client.Quit());
    EXPECT_EQ(tlsServer.Contents("LL.tls"), bytes);
}

}  // namespace
}  // namespace trakomer::upload

// The FTP client against a scripted loopback server: reply framing, login
// rules and the bounded waits on servers that misbehave.

#include <gtest/gtest.h>

#include <unistd.h>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tests/upload/scripted_server.h"
#include "upload/ftp_client.h"

namespace trakomer::upload {
namespace {

using testing::HangUp;
using testing::Hear;
using testing::Say;
using testing::ScriptedServer;
using testing::StaySilent;

constexpr int kShortTimeoutMs = 300;

int64_t ElapsedMs(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 since)
        .count();
}

TEST(DataPortCommand, FormatsAddressAndPortBytes) {
    struct Case {
        const char* address;
        int port;
        bool ipv6;
        const char* expected;
    } cases[] = {
        {"10.1.2.3", 1047, false, "PORT 10,1,2,3,4,23"},
        {"127.0.0.1", 200, false, "PORT 127,0,0,1,0,200"},
        {"127.0.0.1", 256, false, "PORT 127,0,0,1,1,0"},
        {"192.168.100.254", 65535, false, "PORT 192,168,100,254,255,255"},
        {"::1", 40000, true, "EPRT |2|::1|40000|"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DataPortCommand(c.address, c.port, c.ipv6), c.expected) << c.address << c.port;
    }
}

struct GreetingCase {
    const char* name;
    std::vector<testing::ScriptStep> script;
    bool connects;
    int code;
    const char* replyText;
};

TEST(FtpClientGreeting, ReadsOrRejectsTheGreeting) {
    const GreetingCase cases[] = {
        {"multi-line",
         {Say("220-Welcome\r\n220-to the server\r\n220 ready\r\n"), StaySilent()},
         true,
         220,
         "220-Welcome\r\n220-to the server\r\n220 ready\r\n"},
        {"indented text lines",
         {Say("220-Hello\r\n    indented text\r\n\r\n220 ok\r\n"), StaySilent()},
         true,
         220,
         "220-Hello\r\n    indented text\r\n\r\n220 ok\r\n"},
        {"split into pieces",
         {Say("22"), Say("0 rea"), Say("dy\r\n"), StaySilent()},
         true,
         220,
         "220 ready\r\n"},
        {"not 220",
         {Say("421 too many users\r\n"), StaySilent()},
         false,
         421,
         "421 too many users\r\n"},
        {"closed mid-reply", {Say("220-Hello\r\n22"), HangUp()}, false, kFtpNoReply, ""},
        {"closed before greeting", {HangUp()}, false, kFtpNoReply, ""},
        {"two-character line", {Say("22\r\n"), StaySilent()}, false, kFtpNoReply, ""},
        {"never answers", {StaySilent()}, false, kFtpNoReply, ""},
        {"stops mid-line", {Say("220 rea"), StaySilent()}, false, kFtpNoReply, ""},
    };
    for (const GreetingCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server(c.script);
        FtpClient client;
        client.SetTimeoutMs(kShortTimeoutMs);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(client.Connect("127.0.0.1", server.Port()), c.connects);
        EXPECT_LT(ElapsedMs(start), kShortTimeoutMs + 500);
        EXPECT_EQ(client.IsConnected(), c.connects);
        EXPECT_EQ(client.LastReplyCode(), c.code);
        EXPECT_EQ(client.LastReplyText(), c.replyText);
    }
}

TEST(FtpClientLogin, AcceptsOnlyUserThenPassword) {
    struct Case {
        const char* name;
        const char* userReply;
        const char* passReply;
        bool loggedIn;
        size_t commandsHeard;
    } cases[] = {
        {"331 then 230", "331 password please\r\n", "230 welcome\r\n", true, 2},
        {"230 after USER", "230 no password needed\r\n", "", false, 1},
        {"bad password", "331 password please\r\n", "530 login incorrect\r\n", false, 2},
        {"unknown user", "530 go away\r\n", "", false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server(
            {Say("220 hi\r\n"), Hear(), Say(c.userReply), Hear(), Say(c.passReply), StaySilent()});
        FtpClient client;
        client.SetTimeoutMs(kShortTimeoutMs);
        ASSERT_TRUE(client.Connect("127.0.0.1", server.Port()));
        EXPECT_EQ(client.Login("anna", "secret"), c.loggedIn);
        client.Quit();
        server.Finish();
        ASSERT_GE(server.Heard().size(), c.commandsHeard);
        EXPECT_EQ(server.Heard()[0], "USER anna");
        if (c.commandsHeard == 2) {
            EXPECT_EQ(server.Heard()[1], "PASS secret");
        }
    }
}

TEST(FtpClientCommands, SendsOneLineEndedByCrLf) {
    ScriptedServer server({Say("220 hi\r\n"), Hear(), Say("200 a\r\n"), Hear(), Say("200 b\r\n"),
                           Hear(), Say("221 bye\r\n")});
    FtpClient client;
    client.SetTimeoutMs(kShortTimeoutMs);
    ASSERT_TRUE(client.Connect("127.0.0.1", server.Port()));
    EXPECT_FALSE(client.SendCommand(""));
    EXPECT_FALSE(client.SendCommand("USER x\r\nDELE y"));
    EXPECT_TRUE(client.SendCommand("NOOP"));
    EXPECT_EQ(client.ReadReply(), "200 a\r\n");
    EXPECT_TRUE(client.SendCommand("NOOP\r\n"));
    EXPECT_EQ(client.ReadReply(), "200 b\r\n");
    EXPECT_TRUE(client.Quit());
    EXPECT_FALSE(client.IsConnected());
    server.Finish();
    EXPECT_EQ(server.Heard(), (std::vector<std::string>{"NOOP", "NOOP", "QUIT"}));
}

TEST(FtpClientCommands, FailsFastOnceTheServerWentSilent) {
    // After one reply times out, later steps send nothing and wait for nothing.
    ScriptedServer server({Say("220 hi\r\n"), StaySilent()});
    FtpClient client;
    client.SetTimeoutMs(kShortTimeoutMs);
    ASSERT_TRUE(client.Connect("127.0.0.1", server.Port()));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(client.Login("anna", "secret"));
    client.SetBinaryType();
    EXPECT_FALSE(client.Store(__FILE__, "remote"));
    EXPECT_FALSE(client.Quit());
    EXPECT_LT(ElapsedMs(start), 2 * kShortTimeoutMs + 500);
}

class FtpClientStore : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("trakomer-ftp-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
        file_ = (folder_ / "local.bin").string();
        std::ofstream(file_) << "payload";
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::filesystem::path folder_;
    std::string file_;
};

TEST_F(FtpClientStore, RefusedStorDoesNotWaitForADataConnection) {
    ScriptedServer server({Say("220 hi\r\n"), Hear(), Say("200 type\r\n"), Hear(),
                           Say("200 port\r\n"), Hear(), Say("553 not allowed\r\n"), StaySilent()});
    FtpClient client;
    client.SetTimeoutMs(5000);
    ASSERT_TRUE(client.Connect("127.0.0.1", server.Port()));
    client.SetBinaryType();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(client.Store(file_, "LL.remote"));
    EXPECT_LT(ElapsedMs(start), 1000);
    EXPECT_EQ(client.LastReplyCode(), 553);
    server.Finish();
    ASSERT_EQ(server.Heard().size(), 3u);
    EXPECT_EQ(server.Heard()[0], "TYPE I");
    EXPECT_EQ(server.Heard()[1].rfind("PORT 127,0,0,1,", 0), 0u) << server.Heard()[1];
    EXPECT_EQ(server.Heard()[2], "STOR LL.remote");
}

TEST_F(FtpClientStore, RefusedPortAndMissingFileSetClientCodes) {
    ScriptedServer server(
        {Say("220 hi\r\n"), Hear(), Say("200 type\r\n"), Hear(), Say("500 no\r\n"), StaySilent()});
    FtpClient client;
    client.SetTimeoutMs(kShortTimeoutMs);
    ASSERT_TRUE(client.Connect("127.0.0.1", server.Port()));
    EXPECT_FALSE(client.Store((folder_ / "missing").string(), "x"));
    EXPECT_EQ(client.LastReplyCode(), kFtpTransferFailed);
    EXPECT_FALSE(client.Store(file_, "x"));
    EXPECT_EQ(client.LastReplyCode(), kFtpPortRefused);
}

TEST_F(FtpClientStore, DataConnectionThatNeverComesTimesOut) {
    ScriptedServer server({Say("220 hi\r\n"), Hear(), Say("200 type\r\n"), Hear(),
                           Say("200 port\r\n"), Hear(), Say("150 go ahead\r\n"), StaySilent()});
    FtpClient client;
    client.SetTimeoutMs(kShortTimeoutMs);
    ASSERT_TRUE(client.Connect("127.0.0.1", server.Port()));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(client.Store(file_, "x"));
    EXPECT_EQ(client.LastReplyCode(), kFtpTransferFailed);
    EXPECT_LT(ElapsedMs(start), kShortTimeoutMs + 700);
}

TEST(FtpClientWithoutConnection, EveryStepFails) {
    FtpClient client;
    EXPECT_EQ(client.TransferType(), "A");
    EXPECT_FALSE(client.SendCommand("NOOP"));
    EXPECT_EQ(client.ReadReply(), "");
    EXPECT_FALSE(client.Login("a", "b"));
    EXPECT_TRUE(client.SetBinaryType());
    EXPECT_EQ(client.TransferType(), "I");
    EXPECT_FALSE(client.Store(__FILE__, "x"));
    EXPECT_FALSE(client.Quit());
    // Nothing listens on port 1 of the loopback address.
    EXPECT_FALSE(client.Connect("127.0.0.1", 1));
    EXPECT_FALSE(client.Connect("", 21));
}

}  // namespace
}  // namespace trakomer::upload

// trakomer-cli upload against a real FTP server: what users run to check
// their server settings.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <regex>

#include "core/settings_file.h"
#include "files/trk_file.h"
#include "tests/upload/position_server.h"
#include "tests/upload/pyftpd_server.h"
#include "upload/device_id.h"

namespace trakomer::upload {
namespace {

using testing::MakeTempFolder;
using testing::PositionServer;
using testing::PyFtpServer;
using testing::ReadWholeFile;

struct RunResult {
    int exitCode = -1;
    std::string output;
};

RunResult RunCli(const std::string& arguments, bool withErrors = false) {
    // No system bus: the network counts as connected whatever this machine runs.
    const std::string command = "DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent " +
                                std::string(TRAKOMER_BINARY_DIR) + "/cli/trakomer-cli upload " +
                                arguments + (withErrors ? " 2>&1" : " 2>/dev/null");
    RunResult result;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) result.output += buffer;
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

class UploadCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Running()) << "pyftpdlib did not start";
        home_ = MakeTempFolder("trakomer-upload-cli-");
        auto track = std::make_unique<Track>();
        for (int i = 0; i <= 10; ++i) {
            track->points[i].latitude = 52.5 + i * 0.0005;
            track->points[i].longitude = 13.4;
            track->points[i].altitude = 40;
            track->points[i].time = 1718000000 + 10 * i;
        }
        track->lastIndex = 11;  // live: points 0-10 are written
        trackPath_ = (home_ / "walk.trk").string();
        ASSERT_TRUE(WriteTrk(*track, trackPath_));
        WriteSettings("s3cret");
    }
    void TearDown() override { std::filesystem::remove_all(home_); }

    void WriteSettings(const std::string& password, bool withAddress = true,
                       const std::string& address = {}, const std::string& pin = {}) {
        Settings settings = DefaultSettings(home_.string());
        if (withAddress) settings.mFtpAddress = "127.0.0.1:" + std::to_string(server_.Port());
        if (!address.empty()) settings.mFtpAddress = address;
        settings.mFtpCertificate = pin;
        settings.mPositionUrl = positionUrl_;
        settings.mFtpUser = "walker";
        settings.mFtpPassword = password;
        ASSERT_TRUE(SaveSettings((home_ / "trakomer.ini").string(), settings));
    }
    std::string Args(const std::string& options) const {
        return "--home '" + home_.string() + "' " + options + " '" + trackPath_ + "'";
    }

    PyFtpServer server_{"walker", "s3cret"};
    std::string positionUrl_;
    std::filesystem::path home_;
    std::string trackPath_;
    const std::string remote_ = "LL." + DeviceIdentifier();
};

TEST_F(UploadCliTest, UploadsEachTypeAndPrintsTheStatusLine) {
    const std::regex statusLine(R"(Upload @ \d\d:\d\d \d+\.\d\dk \[\d+\.\d\dk\]\n)");
    struct Case {
        const char* options;
        std::string name;
    } cases[] = {{"", remote_ + ".kmz"}, {"--type 2", remote_ + ".kmz"}, {"--type 3", remote_}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        const RunResult run = RunCli(Args(c.options));
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_TRUE(std::regex_match(run.output, statusLine)) << run.output;
        const std::string local = ReadWholeFile(home_ / c.name);
        EXPECT_FALSE(local.empty());
        EXPECT_EQ(server_.Contents(c.name), local);
    }
}

TEST_F(UploadCliTest, FailuresExitNonZero) {
    const std::regex failedLine(R"(Upload @ \d\d:\d\d failed\[Ftp\]\n)");
    WriteSettings("wrong");
    RunResult run = RunCli(Args(""));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(std::regex_match(run.output, failedLine)) << run.output;

    WriteSettings("s3cret", false);
    EXPECT_EQ(RunCli(Args("")).exitCode, 1);

    struct Case {
        const char* arguments;
        int exitCode;
    } cases[] = {
        {"", 2},
        {"--type 4 x.trk", 2},
        {"--type", 2},
        {"--bogus x.trk", 2},
        {"a.trk b.trk", 2},
        {"/nonexistent/track.trk", 1},
        {"notes.txt", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RunCli("--home '" + home_.string() + "' " + c.arguments).exitCode, c.exitCode)
            << c.arguments;
    }
}

TEST_F(UploadCliTest, EncryptedUploadsTrustOnlyTheSystemStoreOrThePin) {
    PyFtpServer tlsServer{"walker", "s3cret", true};
    ASSERT_TRUE(tlsServer.Running() && !tlsServer.Fingerprint().empty());
    const std::string address = "ftps://127.0.0.1:" + std::to_string(tlsServer.Port());
    const std::string pin = "sha256:" + tlsServer.Fingerprint();
    const std::string wrongPin = "sha256:" + std::string(64, 'a');
    const std::string plainAddress = "ftps://127.0.0.1:" + std::to_string(server_.Port());
    struct Case {
        std::string address, pin;
        int exitCode;
        const char* status;  // after "Upload @ hh:mm "
        std::string why;     // in the error output
    } cases[] = {
        {address, pin, 0, R"(\d+\.\d\dk \[\d+\.\d\dk\])", ""},
        {address, wrongPin, 1, R"(failed\[Tls pin\])", pin + ", not the pinned one"},
        {address, "", 1, R"(failed\[Tls untrusted\])",
         "self-signed certificate; the server's certificate is " + pin},
        {address, "sha256:12", 1, R"(failed\[Tls bad pin\])", "64 hex digits"},
        {plainAddress, "", 1, R"(failed\[Tls refused\])", "AUTH TLS"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address + " " + c.pin);
        WriteSettings("s3cret", true, c.address, c.pin);
        std::filesystem::remove(tlsServer.Home() / (remote_ + ".kmz"));
        const RunResult run = RunCli(Args(""), true);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_TRUE(std::regex_search(
            run.output, std::regex(std::string(R"(Upload @ \d\d:\d\d )") + c.status + "\n")))
            << run.output;
        EXPECT_NE(run.output.find(c.why), std::string::npos) << run.output;
        EXPECT_EQ(!tlsServer.Contents(remote_ + ".kmz").empty(), c.exitCode == 0);
    }
}

TEST_F(UploadCliTest, PositionsGoThroughTheQueueAndPrintTheirCounts) {
    PositionServer positions{DeviceIdentifier()};
    ASSERT_TRUE(positions.Start());
    positionUrl_ = positions.Url();
    WriteSettings("s3cret");
    positions.Stop();
    const std::string withTrack = "--positions '" + trackPath_ + "'";
    struct Step {
        bool serverUp;
        std::string options;
        int exitCode;
        const char* json;
    } steps[] = {
        {false, withTrack, 1, R"({"sent":0,"queued":11,"failed":1})"},
        {true, "--positions", 0, R"({"sent":11,"queued":0,"failed":0})"},
        {true, withTrack, 0, R"({"sent":0,"queued":0,"failed":0})"},  // already sent
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.options);
        if (step.serverUp) {
            ASSERT_TRUE(positions.Start());
        }
        const RunResult run = RunCli("--home '" + home_.string() + "' " + step.options);
        EXPECT_EQ(run.exitCode, step.exitCode);
        EXPECT_EQ(run.output, std::string(step.json) + "\n");
    }
    EXPECT_EQ(positions.Received().size(), 11u);
}

}  // namespace
}  // namespace trakomer::upload

// Upload scheduling: file names, the status line, when an upload happens,
// and the whole exchange against a real FTP server with stand-in writers.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "tests/upload/pyftpd_server.h"
#include "tests/upload/scripted_server.h"
#include "upload/file_writers.h"
#include "upload/uploader.h"

namespace trakomer::upload {
namespace {

using testing::MakeTempFolder;
using testing::PyFtpServer;
using testing::ReadWholeFile;

TEST(UploadStatusText, ShowsSizesOrTheFailure) {
    struct Case {
        int hour, minute;
        bool uploaded;
        int64_t size, total;
        bool connectFailed;
        const char* expected;
    } cases[] = {
        {9, 7, true, 2048, 2048, false, "Upload @ 09:07 2.00k [2.00k]"},
        {9, 7, true, 1024, 3072, false, "Upload @ 09:07 1.00k [3.00k]"},
        {23, 59, true, 1536, 1000000, false, "Upload @ 23:59 1.50k [976.56k]"},
        {0, 0, false, 0, 0, false, "Upload @ 00:00 failed[Ftp]"},
        {12, 30, false, 0, 0, true, "Upload @ 12:30 failed[Connect]"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(
            FormatUploadStatus(c.hour, c.minute, c.uploaded, c.size, c.total, c.connectFailed),
            c.expected);
    }
}

TEST(UploadFileName, NamesByUploadType) {
    EXPECT_EQ(UploadFileName(1, "ab12cd34"), "LL.ab12cd34.kmz");
    EXPECT_EQ(UploadFileName(2, "ab12cd34"), "LL.ab12cd34.kmz");
    EXPECT_EQ(UploadFileName(3, "ab12cd34"), "LL.ab12cd34");
}

// 07:07:30 UTC on a day in 2024; 09:07 local time at UTC+2.
constexpr int64_t kSevenOhSevenUtc = 1718000000 - (1718000000 % 86400) + 7 * 3600 + 7 * 60 + 30;
constexpr int64_t kTwoHours = 7200;

std::string Pattern(size_t size, char seed) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(seed + i * 7);
    return bytes;
}

// Stand-in writers: fixed contents whose sizes are known; they record what
// they were asked for.
struct RecordingWriters {
    size_t locationSize = 2048;
    size_t trackSize = 1024;
    std::vector<int> changesFrom;
    int calls = 0;

    UploadWriters Make() {
        UploadWriters writers;
        writers.location = [this](const std::string& path, const Track&, const Settings&) {
            return Write(path, Pattern(locationSize, 'L'));
        };
        writers.track = [this](const std::string& path, const Track&, const Settings&) {
            return Write(path, Pattern(trackSize, 'T'));
        };
        writers.changes = [this](const std::string& path, const Track& track, int from) {
            changesFrom.push_back(from);
            std::string text;
            for (int i = from; i < track.lastIndex; ++i) text += std::to_string(i) + "\n";
            return Write(path, text);
        };
        return writers;
    }
    int64_t Write(const std::string& path, const std::string& bytes) {
        ++calls;
        std::ofstream(path, std::ios::binary) << bytes;
        return static_cast<int64_t>(bytes.size());
    }
};

class UploaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = MakeTempFolder("trakomer-upload-");
        settings_.mFtpUser = "walker";
        settings_.mFtpPassword = "s3cret";
        track_.lastIndex = 10;
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    void UseServer(int port) { settings_.mFtpAddress = "127.0.0.1:" + std::to_string(port); }

    Uploader MakeUploader(ConnectionManager& network, int timeoutMs = 5000, Pump pump = {}) {
        return Uploader(UploadServices{network, idle_, clock_, writers_.Make(),
                                       (folder_ / "data").string(), "dev01", std::move(pump),
                                       timeoutMs});
    }

    std::filesystem::path folder_;
    Settings settings_;
    Track track_;
    RecordingWriters writers_;
    NoIdleTimer idle_;
    ManualClock clock_{kSevenOhSevenUtc, kTwoHours};
    ScriptedConnection online_{{kNetConnected}};
};

class UploaderServerTest : public UploaderTest {
protected:
    void SetUp() override {
        UploaderTest::SetUp();
        ASSERT_TRUE(server_.Running()) << "pyftpdlib did not start";
        UseServer(server_.Port());
    }
    PyFtpServer server_{"walker", "s3cret"};
};

TEST_F(UploaderServerTest, EachTypeLandsUnderItsName) {
    struct Case {
        int type;
        const char* remote;
        const char* status;
    } cases[] = {
        {1, "LL.dev01.kmz", "Upload @ 09:07 2.00k [2.00k]"},
        {2, "LL.dev01.kmz", "Upload @ 09:07 1.00k [1.00k]"},
        {3, "LL.dev01", "Upload @ 09:07 0.02k [0.02k]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        Uploader uploader = MakeUploader(online_);
        settings_.mUploadType = c.type;
        EXPECT_EQ(uploader.UploadNow(true, track_, settings_), UploadOutcome::Uploaded);
        EXPECT_EQ(uploader.StatusText(), c.status);
        const auto local = folder_ / "data" / c.remote;
        EXPECT_EQ(server_.Contents(c.remote), ReadWholeFile(local));
        EXPECT_FALSE(ReadWholeFile(local).empty());
        EXPECT_EQ(uploader.LastUploadedIndex(), 10);
    }
}

TEST_F(UploaderServerTest, ChangesStartAfterTheLastUploadedPoint) {
    settings_.mUploadType = 3;
    Uploader uploader = MakeUploader(online_);
    track_.lastIndex = 4;
    ASSERT_EQ(uploader.UploadNow(false, track_, settings_), UploadOutcome::Uploaded);
    track_.lastIndex = 7;
    ASSERT_EQ(uploader.UploadNow(false, track_, settings_), UploadOutcome::Uploaded);
    EXPECT_EQ(writers_.changesFrom, (std::vector<int>{0, 5}));
    EXPECT_EQ(server_.Contents("LL.dev01"), "5\n6\n");
}

TEST_F(UploaderServerTest, TimerUploadsOnlyNewPointsButTheCommandAlways) {
    Uploader uploader = MakeUploader(online_);
    ASSERT_EQ(uploader.UploadNow(false, track_, settings_), UploadOutcome::Uploaded);
    const std::string first = uploader.StatusText();
    EXPECT_EQ(uploader.UploadNow(false, track_, settings_), UploadOutcome::NotStarted);
    EXPECT_EQ(uploader.StatusText(), first);
    EXPECT_EQ(writers_.calls, 1);
    writers_.locationSize = 1024;
    EXPECT_EQ(uploader.UploadNow(true, track_, settings_), UploadOutcome::Uploaded);
    EXPECT_EQ(uploader.StatusText(), "Upload @ 09:07 1.00k [3.00k]");
    track_.lastIndex = 11;
    EXPECT_EQ(uploader.UploadNow(false, track_, settings_), UploadOutcome::Uploaded);
}

TEST_F(UploaderServerTest, WrongPasswordFailsAndKeepsTheCounters) {
    Uploader uploader = MakeUploader(online_);
    ASSERT_EQ(uploader.UploadNow(true, track_, settings_), UploadOutcome::Uploaded);
    settings_.mFtpPassword = "wrong";
    track_.lastIndex = 20;
    EXPECT_EQ(uploader.UploadNow(false, track_, settings_), UploadOutcome::Failed);
    EXPECT_EQ(uploader.StatusText(), "Upload @ 09:07 failed[Ftp]");
    EXPECT_EQ(uploader.LastUploadedIndex(), 10);
    EXPECT_EQ(uploader.BytesUploaded(), 2048);
}

TEST_F(UploaderServerTest, RequestsMadeDuringAnUploadAreIgnored) {
    std::vector<UploadOutcome> nested;
    Uploader* self = nullptr;
    Uploader uploader = MakeUploader(online_, 5000, [&] {
        if (nested.size() < 3) nested.push_back(self->UploadNow(true, track_, settings_));
    });
    self = &uploader;
    EXPECT_EQ(uploader.UploadNow(true, track_, settings_), UploadOutcome::Uploaded);
    EXPECT_EQ(nested, std::vector<UploadOutcome>(3, UploadOutcome::Busy));
    EXPECT_FALSE(uploader.Running());
    EXPECT_EQ(writers_.calls, 1);
}

TEST_F(UploaderServerTest, NetworkStatusDecidesEachStep) {
    struct Case {
        const char* name;
        std::vector<uint32_t> statuses;  // step 4, then before each FTP step
        uint32_t afterRequest;
        int autoConnect;
        UploadOutcome outcome;
        const char* status;
        int requests;
    } cases[] = {
        {"lost before STOR",
         {kNetConnected, kNetConnected, kNetConnected, kNetConnected, kNetDisconnected},
         kNetConnected,
         1,
         UploadOutcome::Failed,
         "Upload @ 09:07 failed[Connect]",
         0},
        {"lost before QUIT: the file is there",
         {kNetConnected, kNetConnected, kNetConnected, kNetConnected, kNetConnected,
          kNetDisconnected},
         kNetConnected,
         1,
         UploadOutcome::Uploaded,
         "Upload @ 09:07 2.00k [2.00k]",
         0},
        {"brought up on request",
         {kNetDisconnected, kNetConnected},
         kNetConnected,
         1,
         UploadOutcome::Uploaded,
         "Upload @ 09:07 2.00k [2.00k]",
         1},
        {"request times out",
         {kNetDisconnected},
         kNetDisconnected,
         1,
         UploadOutcome::Failed,
         "Upload @ 09:07 failed[Connect]",
         1},
        {"offline without auto connect",
         {kNetDisconnected},
         kNetConnected,
         0,
         UploadOutcome::Failed,
         "Upload @ 09:07 failed[Ftp]",
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedConnection network(c.statuses, c.afterRequest);
        settings_.mGPRSAuto = c.autoConnect;
        Uploader uploader = MakeUploader(network);
        EXPECT_EQ(uploader.UploadNow(true, track_, settings_), c.outcome);
        EXPECT_EQ(uploader.StatusText(), c.status);
        EXPECT_EQ(network.Requests(), c.requests);
    }
}

// The names of the entries of a zip archive, one a line.
std::string ZipEntries(const std::filesystem::path& archive) {
    std::string names;
    const std::string command = "unzip -Z1 '" + archive.string() + "'";
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) names += buffer;
        ::pclose(pipe);
    }
    return names;
}

TEST_F(UploaderServerTest, UploadsTheTrackFileDocuments) {
    const auto data = folder_ / "data";
    std::filesystem::create_directories(data);
    std::filesystem::copy_file(
        std::filesystem::path(TRAKOMER_SOURCE_DIR) / "resources/data/run.png", data / "run.png");
    for (int i = 0; i <= 10; ++i) {
        track_.points[i].latitude = 48.1 + i * 0.001;
        track_.points[i].longitude = 11.5;
        track_.points[i].altitude = 520;
        track_.points[i].time = 1718000000 + i;
    }
    struct Case {
        int type;
        const char* name;
        const char* entries;
    } cases[] = {
        {1, "LL.dev01.kmz", "LL.dev01.kml\nrun.png\n"},
        {2, "LL.dev01.kmz", "LL.dev01.kml\nrun.png\n"},
        {3, "LL.dev01", "LastLoc.txt\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        settings_.mUploadType = c.type;
        Uploader uploader(UploadServices{online_,
                                         idle_,
                                         clock_,
                                         FileUploadWriters(data.string()),
                                         data.string(),
                                         "dev01",
                                         {},
                                         5000});
        ASSERT_EQ(uploader.UploadNow(true, track_, settings_), UploadOutcome::Uploaded);
        const std::string local = ReadWholeFile(data / c.name);
        EXPECT_EQ(server_.Contents(c.name), local);
        EXPECT_EQ(ZipEntries(server_.Home() / c.name), c.entries);
        if (c.type != 3) {
            EXPECT_EQ(uploader.BytesUploaded(), static_cast<int64_t>(local.size()));
        }
    }
}

TEST_F(UploaderTest, NothingHappensWithoutAddressOrPoints) {
    Uploader uploader = MakeUploader(online_);
    settings_.mFtpAddress = "";
    EXPECT_EQ(uploader.UploadNow(true, track_, settings_), UploadOutcome::NotStarted);
    settings_.mFtpAddress = "127.0.0.1:1";
    track_.lastIndex = -1;
    EXPECT_EQ(uploader.UploadNow(true, track_, settings_), UploadOutcome::NotStarted);
    EXPECT_EQ(uploader.StatusText(), "");
    EXPECT_EQ(writers_.calls, 0);
    EXPECT_EQ(online_.StatusQueries(), 0u);
}

TEST_F(UploaderTest, SilentServerFailsWithinTheTimeOut) {
    using testing::Say;
    testing::ScriptedServer server({Say("220 hello\r\n"), testing::StaySilent()});
    UseServer(server.Port());
    Uploader uploader = MakeUploader(online_, 300);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(uploader.UploadNow(true, track_, settings_), UploadOutcome::Failed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
    EXPECT_EQ(uploader.StatusText(), "Upload @ 09:07 failed[Ftp]");
}

TEST_F(UploaderTest, UnreachableServerFails) {
    for (const char* address : {"127.0.0.1:1", "[::1]:1", "no-such-host.invalid", "127.0.0.1:x"}) {
        SCOPED_TRACE(address);
        settings_.mFtpAddress = address;
        Uploader uploader = MakeUploader(online_, 1000);
        EXPECT_EQ(uploader.UploadNow(true, track_, settings_), UploadOutcome::Failed);
        EXPECT_EQ(uploader.StatusText(), "Upload @ 09:07 failed[Ftp]");
    }
}

}  // namespace
}  // namespace trakomer::upload

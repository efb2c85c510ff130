// trakomer-cli record over receiver logs, and the splitting of a log into
// receiver seconds.
//
// The golden summaries in tests/cli/golden/ are regenerated, when the engine
// changes on purpose, with:
//   TRAKOMER_UPDATE_GOLDEN=1 ctest --test-dir <build> -R RecordCli

#include <gtest/gtest.h>

#include "tests/cli/cli_runner.h"

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/nmea_seconds.h"

namespace trakomer::cli {
namespace {

namespace fs = std::filesystem;
using test::kCli;
const std::string kDemo = test::kDemoLog;
const std::string kGolden = TRAKOMER_SOURCE_DIR "/tests/cli/golden/";

TEST(SplitIntoSeconds, GroupsSentencesFromOneRmcTimeToTheNext) {
    const std::string text =
        "$GPGSV,early\r\n"
        "$GPRMC,120000.00,A,,,,,,,150309,,*00\r\n$GPGGA,a\r\n"
        "$GPRMC,120000.00,A,,,,,,,150309,,*00\r\n"  // same time: same second
        "$GPRMC,120003.00,A,,,,,,,150309,,*00\r\n"  // a gap of three seconds
        "$GPRMC,115900.00,A,,,,,,,150309,,*00\r\n"  // backwards: one second on
        "$GPRMC,,V,,,,,,,,,*00\r\n"                 // no time: one second on
        "$GPRMC,,V,,,,,,,,,*00";                    // no line end at the end
    const ReceiverLog log = SplitIntoSeconds(text);
    ASSERT_EQ(log.seconds.size(), 5u);
    const int64_t offsets[] = {0, 3000, 4000, 5000, 6000};
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(log.seconds[i].offsetMs, offsets[i]) << i;
    EXPECT_EQ(log.seconds[0].bytes.rfind("$GPGSV,early", 0), 0u);
    EXPECT_NE(log.seconds[0].bytes.find("$GPGGA,a"), std::string::npos);
    EXPECT_TRUE(log.hasStartTime);
    EXPECT_EQ(log.startUnixSeconds, 1237118400);  // 2009-03-15 12:00:00 UTC
    std::string joined;
    for (const auto& s : log.seconds) joined += s.bytes;
    EXPECT_EQ(joined, text);
}

using test::CliRun;
using test::Shell;

class RecordCli : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/trakomer-record-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    CliRun Record(const std::string& options) {
        return Shell("TZ=UTC " + kCli + " record --input " + kDemo + " --home " + dir_ +
                     " --out-dir " + dir_ + " " + options + " 2>/dev/null");
    }

    // The summary without its file name, which depends on the folder.
    static std::string WithoutFile(const std::string& json) {
        const size_t at = json.find(",\"file\":");
        return at == std::string::npos ? json : json.substr(0, at);
    }

    std::string dir_;
};

TEST_F(RecordCli, DemoLogSummariesMatchTheGoldenFiles) {
    for (const std::string profile : {"walk", "run", "car"}) {
        for (const bool autostart : {false, true}) {
            const std::string name = profile + (autostart ? "_autostart" : "") + ".json";
            const CliRun run = Record("--profile " + profile + (autostart ? " --autostart" : ""));
            ASSERT_FALSE(run.out.empty()) << name;
            const std::string actual = WithoutFile(run.out);
            if (std::getenv("TRAKOMER_UPDATE_GOLDEN") != nullptr) {
                std::ofstream(kGolden + name) << actual << "\n";
                continue;
            }
            std::ifstream in(kGolden + name);
            ASSERT_TRUE(in) << "missing golden file " << name;
            std::string expected;
            std::getline(in, expected);
            EXPECT_EQ(actual, expected) << name;
        }
    }
}

TEST_F(RecordCli, RejectsBadArguments) {
    for (const std::string args : {"", "--profile hike", "--input", "--bogus"}) {
        const CliRun run = Shell(kCli + " record " + args + " 2>/dev/null");
        EXPECT_EQ(run.exitCode, 2) << args;
    }
    const CliRun missing = Shell(kCli + " record --input " + dir_ + "/none.nmea 2>/dev/null");
    EXPECT_EQ(missing.exitCode, 1);
}

TEST_F(RecordCli, ALogWithoutAFixRecordsNothing) {
    std::ofstream(dir_ + "/nofix.nmea") << "$GPRMC,070000.000,V,,,,,,,150309,,,N*44\r\n";
    const CliRun run = Shell(kCli + " record --input " + dir_ + "/nofix.nmea --home " + dir_ +
                          " 2>/dev/null");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("\"points\":0"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"file\":null"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace trakomer::cli

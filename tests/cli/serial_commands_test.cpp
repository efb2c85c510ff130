// trakomer-cli ports and record --device as a user runs them: a live
// recording from the demo receiver ended by a signal.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/gps/nmea_test_util.h"
#include "tests/gps/fake_modem_manager.h"
#include "tests/gps/pty_pair.h"
#include "tests/upload/private_bus.h"

namespace {

namespace fs = std::filesystem;
const std::string kCli = TRAKOMER_BINARY_DIR "/cli/trakomer-cli";

class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/trakomer-cli-serial-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TempDir() { fs::remove_all(path_); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A running trakomer-cli with standard output and error in files.
class CliProcess {
public:
    CliProcess(const std::vector<std::string>& args, const std::string& dir)
        : out_(dir + "/stdout"), err_(dir + "/stderr") {
        std::vector<std::string> all = {kCli};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (posix_spawn(&pid_, kCli.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~CliProcess() {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool Started() const { return pid_ > 0; }
    void Signal(int sig) { kill(pid_, sig); }

    // Waits up to ms for the process to end; its wait status, or -1.
    int WaitMs(int ms) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                exited_ = true;
                return status;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return -1;
    }
    std::string Out() const { return ReadFile(out_); }
    std::string Err() const { return ReadFile(err_); }

private:
    std::string out_, err_;
    pid_t pid_ = -1;
    bool exited_ = false;
};

// Seconds of the demo log that have a fix.
std::string DemoSecondsWithFix(const std::string& dir) {
    std::ifstream in(TRAKOMER_SOURCE_DIR "/data/demo/demo.nmea", std::ios::binary);
    std::string line, text;
    for (int n = 1; std::getline(in, line) && n < 1700; ++n) {
        if (n >= 1500) text += line + "\n";
    }
    const std::string path = dir + "/walk.nmea";
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

TEST(CliRecordLive, StopSignalStopsSavesAndExits) {
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        TempDir dir;
        const std::string log = DemoSecondsWithFix(dir.Path());
        CliProcess cli({"record", "--device", "demo:" + log, "--home", dir.Path() + "/home",
                        "--out-dir", dir.Path() + "/tracks"},
                       dir.Path());
        ASSERT_TRUE(cli.Started());
        std::this_thread::sleep_for(std::chrono::milliseconds(4500));
        cli.Signal(sig);
        const int status = cli.WaitMs(5000);
        ASSERT_NE(status, -1) << "still running after the signal";
        ASSERT_TRUE(WIFEXITED(status)) << "ended by a signal: " << cli.Err();
        const std::string out = cli.Out();
        std::smatch points;
        ASSERT_TRUE(std::regex_search(out, points, std::regex("\"points\":([0-9]+)"))) << out;
        EXPECT_GE(std::stoi(points[1]), 2) << out;
        EXPECT_NE(out.find("\"event\":\"stop\""), std::string::npos) << out;
        // Exit 0 exactly when the track was saved.
        const bool saved = out.find("\"file\":null") == std::string::npos;
        EXPECT_EQ(WEXITSTATUS(status) == 0, saved) << cli.Err();
    }
}

TEST(CliRecordLive, AJournalThatCannotBeWrittenIsSaidAtOnceAndCatchesUp) {
    TempDir dir;
    const std::string log = DemoSecondsWithFix(dir.Path());
    // Every folder of the program in the test's own; the state folder's
    // parent is a file at first.
    const std::string blocker = dir.Path() + "/state";
    std::ofstream(blocker) << "a file where a folder should be";
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
        setenv(name, (dir.Path() + "/" + name).c_str(), 1);
    }
    setenv("XDG_STATE_HOME", blocker.c_str(), 1);
    fs::create_directories(dir.Path() + "/tracks");
    CliProcess cli({"record", "--device", "demo:" + log, "--out-dir", dir.Path() + "/tracks"},
                   dir.Path());
    ASSERT_TRUE(cli.Started());
    ASSERT_TRUE(trakomer::test::WaitUntil(
        [&] { return cli.Err().find("Journal: Not a directory") != std::string::npos; }, 8000))
        << cli.Err();
    fs::remove(blocker);
    ASSERT_TRUE(trakomer::test::WaitUntil(
        [&] { return cli.Err().find("Journal: writing again") != std::string::npos; }, 5000))
        << cli.Err();
    int journals = 0;
    for (const auto& entry : fs::directory_iterator(blocker + "/trakomer")) {
        journals += entry.path().extension() == ".journal";
    }
    EXPECT_EQ(journals, 1);
    cli.Signal(SIGTERM);
    const int status = cli.WaitMs(5000);
    ASSERT_TRUE(status != -1 && WIFEXITED(status)) << cli.Err();
    EXPECT_EQ(WEXITSTATUS(status), 0) << cli.Err();
    EXPECT_TRUE(fs::is_empty(blocker + "/trakomer")) << "saved, so the journal is gone";
}

TEST(CliRecordLive, RecordsFromAModemThroughModemManager) {
    TempDir dir;
    std::ifstream in(DemoSecondsWithFix(dir.Path()));
    std::vector<std::string> sentences;
    for (std::string line; std::getline(in, line);) sentences.push_back(line);
    trakomer::upload::testing::PrivateBus bus;
    ASSERT_FALSE(bus.Address().empty());
    trakomer::test::FakeModemOptions options;
    options.secondMs = 250;
    trakomer::test::FakeModemManager modems(bus.Address(), options, sentences);
    ASSERT_TRUE(modems.Ready());
    fs::create_directories(dir.Path() + "/tracks");
    setenv("DBUS_SYSTEM_BUS_ADDRESS", bus.Address().c_str(), 1);
    CliProcess cli({"record", "--device", "modem", "--home", dir.Path() + "/home", "--out-dir",
                    dir.Path() + "/tracks"},
                   dir.Path());
    unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    ASSERT_TRUE(cli.Started());
    std::this_thread::sleep_for(std::chrono::milliseconds(4000));
    cli.Signal(SIGINT);
    const int status = cli.WaitMs(5000);
    ASSERT_TRUE(status != -1 && WIFEXITED(status)) << cli.Err();
    EXPECT_EQ(WEXITSTATUS(status), 0) << cli.Err();
    EXPECT_NE(cli.Err().find("every new sentence"), std::string::npos) << cli.Err();
    std::smatch points;
    const std::string out = cli.Out();
    ASSERT_TRUE(std::regex_search(out, points, std::regex("\"points\":([0-9]+)"))) << out;
    EXPECT_GE(std::stoi(points[1]), 2) << out;
    EXPECT_EQ(modems.Enabled(), 1u);  // its sources given back
}

TEST(CliRecordLive, ConfigurationSentencesGoOutOnceWhenEnabled) {
    for (bool enabled : {true, false}) {
        TempDir dir;
        fs::create_directories(dir.Path() + "/home");
        std::ofstream(dir.Path() + "/home/trakomer.ini")
            << "mNMEAEnableGPGGA: " << (enabled ? 1 : 0) << "\n";
        trakomer::test::PtyPair receiver;
        ASSERT_TRUE(receiver.Valid());
        CliProcess cli({"record", "--device", receiver.SlavePath(), "--baud", "9600", "--home",
                        dir.Path() + "/home", "--out-dir", dir.Path() + "/tracks"},
                       dir.Path());
        ASSERT_TRUE(cli.Started());
        const std::string sent = receiver.ReadFor(1500);
        EXPECT_EQ(receiver.SlaveBaudRate(), 9600);
        cli.Signal(SIGTERM);
        const int status = cli.WaitMs(5000);
        ASSERT_TRUE(status != -1 && WIFEXITED(status)) << cli.Err();
        EXPECT_EQ(WEXITSTATUS(status), 0) << cli.Err();  // no fix: nothing to save
        EXPECT_EQ(sent, enabled ? "$PSRF103,00,00,01,01\r\n$PSRF103,03,00,01,01\r\n" : "");
    }
}

// One second of a walk north: RMC and GGA at 12:00:00 + second.
std::string WalkSecond(int second) {
    char time[32], lat[32];
    std::snprintf(time, sizeof time, "12%02d%02d.00", second / 60, second % 60);
    std::snprintf(lat, sizeof lat, "4800.%04d", second * 20);  // 37 m a second
    return trakomer::test::WithChecksum(std::string("GPRMC,") + time + ",A," + lat +
                                        ",N,01130.0000,E,72.0,0.0,150309,,") +
           trakomer::test::WithChecksum(std::string("GPGGA,") + time + "," + lat +
                                        ",N,01130.0000,E,1,08,0.9,500.0,M,,M,,");
}

// Feeds seconds [from, to) at twice the real pace.
bool Walk(trakomer::test::PtyPair& receiver, int from, int to) {
    for (int s = from; s < to; ++s) {
        if (!receiver.WriteAll(WalkSecond(s))) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    return true;
}

TEST(CliRecordLive, ReceiverUnpluggedAndBackBehindItsSymlinkGivesOneTrack) {
    TempDir dir;
    const std::string link = dir.Path() + "/gps-receiver";
    auto first = std::make_unique<trakomer::test::PtyPair>();
    ASSERT_TRUE(first->Valid());
    fs::create_symlink(first->SlavePath(), link);
    fs::create_directories(dir.Path() + "/tracks");
    CliProcess cli({"record", "--device", link, "--home", dir.Path() + "/home", "--out-dir",
                    dir.Path() + "/tracks"},
                   dir.Path());
    ASSERT_TRUE(cli.Started());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(Walk(*first, 0, 8));
    first.reset();  // unplugged: the device node goes away
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    trakomer::test::PtyPair second;
    ASSERT_TRUE(second.Valid());
    fs::create_symlink(second.SlavePath(), link + ".new");
    fs::rename(link + ".new", link);
    // Reopened within a reopen period or two.
    ASSERT_TRUE(trakomer::test::WaitUntil(
        [&] { return cli.Err().find("the receiver is back") != std::string::npos; }, 5000))
        << cli.Err();
    ASSERT_TRUE(Walk(second, 20, 28));
    cli.Signal(SIGTERM);
    const int status = cli.WaitMs(5000);
    ASSERT_TRUE(status != -1 && WIFEXITED(status)) << cli.Err();
    EXPECT_EQ(WEXITSTATUS(status), 0) << cli.Err();
    EXPECT_NE(cli.Err().find("the receiver went away"), std::string::npos) << cli.Err();

    // One saved track, with points from both receivers: it spans from the
    // first receiver's seconds (0-7) to the second's (20-27).
    const std::string out = cli.Out();
    std::smatch m;
    ASSERT_TRUE(std::regex_search(out, m, std::regex("\"elapsedSeconds\":([0-9]+)"))) << out;
    EXPECT_GE(std::stoi(m[1]), 20) << out;
    EXPECT_EQ(out.find("\"file\":null"), std::string::npos) << out;
    int saved = 0;
    for (const auto& entry : fs::directory_iterator(dir.Path() + "/tracks")) {
        saved += entry.path().extension() == ".trz";
    }
    EXPECT_EQ(saved, 1);
}

// A receiver's second with a 3D fix, walking north.
std::string FixSecond(int second) {
    using trakomer::test::WithChecksum;
    char time[32], lat[32];
    std::snprintf(time, sizeof time, "12%02d%02d.00", second / 60 % 60, second % 60);
    std::snprintf(lat, sizeof lat, "4807.%03d", 100 + second * 5);
    return WithChecksum(std::string("GPRMC,") + time + ",A," + lat +
                        ",N,01131.000,E,4.0,0.0,250109,,") +
           WithChecksum(std::string("GPGGA,") + time + "," + lat +
                        ",N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,") +
           WithChecksum("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1");
}

TEST(CliRecordLive, AKilledRecordingIsRecoveredButTheNewestPoint) {
    TempDir dir;
    const std::string home = dir.Path() + "/home";
    trakomer::test::PtyPair receiver;
    ASSERT_TRUE(receiver.Valid());
    CliProcess cli({"record", "--device", receiver.SlavePath(), "--baud", "9600", "--profile",
                    "car", "--home", home, "--out-dir", dir.Path() + "/tracks"},
                   dir.Path());
    ASSERT_TRUE(cli.Started());
    // A new fix every 250 ms for six seconds: about six point ticks.
    constexpr int kFixes = 24;
    for (int s = 0; s < kFixes; ++s) {
        ASSERT_TRUE(receiver.WriteAll(FixSecond(s)));
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    // A recover beside the running recorder leaves its journal alone.
    TempDir beside;
    CliProcess early({"recover", "--home", home, "--out-dir", dir.Path() + "/recovered"},
                     beside.Path());
    ASSERT_NE(early.WaitMs(5000), -1);
    const std::regex locked(R"re(\{"points":0,"journals":\[\{"journal":"[^"]+\.journal",)re"
                            R"re("outcome":"locked","points":0,)re"
                            R"re("reason":"locked by a running recorder"\}\]\}\n)re");
    EXPECT_TRUE(std::regex_match(early.Out(), locked)) << early.Out() << early.Err();
    // The points on disk just before the kill: all of them come back.
    int journaled = 0;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(home, error)) {
        if (entry.path().extension() == ".journal") {
            journaled = static_cast<int>((fs::file_size(entry.path()) - 32) / 29);
        }
    }
    cli.Signal(SIGKILL);
    ASSERT_NE(cli.WaitMs(5000), -1);

    TempDir again;
    CliProcess recover({"recover", "--home", home, "--out-dir", dir.Path() + "/recovered"},
                       again.Path());
    const int status = recover.WaitMs(5000);
    ASSERT_TRUE(status != -1 && WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << recover.Err();
    std::smatch found;
    const std::string out = recover.Out();
    ASSERT_TRUE(std::regex_match(out, found,
                                 std::regex(R"re(\{"points":([0-9]+),"file":"([^"]+)",)re"
                                            R"re("journals":\[\{.*"outcome":"recovered".*\]\}\n)re")))
        << out << recover.Err();
    EXPECT_GE(journaled, 2);
    EXPECT_GE(std::stoi(found[1]), journaled) << out;
    EXPECT_LE(std::stoi(found[1]), kFixes / 4 + 1) << out;  // a point a second at most
    EXPECT_TRUE(fs::exists(found[2].str())) << out;

    // Nothing is left to recover.
    CliProcess none({"recover", "--home", home}, again.Path());
    ASSERT_NE(none.WaitMs(5000), -1);
    EXPECT_EQ(none.Out(), "{\"points\":0,\"journals\":[]}\n");
}

TEST(CliRecordLive, ArgumentAndDeviceErrors) {
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* stderrHas;
    };
    const Case cases[] = {
        {{"record", "--device", "/nonexistent/ttyGPS"}, 1, "not found!"},
        {{"record", "--device", "demo:/nonexistent/log.nmea"}, 1, "not found!"},
        {{"record", "--device", "/dev/null", "--baud", "1234"}, 2, "--baud"},
        {{"record", "--input", "x.nmea", "--baud", "4800"}, 2, "--baud"},
        {{"record", "--input", "x.nmea", "--device", "demo"}, 2, "either"},
        {{"record", "--device", "modem"}, 1, "ModemManager is not running!"},
    };
    setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/bus", 1);
    for (const Case& c : cases) {
        TempDir dir;
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--home", dir.Path()});
        CliProcess cli(args, dir.Path());
        const int status = cli.WaitMs(5000);
        ASSERT_TRUE(status != -1 && WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), c.exitCode) << c.args[2];
        EXPECT_NE(cli.Err().find(c.stderrHas), std::string::npos) << cli.Err();
    }
    unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
}

TEST(CliScan, ScansOnlyTheNamedDevice) {
    TempDir dir;
    const std::string log = DemoSecondsWithFix(dir.Path());
    CliProcess cli({"scan", "--device", "demo:" + log, "--home", dir.Path()}, dir.Path());
    const int status = cli.WaitMs(30000);
    ASSERT_TRUE(status != -1 && WIFEXITED(status)) << cli.Err();
    EXPECT_EQ(WEXITSTATUS(status), 0) << cli.Err();
    EXPECT_NE(cli.Out().find("\"found\":true"), std::string::npos) << cli.Out();
    // No discovered port (they all live in /dev) was tried.
    EXPECT_EQ(cli.Err().find("/dev/"), std::string::npos) << cli.Err();
}

TEST(CliPorts, ListsSerialPortsThenGpsdModemsAndTheDemoReceiver) {
    TempDir dir;
    trakomer::upload::testing::PrivateBus bus;
    ASSERT_FALSE(bus.Address().empty());
    trakomer::test::FakeModemManager modems(bus.Address(), {});
    ASSERT_TRUE(modems.Ready());
    setenv("DBUS_SYSTEM_BUS_ADDRESS", bus.Address().c_str(), 1);
    CliProcess cli({"ports"}, dir.Path());
    const int status = cli.WaitMs(5000);
    unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    ASSERT_TRUE(status != -1 && WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::istringstream lines(cli.Out());
    const std::regex serial(
        R"(\{"portName":"/dev/[^"]+","friendlyName":"[^"]*","kind":"serial"\})");
    std::vector<std::string> others;
    for (std::string line; std::getline(lines, line);) {
        if (std::regex_match(line, serial)) {
            EXPECT_TRUE(others.empty()) << "serial ports come first: " << line;
        } else if (line != R"({"portName":"gpsd","friendlyName":"gpsd","kind":"gpsd"})") {
            others.push_back(line);  // a gpsd may run on this machine
        }
    }
    const std::vector<std::string> expected = {
        R"j({"portName":"modem:0","friendlyName":"Modem GNSS (QUECTEL EG25)","kind":"modem"})j",
        R"({"portName":"demo","friendlyName":"Demo receiver","kind":"demo"})"};
    EXPECT_EQ(others, expected);
}

}  // namespace

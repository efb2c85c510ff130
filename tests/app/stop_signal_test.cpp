// The recorder as a process: a stop signal ends it cleanly (exit 0, the
// settings written), however it was started; a restart runs it again.

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Waits up to `ms` for the child; its exit status, or -1 while it runs.
int WaitFor(pid_t pid, int ms) {
    for (int waited = 0; waited < ms; waited += 20) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
}

// A home folder that is also the runtime folder, with stand-in systemctl
// and systemd-run that log their arguments: the program never reaches the
// user manager, the session bus or the system bus of whoever runs the test.
class ProgramHome {
public:
    ProgramHome() {
        char pattern[] = "/tmp/trakomer-process-XXXXXX";
        if (mkdtemp(pattern)) path_ = pattern;
        fs::create_directories(path_ / "bin");
        for (const char* name : {"systemd-run", "systemctl"}) {
            std::ofstream(path_ / "bin" / name)
                << "#!/bin/sh\necho \"$0 $*\" >> '" << (path_ / "commands.log").string() << "'\n";
            fs::permissions(path_ / "bin" / name, fs::perms::owner_all);
        }
    }
    ~ProgramHome() { fs::remove_all(path_); }
    const fs::path& Path() const { return path_; }
    std::string Read(const char* name) const {
        std::ifstream file(path_ / name);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }
    // Starts `program --home HOME` plus `extra`; the process id, or 0.
    pid_t Start(const std::string& program, std::vector<std::string> extra = {}) const {
        std::vector<std::string> args = {program, "--home", path_.string()};
        args.insert(args.end(), extra.begin(), extra.end());
        std::vector<std::string> env = {
            "QT_QPA_PLATFORM=offscreen", "SDL_AUDIODRIVER=dummy", "HOME=" + path_.string(),
            "XDG_RUNTIME_DIR=" + path_.string(), "PATH=" + (path_ / "bin").string() + ":/usr/bin:/bin",
            "DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent",
            "DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent"};
        // The rest of this process's environment (sanitizer options) stays.
        const size_t own = env.size();
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            const std::string name = entry.substr(0, entry.find('=') + 1);
            bool replaced = false;
            for (size_t i = 0; i < own; ++i) replaced = replaced || env[i].starts_with(name);
            if (!replaced) env.push_back(entry);
        }
        std::vector<char*> argv, envp;
        for (std::string& a : args) argv.push_back(a.data());
        for (std::string& e : env) envp.push_back(e.data());
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        pid_t pid = 0;
        return posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), envp.data()) == 0
                   ? pid
                   : 0;
    }

private:
    fs::path path_;
};

class StopSignal : public ::testing::TestWithParam<int> {};

TEST_P(StopSignal, EndsTheRecorderAsExitDoes) {
    ProgramHome home;
    const std::string device = (home.Path() / "no-such-port").string();
    const pid_t pid = home.Start(TRAKOMER_BINARY_DIR "/app/trakomer", {"--device", device});
    ASSERT_NE(pid, 0);
    // Started once its instance socket listens.
    const fs::path socket = home.Path() / "trakomer" / "trakomer";
    for (int i = 0; i < 500 && !fs::exists(socket); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(fs::exists(socket));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(pid, GetParam());
    int code = WaitFor(pid, 10000);
    if (code == -1) {
        kill(pid, SIGKILL);
        code = WaitFor(pid, 5000);
        ADD_FAILURE() << "the recorder did not stop on signal " << GetParam();
    }
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(fs::exists(home.Path() / "trakomer.ini"));
    // Exit removed the launcher's pending run before the process ended.
    EXPECT_NE(home.Read("commands.log").find("systemctl --user stop trakomer-run-trastart-"),
              std::string::npos);
}

// A restart replaces the process (the same process id) once the first run
// has written its settings and let go of its socket; the new run reads the
// changed settings.
TEST(Restart, TheSameProcessRunsAgainWithTheNewSettings) {
    ProgramHome home;
    const pid_t pid = home.Start(TRAKOMER_BINARY_DIR "/tests/app/app_restart_probe");
    ASSERT_NE(pid, 0);
    int code = WaitFor(pid, 30000);
    if (code == -1) {
        kill(pid, SIGKILL);
        WaitFor(pid, 5000);
    }
    EXPECT_EQ(code, 0);
    const std::string id = std::to_string(pid);
    EXPECT_EQ(home.Read("runs.log"), id + " \n" + id + " Restarted\n");
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignal, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const auto& p) { return std::string(sigabbrev_np(p.param)); });

}  // namespace

// The recorder as a process: a stop signal ends it cleanly (exit 0, the
// settings written), however it was started.

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

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

class StopSignal : public ::testing::TestWithParam<int> {};

TEST_P(StopSignal, EndsTheRecorderAsExitDoes) {
    char pattern[] = "/tmp/trakomer-signal-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string home = pattern;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("XDG_RUNTIME_DIR", home.c_str(), 1);  // an instance socket of its own
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const std::string program = TRAKOMER_BINARY_DIR "/app/trakomer";
    const std::string device = home + "/no-such-port";
    const char* argv[] = {program.c_str(), "--home", home.c_str(), "--device", device.c_str(),
                          nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, const_cast<char**>(argv),
                          environ),
              0);
    // Started once its instance socket listens.
    const fs::path socket = fs::path(home) / "trakomer" / "trakomer";
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
    EXPECT_TRUE(fs::exists(fs::path(home) / "trakomer.ini"));
    fs::remove_all(home);
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignal, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const auto& p) { return std::string(sigabbrev_np(p.param)); });

}  // namespace

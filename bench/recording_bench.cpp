// The recorder at work: the window on the demo receiver (its home folder
// holds the demo map, the run profile may start a recording by itself), on
// the map screen and on a text screen. After ten seconds it reports the
// share of a core it used over TRAKOMER_RECORD_SECONDS (30 unless set) and
// its memory from /proc/PID/smaps_rollup (private, USS, and shared), and
// whether a recording runs (its journal exists). A run takes 80 s.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "core/settings.h"
#include "core/settings_file.h"
#include "core/statistics.h"

extern char** environ;

namespace {

// The program under test: the one built beside this benchmark, or the one
// TRAKOMER_BENCH_PROGRAM names (to measure another build in the same run).
const char* Program() {
    const char* other = std::getenv("TRAKOMER_BENCH_PROGRAM");
    return other != nullptr ? other : TRAKOMER_PROGRAM;
}

// utime + stime of the process, in clock ticks.
long long CpuTicks(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t end = text.rfind(')');
    if (end == std::string::npos) return -1;
    std::istringstream fields(text.substr(end + 2));
    std::string field;
    long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) utime = std::stoll(field);
        if (i == 15) stime = std::stoll(field);
    }
    return utime + stime;
}

// The kB fields of smaps_rollup by name.
std::map<std::string, double> MemoryKb(pid_t pid) {
    std::map<std::string, double> kb;
    std::ifstream in("/proc/" + std::to_string(pid) + "/smaps_rollup");
    std::string name;
    double value = 0;
    std::string unit;
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        if (fields >> name >> value >> unit && unit == "kB") kb[name] = value;
    }
    return kb;
}

bool HasJournal(const std::string& home) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(home, error)) {
        if (entry.path().extension() == ".journal") return true;
    }
    return false;
}

void BM_Recording(benchmark::State& state) {
    const char* secondsText = std::getenv("TRAKOMER_RECORD_SECONDS");
    const int seconds = secondsText != nullptr ? std::atoi(secondsText) : 30;
    char pattern[] = "/tmp/trakomer-record-XXXXXX";
    const std::filesystem::path dir = mkdtemp(pattern);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);  // an instance socket of its own
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("TRAKOMER_START_SCREEN", std::to_string(state.range(0)).c_str(), 1);
    const std::string home = (dir / "home").string();
    std::filesystem::create_directory(home);
    trakomer::Settings settings = trakomer::DefaultSettings(home);
    settings.mUserProfile = static_cast<int>(trakomer::UserProfile::Run);
    trakomer::SaveSettings(home + "/trakomer.ini", settings);
    const char* argv[] = {Program(), "--home", home.c_str(), "--device", "demo", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, const_cast<char**>(argv),
                                    environ);
    posix_spawn_file_actions_destroy(&actions);
    unsetenv("TRAKOMER_START_SCREEN");
    if (spawned != 0) {
        state.SkipWithError("the recorder did not start");
        return;
    }
    for (auto _ : state) {
        // The run profile starts recording by itself once the demo runner
        // moves off: measure from then on (the receiver searches first).
        for (int waited = 0; !HasJournal(home) && waited < 240; ++waited) {
            std::this_thread::sleep_for(std::chrono::seconds(1));
        }
        if (!HasJournal(home)) {
            state.SkipWithError("no recording started");
            break;
        }
        const long long before = CpuTicks(pid);
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        const long long used = CpuTicks(pid) - before;
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(wall);
        if (before < 0 || used < 0) {
            state.SkipWithError("the recorder ended early");
            break;
        }
        std::map<std::string, double> kb = MemoryKb(pid);
        state.counters["cpu_%"] = 100.0 * static_cast<double>(used) / sysconf(_SC_CLK_TCK) / wall;
        state.counters["private_MiB"] = (kb["Private_Clean:"] + kb["Private_Dirty:"]) / 1024;
        state.counters["shared_MiB"] = (kb["Shared_Clean:"] + kb["Shared_Dirty:"]) / 1024;
        state.counters["rss_MiB"] = kb["Rss:"] / 1024;
        state.counters["recording"] = HasJournal(home) ? 1 : 0;
        // Clean pages count as shared only while another process maps the
        // same file: the written pages and the heap are the steady part.
        state.counters["private_dirty_MiB"] = kb["Private_Dirty:"] / 1024;
        state.counters["anonymous_MiB"] = kb["Anonymous:"] / 1024;
    }
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    std::filesystem::remove_all(dir);
}
// Screen 0 is the altitude map, 2 the summary text.
BENCHMARK(BM_Recording)->ArgName("screen")->Arg(0)->Arg(2)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

// Where the start goes: the whole `trakomer --render-screen 0` of a full
// track, process start to exit, beside the pieces it is made of (GL context
// on Mesa's software renderer, with and without the shipped images and the
// demo map package, the TGA decoding alone, the settings file), and the
// window's first painted frame on the demo receiver.

#include <benchmark/benchmark.h>

#include <cstdlib>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/settings.h"
#include "core/settings_file.h"
#include "files/trk_file.h"
#include "gl/gl_context.h"
#include "gl/image_loader.h"
#include "gl/screen_views.h"
#include "gl/tga_reader.h"

extern char** environ;

namespace trakomer {
namespace {

// The program under test: the one built beside this benchmark, or the one
// TRAKOMER_BENCH_PROGRAM names (to measure another build in the same run).
const char* Program() {
    const char* other = std::getenv("TRAKOMER_BENCH_PROGRAM");
    return other != nullptr ? other : TRAKOMER_PROGRAM;
}

const std::string kData = TRAKOMER_SOURCE_DIR "/resources/data/";

// A scratch folder with a full (8192-point) track as T.trz.
std::filesystem::path MakeTrackFolder() {
    char pattern[] = "/tmp/trakomer-start-XXXXXX";
    const std::filesystem::path dir = mkdtemp(pattern);
    auto track = std::make_unique<Track>();
    for (int i = 0; i < kTrackCapacity; ++i) {
        track->points[i] = TrackPoint{48.1 + i * 1e-5, 11.5 + (i % 500) * 2e-5,
                                      500.0f + static_cast<float>(i % 50), 0, 1780300800 + i, 0};
    }
    track->lastIndex = kTrackCapacity - 1;
    track->loadedCount = kTrackCapacity;
    WriteTrz(*track, (dir / "T.trz").string(), dir.string());
    return dir;
}

int Run(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Process start to exit, wall time; the first run also fills the home folder.
void BM_RenderScreenProcess(benchmark::State& state) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::filesystem::path dir = MakeTrackFolder();
    const std::vector<std::string> args = {
        Program(), "--home", (dir / "home").string(), "--render-screen", "0",
        "--track", (dir / "T.trz").string(), "--out", (dir / "s0.png").string()};
    if (Run(args) != 0) state.SkipWithError("render-screen failed");
    for (auto _ : state) benchmark::DoNotOptimize(Run(args));
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_RenderScreenProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

long long MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// The window from process start to its first painted frame, in seconds, or
// -1: the program prints the monotonic time of that paint and exits.
double FirstFrameSeconds(const std::vector<std::string>& args) {
    int out[2];
    if (pipe(out) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const long long start = MonotonicNs();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; spawned == 0 && (n = read(out[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<size_t>(n));
    }
    close(out[0]);
    if (spawned != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    const size_t at = text.find("first-frame ");
    if (at == std::string::npos) return -1;
    return static_cast<double>(std::stoll(text.substr(at + 12)) - start) / 1e9;
}

// The recorder's window on the demo receiver; the first run fills the home
// folder (shipped images and the demo map package).
void BM_WindowFirstFrame(benchmark::State& state) {
    char pattern[] = "/tmp/trakomer-start-XXXXXX";
    const std::filesystem::path dir = mkdtemp(pattern);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);  // an instance socket of its own
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("TRAKOMER_FIRST_FRAME_PROBE", "1", 1);
    const std::vector<std::string> args = {Program(), "--home", (dir / "home").string(),
                                           "--device", "demo"};
    for (auto _ : state) {
        const double seconds = FirstFrameSeconds(args);
        if (seconds < 0) {
            state.SkipWithError("no first frame reported");
            break;
        }
        state.SetIterationTime(seconds);
    }
    unsetenv("TRAKOMER_FIRST_FRAME_PROBE");
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_WindowFirstFrame)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(3);

// A GL context, with the images of `folder` loaded as at start-up when
// there is one.
void GlContext(benchmark::State& state, const std::string& folder) {
    gl::ScreenViews views;
    if (!folder.empty()) views.imageLoader = gl::MakeImageLoader(folder, nullptr);
    for (auto _ : state) {
        gl::GlContext gl;
        gl.windowRect = {0, 0, 480, 640};
        gl.views = &views;
        if (!gl::InitGl(gl)) state.SkipWithError("no GL context");
        gl::ShutdownGl(gl);
    }
}

void BM_GlContextOnly(benchmark::State& state) { GlContext(state, ""); }
void BM_GlContextWithShippedImages(benchmark::State& state) { GlContext(state, kData); }
// The demo map package alone: read, unpacked, decoded and uploaded.
void BM_GlContextWithDemoMap(benchmark::State& state) {
    char pattern[] = "/tmp/trakomer-start-XXXXXX";
    const std::filesystem::path dir = mkdtemp(pattern);
    std::filesystem::create_symlink(kData + "demo-route.tgz", dir / "demo-route.tgz");
    GlContext(state, dir.string());
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_GlContextOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GlContextWithShippedImages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GlContextWithDemoMap)->Unit(benchmark::kMillisecond);

void BM_ReadEarthImage(benchmark::State& state) {
    std::string error;
    for (auto _ : state) benchmark::DoNotOptimize(gl::ReadTga(kData + "earthmap.tga", error));
}
void BM_ReadSmallImages(benchmark::State& state) {
    std::string error;
    for (auto _ : state) {
        for (const char* name : {"eye.tga", "startup.tga", "startbutton.tga"}) {
            benchmark::DoNotOptimize(gl::ReadTga(kData + name, error));
        }
    }
}
BENCHMARK(BM_ReadEarthImage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadSmallImages)->Unit(benchmark::kMillisecond);

void BM_LoadSettings(benchmark::State& state) {
    const std::filesystem::path dir = MakeTrackFolder();
    const std::string path = (dir / "settings").string();
    SaveSettings(path, DefaultSettings(dir.string()));
    for (auto _ : state) {
        Settings settings = DefaultSettings(dir.string());
        benchmark::DoNotOptimize(LoadSettings(path, settings));
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_LoadSettings)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace trakomer

// `trakomer-cli convert` of a full (8192-point) track, whole processes from
// start to exit (wall time), beside GPSBabel doing the nearest conversion on
// the same input when it is on the PATH. Each iteration runs both programs
// one after the other, so a busy machine slows both alike; "x_faster" is
// GPSBabel's time over ours.
//
// The pairs (GPSBabel has no .trz or .trk, so it converts between the text
// forms of the same track):
//   .trz -> .kmz   against GPSBabel GPX -> KML (its KML writer, same points)
//   .kml -> .trk   against GPSBabel KML -> GPX (its KML reader, same document)
//   .gpx -> .gpx   against GPSBabel GPX -> GPX
//   .gpx -> .kmz   against GPSBabel GPX -> KML
//
// TRAKOMER_BENCH_CLI names another trakomer-cli to time (an older build).
// Our conversions flush the file to disk before they report success (fsync);
// GPSBabel does not, which on this machine's disk costs us 1 to 15 ms.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/settings.h"
#include "files/gpx_writer.h"
#include "files/kml_writer.h"
#include "files/trk_file.h"
#include "platform/file_io.h"

extern char** environ;

namespace trakomer {
namespace {

// The input track in each form, written once by the program's own writers
// into a scratch folder that goes when the benchmark ends.
struct Inputs {
    Inputs();
    ~Inputs() { std::filesystem::remove_all(dir); }
    Inputs(const Inputs&) = delete;
    Inputs& operator=(const Inputs&) = delete;
    std::filesystem::path dir;
    std::string trz, kml, gpx, home;
};

Inputs::Inputs() {
    // In $TMPDIR when set: /dev/shm shows the work without the disk's flushes.
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") +
                          "/trakomer-convert-XXXXXX";
    dir = mkdtemp(pattern.data());
    trz = (dir / "T.trz").string();
    kml = (dir / "T.kml").string();
    gpx = (dir / "T.gpx").string();
    home = (dir / "home").string();
    auto track = std::make_unique<Track>();
    uint32_t noise = 12345;  // positions with all their digits, as a receiver gives them
    for (int i = 0; i < kTrackCapacity; ++i) {
        noise = noise * 1103515245u + 12345u;
        const double jitter = static_cast<double>(noise >> 8) * 1e-12;
        track->points[i] = TrackPoint{48.1 + i * 1e-5 + jitter, 11.5 + (i % 500) * 2e-5 - jitter,
                                      500.0f + static_cast<float>(i % 50) * 0.25f, 0,
                                      1780300800 + i, 0};
    }
    track->lastIndex = kTrackCapacity - 1;
    track->loadedCount = kTrackCapacity;
    const Settings settings = DefaultSettings(dir.string());
    WriteTrz(*track, trz, dir.string());
    WriteFileAtomically(kml, ComposeTrackKml(*track, settings, "T.kml"), DefaultFileMode());
    WriteTrackGpx(*track, gpx);
}

const Inputs& TrackInputs() {
    static const Inputs inputs;
    return inputs;
}

std::string Cli() {
    const char* other = std::getenv("TRAKOMER_BENCH_CLI");
    return other != nullptr && *other != '\0' ? other : TRAKOMER_CLI;
}

// GPSBabel's path on the PATH, or empty.
std::string GpsBabel() {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path != nullptr ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const std::string candidate = folder + "/gpsbabel";
        if (!folder.empty() && access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

double NowSeconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Runs the program with its output thrown away; wall seconds from spawn to
// reaped exit, or -1 when it fails.
double TimedRun(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const double start = NowSeconds();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    const double seconds = NowSeconds() - start;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

// Our conversion of `in` to the extension `out`, against GPSBabel reading
// `babelIn` as `babelFrom` and writing `babelTo`.
void Convert(benchmark::State& state, const std::string& in, const std::string& out,
             const std::string& babelFrom, const std::string& babelIn,
             const std::string& babelTo) {
    const Inputs& inputs = TrackInputs();
    const std::string target = (inputs.dir / ("out." + out)).string();
    const std::vector<std::string> ours = {Cli(), "convert", in, target, "--home", inputs.home};
    const std::string babel = GpsBabel();
    const std::string babelTarget = (inputs.dir / ("babel." + babelTo)).string();
    const std::vector<std::string> theirs = {babel, "-t", "-r", "-w", "-i", babelFrom, "-f",
                                             babelIn, "-o", babelTo, "-F", babelTarget};
    if (TimedRun(ours) < 0) return state.SkipWithError("trakomer-cli convert failed");
    const bool compare = !babel.empty() && TimedRun(theirs) >= 0;
    double oursTotal = 0, theirsTotal = 0;
    for (auto _ : state) {
        const double seconds = TimedRun(ours);
        state.SetIterationTime(seconds);
        oursTotal += seconds;
        if (compare) theirsTotal += TimedRun(theirs);
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["cli_ms"] = oursTotal / n * 1e3;
    if (compare) {
        state.counters["gpsbabel_ms"] = theirsTotal / n * 1e3;
        state.counters["x_faster"] = theirsTotal / oursTotal;
    }
}

void BM_ConvertTrzToKmz(benchmark::State& state) {
    const Inputs& in = TrackInputs();
    Convert(state, in.trz, "kmz", "gpx", in.gpx, "kml");
}
void BM_ConvertKmlToTrk(benchmark::State& state) {
    const Inputs& in = TrackInputs();
    Convert(state, in.kml, "trk", "kml", in.kml, "gpx");
}
void BM_ConvertGpxToGpx(benchmark::State& state) {
    const Inputs& in = TrackInputs();
    Convert(state, in.gpx, "gpx", "gpx", in.gpx, "gpx");
}
void BM_ConvertGpxToKmz(benchmark::State& state) {
    const Inputs& in = TrackInputs();
    Convert(state, in.gpx, "kmz", "gpx", in.gpx, "kml");
}

// The process alone: start, the usage text and exit.
void BM_ConvertStartOnly(benchmark::State& state) {
    const std::string cli = Cli();
    const std::vector<std::string> help = {cli, "convert", "--help"};
    for (auto _ : state) state.SetIterationTime(std::max(TimedRun(help), 0.0));
}

BENCHMARK(BM_ConvertTrzToKmz)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2);
BENCHMARK(BM_ConvertKmlToTrk)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2);
BENCHMARK(BM_ConvertGpxToGpx)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2);
BENCHMARK(BM_ConvertGpxToKmz)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2);
BENCHMARK(BM_ConvertStartOnly)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(1);

}  // namespace
}  // namespace trakomer

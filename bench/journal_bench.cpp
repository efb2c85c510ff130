// The point tick of a running recording without and with the recording
// journal (one record written and flushed to disk per point).

#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/recorder.h"
#include "files/recording_journal.h"
#include "gps/shared_fix.h"
#include "tests/core/recorder_rig.h"

namespace {

using namespace trakomer;

void BM_PointTick(benchmark::State& state) {
    const bool journaled = state.range(0) != 0;
    std::string folder =
        (std::filesystem::temp_directory_path() / "trakomer-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) state.SkipWithError("no temporary folder");
    ManualClock clock(1'237'118'400);
    FileJournal journal(journaled ? folder : std::string(), clock);

    // One receiver second per tick, moving north: every tick places a point.
    constexpr int kSeconds = 4000;
    std::vector<std::string> seconds;
    for (int s = 0; s < kSeconds; ++s) {
        seconds.push_back(
            trakomer::testing::ReceiverSecond(s, 48.0 + s * 0.00002, 11.0, 4, 'A', 3));
    }
    auto track = std::make_unique<Track>();
    SharedGpsFix gps;
    RecordingOptions options;
    options.userProfile = 4;  // Car: no averaging
    options.voice = false;
    RecordingPorts ports;
    ports.journal = &journal;
    Recorder recorder(*track, gps, options, ports);
    recorder.StartRecording();
    int s = 0;
    for (auto _ : state) {
        const std::string& bytes = seconds[static_cast<size_t>(s++ % kSeconds)];
        gps.Feed(bytes.data(), bytes.size());
        recorder.OnPointTick();
    }
    state.counters["points"] = track->lastIndex + 1;
    journal.Discard();
    std::filesystem::remove_all(folder);
}
// Arg 0: no journal; 1: journal in the temporary folder.
BENCHMARK(BM_PointTick)->Arg(0)->Arg(1)->Iterations(1000)->Unit(benchmark::kMicrosecond);

}  // namespace

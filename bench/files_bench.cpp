// Speed of the track file formats on a full track (8192 points).

#include <benchmark/benchmark.h>

#include <memory>

#include "core/settings.h"
#include "files/kml_reader.h"
#include "files/kml_writer.h"
#include "files/trk_file.h"

namespace trakomer {
namespace {

class QuietDialogs : public Dialogs {
public:
    void ShowMessage(const std::string&, const std::string&, MessageIcon) override {}
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
};

std::unique_ptr<Track> FullTrack() {
    auto track = std::make_unique<Track>();
    for (int i = 0; i < kTrackCapacity; ++i) {
        track->points[i] = TrackPoint{51.0 + i * 1e-4, -0.5 + i * 1e-4,
                                      100.0f + static_cast<float>(i % 50), 0, 1232878272 + i, 0};
    }
    track->lastIndex = kTrackCapacity - 1;
    track->loadedCount = kTrackCapacity;
    return track;
}

void BM_EncodeTrk(benchmark::State& state) {
    auto track = FullTrack();
    for (auto _ : state) benchmark::DoNotOptimize(EncodeTrk(*track, "/home/u/Documents/x"));
}
BENCHMARK(BM_EncodeTrk);

void BM_DecodeTrk(benchmark::State& state) {
    auto track = FullTrack();
    const std::string bytes = EncodeTrk(*track, "x");
    auto back = std::make_unique<Track>();
    QuietDialogs dialogs;
    for (auto _ : state) benchmark::DoNotOptimize(DecodeTrk(bytes, *back, dialogs));
}
BENCHMARK(BM_DecodeTrk);

void BM_ComposeTrackKml(benchmark::State& state) {
    auto track = FullTrack();
    const Settings settings;
    for (auto _ : state) benchmark::DoNotOptimize(ComposeTrackKml(*track, settings, "x.kmz"));
}
BENCHMARK(BM_ComposeTrackKml);

void BM_ParseTrackKml(benchmark::State& state) {
    auto track = FullTrack();
    std::string kml = "<coordinates>\n";
    for (int i = 0; i < kTrackCapacity; ++i) kml += "-0.512345,51.012345,123 ";
    kml += "\n</coordinates>\n";
    auto back = std::make_unique<Track>();
    for (auto _ : state) benchmark::DoNotOptimize(ParseTrackKml(kml, *back));
}
BENCHMARK(BM_ParseTrackKml);

}  // namespace
}  // namespace trakomer

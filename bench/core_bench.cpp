// Cost of the capacity rule on a full track and of rebuilding the
// statistics of a full track under review.

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "core/recorder.h"
#include "core/recording_options.h"
#include "core/settings.h"
#include "core/track_filters.h"
#include "gps/shared_fix.h"

namespace {

using trakomer::kTrackCapacity;

// A full track of a winding 1 Hz run: points about 3 m apart, so no pair is
// a duplicate at the first tolerance.
std::unique_ptr<trakomer::Track> FullTrack() {
    auto track = std::make_unique<trakomer::Track>();
    for (int i = 0; i < kTrackCapacity; ++i) {
        auto& p = track->points[i];
        p.latitude = 48.1 + i * 2.0e-5 + 0.0002 * std::sin(i / 40.0);
        p.longitude = 11.5 + i * 1.5e-5 + 0.0002 * std::cos(i / 40.0);
        p.altitude = static_cast<float>(500 + 20 * std::sin(i / 200.0));
        p.time = 1237100000 + i;
    }
    track->lastIndex = kTrackCapacity - 1;
    return track;
}

void BM_ThinForCapacityFullTrack(benchmark::State& state) {
    const auto full = FullTrack();
    auto track = std::make_unique<trakomer::Track>();
    int removed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        *track = *full;
        state.ResumeTiming();
        const int count = trakomer::ThinForCapacity(*track, kTrackCapacity);
        removed = kTrackCapacity - count;
        benchmark::DoNotOptimize(count);
    }
    state.counters["removed"] = removed;
}
BENCHMARK(BM_ThinForCapacityFullTrack)->Unit(benchmark::kMillisecond);

void BM_ProcessReviewFullTrack(benchmark::State& state) {
    const auto full = FullTrack();
    auto track = std::make_unique<trakomer::Track>();
    trakomer::SharedGpsFix gps;
    trakomer::Settings settings = trakomer::DefaultSettings("/tmp");
    settings.mUserProfile = 2;  // Run: pace and energy are computed too
    settings.mVoice = 0;
    trakomer::Recorder recorder(*track, gps, trakomer::RecordingOptionsFrom(settings), {});
    for (auto _ : state) {
        state.PauseTiming();
        *track = *full;
        track->lastIndex = -1;
        track->loadedCount = kTrackCapacity;
        state.ResumeTiming();
        recorder.ProcessReview();
        benchmark::DoNotOptimize(track->totalDistance);
    }
    state.SetItemsProcessed(state.iterations() * kTrackCapacity);
}
BENCHMARK(BM_ProcessReviewFullTrack)->Unit(benchmark::kMillisecond);

}  // namespace

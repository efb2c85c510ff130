// Cost of the statistics step per point.

#include <benchmark/benchmark.h>

#include <cmath>

#include "core/statistics.h"

namespace {

void BM_UpdateStatisticsPerPoint(benchmark::State& state) {
    trakomer::Track track;
    for (int i = 0; i < trakomer::kTrackCapacity; ++i) {
        auto& p = track.points[i];
        p.latitude = 48.1 + 0.0001 * std::sin(i / 50.0) + i * 1e-5;
        p.longitude = 11.5 + 0.0001 * std::cos(i / 50.0);
        p.altitude = static_cast<float>(500 + 20 * std::sin(i / 200.0));
        p.time = 1237100000 + i * 5;
    }
    trakomer::StatisticsInput in;
    in.userProfile = static_cast<int>(trakomer::UserProfile::Run);
    int i = 0;
    for (auto _ : state) {
        track.lastIndex = i;
        trakomer::UpdateStatistics(track, i, in);
        i = (i + 1) % trakomer::kTrackCapacity;
    }
    benchmark::DoNotOptimize(track.totalDistance);
}
BENCHMARK(BM_UpdateStatisticsPerPoint);

}  // namespace

// Parser throughput over the demo log and over one long buffer.

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>

#include "gps/nmea_parser.h"

namespace {

std::string ReadDemoLog() {
    std::ifstream in(TRAKOMER_SOURCE_DIR "/data/demo/demo.nmea", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void BM_ProcessBytesDemoLogIn256ByteChunks(benchmark::State& state) {
    const std::string log = ReadDemoLog();
    for (auto _ : state) {
        trakomer::GpsFix fix;
        for (size_t at = 0; at < log.size(); at += 256) {
            trakomer::ProcessBytes(fix, log.data() + at, std::min<size_t>(256, log.size() - at));
        }
        benchmark::DoNotOptimize(fix);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * log.size()));
}
BENCHMARK(BM_ProcessBytesDemoLogIn256ByteChunks);

void BM_ProcessBytesOneLongBuffer(benchmark::State& state) {
    std::string log = ReadDemoLog();
    while (log.size() < 16 * 1024 * 1024) log += log;
    for (auto _ : state) {
        trakomer::GpsFix fix;
        trakomer::ProcessBytes(fix, log.data(), log.size());
        benchmark::DoNotOptimize(fix);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * log.size()));
}
BENCHMARK(BM_ProcessBytesOneLongBuffer)->Unit(benchmark::kMillisecond);

}  // namespace

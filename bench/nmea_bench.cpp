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

// A GPS + GLONASS + Galileo + BeiDou receiver (NMEA 4.11, two signals for
// GPS): per-system GSA and GSV series that the parser merges.
std::string MultiSystemLog() {
    const char* epoch[] = {
        "$GNRMC,092725.00,A,4717.11399,N,00833.91590,E,0.004,77.52,091202,,,A,V*30\r\n",
        "$GNGGA,092725.00,4717.11399,N,00833.91590,E,1,12,1.01,499.6,M,48.0,M,,*4E\r\n",
        "$GNGSA,A,3,10,23,26,32,,,,,,,,,1.94,1.04,1.64,1*0E\r\n",
        "$GNGSA,A,3,70,80,,,,,,,,,,,1.94,1.04,1.64,2*07\r\n",
        "$GNGSA,A,3,12,,,,,,,,,,,,1.94,1.04,1.64,3*0A\r\n",
        "$GPGSV,2,1,05,10,45,120,40,23,30,200,35,26,60,300,42,32,10,050,20,1*63\r\n",
        "$GPGSV,2,2,05,16,20,100,30,1*56\r\n",
        "$GPGSV,1,1,02,10,45,120,44,26,60,300,38,8*66\r\n",
        "$GLGSV,1,1,02,70,40,010,33,80,35,020,31,1*76\r\n",
        "$GAGSV,1,1,02,10,50,150,39,12,20,250,31,7*7F\r\n",
        "$GBGSV,1,1,01,19,55,330,41,1*4A\r\n",
    };
    std::string log;
    for (const char* s : epoch) log += s;
    while (log.size() < 16 * 1024 * 1024) log += log;
    return log;
}

void BM_ProcessBytesMultiSystemBuffer(benchmark::State& state) {
    const std::string log = MultiSystemLog();
    for (auto _ : state) {
        trakomer::GpsFix fix;
        trakomer::ProcessBytes(fix, log.data(), log.size());
        benchmark::DoNotOptimize(fix);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * log.size()));
}
BENCHMARK(BM_ProcessBytesMultiSystemBuffer)->Unit(benchmark::kMillisecond);

}  // namespace

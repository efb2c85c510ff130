// Parser throughput over the demo log, over one long buffer, and over a
// multi-system receiver's stream, whole and in serial-sized reads.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "gps/nmea_parser.h"

namespace {

std::string ReadDemoLog() {
    std::ifstream in(TRAKOMER_SOURCE_DIR "/data/demo/demo.nmea", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The fix lives on the heap, as the program's does. On the stack its place
// against the parser's own frame shifts with its size, and that alone moved
// the measured speed by a third with the same instruction count.
std::unique_ptr<trakomer::GpsFix> NewFix() { return std::make_unique<trakomer::GpsFix>(); }

void ParseWhole(benchmark::State& state, const std::string& log) {
    for (auto _ : state) {
        const auto owned = NewFix();
        trakomer::GpsFix& fix = *owned;
        trakomer::ProcessBytes(fix, log.data(), log.size());
        benchmark::DoNotOptimize(fix);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * log.size()));
}

// As the serial reader gets them: 256-byte reads.
void ParseChunked(benchmark::State& state, const std::string& log) {
    for (auto _ : state) {
        const auto owned = NewFix();
        trakomer::GpsFix& fix = *owned;
        for (size_t at = 0; at < log.size(); at += 256) {
            trakomer::ProcessBytes(fix, log.data() + at, std::min<size_t>(256, log.size() - at));
        }
        benchmark::DoNotOptimize(fix);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * log.size()));
}

std::string GpsOnlyLog() {
    std::string log = ReadDemoLog();
    while (log.size() < 16 * 1024 * 1024) log += log;
    return log;
}

void BM_ProcessBytesDemoLogIn256ByteChunks(benchmark::State& state) {
    ParseChunked(state, ReadDemoLog());
}
BENCHMARK(BM_ProcessBytesDemoLogIn256ByteChunks);

void BM_ProcessBytesOneLongBuffer(benchmark::State& state) { ParseWhole(state, GpsOnlyLog()); }
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
    ParseWhole(state, MultiSystemLog());
}
BENCHMARK(BM_ProcessBytesMultiSystemBuffer)->Unit(benchmark::kMillisecond);

// Appends one sentence, "$" + body + "*hh\r\n".
void AddSentence(std::string& log, const std::string& body) {
    unsigned sum = 0;
    for (char c : body) sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    log += '$';
    log += body;
    log += tail;
}

std::string Format(const char* format, auto... values) {
    char text[256];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

// One GSV series: `count` satellites from `firstPrn`, four per message,
// with the NMEA 4.11 signal id at the end.
void AddGsvSeries(std::string& log, const char* talker, int firstPrn, int count, int signal,
                  int second) {
    const int messages = (count + 3) / 4;
    for (int m = 0; m < messages; ++m) {
        std::string body = Format("%sGSV,%d,%d,%02d", talker, messages, m + 1, count);
        for (int k = m * 4; k < count && k < m * 4 + 4; ++k) {
            const int snr = 25 + (k * 7 + second + signal) % 24;
            body += Format(",%02d,%02d,%03d,%02d", firstPrn + k * 2, 5 + (k * 13) % 80,
                           (k * 37 + second / 60) % 360, snr);
        }
        body += Format(",%d", signal);
        AddSentence(log, body);
    }
}

// A 10 Hz GPS + GLONASS + Galileo + BeiDou receiver with NMEA 4.11 output:
// GN RMC, VTG, GGA, GLL and one GSA per system every epoch, and once a
// second six GSV messages per system (two signals of 9-12 satellites).
std::string ReceiverLog(size_t size) {
    struct System {
        const char* talker;
        int firstPrn, count, signals[2];
    };
    const System systems[] = {
        {"GP", 2, 12, {1, 6}}, {"GL", 65, 10, {1, 3}}, {"GA", 3, 11, {7, 2}}, {"GB", 6, 12, {1, 3}}};
    std::string log;
    for (int tenth = 0; log.size() < size; ++tenth) {
        const int second = 8 * 3600 + tenth / 10;
        const std::string time = Format("%02d%02d%02d.%d0", second / 3600, second / 60 % 60,
                                        second % 60, tenth % 10);
        const double minutes = 17.11399 + (tenth % 6000) * 0.00001;
        AddSentence(log, Format("GNRMC,%s,A,47%08.5f,N,00833.91590,E,0.004,77.52,091225,,,A,V",
                                time.c_str(), minutes));
        AddSentence(log, "GNVTG,77.52,T,,M,0.004,N,0.008,K,A");
        AddSentence(log, Format("GNGGA,%s,47%08.5f,N,00833.91590,E,1,12,0.51,499.6,M,48.0,M,,",
                                time.c_str(), minutes));
        for (int s = 0; s < 4; ++s) {
            std::string body = "GNGSA,A,3";
            for (int k = 0; k < 12; ++k) {
                body += k < systems[s].count - 2 ? Format(",%02d", systems[s].firstPrn + k * 2)
                                                 : std::string(",");
            }
            AddSentence(log, body + Format(",0.94,0.51,0.79,%d", s + 1));
        }
        if (tenth % 10 == 0) {
            for (const System& s : systems) {
                for (int signal : s.signals) {
                    AddGsvSeries(log, s.talker, s.firstPrn, s.count, signal, second);
                }
            }
        }
        AddSentence(log, Format("GNGLL,47%08.5f,N,00833.91590,E,%s,A,A", minutes, time.c_str()));
    }
    return log;
}

// The GPS-only and the multi-system receiver side by side, whole and chunked
// (the GPS-only whole buffer is BM_ProcessBytesOneLongBuffer).
void BM_GpsOnlyChunked(benchmark::State& state) { ParseChunked(state, GpsOnlyLog()); }
void BM_MultiSystemReceiverWhole(benchmark::State& state) {
    ParseWhole(state, ReceiverLog(16 * 1024 * 1024));
}
void BM_MultiSystemReceiverChunked(benchmark::State& state) {
    ParseChunked(state, ReceiverLog(16 * 1024 * 1024));
}
BENCHMARK(BM_GpsOnlyChunked)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MultiSystemReceiverWhole)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MultiSystemReceiverChunked)->Unit(benchmark::kMillisecond);

}  // namespace

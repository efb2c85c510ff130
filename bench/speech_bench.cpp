// Synthesis time of typical sentences: the time the caller is blocked before
// a sentence starts to play.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "platform/temp_file.h"
#include "speech/flite_voice.h"

namespace {

void SynthesizeSentence(benchmark::State& state, const char* text) {
    trakomer::speech::FliteVoice voice;
    for (auto _ : state) {
        trakomer::TempFileGuard file(trakomer::MakeTempFile(trakomer::SystemTempFolder(), "FLT"));
        bool ok = voice.SynthesizeToFile(text, file.path());
        benchmark::DoNotOptimize(ok);
        if (!ok) state.SkipWithError("synthesis failed");
    }
}

BENCHMARK_CAPTURE(SynthesizeSentence, word, "Distance")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SynthesizeSentence, number, "150")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SynthesizeSentence, split, "Split, 1 hours2 minutes15 seconds")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SynthesizeSentence, greeting, "Good afternoon, Alexander")
    ->Unit(benchmark::kMillisecond);

}  // namespace

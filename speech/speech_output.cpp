#include "speech/speech_output.h"

#include <cstdio>
#include <optional>
#include <utility>

#include "platform/temp_file.h"

namespace trakomer::speech {

SpeechOutput::SpeechOutput(const Settings& settings, std::string tempFolder)
    : settings_(settings), tempFolder_(std::move(tempFolder)) {
    if (tempFolder_.empty()) tempFolder_ = SystemTempFolder();
}

void SpeechOutput::Speak(const std::string& text, bool wait) {
    if (settings_.mVoice == 0) return;
    std::optional<LoadedWave> wave;
    {
        TempFileGuard file(MakeTempFile(tempFolder_, kTempPrefix));
        if (file.path().empty() || !voice_.SynthesizeToFile(text, file.path())) return;
        // The samples are in memory once loaded, so the file can go at once.
        wave.emplace(file.path());
    }
    player_.Play(*wave, wait);
}

int SpeechOutput::PlayAlarm(const std::string& path, bool wait) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return 0;
    std::fclose(file);
    LoadedWave wave(path);
    player_.Play(wave, wait);
    return 1;
}

std::unique_ptr<SpeechOutput> InitSpeech(const Settings& settings) {
    return std::make_unique<SpeechOutput>(settings, SystemTempFolder());
}

}  // namespace trakomer::speech

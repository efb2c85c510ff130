#include "speech/audio_player.h"

#include <chrono>
#include <thread>

#include "speech/sdl_audio.h"

namespace trakomer::speech {

namespace {
// Frames per device buffer: small, so a cut or the end of a sound is heard
// without much delay.
constexpr int kBufferFrames = 512;
constexpr int kPollMs = 5;
// Extra time a waiting request allows beyond the sound's length before it
// gives up on a stalled device.
constexpr int64_t kStallAllowanceMs = 2000;
// Time the driver may still need after the last buffer has been handed over.
constexpr int64_t kPlayOutMarginMs = 20;
}  // namespace

LoadedWave::LoadedWave(const std::string& path) : sdl_(std::make_unique<SdlAudio>()) {
    SDL_AudioSpec wavFormat{};
    Uint8* data = nullptr;
    Uint32 bytes = 0;
    if (!sdl_->Available() ||
        sdl_->LoadWAV_RW(sdl_->RWFromFile(path.c_str(), "rb"), 1, &wavFormat, &data, &bytes) ==
            nullptr) {
        return;
    }
    data_ = data;
    bytes_ = bytes;
    frequency_ = wavFormat.freq;
    format_ = wavFormat.format;
    channels_ = wavFormat.channels;
}

LoadedWave::~LoadedWave() {
    if (data_ != nullptr) sdl_->FreeWAV(data_);
}

int64_t LoadedWave::DurationMs() const {
    int frameBytes = SDL_AUDIO_BITSIZE(format_) / 8 * channels_;
    if (frameBytes <= 0 || frequency_ <= 0) return 0;
    return int64_t{bytes_} / frameBytes * 1000 / frequency_;
}

AudioPlayer::AudioPlayer() = default;

AudioPlayer::~AudioPlayer() { Close(); }

const SdlAudio& AudioPlayer::Sdl() {
    if (!sdl_) sdl_ = std::make_unique<SdlAudio>();
    return *sdl_;
}

void AudioPlayer::Close() {
    if (device_ != 0) Sdl().CloseAudioDevice(device_);
    device_ = 0;
    if (subsystemOpen_) Sdl().QuitSubSystem(SDL_INIT_AUDIO);
    subsystemOpen_ = false;
}

void AudioPlayer::Stop() {
    if (device_ != 0) Sdl().ClearQueuedAudio(device_);
}

bool AudioPlayer::OpenFor(const LoadedWave& wave) {
    if (!Sdl().Available()) return false;
    if (!subsystemOpen_) {
        // SDL would otherwise turn SIGINT and SIGTERM into quit events that
        // nobody reads, and the program could no longer be stopped.
        Sdl().SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (Sdl().InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        subsystemOpen_ = true;
    }
    if (device_ != 0 && wave.Frequency() == deviceFrequency_ &&
        wave.Format() == deviceFormat_ && wave.Channels() == deviceChannels_) {
        return true;
    }
    if (device_ != 0) Sdl().CloseAudioDevice(device_);
    device_ = 0;

    SDL_AudioSpec wanted{};
    wanted.freq = wave.Frequency();
    wanted.format = wave.Format();
    wanted.channels = static_cast<Uint8>(wave.Channels());
    wanted.samples = kBufferFrames;
    SDL_AudioSpec obtained{};
    // No allowed changes: SDL converts to whatever the hardware wants.
    SDL_AudioDeviceID device = Sdl().OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device == 0) return false;
    device_ = device;
    deviceFrequency_ = wave.Frequency();
    deviceFormat_ = wave.Format();
    deviceChannels_ = wave.Channels();
    deviceBufferFrames_ = obtained.samples;
    return true;
}

bool AudioPlayer::Play(const LoadedWave& wave, bool wait) {
    if (!wave.Valid() || wave.Bytes() == 0) return false;
    Stop();
    if (!OpenFor(wave)) return false;
    if (Sdl().QueueAudio(device_, wave.Data(), wave.Bytes()) != 0) return false;
    Sdl().PauseAudioDevice(device_, 0);
    if (wait) WaitUntilPlayed(wave.DurationMs());
    return true;
}

void AudioPlayer::WaitUntilPlayed(int64_t soundMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(soundMs + kStallAllowanceMs);
    while (Sdl().GetQueuedAudioSize(device_) > 0) {
        if (Sdl().GetAudioDeviceStatus(device_) != SDL_AUDIO_PLAYING) return;
        if (Clock::now() >= deadline) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    }
    // The last buffer has gone to the device; let it play out.
    int64_t bufferMs = deviceFrequency_ > 0 ? int64_t{deviceBufferFrames_} * 1000 / deviceFrequency_ : 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(bufferMs + kPlayOutMarginMs));
}

}  // namespace trakomer::speech

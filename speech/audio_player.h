#pragma once
// Plays wave sounds on the default audio device through SDL. There is no
// queue: a new sound replaces whatever is still playing. Without an audio
// device every request fails at once and quietly.

#include <cstdint>
#include <memory>
#include <string>

namespace trakomer::speech {

class SdlAudio;

// A wave file's samples, held in memory once loaded.
class LoadedWave {
public:
    // Reads a RIFF wave file; Valid() is false when it cannot be read.
    explicit LoadedWave(const std::string& path);
    ~LoadedWave();
    LoadedWave(const LoadedWave&) = delete;
    LoadedWave& operator=(const LoadedWave&) = delete;

    bool Valid() const { return data_ != nullptr; }
    const uint8_t* Data() const { return data_; }
    uint32_t Bytes() const { return bytes_; }
    int Frequency() const { return frequency_; }
    uint16_t Format() const { return format_; }
    int Channels() const { return channels_; }
    // Length of the sound in milliseconds.
    int64_t DurationMs() const;

private:
    std::unique_ptr<SdlAudio> sdl_;
    uint8_t* data_ = nullptr;
    uint32_t bytes_ = 0;
    int frequency_ = 0;
    uint16_t format_ = 0;
    int channels_ = 0;
};

class AudioPlayer {
public:
    AudioPlayer();
    ~AudioPlayer();
    AudioPlayer(const AudioPlayer&) = delete;
    AudioPlayer& operator=(const AudioPlayer&) = delete;

    // Stops any earlier sound and plays this one. With wait, returns when it
    // has played to the end. False when there is no audio device or the
    // wave is empty.
    bool Play(const LoadedWave& wave, bool wait);

    // Stops the sound and drops what is still queued.
    void Stop();

    // Closes the device and the audio subsystem (they reopen on demand).
    void Close();

private:
    bool OpenFor(const LoadedWave& wave);
    void WaitUntilPlayed(int64_t soundMs);

    // SDL, loaded for the first sound.
    const SdlAudio& Sdl();

    std::unique_ptr<SdlAudio> sdl_;
    bool subsystemOpen_ = false;
    uint32_t device_ = 0;
    int deviceFrequency_ = 0;
    uint16_t deviceFormat_ = 0;
    int deviceChannels_ = 0;
    int deviceBufferFrames_ = 0;
};

}  // namespace trakomer::speech

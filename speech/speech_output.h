#pragma once
// The voice of the program: a sentence is synthesised into a temporary wave
// file, loaded, the file deleted, and the sound played. Failures are silent:
// the request is lost and the caller goes on.

#include <memory>
#include <string>

#include "core/settings.h"
#include "core/speaker.h"
#include "speech/audio_player.h"
#include "speech/flite_voice.h"

namespace trakomer::speech {

// Prefix of the temporary wave files.
constexpr const char* kTempPrefix = "FLT";

class SpeechOutput : public Speaker {
public:
    // settings.mVoice is read on every request. Temporary files go to
    // tempFolder.
    SpeechOutput(const Settings& settings, std::string tempFolder);

    // Says text. With wait, returns when it has been played; otherwise as
    // soon as playback has started. Does nothing at all while mVoice is 0.
    // Stops any sound still playing from an earlier request.
    void Speak(const std::string& text, bool wait) override;

    // Plays a wave file (an alarm sound), whatever mVoice says. 0 when the
    // file cannot be opened for reading, else 1.
    int PlayAlarm(const std::string& path, bool wait);

    bool VoiceReady() const { return voice_.Ready(); }

private:
    const Settings& settings_;
    std::string tempFolder_;
    FliteVoice voice_;
    AudioPlayer player_;
};

// Creates the speech output at start-up: Flite with the voice, temporary
// files in the system's temporary folder.
std::unique_ptr<SpeechOutput> InitSpeech(const Settings& settings);

}  // namespace trakomer::speech

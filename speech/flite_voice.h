#pragma once
// The synthesiser's voice: Flite's US English diphone voice with the
// prosody this program speaks with.

#include <string>

struct cst_voice_struct;

namespace trakomer::speech {

// Name the voice is registered under.
constexpr const char* kVoiceName = "cmu_us_kal_diphone";

class FliteVoice {
public:
    // Initialises Flite and registers the voice. The voice object belongs to
    // Flite and stays alive for the rest of the process; further instances
    // share it.
    FliteVoice();

    bool Ready() const { return voice_ != nullptr; }

    // Renders the whole text as a RIFF wave file at path. False when the
    // voice is missing or no wave was written.
    bool SynthesizeToFile(const std::string& text, const std::string& path) const;

    // The voice's feature value, for checks.
    float Feature(const char* name) const;
    const char* Name() const;

private:
    cst_voice_struct* voice_ = nullptr;
};

}  // namespace trakomer::speech

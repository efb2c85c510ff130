#include "speech/flite_voice.h"

#include <flite/flite.h>
#include <sys/stat.h>

// Debian ships no header for the voice library.
extern "C" cst_voice* register_cmu_us_kal(const char* voxdir);

namespace trakomer::speech {

namespace {
constexpr float kPitchMeanHz = 130.0f;
constexpr float kPitchDeviationHz = 11.0f;
constexpr float kDurationStretch = 0.8f;
// A RIFF wave header alone is 44 bytes; anything beyond it is sound.
constexpr off_t kRiffHeaderBytes = 44;
}  // namespace

FliteVoice::FliteVoice() {
    flite_init();
    cst_voice* voice = register_cmu_us_kal(nullptr);
    if (voice == nullptr) return;
    voice->name = kVoiceName;
    flite_feat_set_float(voice->features, "int_f0_target_mean", kPitchMeanHz);
    flite_feat_set_float(voice->features, "int_f0_target_stddev", kPitchDeviationHz);
    flite_feat_set_float(voice->features, "duration_stretch", kDurationStretch);
    voice_ = voice;
}

bool FliteVoice::SynthesizeToFile(const std::string& text, const std::string& path) const {
    if (voice_ == nullptr || path.empty()) return false;
    // Flite reads "play", "stream" and "none" as output types, not as names.
    if (path == "play" || path == "none" || path == "stream") return false;
    flite_text_to_speech(text.c_str(), voice_, path.c_str());
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && info.st_size > kRiffHeaderBytes;
}

float FliteVoice::Feature(const char* name) const {
    return voice_ == nullptr ? 0.0f : flite_get_param_float(voice_->features, name, 0.0f);
}

const char* FliteVoice::Name() const { return voice_ == nullptr ? "" : voice_->name; }

}  // namespace trakomer::speech

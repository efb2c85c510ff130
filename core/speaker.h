#pragma once
// Where sentences to be spoken go. The speech module provides the voice;
// tests record the sentences.

#include <string>

namespace trakomer {

class Speaker {
public:
    virtual ~Speaker() = default;
    // Speaks text; with wait, returns only when it has been played.
    virtual void Speak(const std::string& text, bool wait) = 0;
};

// A speaker that says nothing.
class SilentSpeaker : public Speaker {
public:
    void Speak(const std::string&, bool) override {}
};

}  // namespace trakomer

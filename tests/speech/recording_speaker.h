#pragma once
// A speaker that writes down what it is asked to say.

#include <ostream>
#include <string>
#include <vector>

#include "core/speaker.h"

namespace trakomer::speech::testing {

struct Said {
    std::string text;
    bool wait;
    bool operator==(const Said&) const = default;
    friend void PrintTo(const Said& s, std::ostream* out) {
        *out << '"' << s.text << '"' << (s.wait ? " waiting" : " not waiting");
    }
};

class RecordingSpeaker : public Speaker {
public:
    void Speak(const std::string& text, bool wait) override { said.push_back({text, wait}); }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Said& s : said) texts.push_back(s.text);
        return texts;
    }
    std::vector<Said> said;
};

}  // namespace trakomer::speech::testing

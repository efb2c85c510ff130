#include "speech/sentences.h"

namespace trakomer::speech {

std::string GreetingFor(const std::string& userName, const Clock& clock) {
    if (userName.empty()) return {};
    constexpr int64_t kSecondsPerDay = 86400;
    int64_t local = clock.UnixSeconds() + clock.LocalOffsetSeconds();
    int64_t hour = ((local % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay / 3600;
    const char* greeting = hour < 12 ? "Good morning, " : hour < 17 ? "Good afternoon, " : "Good evening, ";
    return greeting + userName;
}

void SpeakGreeting(Speaker& speaker, const std::string& userName, const Clock& clock) {
    std::string greeting = GreetingFor(userName, clock);
    if (!greeting.empty()) speaker.Speak(greeting, false);
}

void ReadAloud(Speaker& speaker, const std::string& text,
               const std::function<bool()>& betweenPieces) {
    std::string::size_type start = 0;
    while (start <= text.size()) {
        std::string::size_type end = text.find_first_of(".\n\r", start);
        if (end == std::string::npos) end = text.size();
        std::string piece = text.substr(start, end - start);
        start = end + 1;
        if (piece.find_first_not_of(" \t") == std::string::npos) continue;
        speaker.Speak(piece, true);
        if (betweenPieces && !betweenPieces()) return;
    }
}

}  // namespace trakomer::speech

#pragma once
// The program's other spoken sentences: the greeting, start and stop, and
// reading a text aloud piece by piece.

#include <functional>
#include <string>

#include "core/clock.h"
#include "core/speaker.h"

namespace trakomer::speech {

constexpr const char* kStartingSentence = "Starting";
constexpr const char* kStoppingSentence = "Stopping";

// "Good morning, <name>" before 12 local time, "Good afternoon, <name>"
// before 17, otherwise "Good evening, <name>"; empty when name is empty.
std::string GreetingFor(const std::string& userName, const Clock& clock);

// Speaks the greeting without waiting; nothing when the name is empty.
void SpeakGreeting(Speaker& speaker, const std::string& userName, const Clock& clock);

// Reads text aloud in pieces split at '.', '\n' and '\r', each waiting;
// pieces without anything but blanks are skipped. betweenPieces runs after
// each piece (the window lets queued messages run there) and may return
// false to stop the reading.
void ReadAloud(Speaker& speaker, const std::string& text,
               const std::function<bool()>& betweenPieces = {});

}  // namespace trakomer::speech

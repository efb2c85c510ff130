#pragma once
// The xsd:dateTime texts of GPX documents.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trakomer {

struct GpxTime {
    int64_t seconds = 0;  // UTC seconds since 1970
    int hundredths = 0;   // the first two digits of the fraction, cut
};

// "YYYY-MM-DDThh:mm:ss", an optional fraction and an optional zone ("Z",
// "+hh:mm", "-hhmm", "+hh"); no zone is read as UTC. Empty when the text is
// not such a time (surrounding blanks are allowed).
std::optional<GpxTime> ParseGpxTime(std::string_view text);

// "YYYY-MM-DDThh:mm:ssZ", with ".hh" before the "Z" when hundredths is not 0.
std::string FormatGpxTime(int64_t seconds, int hundredths);

// The same text, appended to `out`.
void AppendGpxTime(std::string& out, int64_t seconds, int hundredths);

}  // namespace trakomer

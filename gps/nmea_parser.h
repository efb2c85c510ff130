#pragma once
// NMEA 0183 framing and the six sentence parsers that fill a GpsFix. The
// sentences of every standard talker (GP, GN, GL, GA, GB, BD, GQ, GI) are
// read; GN is the combined solution of several satellite systems.

#include <cstddef>
#include <string_view>

#include "gps/gps_fix.h"

namespace trakomer {

enum class SentenceKind { GGA, GSA, GSV, RMB, RMC, ZDA, Other };

// Told about every dispatched sentence, after its group was updated and
// sentenceCount incremented.
class SentenceObserver {
public:
    virtual ~SentenceObserver() = default;
    virtual void OnSentence(const GpsFix& fix, SentenceKind kind) = 0;
};

// Receiver configuration sentences (SiRF): GGA and GSV once a second.
inline constexpr std::string_view kEnableGgaSentence = "$PSRF103,00,00,01,01\r\n";
inline constexpr std::string_view kEnableGsvSentence = "$PSRF103,03,00,01,01\r\n";

// Feeds bytes through the framing state machine; sentences may be split
// across calls at any byte.
void ProcessBytes(GpsFix& fix, const char* bytes, size_t length,
                  SentenceObserver* observer = nullptr);

// Sets every field to its initial value.
void Reset(GpsFix& fix);

// Copies field n (0 = first after the address) of a sentence body into out,
// at most size - 1 characters. False, with out empty, when the field is
// missing or empty.
bool GetField(const char* body, int n, char* out, int size);

SentenceKind KindOfAddress(const char* address);

// "GPS", "GLONASS", "Galileo", "BeiDou", "QZSS" or "NavIC".
const char* GnssSystemName(GnssSystem system);

}  // namespace trakomer

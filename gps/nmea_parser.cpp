#include "gps/nmea_parser.h"

#include <cstring>

#include "gps/nmea_number.h"

namespace trakomer {
namespace {

constexpr int kFieldSize = 25;  // field buffer of every sentence parser
constexpr int kMaxFields = 32;

// A sentence body split at its commas once, so that each field lookup
// behaves as GetField(body, n, out, 25) without rescanning the body.
class FieldList {
public:
    explicit FieldList(const char* body) {
        const char* p = body;
        start_[0] = p;
        count_ = 1;
        for (; *p != '\0'; ++p) {
            if (*p == ',' || *p == '*') {
                length_[count_ - 1] = static_cast<int>(p - start_[count_ - 1]);
                if (*p == '*' || count_ == kMaxFields) {
                    return;
                }
                start_[count_++] = p + 1;
            }
        }
        length_[count_ - 1] = static_cast<int>(p - start_[count_ - 1]);
    }

    // Copies field n (cut to 24 characters) into out; false when missing or empty.
    bool Get(int n, char (&out)[kFieldSize]) const {
        if (n >= count_ || length_[n] == 0) {
            out[0] = '\0';
            return false;
        }
        const int len = length_[n] < kFieldSize - 1 ? length_[n] : kFieldSize - 1;
        std::memcpy(out, start_[n], len);
        out[len] = '\0';
        return true;
    }

private:
    const char* start_[kMaxFields];
    int length_[kMaxFields] = {};
    int count_ = 0;
};

// Leading number of the first `width` characters of text.
int PrefixInt(const char* text, int width) {
    char part[4] = {};
    for (int i = 0; i < width && text[i] != '\0'; ++i) part[i] = text[i];
    return LeadingInt(part);
}

// Degrees from ddmm.mmmm (degreeDigits 2) or dddmm.mmmm (3).
double ParseAngle(const char* text, int degreeDigits) {
    const int degrees = PrefixInt(text, degreeDigits);
    const size_t len = std::strlen(text);
    const double minutes =
        len > static_cast<size_t>(degreeDigits) ? LeadingDouble(text + degreeDigits) : 0.0;
    return degrees + minutes / 60.0;
}

// Reads an angle field and its hemisphere field; keeps `value` when empty.
void ReadAngle(const FieldList& f, int n, int degreeDigits, char negative, double& value) {
    char text[kFieldSize];
    if (!f.Get(n, text)) return;
    double angle = ParseAngle(text, degreeDigits);
    char hemisphere[kFieldSize];
    if (f.Get(n + 1, hemisphere) && hemisphere[0] == negative) angle = -angle;
    value = angle;
}

// Reads hh, mm, ss of a time field; false when the field is empty.
bool ReadTime(const FieldList& f, int n, uint8_t& h, uint8_t& m, uint8_t& s, char* text) {
    char buf[kFieldSize];
    if (!f.Get(n, buf)) return false;
    h = static_cast<uint8_t>(PrefixInt(buf, 2));
    m = static_cast<uint8_t>(buf[1] != '\0' ? PrefixInt(buf + 2, 2) : 0);
    s = static_cast<uint8_t>(buf[1] != '\0' && buf[2] != '\0' && buf[3] != '\0'
                                 ? PrefixInt(buf + 4, 2)
                                 : 0);
    if (text != nullptr) std::memcpy(text, buf, kFieldSize);
    return true;
}

// Characters from `from` (0-based) of text, or "" past its end.
const char* From(const char* text, int from) {
    const size_t len = std::strlen(text);
    return len > static_cast<size_t>(from) ? text + from : "";
}

double DoubleOr(const FieldList& f, int n, double empty) {
    char text[kFieldSize];
    return f.Get(n, text) ? LeadingDouble(text) : empty;
}

void KeepDouble(const FieldList& f, int n, double& value) {
    char text[kFieldSize];
    if (f.Get(n, text)) value = LeadingDouble(text);
}

char CharOr(const FieldList& f, int n, char empty) {
    char text[kFieldSize];
    return f.Get(n, text) ? text[0] : empty;
}

void KeepChar(const FieldList& f, int n, char& value) {
    char text[kFieldSize];
    if (f.Get(n, text)) value = text[0];
}

int IntOr(const FieldList& f, int n, int empty) {
    char text[kFieldSize];
    return f.Get(n, text) ? LeadingInt(text) : empty;
}

bool IsUsedInSolution(const GpsFix& fix, uint16_t prn) {
    if (prn == 0) return false;
    for (int i = 0; i < kSolutionSlots; ++i) {
        if (fix.gsaSatellitesInSolution[i] == prn) return true;
    }
    return false;
}

void ParseGga(GpsFix& fix, const FieldList& f) {
    ReadTime(f, 0, fix.ggaHour, fix.ggaMinute, fix.ggaSecond, nullptr);
    ReadAngle(f, 1, 2, 'S', fix.ggaLatitude);
    ReadAngle(f, 3, 3, 'W', fix.ggaLongitude);
    char text[kFieldSize];
    if (f.Get(5, text)) fix.ggaQuality = static_cast<uint8_t>(text[0] - '0');
    if (f.Get(6, text)) fix.ggaSatellites = static_cast<uint8_t>(PrefixInt(text, 2));
    KeepDouble(f, 7, fix.ggaHdop);
    KeepDouble(f, 8, fix.ggaAltitude);

    const int32_t s = fix.ggaMinute * 60 + fix.ggaSecond;
    if (s > fix.ggaPrevSeconds) {
        fix.ggaVerticalSpeed =
            (fix.ggaAltitude - fix.ggaPrevAltitude) / ((s - fix.ggaPrevSeconds) / 60.0);
    }
    fix.ggaPrevAltitude = fix.ggaAltitude;
    fix.ggaPrevSeconds = s;
    ++fix.ggaCount;
}

void ParseGsa(GpsFix& fix, const FieldList& f) {
    KeepChar(f, 0, fix.gsaMode);
    char text[kFieldSize];
    if (f.Get(1, text)) fix.gsaFixMode = static_cast<uint8_t>(text[0] - '0');
    for (int i = 0; i < kSolutionSlots; ++i) {
        fix.gsaSatellitesInSolution[i] =
            static_cast<uint16_t>(f.Get(2 + i, text) ? PrefixInt(text, 2) : 0);
    }
    fix.gsaPdop = DoubleOr(f, 14, 0);
    fix.gsaHdop = DoubleOr(f, 15, 0);
    fix.gsaVdop = DoubleOr(f, 16, 0);
    ++fix.gsaCount;
}

void ParseGsv(GpsFix& fix, const FieldList& f) {
    char text[kFieldSize];
    if (!f.Get(0, text)) return;
    const int total = LeadingInt(text);
    const int number = IntOr(f, 1, 0);
    if (total < 1 || total > 8 || number < 1 || number > 9) return;
    if (f.Get(2, text)) fix.gsvSatellitesInView = static_cast<uint16_t>(LeadingInt(text));
    for (int k = 0; k < 4; ++k) {
        SatelliteInfo& sat = fix.gsvSatellites[(number - 1) * 4 + k];
        sat.prn = static_cast<uint16_t>(IntOr(f, 3 + 4 * k, 0));
        sat.elevation = static_cast<uint16_t>(IntOr(f, 4 + 4 * k, 0));
        sat.azimuth = static_cast<uint16_t>(IntOr(f, 5 + 4 * k, 0));
        sat.snr = static_cast<uint16_t>(IntOr(f, 6 + 4 * k, 0));
        sat.usedInSolution = IsUsedInSolution(fix, sat.prn) ? 1 : 0;
    }
    ++fix.gsvCount;
}

void CopyId(const FieldList& f, int n, char (&id)[32]) {
    char text[kFieldSize];
    f.Get(n, text);
    std::memcpy(id, text, kFieldSize);
}

void ParseRmb(GpsFix& fix, const FieldList& f) {
    fix.rmbStatus = CharOr(f, 0, 'V');
    fix.rmbCrossTrackError = DoubleOr(f, 1, 0);
    fix.rmbSteer = CharOr(f, 2, '?');
    CopyId(f, 3, fix.rmbOriginId);
    CopyId(f, 4, fix.rmbDestinationId);
    fix.rmbDestLatitude = 0;
    fix.rmbDestLongitude = 0;
    ReadAngle(f, 5, 2, 'S', fix.rmbDestLatitude);
    ReadAngle(f, 7, 3, 'W', fix.rmbDestLongitude);
    fix.rmbRange = DoubleOr(f, 9, 0);
    fix.rmbBearing = DoubleOr(f, 10, 0);
    fix.rmbClosingVelocity = DoubleOr(f, 11, 0);
    fix.rmbArrival = CharOr(f, 12, 'V');
    ++fix.rmbCount;
}

void ParseRmc(GpsFix& fix, const FieldList& f) {
    char time[kFieldSize];
    if (ReadTime(f, 0, fix.rmcHour, fix.rmcMinute, fix.rmcSecond, time)) {
        fix.rmcHundredths = static_cast<uint8_t>(PrefixInt(From(time, 7), 2));
    }
    fix.rmcStatus = CharOr(f, 1, 'V');
    ReadAngle(f, 2, 2, 'S', fix.rmcLatitude);
    ReadAngle(f, 4, 3, 'W', fix.rmcLongitude);
    fix.rmcSpeedKnots = DoubleOr(f, 6, 0);
    fix.rmcCourse = DoubleOr(f, 7, 0);
    char date[kFieldSize];
    if (f.Get(8, date)) {
        fix.rmcDay = static_cast<uint8_t>(PrefixInt(date, 2));
        fix.rmcMonth = static_cast<uint8_t>(PrefixInt(From(date, 2), 2));
        fix.rmcYear = static_cast<uint16_t>(PrefixInt(From(date, 4), 2) + 2000);
    }
    double variation = DoubleOr(f, 9, 0);
    if (CharOr(f, 10, '\0') == 'W') variation = -variation;
    fix.rmcMagneticVariation = variation;
    ++fix.rmcCount;
}

void ParseZda(GpsFix& fix, const FieldList& f) {
    ReadTime(f, 0, fix.zdaHour, fix.zdaMinute, fix.zdaSecond, nullptr);
    fix.zdaDay = static_cast<uint8_t>(IntOr(f, 1, 1));
    fix.zdaMonth = static_cast<uint8_t>(IntOr(f, 2, 1));
    fix.zdaYear = static_cast<uint16_t>(IntOr(f, 3, 1));
    fix.zdaZoneHours = static_cast<uint8_t>(IntOr(f, 4, 0));
    fix.zdaZoneMinutes = static_cast<uint8_t>(IntOr(f, 5, 0));
    ++fix.zdaCount;
}

void Dispatch(GpsFix& fix, SentenceObserver* observer) {
    const SentenceKind kind = KindOfAddress(fix.command);
    if (kind != SentenceKind::Other) {
        const FieldList fields(fix.data);
        switch (kind) {
            case SentenceKind::GGA: ParseGga(fix, fields); break;
            case SentenceKind::GSA: ParseGsa(fix, fields); break;
            case SentenceKind::GSV: ParseGsv(fix, fields); break;
            case SentenceKind::RMB: ParseRmb(fix, fields); break;
            case SentenceKind::RMC: ParseRmc(fix, fields); break;
            case SentenceKind::ZDA: ParseZda(fix, fields); break;
            case SentenceKind::Other: break;
        }
    }
    ++fix.sentenceCount;
    if (observer != nullptr) observer->OnSentence(fix, kind);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

void StartSentence(GpsFix& fix) {
    fix.checksum = 0;
    fix.index = 0;
    fix.parseState = ParseState::Command;
}

void ProcessByte(GpsFix& fix, char c, SentenceObserver* observer) {
    switch (fix.parseState) {
        case ParseState::SearchStart:
            if (c == '$') StartSentence(fix);
            break;
        case ParseState::Command:
            if (c == ',' || c == '*') {
                fix.command[fix.index] = '\0';
                fix.checksum ^= static_cast<uint8_t>(c);
                fix.index = 0;
                fix.parseState = ParseState::Data;
            } else {
                fix.command[fix.index++] = c;
                fix.checksum ^= static_cast<uint8_t>(c);
                if (fix.index >= kCommandSize) fix.parseState = ParseState::SearchStart;
            }
            break;
        case ParseState::Data:
            if (c == '*') {
                fix.data[fix.index] = '\0';
                fix.parseState = ParseState::Checksum1;
            } else if (c == '\r') {
                fix.data[fix.index] = '\0';
                fix.parseState = ParseState::SearchStart;
                Dispatch(fix, observer);
            } else {
                fix.data[fix.index++] = c;
                fix.checksum ^= static_cast<uint8_t>(c);
                if (fix.index >= kDataSize) fix.parseState = ParseState::SearchStart;
            }
            break;
        case ParseState::Checksum1: {
            const int v = HexValue(c);
            fix.checksumDigitsValid = v >= 0;
            fix.receivedChecksum = static_cast<uint8_t>((v < 0 ? 0 : v) << 4);
            fix.parseState = ParseState::Checksum2;
            break;
        }
        case ParseState::Checksum2: {
            const int v = HexValue(c);
            fix.receivedChecksum = static_cast<uint8_t>(fix.receivedChecksum | (v < 0 ? 0 : v));
            fix.parseState = ParseState::SearchStart;
            if (v >= 0 && fix.checksumDigitsValid && fix.receivedChecksum == fix.checksum) {
                Dispatch(fix, observer);
            }
            break;
        }
    }
}

}  // namespace

SentenceKind KindOfAddress(const char* a) {
    if (a[0] != 'G' || a[1] != 'P' || a[2] == '\0' || a[3] == '\0' || a[4] == '\0' ||
        a[5] != '\0') {
        return SentenceKind::Other;
    }
    const char* t = a + 2;
    if (std::strcmp(t, "GGA") == 0) return SentenceKind::GGA;
    if (std::strcmp(t, "GSA") == 0) return SentenceKind::GSA;
    if (std::strcmp(t, "GSV") == 0) return SentenceKind::GSV;
    if (std::strcmp(t, "RMB") == 0) return SentenceKind::RMB;
    if (std::strcmp(t, "RMC") == 0) return SentenceKind::RMC;
    if (std::strcmp(t, "ZDA") == 0) return SentenceKind::ZDA;
    return SentenceKind::Other;
}

// Copies plain body bytes in one run (the bulk of the input), stopping
// before a '*' or CR, or where the body would overflow. Returns the bytes taken.
size_t TakeBodyRun(GpsFix& fix, const char* bytes, size_t length) {
    size_t n = 0;
    uint8_t sum = fix.checksum;
    uint16_t at = fix.index;
    while (n < length && at < kDataSize - 1) {
        const char c = bytes[n];
        if (c == '*' || c == '\r') break;
        fix.data[at++] = c;
        sum ^= static_cast<uint8_t>(c);
        ++n;
    }
    fix.checksum = sum;
    fix.index = at;
    return n;
}

void ProcessBytes(GpsFix& fix, const char* bytes, size_t length, SentenceObserver* observer) {
    for (size_t i = 0; i < length; ++i) {
        // Between sentences, skip straight to the next '$'.
        if (fix.parseState == ParseState::SearchStart) {
            const void* dollar = std::memchr(bytes + i, '$', length - i);
            if (dollar == nullptr) return;
            i = static_cast<size_t>(static_cast<const char*>(dollar) - bytes);
        } else if (fix.parseState == ParseState::Data) {
            i += TakeBodyRun(fix, bytes + i, length - i);
            if (i == length) return;
        }
        ProcessByte(fix, bytes[i], observer);
    }
}

void Reset(GpsFix& fix) {
    fix = GpsFix{};
}

bool GetField(const char* body, int n, char* out, int size) {
    if (out != nullptr && size >= 1) out[0] = '\0';
    if (body == nullptr || out == nullptr || size < 1 || n < 0) return false;
    const char* p = body;
    for (int commas = 0; commas < n; ++p) {
        if (*p == '\0' || *p == '*') return false;
        if (*p == ',') ++commas;
    }
    if (*p == ',' || *p == '*' || *p == '\0') return false;
    int len = 0;
    while (len < size - 1 && p[len] != '\0' && p[len] != ',' && p[len] != '*') {
        out[len] = p[len];
        ++len;
    }
    out[len] = '\0';
    return true;
}

}  // namespace trakomer

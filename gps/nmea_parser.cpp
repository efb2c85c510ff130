#include "gps/nmea_parser.h"

#include <algorithm>
#include <bit>
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

    // Field n read by `read` (atoi or atof) from its text cut to 24
    // characters, in place: the readers stop at the ',' or '*' that ends a
    // field, so only a field longer than the cut needs the copy. `empty`
    // when missing or empty.
    template <typename T>
    T Number(int n, T empty, T (*read)(const char*)) const {
        if (n >= count_ || length_[n] == 0) return empty;
        if (length_[n] < kFieldSize) return read(start_[n]);
        char text[kFieldSize];
        Get(n, text);
        return read(text);
    }

    // The leading number of field n's first `width` characters, in place
    // (0 when missing or empty).
    int Prefix(int n, int width) const {
        if (n >= count_ || length_[n] == 0) return 0;
        char part[4] = {};
        for (int i = 0; i < width && i < length_[n]; ++i) part[i] = start_[n][i];
        return LeadingInt(part);
    }

    int Count() const { return count_; }

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
    return f.Number(n, empty, LeadingDouble);
}

void KeepDouble(const FieldList& f, int n, double& value) {
    value = f.Number(n, value, LeadingDouble);
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
    return f.Number(n, empty, LeadingInt);
}

bool IsUsedInSolution(const GpsFix& fix, GnssSystem system, uint16_t prn) {
    if (prn == 0) return false;
    for (int i = 0; i < fix.gnss.solutionSlots; ++i) {
        if (fix.gsaSatellitesInSolution[i] == prn && fix.gnss.solutionSystems[i] == system) {
            return true;
        }
    }
    return false;
}

// A sentence's talker: the first two characters of its address.
struct Talker {
    char a = 0, b = 0;
    bool Is(char x, char y) const { return a == x && b == y; }
};

// The system of a satellite that a combined (GN) sentence names by PRN
// alone, from the PRN ranges receivers use for the other systems.
GnssSystem SystemOfPrn(int prn) {
    if (prn >= 65 && prn <= 96) return GnssSystem::GLONASS;
    if (prn >= 193 && prn <= 200) return GnssSystem::QZSS;
    if ((prn >= 201 && prn <= 263) || (prn >= 401 && prn <= 437)) return GnssSystem::BeiDou;
    if (prn >= 301 && prn <= 336) return GnssSystem::Galileo;
    return GnssSystem::GPS;
}

// The system of a talker; false for GN, whose satellites may be of any.
bool SystemOfTalker(Talker t, GnssSystem& system) {
    if (t.Is('G', 'L')) system = GnssSystem::GLONASS;
    else if (t.Is('G', 'A')) system = GnssSystem::Galileo;
    else if (t.Is('G', 'B') || t.Is('B', 'D')) system = GnssSystem::BeiDou;
    else if (t.Is('G', 'Q')) system = GnssSystem::QZSS;
    else if (t.Is('G', 'I')) system = GnssSystem::NavIC;
    else if (t.Is('G', 'N')) return false;
    else system = GnssSystem::GPS;
    return true;
}

// The NMEA 4.11 system id (1 GPS ... 6 NavIC); false for any other.
bool SystemOfId(char id, GnssSystem& system) {
    if (id < '1' || id > '6') return false;
    system = static_cast<GnssSystem>(id - '1');
    return true;
}

// Notes the time of an RMC or GGA sentence, the clock that ages the
// satellite systems' tables.
void NoteTime(GpsFix& fix, uint8_t h, uint8_t m, uint8_t s) {
    fix.gnss.secondOfDay = h * 3600 + m * 60 + s;
}

void ParseGga(GpsFix& fix, const FieldList& f) {
    if (ReadTime(f, 0, fix.ggaHour, fix.ggaMinute, fix.ggaSecond, nullptr)) {
        NoteTime(fix, fix.ggaHour, fix.ggaMinute, fix.ggaSecond);
    }
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

// Satellites used, from one GSA sentence. A receiver that combines several
// systems sends one GSA per system for the same solution, back to back:
// those add their satellites to the list; any other GSA starts it anew.
void ParseGsa(GpsFix& fix, const FieldList& f, Talker talker) {
    KeepChar(f, 0, fix.gsaMode);
    char text[kFieldSize];
    if (f.Get(1, text)) fix.gsaFixMode = static_cast<uint8_t>(text[0] - '0');
    fix.gsaPdop = DoubleOr(f, 14, 0);
    fix.gsaHdop = DoubleOr(f, 15, 0);
    fix.gsaVdop = DoubleOr(f, 16, 0);
    const char systemId = f.Get(17, text) ? text[0] : 0;

    GnssState& g = fix.gnss;
    const bool sameSeries = g.lastGsaTalker[0] == talker.a && g.lastGsaTalker[1] == talker.b &&
                            !talker.Is('G', 'N') && systemId == g.lastGsaSystemId;
    const bool adds = g.lastWasGsa && !sameSeries;
    g.lastGsaTalker[0] = talker.a;
    g.lastGsaTalker[1] = talker.b;
    g.lastGsaSystemId = systemId;

    GnssSystem system = GnssSystem::GPS;
    const bool systemKnown = SystemOfTalker(talker, system) || SystemOfId(systemId, system);
    // PRNs as wide as sent, but GP's as the first two characters as always.
    const bool twoDigits = talker.Is('G', 'P');
    int at = 0;
    if (adds) {
        for (int i = 0; i < g.solutionSlots; ++i) {
            if (fix.gsaSatellitesInSolution[i] == 0) continue;
            fix.gsaSatellitesInSolution[at] = fix.gsaSatellitesInSolution[i];
            g.solutionSystems[at++] = g.solutionSystems[i];
        }
    }
    for (int i = 0; i < kSolutionSlots && at < kMaxSatellites; ++i) {
        const int prn = twoDigits ? f.Prefix(2 + i, 2) : f.Number(2 + i, 0, LeadingInt);
        if (adds && prn == 0) continue;
        fix.gsaSatellitesInSolution[at] = static_cast<uint16_t>(prn);
        g.solutionSystems[at++] = systemKnown ? system : SystemOfPrn(prn);
    }
    for (int i = at; i < g.solutionSlots; ++i) {
        fix.gsaSatellitesInSolution[i] = 0;
        g.solutionSystems[i] = GnssSystem::GPS;
    }
    while (at > 0 && fix.gsaSatellitesInSolution[at - 1] == 0) --at;
    g.solutionSlots = at;
    ++fix.gsaCount;
}

constexpr int kFreshSeconds = 4;  // a system's table counts this long after its last GSV

// Seconds since a message of the series last came (0 before any time).
int AgeOf(const GnssState& g, const GsvSeries& series) {
    if (g.secondOfDay < 0) return 0;
    return (g.secondOfDay - series.seenSecond + 86400) % 86400;
}

bool IsFresh(const GnssState& g, const GsvSeries& series) {
    return series.present && AgeOf(g, series) <= kFreshSeconds;
}

// The table of one system and signal: the one that has it, else a free
// one, else the one heard from longest ago.
GsvSeries& SeriesFor(GnssState& g, GnssSystem system, char signalId) {
    GsvSeries* row = g.series[static_cast<int>(system)];
    for (int i = 0; i < kSignalsPerSystem; ++i) {
        if (row[i].present && row[i].signalId == signalId) return row[i];
    }
    GsvSeries* pick = &row[0];
    for (int i = 0; i < kSignalsPerSystem; ++i) {
        if (!row[i].present) {
            pick = &row[i];
            break;
        }
        if (AgeOf(g, row[i]) > AgeOf(g, *pick)) pick = &row[i];
    }
    const int index = static_cast<int>(pick - &g.series[0][0]);
    if (g.mirroredSeries == index) g.mirroredSeries = -1;
    g.presentSeries |= 1u << index;
    *pick = GsvSeries{};
    pick->present = true;
    pick->signalId = signalId;
    return *pick;
}

// Re-merges one system's fresh series (bit n of `fresh`: signal slot n)
// into its sky. Satellites are found by PRN through a small open-addressed
// index, so the work grows with the satellites listed, not their square.
void MergeSystem(const GnssState& g, int system, uint32_t fresh, SystemSky& sky) {
    constexpr int kSlots = 128;  // over three times kMaxSatellites: short probes
    int8_t slotOf[kSlots];
    std::memset(slotOf, -1, sizeof slotOf);
    sky.mergedSeries = static_cast<uint8_t>(fresh);
    sky.count = 0;
    sky.mostInView = 0;
    for (uint32_t bits = fresh; bits != 0; bits &= bits - 1) {
        const GsvSeries& s = g.series[system][std::countr_zero(bits)];
        const int listed = s.satellitesInView < kMaxSatellites ? s.satellitesInView : kMaxSatellites;
        for (int i = 0; i < listed; ++i) {
            const SatelliteInfo& sat = s.satellites[i];
            if (sat.prn == 0) continue;
            int h = sat.prn % kSlots;
            while (slotOf[h] >= 0 && (sky.satellites[slotOf[h]].prn != sat.prn ||
                                      sky.satellites[slotOf[h]].system != sat.system)) {
                h = (h + 1) % kSlots;
            }
            if (slotOf[h] >= 0) {
                SatelliteInfo& same = sky.satellites[slotOf[h]];
                if (sat.snr > same.snr) {
                    same.snr = sat.snr;
                    same.azimuth = sat.azimuth;
                    same.elevation = sat.elevation;
                }
                same.usedInSolution |= sat.usedInSolution;
            } else if (sky.count < kMaxSatellites) {
                slotOf[h] = static_cast<int8_t>(sky.count);
                sky.satellites[sky.count++] = sat;
            }
        }
        if (s.satellitesInView > sky.mostInView) sky.mostInView = s.satellitesInView;
    }
}

// The fix's satellite view from the tables of the systems heard lately.
// With one table it is that table as it was received; with more, the
// systems' skies one after another, as many as the table holds.
void MergeSatelliteView(GpsFix& fix, const GsvSeries& updated, int firstUpdated) {
    GnssState& g = fix.gnss;
    const GsvSeries* all = &g.series[0][0];
    uint32_t freshSeries = 0;
    for (uint32_t bits = g.presentSeries; bits != 0; bits &= bits - 1) {
        const int n = std::countr_zero(bits);
        if (IsFresh(g, all[n])) freshSeries |= 1u << n;
    }
    if (std::popcount(freshSeries) == 1) {
        const int index = std::countr_zero(freshSeries);
        const GsvSeries* only = &all[index];
        fix.gsvSatellitesInView = only->satellitesInView;
        if (only == &updated && g.mirroredSeries == index) {
            // Already a mirror of this series: copy just the updated entries.
            std::memcpy(&fix.gsvSatellites[firstUpdated], &updated.satellites[firstUpdated],
                        4 * sizeof(SatelliteInfo));
        } else {
            std::memcpy(fix.gsvSatellites, only->satellites, sizeof fix.gsvSatellites);
        }
        g.mirroredSeries = index;
        return;
    }
    g.mirroredSeries = -1;
    constexpr uint32_t kRowBits = (1u << kSignalsPerSystem) - 1;
    int count = 0;
    int inView = 0;
    for (int system = 0; system < kGnssSystems; ++system) {
        const uint32_t fresh = (freshSeries >> (system * kSignalsPerSystem)) & kRowBits;
        SystemSky& sky = g.skies[system];
        if (fresh != sky.mergedSeries || (g.changedSkies >> system & 1u) != 0) {
            MergeSystem(g, system, fresh, sky);
            g.changedSkies &= ~(1u << system);
        }
        const int taken = sky.count < kMaxSatellites - count ? sky.count : kMaxSatellites - count;
        std::memcpy(&fix.gsvSatellites[count], sky.satellites, taken * sizeof(SatelliteInfo));
        count += taken;
        inView += taken > sky.mostInView ? taken : sky.mostInView;
    }
    std::fill(&fix.gsvSatellites[count], &fix.gsvSatellites[kMaxSatellites], SatelliteInfo{});
    fix.gsvSatellitesInView = static_cast<uint16_t>(inView);
}

// One GSV message. Each talker numbers its own series from message 1;
// NMEA 4.10+ appends a signal id and sends a series per signal.
void ParseGsv(GpsFix& fix, const FieldList& f, Talker talker) {
    char text[kFieldSize];
    if (!f.Get(0, text)) return;
    const int total = LeadingInt(text);
    const int number = IntOr(f, 1, 0);
    if (total < 1 || total > 8 || number < 1 || number > 9) return;
    // 3 + 4 fields per satellite, and one more when a signal id ends it.
    const bool hasSignal = f.Count() > 3 && (f.Count() - 3) % 4 == 1;
    const int satelliteFields = hasSignal ? f.Count() - 1 : kMaxFields;
    const char signalId = hasSignal && f.Get(f.Count() - 1, text) ? text[0] : 0;

    GnssSystem system = GnssSystem::GPS;
    if (!SystemOfTalker(talker, system)) system = SystemOfPrn(IntOr(f, 3, 0));
    GsvSeries& series = SeriesFor(fix.gnss, system, signalId);
    series.seenSecond = fix.gnss.secondOfDay;
    fix.gnss.changedSkies |= 1u << static_cast<int>(system);
    if (f.Get(2, text)) series.satellitesInView = static_cast<uint16_t>(LeadingInt(text));
    for (int k = 0; k < 4; ++k) {
        SatelliteInfo& sat = series.satellites[(number - 1) * 4 + k];
        const bool inSentence = 6 + 4 * k < satelliteFields;
        sat.prn = static_cast<uint16_t>(inSentence ? IntOr(f, 3 + 4 * k, 0) : 0);
        sat.elevation = static_cast<uint16_t>(inSentence ? IntOr(f, 4 + 4 * k, 0) : 0);
        sat.azimuth = static_cast<uint16_t>(inSentence ? IntOr(f, 5 + 4 * k, 0) : 0);
        sat.snr = static_cast<uint16_t>(inSentence ? IntOr(f, 6 + 4 * k, 0) : 0);
        sat.system = system;
        sat.usedInSolution = IsUsedInSolution(fix, system, sat.prn) ? 1 : 0;
    }
    MergeSatelliteView(fix, series, (number - 1) * 4);
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
        NoteTime(fix, fix.rmcHour, fix.rmcMinute, fix.rmcSecond);
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
        const Talker talker{fix.command[0], fix.command[1]};
        switch (kind) {
            case SentenceKind::GGA: ParseGga(fix, fields); break;
            case SentenceKind::GSA: ParseGsa(fix, fields, talker); break;
            case SentenceKind::GSV: ParseGsv(fix, fields, talker); break;
            case SentenceKind::RMB: ParseRmb(fix, fields); break;
            case SentenceKind::RMC: ParseRmc(fix, fields); break;
            case SentenceKind::ZDA: ParseZda(fix, fields); break;
            case SentenceKind::Other: break;
        }
    }
    fix.gnss.lastWasGsa = kind == SentenceKind::GSA;
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

// The standard talkers: GPS, combined, GLONASS, Galileo, BeiDou (two
// spellings), QZSS, NavIC.
static bool IsStandardTalker(char a, char b) {
    if (a == 'G') {
        return b == 'P' || b == 'N' || b == 'L' || b == 'A' || b == 'B' || b == 'Q' || b == 'I';
    }
    return a == 'B' && b == 'D';
}

SentenceKind KindOfAddress(const char* a) {
    if (!IsStandardTalker(a[0], a[1]) || a[2] == '\0' || a[3] == '\0' || a[4] == '\0' ||
        a[5] != '\0') {
        return SentenceKind::Other;
    }
    // The three letters after the talker, compared as one number.
    constexpr auto code = [](const char* t) {
        return static_cast<uint32_t>(static_cast<uint8_t>(t[0])) << 16 |
               static_cast<uint32_t>(static_cast<uint8_t>(t[1])) << 8 |
               static_cast<uint8_t>(t[2]);
    };
    switch (code(a + 2)) {
        case code("GGA"): return SentenceKind::GGA;
        case code("GSA"): return SentenceKind::GSA;
        case code("GSV"): return SentenceKind::GSV;
        case code("RMB"): return SentenceKind::RMB;
        case code("RMC"): return SentenceKind::RMC;
        case code("ZDA"): return SentenceKind::ZDA;
        default: return SentenceKind::Other;
    }
}

const char* GnssSystemName(GnssSystem system) {
    switch (system) {
        case GnssSystem::GPS: return "GPS";
        case GnssSystem::GLONASS: return "GLONASS";
        case GnssSystem::Galileo: return "Galileo";
        case GnssSystem::BeiDou: return "BeiDou";
        case GnssSystem::QZSS: return "QZSS";
        case GnssSystem::NavIC: return "NavIC";
    }
    return "GPS";
}

// XOR of n bytes, eight at a time.
static uint8_t XorOf(const char* bytes, size_t n) {
    uint64_t word = 0;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t next;
        std::memcpy(&next, bytes + i, 8);
        word ^= next;
    }
    word ^= word >> 32;
    word ^= word >> 16;
    word ^= word >> 8;
    auto sum = static_cast<uint8_t>(word);
    for (; i < n; ++i) sum ^= static_cast<uint8_t>(bytes[i]);
    return sum;
}

// Copies plain body bytes in one run (the bulk of the input), stopping
// before a '*' or CR, or where the body would overflow. Returns the bytes taken.
static size_t TakeBodyRun(GpsFix& fix, const char* bytes, size_t length) {
    const size_t room = static_cast<size_t>(kDataSize - 1 - fix.index);
    size_t n = length < room ? length : room;
    if (const void* star = std::memchr(bytes, '*', n)) {
        n = static_cast<size_t>(static_cast<const char*>(star) - bytes);
    }
    if (const void* cr = std::memchr(bytes, '\r', n)) {
        n = static_cast<size_t>(static_cast<const char*>(cr) - bytes);
    }
    std::memcpy(fix.data + fix.index, bytes, n);
    fix.checksum ^= XorOf(bytes, n);
    fix.index = static_cast<uint16_t>(fix.index + n);
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

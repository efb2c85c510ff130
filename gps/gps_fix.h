#pragma once
// The receiver's current state, as the NMEA sentences last described it.
// One group of fields per sentence type; the groups are never merged.
// Receivers that use several satellite systems report each system's
// satellites separately; the GSA and GSV groups hold the merged view and
// `gnss` keeps what was received per system.

#include <cstdint>

namespace trakomer {

enum class ParseState : uint8_t { SearchStart, Command, Data, Checksum1, Checksum2 };

constexpr int kCommandSize = 8;
constexpr int kDataSize = 256;
constexpr int kMaxSatellites = 36;
constexpr int kSolutionSlots = 12;  // PRNs a GSA sentence carries

// Satellite systems, in the order their satellites are listed.
enum class GnssSystem : uint8_t { GPS, GLONASS, Galileo, BeiDou, QZSS, NavIC };
constexpr int kGnssSystems = 6;
// Signals of one system kept apart (NMEA 4.10+ sends one GSV series per signal).
constexpr int kSignalsPerSystem = 4;

struct SatelliteInfo {
    uint16_t prn = 0;
    uint16_t snr = 0;  // dB-Hz, 0 = not tracked
    uint32_t usedInSolution = 0;
    uint16_t azimuth = 0;
    uint16_t elevation = 0;
    GnssSystem system = GnssSystem::GPS;
};

// One GSV series as received: one system, one signal.
struct GsvSeries {
    bool present = false;
    char signalId = 0;        // the 4.10+ signal id, 0 when the series has none
    int32_t seenSecond = 0;   // GnssState::secondOfDay when a message of it last came
    uint16_t satellitesInView = 0;
    SatelliteInfo satellites[kMaxSatellites] = {};
};

// One system's fresh series merged: each satellite once, with its best SNR,
// in the order the series first list them.
struct SystemSky {
    uint8_t mergedSeries = 0;  // bit n: signal slot n was fresh and merged
    uint8_t count = 0;
    uint16_t mostInView = 0;   // the largest satellitesInView of those series
    SatelliteInfo satellites[kMaxSatellites] = {};
};

// What the per-system sentences left, for merging them.
struct GnssState {
    // Second of the day of the latest RMC or GGA time (-1 before any), to
    // age out systems no longer sent.
    int32_t secondOfDay = -1;
    // The system of each entry of gsaSatellitesInSolution.
    GnssSystem solutionSystems[kMaxSatellites] = {};
    int solutionSlots = 0;  // entries up to the last non-zero one
    // The series the GSV group mirrors as received, or -1 when it holds a
    // merge of several (index system * kSignalsPerSystem + signal slot).
    int mirroredSeries = -1;
    // The previous dispatched sentence was a GSA; its talker and system id.
    bool lastWasGsa = false;
    char lastGsaTalker[2] = {};
    char lastGsaSystemId = 0;
    GsvSeries series[kGnssSystems][kSignalsPerSystem] = {};
    uint32_t presentSeries = 0;  // bit n: series n holds a table
    // The merge kept per system, so that a GSV message re-merges only its
    // own system; bit s of changedSkies: system s's series changed since.
    SystemSky skies[kGnssSystems] = {};
    uint32_t changedSkies = 0;
};

struct GpsFix {
    // Framing state
    ParseState parseState = ParseState::SearchStart;
    uint8_t checksum = 0;
    uint8_t receivedChecksum = 0;
    uint16_t index = 0;
    char command[kCommandSize] = {};
    char data[kDataSize] = {};
    uint32_t sentenceCount = 0;
    bool checksumDigitsValid = true;  // both digits after '*' were hexadecimal

    // GGA
    uint8_t ggaHour = 0, ggaMinute = 0, ggaSecond = 0;
    double ggaLatitude = 0;
    double ggaLongitude = 0;
    uint8_t ggaQuality = 0;
    uint8_t ggaSatellites = 0;
    double ggaHdop = 0;
    double ggaAltitude = 0;
    uint32_t ggaCount = 0;
    int32_t ggaPrevSeconds = 0;
    double ggaPrevAltitude = 0;
    double ggaVerticalSpeed = 0;  // metres per minute

    // GSA
    char gsaMode = 'M';
    uint8_t gsaFixMode = 1;  // 1 no fix, 2 2D, 3 3D
    uint16_t gsaSatellitesInSolution[kMaxSatellites] = {};
    double gsaPdop = 0, gsaHdop = 0, gsaVdop = 0;
    uint32_t gsaCount = 0;

    // GSV
    uint16_t gsvSatellitesInView = 0;
    SatelliteInfo gsvSatellites[kMaxSatellites] = {};
    uint32_t gsvCount = 0;

    // RMB
    char rmbStatus = 'V';
    double rmbCrossTrackError = 0;
    char rmbSteer = '?';
    char rmbOriginId[32] = {};
    char rmbDestinationId[32] = {};
    double rmbDestLatitude = 0, rmbDestLongitude = 0;
    double rmbRange = 0;
    double rmbBearing = 0;
    double rmbClosingVelocity = 0;
    char rmbArrival = 'V';
    uint32_t rmbCount = 0;

    // RMC
    uint8_t rmcHour = 0, rmcMinute = 0, rmcSecond = 0;
    uint8_t rmcHundredths = 0;
    char rmcStatus = 'V';
    double rmcLatitude = 0;
    double rmcLongitude = 0;
    double rmcSpeedKnots = 0;
    double rmcCourse = 0;
    uint8_t rmcDay = 1, rmcMonth = 1;
    uint16_t rmcYear = 2000;
    double rmcMagneticVariation = 0;
    uint32_t rmcCount = 0;

    // ZDA
    uint8_t zdaHour = 0, zdaMinute = 0, zdaSecond = 0;
    uint8_t zdaDay = 1, zdaMonth = 1;
    uint16_t zdaYear = 2000;
    uint8_t zdaZoneHours = 0, zdaZoneMinutes = 0;
    uint32_t zdaCount = 0;

    GnssState gnss;
};

}  // namespace trakomer

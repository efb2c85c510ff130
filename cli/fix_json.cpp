#include "cli/fix_json.h"

#include <cstring>
#include <string_view>

namespace trakomer {
namespace {

std::string_view Text(const char* chars, size_t capacity) {
    return std::string_view(chars, strnlen(chars, capacity));
}

}  // namespace

void WriteGgaJson(JsonWriter& json, const GpsFix& f) {
    json.BeginObject()
        .Field("ggaHour", unsigned{f.ggaHour})
        .Field("ggaMinute", unsigned{f.ggaMinute})
        .Field("ggaSecond", unsigned{f.ggaSecond})
        .Field("ggaLatitude", f.ggaLatitude)
        .Field("ggaLongitude", f.ggaLongitude)
        .Field("ggaQuality", unsigned{f.ggaQuality})
        .Field("ggaSatellites", unsigned{f.ggaSatellites})
        .Field("ggaHdop", f.ggaHdop)
        .Field("ggaAltitude", f.ggaAltitude)
        .Field("ggaCount", unsigned{f.ggaCount})
        .Field("ggaPrevSeconds", int{f.ggaPrevSeconds})
        .Field("ggaPrevAltitude", f.ggaPrevAltitude)
        .Field("ggaVerticalSpeed", f.ggaVerticalSpeed)
        .EndObject();
}

void WriteGsaJson(JsonWriter& json, const GpsFix& f) {
    json.BeginObject().Field("gsaMode", f.gsaMode).Field("gsaFixMode", unsigned{f.gsaFixMode});
    json.Key("gsaSatellitesInSolution").BeginArray();
    for (uint16_t prn : f.gsaSatellitesInSolution) json.Integer(prn);
    json.EndArray()
        .Field("gsaPdop", f.gsaPdop)
        .Field("gsaHdop", f.gsaHdop)
        .Field("gsaVdop", f.gsaVdop)
        .Field("gsaCount", unsigned{f.gsaCount})
        .EndObject();
}

void WriteGsvJson(JsonWriter& json, const GpsFix& f) {
    json.BeginObject().Field("gsvSatellitesInView", unsigned{f.gsvSatellitesInView});
    json.Key("satellites").BeginArray();
    const int shown = f.gsvSatellitesInView < kMaxSatellites ? f.gsvSatellitesInView
                                                             : kMaxSatellites;
    for (int i = 0; i < shown; ++i) {
        const SatelliteInfo& s = f.gsvSatellites[i];
        json.BeginObject()
            .Field("prn", unsigned{s.prn})
            .Field("system", GnssSystemName(s.system))
            .Field("snr", unsigned{s.snr})
            .Field("usedInSolution", unsigned{s.usedInSolution})
            .Field("azimuth", unsigned{s.azimuth})
            .Field("elevation", unsigned{s.elevation})
            .EndObject();
    }
    json.EndArray().Field("gsvCount", unsigned{f.gsvCount}).EndObject();
}

void WriteRmbJson(JsonWriter& json, const GpsFix& f) {
    json.BeginObject()
        .Field("rmbStatus", f.rmbStatus)
        .Field("rmbCrossTrackError", f.rmbCrossTrackError)
        .Field("rmbSteer", f.rmbSteer)
        .Field("rmbOriginId", Text(f.rmbOriginId, sizeof f.rmbOriginId))
        .Field("rmbDestinationId", Text(f.rmbDestinationId, sizeof f.rmbDestinationId))
        .Field("rmbDestLatitude", f.rmbDestLatitude)
        .Field("rmbDestLongitude", f.rmbDestLongitude)
        .Field("rmbRange", f.rmbRange)
        .Field("rmbBearing", f.rmbBearing)
        .Field("rmbClosingVelocity", f.rmbClosingVelocity)
        .Field("rmbArrival", f.rmbArrival)
        .Field("rmbCount", unsigned{f.rmbCount})
        .EndObject();
}

void WriteRmcJson(JsonWriter& json, const GpsFix& f) {
    json.BeginObject()
        .Field("rmcHour", unsigned{f.rmcHour})
        .Field("rmcMinute", unsigned{f.rmcMinute})
        .Field("rmcSecond", unsigned{f.rmcSecond})
        .Field("rmcHundredths", unsigned{f.rmcHundredths})
        .Field("rmcStatus", f.rmcStatus)
        .Field("rmcLatitude", f.rmcLatitude)
        .Field("rmcLongitude", f.rmcLongitude)
        .Field("rmcSpeedKnots", f.rmcSpeedKnots)
        .Field("rmcCourse", f.rmcCourse)
        .Field("rmcDay", unsigned{f.rmcDay})
        .Field("rmcMonth", unsigned{f.rmcMonth})
        .Field("rmcYear", unsigned{f.rmcYear})
        .Field("rmcMagneticVariation", f.rmcMagneticVariation)
        .Field("rmcCount", unsigned{f.rmcCount})
        .EndObject();
}

void WriteZdaJson(JsonWriter& json, const GpsFix& f) {
    json.BeginObject()
        .Field("zdaHour", unsigned{f.zdaHour})
        .Field("zdaMinute", unsigned{f.zdaMinute})
        .Field("zdaSecond", unsigned{f.zdaSecond})
        .Field("zdaDay", unsigned{f.zdaDay})
        .Field("zdaMonth", unsigned{f.zdaMonth})
        .Field("zdaYear", unsigned{f.zdaYear})
        .Field("zdaZoneHours", unsigned{f.zdaZoneHours})
        .Field("zdaZoneMinutes", unsigned{f.zdaZoneMinutes})
        .Field("zdaCount", unsigned{f.zdaCount})
        .EndObject();
}

void WriteGroupJson(JsonWriter& json, const GpsFix& fix, SentenceKind kind) {
    switch (kind) {
        case SentenceKind::GGA: WriteGgaJson(json, fix); break;
        case SentenceKind::GSA: WriteGsaJson(json, fix); break;
        case SentenceKind::GSV: WriteGsvJson(json, fix); break;
        case SentenceKind::RMB: WriteRmbJson(json, fix); break;
        case SentenceKind::RMC: WriteRmcJson(json, fix); break;
        case SentenceKind::ZDA: WriteZdaJson(json, fix); break;
        case SentenceKind::Other: json.Null(); break;
    }
}

void WriteFixJson(JsonWriter& json, const GpsFix& fix) {
    json.BeginObject().Field("sentenceCount", unsigned{fix.sentenceCount});
    json.Key("gga");
    WriteGgaJson(json, fix);
    json.Key("gsa");
    WriteGsaJson(json, fix);
    json.Key("gsv");
    WriteGsvJson(json, fix);
    json.Key("rmb");
    WriteRmbJson(json, fix);
    json.Key("rmc");
    WriteRmcJson(json, fix);
    json.Key("zda");
    WriteZdaJson(json, fix);
    json.EndObject();
}

}  // namespace trakomer

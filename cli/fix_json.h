#pragma once
// The GpsFix as JSON, one object per sentence group.

#include "cli/json_writer.h"
#include "gps/gps_fix.h"
#include "gps/nmea_parser.h"

namespace trakomer {

void WriteGgaJson(JsonWriter& json, const GpsFix& fix);
void WriteGsaJson(JsonWriter& json, const GpsFix& fix);
void WriteGsvJson(JsonWriter& json, const GpsFix& fix);
void WriteRmbJson(JsonWriter& json, const GpsFix& fix);
void WriteRmcJson(JsonWriter& json, const GpsFix& fix);
void WriteZdaJson(JsonWriter& json, const GpsFix& fix);

// The group a sentence kind fills, or null for other sentences.
void WriteGroupJson(JsonWriter& json, const GpsFix& fix, SentenceKind kind);

// {"sentenceCount": n, "gga": {...}, "gsa": {...}, ...}
void WriteFixJson(JsonWriter& json, const GpsFix& fix);

}  // namespace trakomer

#include "prefs/speech_model.h"

#include "prefs/general_model.h"
#include "prefs/number_text.h"

namespace trakomer::prefs {

const char* UnitLabel(IntervalUnit unit, int units) {
    const UnitLabels labels = UnitLabelsFor(units);
    switch (unit) {
        case IntervalUnit::Minutes:
            return "min";
        case IntervalUnit::Seconds:
            return "s";
        case IntervalUnit::Distance:
            return labels.distance;
        case IntervalUnit::Altitude:
            return labels.altitude;
        case IntervalUnit::Energy:
            return labels.energy;
        case IntervalUnit::Percent:
            return "%";
    }
    return "";
}

std::string IntervalText(const AnnouncementRow& row, const Settings& s) {
    if (row.floatInterval) return FormatFixed(s.*row.floatInterval, 2);
    return std::to_string(s.*row.intInterval);
}

bool StoreInterval(const AnnouncementRow& row, const std::string& text, Settings& s) {
    if (row.floatInterval) {
        const auto value = LeadingFloat(text);
        if (value) s.*row.floatInterval = *value;
        return value.has_value();
    }
    const auto value = LeadingInteger(text);
    if (value) s.*row.intInterval = *value;
    return value.has_value();
}

}  // namespace trakomer::prefs

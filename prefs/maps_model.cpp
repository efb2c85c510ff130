#include "prefs/maps_model.h"

#include "prefs/number_text.h"

namespace trakomer::prefs {

std::array<std::string, 5> MapRowTexts(const MapRow& row) {
    return {row.path, FormatFixed(row.lon1, 6), FormatFixed(row.lat1, 6), FormatFixed(row.lon2, 6),
            FormatFixed(row.lat2, 6)};
}

}  // namespace trakomer::prefs

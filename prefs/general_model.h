#pragma once
// What the General page shows for the settings and what its OK stores:
// profile, units, view-up mode, automatic start and stop, name and weight.

#include <array>
#include <optional>
#include <string>

#include "core/settings.h"

namespace trakomer::prefs {

inline constexpr std::array<const char*, 6> kProfileNames = {"Walk", "Run",       "Bike",
                                                             "Car",  "Motorbike", "Blackbox"};
inline constexpr std::array<const char*, 2> kUnitNames = {"Metric", "Imperial"};
inline constexpr std::array<const char*, 2> kUpModeNames = {"North", "Heading"};
inline constexpr int kBlackboxProfile = 6;

// The unit words the pages show for mUnits (1 metric, 2 imperial).
struct UnitLabels {
    const char* distance;  // "km" / "miles"
    const char* speed;     // "kph" / "mph"
    const char* weight;    // "kg" / "lbs"
    const char* altitude;  // "m" / "ft"
    const char* energy;    // "kJ" / "Calories"
};
UnitLabels UnitLabelsFor(int units);

// The page's fields as texts and list indexes.
struct GeneralFields {
    int profileIndex = 0;
    int unitsIndex = 0;
    int upModeIndex = 0;
    bool autoStart = false;
    bool autoStop = false;
    std::string stopDistance;  // "%.1f"
    std::string stopSpeed;     // "%.1f"
    std::string name;
    std::string weight;  // "%.1f" of the weight in the shown units
};

GeneralFields GeneralFieldsFrom(const Settings& settings);

// The three numbers after the Units list changed to `unitsIndex` on the
// page: the weight in the new units, and the stored auto-stop values
// converted from the stored units to the new ones.
struct UnitNumbers {
    std::string stopDistance;
    std::string stopSpeed;
    std::string weight;
};
UnitNumbers NumbersForUnits(const Settings& settings, int unitsIndex);

// What OK stores. A number that does not parse keeps the stored value; its
// name is reported so the page can show it in the error style.
struct GeneralStore {
    bool distanceRejected = false;
    bool speedRejected = false;
    bool weightRejected = false;
};
GeneralStore StoreGeneral(const GeneralFields& fields, Settings& settings);

}  // namespace trakomer::prefs

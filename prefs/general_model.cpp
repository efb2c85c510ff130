#include "prefs/general_model.h"

#include "core/geodesy.h"
#include "prefs/number_text.h"

namespace trakomer::prefs {

namespace {

int UnitsOfIndex(int index) {
    return index == 1 ? 2 : 1;
}

int ClampIndex(int value, int count) {
    return value >= 1 && value <= count ? value - 1 : 0;
}

}  // namespace

UnitLabels UnitLabelsFor(int units) {
    if (units == 2) return {"miles", "mph", "lbs", "ft", "Calories"};
    return {"km", "kph", "kg", "m", "kJ"};
}

GeneralFields GeneralFieldsFrom(const Settings& s) {
    GeneralFields f;
    f.profileIndex = ClampIndex(s.mUserProfile, static_cast<int>(kProfileNames.size()));
    f.unitsIndex = s.mUnits == 2 ? 1 : 0;
    f.upModeIndex = s.mUpMode == 2 ? 1 : 0;
    f.autoStart = s.mAutoStart != 0;
    f.autoStop = s.mAutoStop != 0;
    f.stopDistance = FormatFixed(s.mAutoStopDistance, 1);
    f.stopSpeed = FormatFixed(s.mAutoStopSpeed, 1);
    f.name = s.mUserName;
    f.weight = FormatFixed(s.bodyWeightKg * UnitFactorsFor(s.mUnits).weightFactor, 1);
    return f;
}

UnitNumbers NumbersForUnits(const Settings& s, int unitsIndex) {
    const UnitFactors shown = UnitFactorsFor(UnitsOfIndex(unitsIndex));
    const UnitFactors stored = UnitFactorsFor(s.mUnits);
    // The stored auto-stop values are in the stored units; converting by the
    // ratio brings them back unchanged when the stored units are chosen again.
    const double ratio = shown.kmFactor / stored.kmFactor;
    return {FormatFixed(s.mAutoStopDistance * ratio, 1), FormatFixed(s.mAutoStopSpeed * ratio, 1),
            FormatFixed(s.bodyWeightKg * shown.weightFactor, 1)};
}

GeneralStore StoreGeneral(const GeneralFields& f, Settings& s) {
    GeneralStore out;
    s.mUserProfile = f.profileIndex + 1;
    s.mUnits = UnitsOfIndex(f.unitsIndex);
    s.mUpMode = f.upModeIndex == 1 ? 2 : 1;
    s.mAutoStart = f.autoStart ? 1 : 0;
    s.mAutoStop = f.autoStop ? 1 : 0;
    if (auto v = LeadingFloat(f.stopDistance)) {
        s.mAutoStopDistance = *v;
    } else {
        out.distanceRejected = true;
    }
    if (auto v = LeadingFloat(f.stopSpeed)) {
        s.mAutoStopSpeed = *v;
    } else {
        out.speedRejected = true;
    }
    s.mUserName = f.name.substr(0, kPathCapacity - 1);
    const double weightFactor = UnitFactorsFor(s.mUnits).weightFactor;
    if (auto v = LeadingDecimal(f.weight)) {
        s.bodyWeightKg = *v / weightFactor;
    } else {
        out.weightRejected = true;
    }
    return out;
}

}  // namespace trakomer::prefs

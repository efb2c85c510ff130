#pragma once
// Numbers in the preference edits: read as far as they parse, written with
// a fixed number of decimals. Independent of the process locale, so a
// comma locale neither changes what is shown nor what is read.

#include <optional>
#include <string>
#include <string_view>

namespace trakomer::prefs {

// The leading decimal number of the text ("12.5 km" is 12.5). Nothing when
// no number starts the text or it is not finite (inf, nan, out of range):
// such a field keeps its previous value.
std::optional<double> LeadingDecimal(std::string_view text);

// The same for a value kept as a float: nothing also when it does not fit
// a float (1e300 would become inf).
std::optional<float> LeadingFloat(std::string_view text);

// The leading integer of the text ("12.7" is 12); nothing when none starts
// it or it does not fit an int.
std::optional<int> LeadingInteger(std::string_view text);

// The value with `decimals` digits after the point ("%.1f", "%.2f", "%f").
std::string FormatFixed(double value, int decimals);

}  // namespace trakomer::prefs

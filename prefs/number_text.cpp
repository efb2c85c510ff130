#include "prefs/number_text.h"

#include <charconv>
#include <cmath>

namespace trakomer::prefs {

namespace {

// Leading blanks are skipped and a plus sign accepted, as the C library's
// number readers do; from_chars accepts neither.
std::string_view NumberStart(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    text.remove_prefix(i);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') return {};
    }
    return text;
}

}  // namespace

std::optional<double> LeadingDecimal(std::string_view text) {
    text = NumberStart(text);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<float> LeadingFloat(std::string_view text) {
    const std::optional<double> value = LeadingDecimal(text);
    if (!value || !std::isfinite(static_cast<float>(*value))) return std::nullopt;
    return static_cast<float>(*value);
}

std::optional<int> LeadingInteger(std::string_view text) {
    text = NumberStart(text);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) return std::nullopt;
    return value;
}

std::string FormatFixed(double value, int decimals) {
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (error != std::errc()) return "0";
    return std::string(buffer, end);
}

}  // namespace trakomer::prefs

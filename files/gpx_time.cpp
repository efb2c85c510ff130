#include "files/gpx_time.h"

#include <cstdio>

#include "core/utc_time.h"

namespace trakomer {
namespace {

// Reads exactly `digits` decimal digits at `pos`.
bool Digits(std::string_view text, std::size_t& pos, int digits, int& value) {
    if (pos + static_cast<std::size_t>(digits) > text.size()) return false;
    value = 0;
    for (int i = 0; i < digits; ++i) {
        const char c = text[pos++];
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

bool Expect(std::string_view text, std::size_t& pos, char c) {
    if (pos >= text.size() || text[pos] != c) return false;
    ++pos;
    return true;
}

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// The zone offset in seconds east of UTC; false when malformed.
bool ZoneOffset(std::string_view text, std::size_t& pos, int& offset) {
    offset = 0;
    if (pos == text.size()) return true;
    if (text[pos] == 'Z') return ++pos == text.size();
    const char sign = text[pos++];
    if (sign != '+' && sign != '-') return false;
    int hours = 0, minutes = 0;
    if (!Digits(text, pos, 2, hours)) return false;
    if (pos < text.size()) {
        if (text[pos] == ':') ++pos;
        if (!Digits(text, pos, 2, minutes)) return false;
    }
    if (pos != text.size() || hours > 14 || minutes > 59) return false;
    offset = (sign == '-' ? -1 : 1) * (hours * 3600 + minutes * 60);
    return true;
}

}  // namespace

std::optional<GpxTime> ParseGpxTime(std::string_view raw) {
    const std::string_view text = Trim(raw);
    std::size_t pos = 0;
    int year, month, day, hour, minute, second;
    if (!Digits(text, pos, 4, year) || !Expect(text, pos, '-') || !Digits(text, pos, 2, month) ||
        !Expect(text, pos, '-') || !Digits(text, pos, 2, day) || !Expect(text, pos, 'T') ||
        !Digits(text, pos, 2, hour) || !Expect(text, pos, ':') || !Digits(text, pos, 2, minute) ||
        !Expect(text, pos, ':') || !Digits(text, pos, 2, second)) {
        return std::nullopt;
    }
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 60) {
        return std::nullopt;
    }
    GpxTime time;
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        const std::size_t start = pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            const int digit = text[pos] - '0';
            if (pos - start < 2) time.hundredths = time.hundredths * 10 + digit;
            ++pos;
        }
        if (pos == start) return std::nullopt;
        if (pos - start == 1) time.hundredths *= 10;
    }
    int offset = 0;
    if (!ZoneOffset(text, pos, offset)) return std::nullopt;
    time.seconds = UtcToSeconds(year, month, day, hour, minute, second) - offset;
    return time;
}

namespace {

// Appends a value of 0 or more with at least `width` digits, as "%0*d".
void AppendPadded(std::string& out, int value, int width) {
    char digits[16];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (n < width) digits[n++] = '0';
    while (n > 0) out += digits[--n];
}

}  // namespace

void AppendGpxTime(std::string& out, int64_t seconds, int hundredths) {
    const UtcTime t = SecondsToUtc(seconds);
    if (t.year < 0) {  // far outside what tracks hold: printf writes the sign
        char text[48];
        std::snprintf(text, sizeof text, "%04d", t.year);
        out += text;
    } else {
        AppendPadded(out, t.year, 4);
    }
    const int parts[] = {t.month, t.day, t.hour, t.minute, t.second};
    const char separators[] = {'-', '-', 'T', ':', ':'};
    for (int i = 0; i < 5; ++i) {
        out += separators[i];
        AppendPadded(out, parts[i], 2);
    }
    if (hundredths > 0 && hundredths < 100) {
        out += '.';
        AppendPadded(out, hundredths, 2);
    }
    out += 'Z';
}

std::string FormatGpxTime(int64_t seconds, int hundredths) {
    std::string text;
    AppendGpxTime(text, seconds, hundredths);
    return text;
}

}  // namespace trakomer

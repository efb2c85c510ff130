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

// Two digits of a value from 0 to 99, as "%02d".
void PutTwoDigits(char* at, int value) {
    at[0] = static_cast<char>('0' + value / 10);
    at[1] = static_cast<char>('0' + value % 10);
}

}  // namespace

void AppendGpxTime(std::string& out, int64_t seconds, int hundredths) {
    const UtcTime t = SecondsToUtc(seconds);
    const bool fraction = hundredths > 0 && hundredths < 100;
    if (t.year < 0 || t.year > 9999) {  // far outside what tracks hold
        char text[64];
        std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day,
                      t.hour, t.minute, t.second);
        out += text;
        if (fraction) {
            std::snprintf(text, sizeof text, ".%02d", hundredths);
            out += text;
        }
        out += 'Z';
        return;
    }
    char text[] = "0000-00-00T00:00:00.00Z";
    PutTwoDigits(text, t.year / 100);
    PutTwoDigits(text + 2, t.year % 100);
    PutTwoDigits(text + 5, t.month);
    PutTwoDigits(text + 8, t.day);
    PutTwoDigits(text + 11, t.hour);
    PutTwoDigits(text + 14, t.minute);
    PutTwoDigits(text + 17, t.second);
    if (fraction) {
        PutTwoDigits(text + 20, hundredths);
        out.append(text, 23);
    } else {
        text[19] = 'Z';
        out.append(text, 20);
    }
}

std::string FormatGpxTime(int64_t seconds, int hundredths) {
    std::string text;
    AppendGpxTime(text, seconds, hundredths);
    return text;
}

}  // namespace trakomer

#include "cli/nmea_seconds.h"

#include <optional>

#include "core/utc_time.h"

namespace trakomer::cli {
namespace {

constexpr int64_t kMaxFollowedGapSeconds = 3600;

bool IsRmcLine(std::string_view line) {
    return line.size() >= 7 && line[0] == '$' && line.substr(3, 4) == "RMC,";
}

// Field n (0 = the address) of a sentence line, without the checksum.
std::string_view Field(std::string_view line, int n) {
    const size_t star = line.find('*');
    if (star != std::string_view::npos) line = line.substr(0, star);
    for (int i = 0; i < n; ++i) {
        const size_t comma = line.find(',');
        if (comma == std::string_view::npos) return {};
        line.remove_prefix(comma + 1);
    }
    return line.substr(0, line.find(','));
}

bool TwoDigits(std::string_view s, size_t at, int& value) {
    if (s.size() < at + 2 || s[at] < '0' || s[at] > '9' || s[at + 1] < '0' || s[at + 1] > '9') {
        return false;
    }
    value = (s[at] - '0') * 10 + (s[at + 1] - '0');
    return true;
}

// UTC seconds of an RMC line's time and date fields, when both are there.
std::optional<int64_t> RmcUnixSeconds(std::string_view line) {
    const std::string_view time = Field(line, 1);
    const std::string_view date = Field(line, 9);
    int hh, mm, ss, day, month, year;
    if (!TwoDigits(time, 0, hh) || !TwoDigits(time, 2, mm) || !TwoDigits(time, 4, ss) ||
        !TwoDigits(date, 0, day) || !TwoDigits(date, 2, month) || !TwoDigits(date, 4, year)) {
        return std::nullopt;
    }
    if (month < 1 || month > 12 || day < 1 || day > 31 || hh > 23 || mm > 59 || ss > 60) {
        return std::nullopt;
    }
    return UtcToSeconds(2000 + year, month, day, hh, mm, ss);
}

}  // namespace

ReceiverLog SplitIntoSeconds(std::string_view text) {
    ReceiverLog log;
    std::string_view previousTimeField;
    bool seenRmc = false;
    std::optional<int64_t> previousUnix;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        end = end == std::string_view::npos ? text.size() : end + 1;
        const std::string_view line = text.substr(pos, end - pos);
        pos = end;

        if (IsRmcLine(line)) {
            const std::string_view timeField = Field(line, 1);
            const bool sameSecond = seenRmc && !timeField.empty() && timeField == previousTimeField;
            const std::optional<int64_t> unix = RmcUnixSeconds(line);
            if (!seenRmc) {
                if (log.seconds.empty()) log.seconds.emplace_back();
            } else if (!sameSecond) {
                int64_t step = 1000;
                if (unix && previousUnix && *unix > *previousUnix &&
                    *unix - *previousUnix <= kMaxFollowedGapSeconds) {
                    step = (*unix - *previousUnix) * 1000;
                }
                const int64_t offset = log.seconds.back().offsetMs + step;
                log.seconds.emplace_back();
                log.seconds.back().offsetMs = offset;
            }
            if (unix && !log.hasStartTime) {
                log.hasStartTime = true;
                log.startUnixSeconds = *unix - log.seconds.back().offsetMs / 1000;
            }
            if (!sameSecond) previousUnix = unix;
            previousTimeField = timeField;
            seenRmc = true;
        }
        if (log.seconds.empty()) log.seconds.emplace_back();
        log.seconds.back().bytes.append(line);
    }
    return log;
}

}  // namespace trakomer::cli

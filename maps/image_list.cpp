#include "maps/image_list.h"

#include <charconv>
#include <cmath>

namespace trakomer::maps {
namespace {

// Splits at any of the separators, dropping empty fields (as strtok does).
std::vector<std::string_view> Split(std::string_view text, std::string_view separators) {
    std::vector<std::string_view> fields;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t start = text.find_first_not_of(separators, pos);
        if (start == std::string_view::npos) break;
        size_t end = text.find_first_of(separators, start);
        if (end == std::string_view::npos) end = text.size();
        fields.push_back(text.substr(start, end - start));
        pos = end;
    }
    return fields;
}

template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        visit(text.substr(pos, std::min(end - pos, kMaxListLine)));
        pos = end + 1;
    }
}

}  // namespace

double LeadingNumber(std::string_view field) {
    size_t pos = field.find_first_not_of(" \t");
    if (pos == std::string_view::npos) return 0;
    if (field[pos] == '+') ++pos;
    double value = 0;
    const auto result = std::from_chars(field.data() + pos, field.data() + field.size(), value,
                                        std::chars_format::fixed);
    // "inf" and "nan" read as numbers too; they are no place on earth.
    return result.ec == std::errc() && std::isfinite(value) ? value : 0;
}

std::optional<ImageListEntry> ParseImageListLine(std::string_view line,
                                                 const std::string& programFolder) {
    if (line.empty() || line.front() == '#') return std::nullopt;
    const std::vector<std::string_view> fields = Split(line, ",\r\n");
    if (fields.size() < 5) return std::nullopt;
    ImageListEntry entry;
    const std::string_view name = fields[0];
    if (name.find_first_of("\\/") != std::string_view::npos) {
        entry.path = std::string(name);
    } else {
        entry.path = programFolder + "/" + std::string(name);
    }
    entry.corners = {LeadingNumber(fields[1]), LeadingNumber(fields[2]), LeadingNumber(fields[3]),
                     LeadingNumber(fields[4])};
    return entry;
}

std::vector<ImageListEntry> ParseImageList(std::string_view text,
                                           const std::string& programFolder) {
    std::vector<ImageListEntry> entries;
    ForEachLine(text, [&](std::string_view line) {
        if (auto entry = ParseImageListLine(line, programFolder)) entries.push_back(*entry);
    });
    return entries;
}

std::optional<MapCorners> ParseCalibration(std::string_view text) {
    std::optional<MapCorners> corners;
    ForEachLine(text, [&](std::string_view line) {
        const std::vector<std::string_view> fields = Split(line, " \r\n");
        if (fields.size() < 4) return;
        corners = MapCorners{LeadingNumber(fields[0]), LeadingNumber(fields[1]),
                             LeadingNumber(fields[2]), LeadingNumber(fields[3])};
    });
    return corners;
}

std::string ImageFileFor(const std::string& slotPath, const std::string& programFolder) {
    std::string file = slotPath;
    for (char& c : file) {
        if (c == '\\') c = '/';
    }
    if (!file.empty() && file.front() != '/' && file.rfind(programFolder, 0) != 0) {
        file = programFolder + "/" + file;
    }
    return file;
}

}  // namespace trakomer::maps

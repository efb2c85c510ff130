#pragma once
// Reading and writing the settings file "trakomer.ini": one "key: value"
// line per setting, in a fixed order.

#include <string>
#include <vector>

#include "core/settings.h"

namespace trakomer {

// Reads the file at `path` into `settings`, leaving every value the file
// does not set as it was. Returns false (changing nothing) when the file
// cannot be opened. Malformed lines are skipped; nothing is ever reported.
bool LoadSettings(const std::string& path, Settings& settings);

// Applies the settings text (the file's contents) to `settings`.
void ApplySettingsText(const std::string& text, Settings& settings);

// The whole file as it is written.
std::string FormatSettings(const Settings& settings);

// One key and its value, for listing the settings (every key in file order,
// empty strings included).
struct SettingEntry {
    enum class Kind { Int, Float, String, IntList };
    const char* key;
    Kind kind;
    int intValue = 0;
    float floatValue = 0;
    std::string text;
    std::vector<int> list;
};
std::vector<SettingEntry> ListSettings(const Settings& settings);

// Writes the file at `path` with owner-only permissions, through a temporary
// file in the same folder renamed over the old one, so a failed save leaves
// the previous file intact. Creates the folder if needed. False on failure.
bool SaveSettings(const std::string& path, const Settings& settings);

}  // namespace trakomer

#include "core/settings_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/file_io.h"

namespace trakomer {
namespace {

struct StringField {
    std::string Settings::*member;
    std::size_t capacity;
};
struct ViewsField {};
struct ViewLargeField {};
// An integer written only when not 0, so files without the feature stay as they were.
struct OptionalIntField {
    int Settings::*member;
};

using Field = std::variant<int Settings::*, float Settings::*, StringField, ViewsField,
                           ViewLargeField, OptionalIntField>;

struct Key {
    const char* name;
    Field field;
};

// Every key in the order the file is written.
const std::vector<Key>& KeysInFileOrder() {
    static const std::vector<Key> keys = {
        {"mUpMode", &Settings::mUpMode},
        {"mUnits", &Settings::mUnits},
        {"mUserProfile", &Settings::mUserProfile},
        {"mCommPort", &Settings::mCommPort},
        {"mBaudRate", &Settings::mBaudRate},
        {"mParity", &Settings::mParity},
        {"mStopBits", &Settings::mStopBits},
        {"mDataBits", &Settings::mDataBits},
        {"mVoice", &Settings::mVoice},
        {"mViews", ViewsField{}},
        {"mViewLarge", ViewLargeField{}},
        {"mLViewFontSize", &Settings::mLViewFontSize},
        {"mNMEAEnableGPGGA", &Settings::mNMEAEnableGPGGA},
        {"mHUD", &Settings::mHUD},
        {"mSaySpeed", &Settings::mSaySpeed},
        {"mSayDistance", &Settings::mSayDistance},
        {"mSaySplit", &Settings::mSaySplit},
        {"mSaySummary", &Settings::mSaySummary},
        {"mSayAltitude", &Settings::mSayAltitude},
        {"mSayCalories", &Settings::mSayCalories},
        {"mSayTime", &Settings::mSayTime},
        {"mSayBattery", &Settings::mSayBattery},
        {"mSayPace", &Settings::mSayPace},
        {"mSaySpeedThreshold", &Settings::mSaySpeedThreshold},
        {"mSayDistanceThreshold", &Settings::mSayDistanceThreshold},
        {"mSaySplitThreshold", &Settings::mSaySplitThreshold},
        {"mSaySummaryThreshold", &Settings::mSaySummaryThreshold},
        {"mSayAltitudeThreshold", &Settings::mSayAltitudeThreshold},
        {"mSayBatteryThreshold", &Settings::mSayBatteryThreshold},
        {"mSayCalorieThreshold", &Settings::mSayCalorieThreshold},
        {"mSayTimeThreshold", &Settings::mSayTimeThreshold},
        {"mSayPaceThreshold", &Settings::mSayPaceThreshold},
        {"mTCPIP", &Settings::mTCPIP},
        {"mGPRSAuto", &Settings::mGPRSAuto},
        {"mFtpAddress", StringField{&Settings::mFtpAddress, kFtpAddressCapacity}},
        {"mFtpUser", StringField{&Settings::mFtpUser, kFtpUserCapacity}},
        {"mFtpPassword", StringField{&Settings::mFtpPassword, kFtpPasswordCapacity}},
        {"mTCPIPUploadFrequency", &Settings::mTCPIPUploadFrequency},
        {"mFtpCertificate", StringField{&Settings::mFtpCertificate, kFtpCertificateCapacity}},
        {"mPositionUrl", StringField{&Settings::mPositionUrl, kPositionUrlCapacity}},
        {"mPositionPost", OptionalIntField{&Settings::mPositionPost}},
        {"mFollowPage", OptionalIntField{&Settings::mFollowPage}},
        {"mAutoStart", &Settings::mAutoStart},
        {"mAutoStop", &Settings::mAutoStop},
        {"mBasePath", StringField{&Settings::mBasePath, kPathCapacity}},
        {"mUseBasePath", &Settings::mUseBasePath},
        {"mRefPath", StringField{&Settings::mRefPath, kPathCapacity}},
        {"mUseRefPath", &Settings::mUseRefPath},
        {"mAutoStopDistance", &Settings::mAutoStopDistance},
        {"mAutoStopSpeed", &Settings::mAutoStopSpeed},
        {"mUserName", StringField{&Settings::mUserName, kPathCapacity}},
        {"mDefaultFilePath", StringField{&Settings::mDefaultFilePath, kPathCapacity}},
        {"mUploadType", &Settings::mUploadType},
        {"mSaveFilterIndex", &Settings::mSaveFilterIndex},
        {"mOpenFilterIndex", &Settings::mOpenFilterIndex},
        {"mWayPointPath", StringField{&Settings::mWayPointPath, kPathCapacity}},
        {"mUseWayPointPath", &Settings::mUseWayPointPath},
        {"mDefaultFileNameFormat", &Settings::mDefaultFileNameFormat},
        {"mCommDevice", StringField{&Settings::mCommDevice, kCommDeviceCapacity}},
        {"mMapSource", StringField{&Settings::mMapSource, kPathCapacity}},
    };
    return keys;
}

// The order keys are matched in: a key text is given to the first name that
// occurs in it, so names come before the shorter names they contain.
constexpr const char* kMatchOrder[] = {
    "mUpMode", "mUnits", "mUserProfile", "mCommPort", "mBaudRate", "mParity", "mStopBits",
    "mDataBits", "mVoice", "mViews", "mViewLarge", "mLViewFontSize", "mNMEAEnableGPGGA",
    "mHUD", "mSaySpeedThreshold", "mSayDistanceThreshold", "mSaySplitThreshold",
    "mSaySummaryThreshold", "mSayAltitudeThreshold", "mSayCalorieThreshold",
    "mSayTimeThreshold", "mSayBatteryThreshold", "mSayPaceThreshold", "mSaySpeed",
    "mSayDistance", "mSaySplit", "mSaySummary", "mSayAltitude", "mSayCalories", "mSayTime",
    "mSayBattery", "mSayPace", "mTCPIPUploadFrequency", "mTCPIP", "mGPRSAuto", "mFtpAddress",
    "mFtpUser", "mFtpPassword", "mBasePath", "mRefPath", "mWayPointPath", "mUseBasePath",
    "mUseRefPath", "mUseWayPointPath", "mAutoStopDistance", "mAutoStopSpeed", "mAutoStart",
    "mAutoStop", "mUserName", "mDefaultFilePath", "mUploadType", "mSaveFilterIndex",
    "mOpenFilterIndex", "mDefaultFileNameFormat", "mCommDevice", "mFtpCertificate",
    "mPositionUrl", "mPositionPost", "mFollowPage", "mMapSource",
};

const Key* FindKey(std::string_view name) {
    for (const Key& key : KeysInFileOrder()) {
        if (name == key.name) return &key;
    }
    return nullptr;
}

const Key* MatchKey(std::string_view keyText) {
    for (const char* name : kMatchOrder) {
        if (keyText.find(name) != std::string_view::npos) return FindKey(name);
    }
    return nullptr;
}

// atoi without its undefined behaviour on overflow: out-of-range values
// saturate.
int ToInt(const std::string& text) {
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

float ToFloat(const std::string& text) {
    return static_cast<float>(std::strtod(text.c_str(), nullptr));
}

// Converts numbers separated by blanks or line breaks into `values`, in
// order; missing numbers keep their values, surplus numbers are ignored.
template <std::size_t N>
void ToIntList(const std::string& text, std::array<int, N>& values) {
    std::size_t next = 0;
    std::size_t pos = 0;
    while (next < N) {
        pos = text.find_first_not_of(" \t\r\n", pos);
        if (pos == std::string::npos) break;
        const std::size_t end = text.find_first_of(" \t\r\n", pos);
        values[next++] = ToInt(text.substr(pos, end - pos));
        pos = end;
    }
}

struct Applier {
    Settings& settings;
    const std::string& value;
    void operator()(int Settings::*member) const { settings.*member = ToInt(value); }
    void operator()(OptionalIntField f) const { settings.*(f.member) = ToInt(value); }
    void operator()(float Settings::*member) const { settings.*member = ToFloat(value); }
    void operator()(const StringField& f) const {
        settings.*(f.member) = value.substr(0, f.capacity - 1);
    }
    void operator()(ViewsField) const { ToIntList(value, settings.mViews); }
    void operator()(ViewLargeField) const { ToIntList(value, settings.mViewLarge); }
};

void ApplyLine(std::string_view line, Settings& settings) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon + 1 == line.size()) return;
    const Key* key = MatchKey(line.substr(0, colon));
    if (key == nullptr) return;
    const std::string value(line.substr(colon + 1));
    std::visit(Applier{settings, value}, key->field);
}

// The whole formatted text, however long (six large view numbers or a huge
// float run past any fixed buffer).
std::string Printf(const char* format, auto... args) {
    const int n = std::snprintf(nullptr, 0, format, args...);
    if (n <= 0) return std::string();
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(text.data(), text.size(), format, args...);
    text.resize(static_cast<std::size_t>(n));
    return text;
}

struct Formatter {
    const Settings& settings;
    std::string name;
    std::string operator()(int Settings::*member) const {
        return name + Printf(": %d\n", settings.*member);
    }
    std::string operator()(float Settings::*member) const {
        return name + Printf(": %f\n", static_cast<double>(settings.*member));
    }
    std::string operator()(OptionalIntField f) const {
        return settings.*(f.member) == 0 ? std::string() : (*this)(f.member);
    }
    std::string operator()(const StringField& f) const {
        // Strings are written only when not empty. A line break inside a
        // value would start a new line in the file, so the value ends there.
        const std::string& text = settings.*(f.member);
        const std::string value = text.substr(0, std::min(text.find('\n'), f.capacity - 1));
        return value.empty() ? std::string() : name + ":" + value + "\n";
    }
    std::string operator()(ViewsField) const {
        const auto& v = settings.mViews;
        return name + Printf(": %d %d %d %d %d %d\n", v[0], v[1], v[2], v[3], v[4], v[5]);
    }
    std::string operator()(ViewLargeField) const {
        const auto& v = settings.mViewLarge;
        return name + Printf(": %d %d %d %d\n", v[0], v[1], v[2], v[3]);
    }
};

struct Lister {
    const Settings& settings;
    const char* key;
    using Kind = SettingEntry::Kind;
    SettingEntry operator()(int Settings::*member) const {
        return {key, Kind::Int, settings.*member, 0, {}, {}};
    }
    SettingEntry operator()(float Settings::*member) const {
        return {key, Kind::Float, 0, settings.*member, {}, {}};
    }
    SettingEntry operator()(OptionalIntField f) const { return (*this)(f.member); }
    SettingEntry operator()(const StringField& f) const {
        return {key, Kind::String, 0, 0, settings.*(f.member), {}};
    }
    SettingEntry operator()(ViewsField) const {
        return {key, Kind::IntList, 0, 0, {}, {settings.mViews.begin(), settings.mViews.end()}};
    }
    SettingEntry operator()(ViewLargeField) const {
        return {key, Kind::IntList, 0, 0, {},
                {settings.mViewLarge.begin(), settings.mViewLarge.end()}};
    }
};

}  // namespace

std::vector<SettingEntry> ListSettings(const Settings& settings) {
    std::vector<SettingEntry> entries;
    for (const Key& key : KeysInFileOrder()) {
        entries.push_back(std::visit(Lister{settings, key.name}, key.field));
    }
    return entries;
}

Settings DefaultSettings(const std::string& documentsFolder) {
    Settings settings;
    settings.mDefaultFilePath = documentsFolder.substr(0, kPathCapacity - 1);
    return settings;
}

void ApplySettingsText(const std::string& text, Settings& settings) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        ApplyLine(std::string_view(text).substr(start, end - start), settings);
        start = end + 1;
    }
}

bool LoadSettings(const std::string& path, Settings& settings) {
    // Far beyond any real settings file; a larger file is read up to here.
    constexpr std::size_t kMaxSettingsBytes = 1 << 20;
    std::string text;
    if (!ReadFileBytes(path, kMaxSettingsBytes, text)) return false;
    ApplySettingsText(text, settings);
    return true;
}

std::string FormatSettings(const Settings& settings) {
    std::string text;
    for (const Key& key : KeysInFileOrder()) {
        text += std::visit(Formatter{settings, key.name}, key.field);
    }
    return text;
}

bool SaveSettings(const std::string& path, const Settings& settings) {
    const std::size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash))) {
        return false;
    }
    return WriteFileAtomically(path, FormatSettings(settings), S_IRUSR | S_IWUSR);
}

}  // namespace trakomer

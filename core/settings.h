#pragma once
// Every user choice, one field per key of the settings file. The field names
// are the keys. Strings hold at most their capacity minus one characters (the
// capacity counts a terminating zero); the file reader cuts longer values.

#include <array>
#include <cstddef>
#include <string>

#include "core/statistics.h"

namespace trakomer {

constexpr std::size_t kFtpAddressCapacity = 192;
constexpr std::size_t kFtpUserCapacity = 64;
constexpr std::size_t kFtpPasswordCapacity = 64;
constexpr std::size_t kFtpCertificateCapacity = 128;
constexpr std::size_t kPositionUrlCapacity = 512;
constexpr std::size_t kPathCapacity = 256;  // the paths and the user name
constexpr std::size_t kCommDeviceCapacity = 256;

constexpr int kScreenCount = 6;
constexpr int kLargeViewQuantities = 4;

struct Settings {
    int mUpMode = 1;        // 1 north up, 2 heading up
    int mUnits = 1;         // 1 metric, 2 imperial
    int mUserProfile = 4;   // 1 Walk .. 6 Blackbox
    int mCommPort = 2;
    int mBaudRate = 4800;
    int mParity = 0;
    int mStopBits = 0;
    int mDataBits = 8;
    int mVoice = 1;
    std::array<int, kScreenCount> mViews = {1, 1, 1, 1, 1, 1};  // screens 0-5 in cycling
    std::array<int, kLargeViewQuantities> mViewLarge = {4, 6, 5, 10};
    int mLViewFontSize = 60;
    int mNMEAEnableGPGGA = 0;
    int mHUD = 0;
    int mSaySpeed = 1;
    int mSayDistance = 1;
    int mSaySplit = 0;
    int mSaySummary = 0;
    int mSayAltitude = 1;
    int mSayCalories = 1;
    int mSayTime = 1;
    int mSayBattery = 1;
    int mSayPace = 1;
    int mSaySpeedThreshold = 10;       // seconds
    float mSayDistanceThreshold = 1.0f;  // km or miles
    float mSaySplitThreshold = 1.0f;     // km or miles
    int mSaySummaryThreshold = 10;     // minutes
    int mSayAltitudeThreshold = 100;   // m or ft
    int mSayBatteryThreshold = 10;     // percent
    int mSayCalorieThreshold = 100;    // cal
    int mSayTimeThreshold = 300;       // seconds
    int mSayPaceThreshold = 300;       // seconds
    int mTCPIP = 0;                    // automatic upload
    int mGPRSAuto = 0;                 // connect before an upload
    std::string mFtpAddress;           // capacity kFtpAddressCapacity
    std::string mFtpUser;              // capacity kFtpUserCapacity
    std::string mFtpPassword;          // capacity kFtpPasswordCapacity
    int mTCPIPUploadFrequency = 600;   // seconds
    std::string mFtpCertificate;       // "sha256:<64 hex>" pin of an ftps server; empty: system store
    std::string mPositionUrl;          // positions over HTTP; empty: off
    int mPositionPost = 0;             // 0 GET, 1 form POST
    int mFollowPage = 0;               // also publish the follow page over FTP
    int mAutoStart = 1;
    int mAutoStop = 1;
    std::string mBasePath;             // pace track file, capacity kPathCapacity
    int mUseBasePath = 0;
    std::string mRefPath;              // display track file, capacity kPathCapacity
    int mUseRefPath = 0;
    float mAutoStopDistance = 0.4f;    // km or miles by mUnits
    float mAutoStopSpeed = 6.0f;       // km/h or mph by mUnits
    std::string mUserName;             // capacity kPathCapacity
    std::string mDefaultFilePath;      // folder of automatic saves, capacity kPathCapacity
    int mUploadType = 1;               // 1 location, 2 full track, 3 changes only
    int mSaveFilterIndex = 2;
    int mOpenFilterIndex = 2;
    std::string mWayPointPath;         // waypoint file, capacity kPathCapacity
    int mUseWayPointPath = 0;
    int mDefaultFileNameFormat = 0;    // 0 DDMMYY, 1 DDMMYYYY, 2 YYMMDD, 3 YYYYMMDD
    std::string mCommDevice;           // serial device path, capacity kCommDeviceCapacity
    // Where "Get map for this track..." takes its tiles: a tile server's URL
    // template, an .mbtiles file or a tile folder; empty for the default
    // tile server. Capacity kPathCapacity.
    std::string mMapSource;

    // Not a key: the body weight lives in memory only and starts at its
    // default on every run.
    double bodyWeightKg = kDefaultBodyWeightKg;
};

// The defaults of every key; mDefaultFilePath is the given documents folder
// (an absolute path).
Settings DefaultSettings(const std::string& documentsFolder);

}  // namespace trakomer

#include "core/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/files/test_folder.h"

namespace trakomer {
namespace {

using testing::TestFolder;

const char* const kDefaultFile =
    "mUpMode: 1\n"
    "mUnits: 1\n"
    "mUserProfile: 4\n"
    "mCommPort: 2\n"
    "mBaudRate: 4800\n"
    "mParity: 0\n"
    "mStopBits: 0\n"
    "mDataBits: 8\n"
    "mVoice: 1\n"
    "mViews: 1 1 1 1 1 1\n"
    "mViewLarge: 4 6 5 10\n"
    "mLViewFontSize: 60\n"
    "mNMEAEnableGPGGA: 0\n"
    "mHUD: 0\n"
    "mSaySpeed: 1\n"
    "mSayDistance: 1\n"
    "mSaySplit: 0\n"
    "mSaySummary: 0\n"
    "mSayAltitude: 1\n"
    "mSayCalories: 1\n"
    "mSayTime: 1\n"
    "mSayBattery: 1\n"
    "mSayPace: 1\n"
    "mSaySpeedThreshold: 10\n"
    "mSayDistanceThreshold: 1.000000\n"
    "mSaySplitThreshold: 1.000000\n"
    "mSaySummaryThreshold: 10\n"
    "mSayAltitudeThreshold: 100\n"
    "mSayBatteryThreshold: 10\n"
    "mSayCalorieThreshold: 100\n"
    "mSayTimeThreshold: 300\n"
    "mSayPaceThreshold: 300\n"
    "mTCPIP: 0\n"
    "mGPRSAuto: 0\n"
    "mTCPIPUploadFrequency: 600\n"
    "mAutoStart: 1\n"
    "mAutoStop: 1\n"
    "mUseBasePath: 0\n"
    "mUseRefPath: 0\n"
    "mAutoStopDistance: 0.400000\n"
    "mAutoStopSpeed: 6.000000\n"
    "mDefaultFilePath:/home/walker/Documents\n"
    "mUploadType: 1\n"
    "mSaveFilterIndex: 2\n"
    "mOpenFilterIndex: 2\n"
    "mUseWayPointPath: 0\n"
    "mDefaultFileNameFormat: 0\n";

Settings Defaults() { return DefaultSettings("/home/walker/Documents"); }

Settings Apply(const std::string& text) {
    Settings s = Defaults();
    ApplySettingsText(text, s);
    return s;
}

TEST(SettingsFile, DefaultsWriteTheGoldenFile) {
    EXPECT_EQ(FormatSettings(Defaults()), kDefaultFile);
    EXPECT_EQ(Defaults().bodyWeightKg, 87.0);
}

TEST(SettingsFile, MissingOrEmptyFileGivesDefaults) {
    TestFolder folder;
    Settings s = Defaults();
    EXPECT_FALSE(LoadSettings(folder.File("absent.ini"), s));
    EXPECT_TRUE(LoadSettings(folder.Write("empty.ini", ""), s));
    EXPECT_EQ(FormatSettings(s), kDefaultFile);
}

TEST(SettingsFile, KeysMatchBySubstringInPrecedenceOrder) {
    struct Case {
        const char* line;
        int Settings::*member;
        int expected;
    };
    const Case cases[] = {
        {"mSaySpeedThreshold: 30\n", &Settings::mSaySpeedThreshold, 30},
        {"mSaySpeedThreshold: 30\n", &Settings::mSaySpeed, 1},
        {"mTCPIPUploadFrequency: 60\n", &Settings::mTCPIPUploadFrequency, 60},
        {"mTCPIPUploadFrequency: 60\n", &Settings::mTCPIP, 0},
        {"mUseBasePath: 1\n", &Settings::mUseBasePath, 1},
        {"xx mUnits yy: 2\n", &Settings::mUnits, 2},
        {"mAutoStart: 0\n", &Settings::mAutoStop, 1},
        {"mDataBits:   7junk\n", &Settings::mDataBits, 7},
        {"mDataBits: junk\n", &Settings::mDataBits, 0},
        {"mDataBits: 99999999999\n", &Settings::mDataBits, 2147483647},
        {"mdatabits: 7\n", &Settings::mDataBits, 8},  // case matters
        {"mDataBits 7\n", &Settings::mDataBits, 8},   // no colon
        {"mDataBits:\n", &Settings::mDataBits, 8},    // nothing after it
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Apply(c.line).*c.member, c.expected) << c.line;
    }
    // A path keyed as the "use" flag's name still lands on the path.
    EXPECT_EQ(Apply("mBasePath:/t/a.trk\n").mBasePath, "/t/a.trk");
    EXPECT_EQ(Apply("mBasePath:/t/a.trk\n").mUseBasePath, 0);
}

TEST(SettingsFile, ViewListsKeepMissingAndIgnoreSurplusNumbers) {
    Settings s = Defaults();
    s.mViews = {0, 0, 0, 0, 0, 0};
    ApplySettingsText("mViews: 1 1 1\n", s);
    EXPECT_EQ(s.mViews, (std::array<int, 6>{1, 1, 1, 0, 0, 0}));
    ApplySettingsText("mViews: 0 1 0 1 0 1 7\n", s);
    EXPECT_EQ(s.mViews, (std::array<int, 6>{0, 1, 0, 1, 0, 1}));
    ApplySettingsText("mViewLarge: 1  2\n", s);
    EXPECT_EQ(s.mViewLarge, (std::array<int, 4>{1, 2, 5, 10}));
    // Lines longer than any small buffer are written whole.
    s.mViews.fill(-2147483647);
    s.mSayDistanceThreshold = 3e38f;
    const std::string text = FormatSettings(s);
    EXPECT_NE(text.find("mViews: -2147483647 -2147483647 -2147483647 -2147483647 -2147483647 "
                        "-2147483647\n"),
              std::string::npos);
    Settings back = Defaults();
    ApplySettingsText(text, back);
    EXPECT_EQ(back.mViews, s.mViews);
    EXPECT_FLOAT_EQ(back.mSayDistanceThreshold, s.mSayDistanceThreshold);
}

TEST(SettingsFile, StringValuesAreTakenAsTheyStand) {
    Settings s = Defaults();
    s.mFtpAddress = "ftp.example.net";
    ApplySettingsText("mFtpAddress:\nmFtpUser: bob\nmRefPath:/a:b/c.trk\n", s);
    EXPECT_EQ(s.mFtpAddress, "ftp.example.net");
    EXPECT_EQ(s.mFtpUser, " bob");
    EXPECT_EQ(s.mRefPath, "/a:b/c.trk");
}

TEST(SettingsFile, CarriageReturnLinesReadNumbersAndKeepTheReturnInStrings) {
    const Settings s = Apply("mUnits: 2\r\nmSayDistanceThreshold: 2.5\r\nmUserName:Ann\r\n"
                             "mViews: 0 0 1 1 0 0\r\n");
    EXPECT_EQ(s.mUnits, 2);
    EXPECT_FLOAT_EQ(s.mSayDistanceThreshold, 2.5f);
    EXPECT_EQ(s.mUserName, "Ann\r");
    EXPECT_EQ(s.mViews, (std::array<int, 6>{0, 0, 1, 1, 0, 0}));
}

TEST(SettingsFile, ValuesAreCutToTheirCapacity) {
    const std::string longValue(10000, 'x');
    const Settings s = Apply("mFtpUser:" + longValue + "\nmFtpAddress:" + longValue +
                             "\nmDefaultFilePath:/" + longValue + "\nmUnits: 2\n");
    EXPECT_EQ(s.mFtpUser.size(), 63u);
    EXPECT_EQ(s.mFtpAddress.size(), 191u);
    EXPECT_EQ(s.mDefaultFilePath.size(), 255u);
    EXPECT_EQ(s.mUnits, 2);  // the line after the long one still counts
    // A 200-character path survives whole (it is within the capacity).
    const std::string path = "/" + std::string(199, 'p');
    EXPECT_EQ(Apply("mWayPointPath:" + path + "\n").mWayPointPath, path);
}

TEST(SettingsFile, SaveAndLoadRoundTripEveryKey) {
    TestFolder folder;
    Settings s = Defaults();
    s.mUpMode = 2; s.mUnits = 2; s.mUserProfile = 6; s.mCommPort = 5; s.mBaudRate = 38400;
    s.mParity = 2; s.mStopBits = 1; s.mDataBits = 7; s.mVoice = 0;
    s.mViews = {1, 0, 1, 0, 1, 0}; s.mViewLarge = {1, 2, 3, 4}; s.mLViewFontSize = 40;
    s.mNMEAEnableGPGGA = 1; s.mHUD = 1; s.mSaySpeed = 0; s.mSayDistance = 0; s.mSaySplit = 1;
    s.mSaySummary = 1; s.mSayAltitude = 0; s.mSayCalories = 0; s.mSayTime = 0;
    s.mSayBattery = 0; s.mSayPace = 0; s.mSaySpeedThreshold = 11;
    s.mSayDistanceThreshold = 0.25f; s.mSaySplitThreshold = 2.125f; s.mSaySummaryThreshold = 12;
    s.mSayAltitudeThreshold = 13; s.mSayBatteryThreshold = 14; s.mSayCalorieThreshold = 15;
    s.mSayTimeThreshold = 16; s.mSayPaceThreshold = 17; s.mTCPIP = 1; s.mGPRSAuto = 1;
    s.mFtpAddress = "ftp.example.net"; s.mFtpUser = "me"; s.mFtpPassword = "p:w";
    s.mTCPIPUploadFrequency = 120; s.mAutoStart = 0; s.mAutoStop = 0;
    s.mBasePath = "/p/base.trk"; s.mUseBasePath = 1; s.mRefPath = "/p/ref.kml";
    s.mUseRefPath = 1; s.mAutoStopDistance = 0.75f; s.mAutoStopSpeed = 3.5f;
    s.mUserName = "Ann O'Neil"; s.mDefaultFilePath = "/data/tracks"; s.mUploadType = 3;
    s.mSaveFilterIndex = 4; s.mOpenFilterIndex = 1; s.mWayPointPath = "/p/wp.kmz";
    s.mUseWayPointPath = 1; s.mDefaultFileNameFormat = 3; s.mCommDevice = "/dev/ttyUSB0";

    const std::string path = folder.File("cfg/trakomer.ini");
    ASSERT_TRUE(SaveSettings(path, s));
    Settings back = DefaultSettings("/elsewhere");
    ASSERT_TRUE(LoadSettings(path, back));
    EXPECT_EQ(FormatSettings(back), FormatSettings(s));
    EXPECT_EQ(back.mCommDevice, "/dev/ttyUSB0");
    EXPECT_EQ(folder.Read("cfg/trakomer.ini").substr(0, 11), "mUpMode: 2\n");
    EXPECT_NE(folder.Read("cfg/trakomer.ini").find("\nmCommDevice:/dev/ttyUSB0\n"),
              std::string::npos);
}

TEST(SettingsFile, SaveIsOwnerOnlyAndReplacesTheOldFileWhole) {
    TestFolder folder;
    const std::string path = folder.Write("trakomer.ini", std::string(5000, 'z'));
    ASSERT_TRUE(SaveSettings(path, Defaults()));
    EXPECT_EQ(folder.Read("trakomer.ini"), kDefaultFile);
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    // Nothing but the settings file is left in the folder.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(SettingsFile, SaveFailureLeavesTheOldFileAndReportsFalse) {
    TestFolder folder;
    const std::string blocker = folder.Write("not-a-folder", "x");
    EXPECT_FALSE(SaveSettings(blocker + "/trakomer.ini", Defaults()));
    EXPECT_EQ(folder.Read("not-a-folder"), "x");
}

TEST(SettingsFile, LineBreaksInsideStringValuesDoNotInjectLines) {
    Settings s = Defaults();
    s.mUserName = "Ann\nmUnits: 2";
    const Settings back = Apply(FormatSettings(s));
    EXPECT_EQ(back.mUserName, "Ann");
    EXPECT_EQ(back.mUnits, 1);
}

}  // namespace
}  // namespace trakomer

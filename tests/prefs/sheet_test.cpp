// The preference sheet on the offscreen platform, controls found by name:
// the pages' rules, OK storing through the settings file, Cancel.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/settings_file.h"
#include "prefs/preferences_sheet.h"

namespace trakomer::prefs {
namespace {

namespace fs = std::filesystem;

class RecordingHost : public PreferencesHost {
public:
    explicit RecordingHost(Settings& settings, std::string file)
        : settings_(settings), file_(std::move(file)) {}
    void CancelLauncher() override { calls.push_back("CancelLauncher"); }
    void RearmTimers() override { calls.push_back("RearmTimers"); }
    void ResizeGl() override { calls.push_back("ResizeGl"); }
    void ReopenReceiver() override { calls.push_back("ReopenReceiver"); }
    void ReloadWaypoints() override { calls.push_back("ReloadWaypoints"); }
    void SaveSettingsFile() override {
        calls.push_back("Save");
        SaveSettings(file_, settings_);
    }
    void RequestRestart() override { calls.push_back("Restart"); }
    void StopPointTick() override {}
    SerialPort& ReceiverPort() override { return port_; }
    SharedGpsFix& ReceiverFix() override { return fix_; }
    bool Called(const std::string& name) const {
        return std::find(calls.begin(), calls.end(), name) != calls.end();
    }
    std::vector<std::string> calls;

private:
    Settings& settings_;
    std::string file_;
    SerialPort port_;
    SharedGpsFix fix_;
};

class Questions : public Dialogs {
public:
    void ShowMessage(const std::string&, const std::string&, MessageIcon) override {}
    bool AskYesNo(const std::string& text, const std::string& caption) override {
        asked.push_back(caption + "|" + text);
        return true;
    }
    std::vector<std::string> asked;
};

class SheetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "prefs_sheet_test";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) new QApplication(argc, argv);
    }

    void SetUp() override {
        char pattern[] = "/tmp/trakomer-prefs-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        home_ = pattern;
        settings_ = DefaultSettings(home_);
        host_ = std::make_unique<RecordingHost>(settings_, File());
        SheetServices services;
        services.dialogs = &questions_;
        services.ports = {{"/dev/ttyS0", ""}, {"/dev/rfcomm0", "Bluetooth"}};
        services.maps = {{"/maps/town.tga", 11.5, 48.125, 11.75, 48.25}};
        services.chooseFile = [this](const std::string& filter) {
            lastFilter_ = filter;
            return nextFile_;
        };
        sheet_ = std::make_unique<PreferencesSheet>(settings_, *host_, std::move(services));
        sheet_->show();
    }

    void TearDown() override {
        sheet_.reset();
        fs::remove_all(home_);
    }

    std::string File() const { return home_ + "/trakomer.ini"; }

    template <typename T>
    T* Find(const char* name) {
        T* widget = sheet_->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void Show(const char* title) {
        for (int i = 0; i < sheet_->Pages()->count(); ++i) {
            if (sheet_->Pages()->tabText(i) == title) sheet_->Pages()->setCurrentIndex(i);
        }
    }
    void Type(const char* name, const char* text) { Find<QLineEdit>(name)->setText(text); }
    void Click(const char* name) { Find<QAbstractButton>(name)->click(); }

    std::string home_;
    Settings settings_;
    Questions questions_;
    std::unique_ptr<RecordingHost> host_;
    std::unique_ptr<PreferencesSheet> sheet_;
    std::string nextFile_;
    std::string lastFilter_;
};

TEST_F(SheetTest, SevenPagesInOrder) {
    EXPECT_EQ(sheet_->windowTitle(), "Preferences");
    ASSERT_EQ(sheet_->Pages()->count(), 7);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(sheet_->Pages()->tabText(i), kPageTitles[i]);
    EXPECT_EQ(Find<QComboBox>("port")->itemText(1), "/dev/rfcomm0 Bluetooth");
}

TEST_F(SheetTest, ClearingBothTrackScreensTicksTheFirstAgain) {
    Show("Screens");
    Click("view1");
    EXPECT_TRUE(Find<QCheckBox>("view0")->isChecked());
    Click("view0");
    EXPECT_FALSE(Find<QCheckBox>("view0")->isChecked());
    EXPECT_TRUE(Find<QCheckBox>("view1")->isChecked());
    Find<QComboBox>("large2")->setCurrentIndex(13);
    EXPECT_EQ(Find<QLabel>("preview2")->text(), "P: 123");
}

TEST_F(SheetTest, HeadingAndOkResizesTheGlView) {
    Find<QComboBox>("upMode")->setCurrentIndex(1);
    Click("ok");
    EXPECT_EQ(settings_.mUpMode, 2);
    EXPECT_TRUE(host_->Called("ResizeGl"));
    EXPECT_TRUE(host_->Called("RearmTimers"));
    EXPECT_TRUE(host_->Called("CancelLauncher"));   // Car is not Blackbox
    EXPECT_FALSE(host_->Called("ReopenReceiver"));  // NMEA page never shown
}

TEST_F(SheetTest, ImperialRelabelsAndConvertsTheShownNumbers) {
    Find<QComboBox>("units")->setCurrentIndex(1);
    EXPECT_EQ(Find<QLineEdit>("weight")->text(), "191.8");
    EXPECT_EQ(Find<QLabel>("distanceUnit")->text(), "miles");
    EXPECT_EQ(Find<QLabel>("speedUnit")->text(), "mph");
    EXPECT_EQ(Find<QLabel>("weightUnit")->text(), "lbs");
    EXPECT_EQ(Find<QLabel>("unitSplit")->text(), "miles");  // the Speech page follows
    Click("autoStart");  // cleared: the auto-stop controls are disabled
    EXPECT_FALSE(Find<QLineEdit>("autoStopDistance")->isEnabled());
    Click("ok");
    EXPECT_EQ(settings_.mUnits, 2);
    EXPECT_NEAR(settings_.bodyWeightKg, 87.0, 0.05);
}

TEST_F(SheetTest, OnlyAPaceOrDisplayTrackAsksForARestart) {
    struct Case {
        const char* box;
        const char* button;
        bool asks;
        const char* filter;  // what the file dialog offers
    };
    for (const Case& c :
         {Case{"usePace", "choosePace", true,
               "Magellan Track (*.trk);;Magellan Track Zipped (*.trz);;GPS Exchange (*.gpx)"},
          Case{"useDisplay", "chooseDisplay", true,
               "Magellan Track (*.trk);;Magellan Track Zipped (*.trz);;Google Earth (*.kml);;"
               "GPS Exchange (*.gpx)"},
          Case{"useWaypoints", "chooseWaypoints", false,
               "Google Earth Zipped(*.kmz);;Google Earth (*.kml);;GPS Exchange (*.gpx)"}}) {
        TearDown();
        SetUp();
        Show("Tracks");
        nextFile_ = home_ + "/chosen.trz";
        Click(c.box);
        Click(c.button);
        EXPECT_EQ(Find<QCheckBox>(c.box)->text(), "chosen.trz");
        EXPECT_EQ(lastFilter_, c.filter);
        Click("ok");
        EXPECT_TRUE(fs::exists(File())) << c.box;
        EXPECT_EQ(questions_.asked.size(), c.asks ? 1u : 0u) << c.box;
        if (c.asks) {
            EXPECT_EQ(questions_.asked[0], std::string(kRestartQuestion) + "|" + kRestartText);
            EXPECT_TRUE(host_->Called("Restart"));
        } else {
            EXPECT_TRUE(host_->Called("ReloadWaypoints"));
        }
        questions_.asked.clear();
    }
}

TEST_F(SheetTest, OkStoresEveryPageThroughTheSettingsFile) {
    Find<QComboBox>("profile")->setCurrentIndex(5);
    Type("name", "Ann");
    Show("NMEA");
    Find<QComboBox>("port")->setCurrentIndex(1);
    Find<QComboBox>("baudRate")->setCurrentIndex(2);
    Find<QComboBox>("parity")->setCurrentIndex(2);
    Click("enableGga");
    Show("Screens");
    Click("view4");
    Type("fontSize", "48px");
    Find<QComboBox>("large0")->setCurrentIndex(13);
    Show("Speech");
    Click("saySplit");
    Type("everyDistance", "2.5");
    Type("everySpeed", "30");
    Show("Tracks");
    Type("path", "/tmp/tracks");
    Find<QComboBox>("nameFormat")->setCurrentIndex(3);
    Show("Upload");
    Type("address", "ftp.example.org");
    Type("password", "secret");
    Click("autoUpload");
    Type("uploadFrequency", "120");
    Click("typeChanges");
    Click("followPage");
    Type("positionUrl", "http://track.example.org:5055/");
    Click("positionPost");
    Show("Maps");
    Click("ok");

    Settings read = DefaultSettings(home_);
    ASSERT_TRUE(LoadSettings(File(), read));
    EXPECT_EQ(read.mUserProfile, 6);
    EXPECT_EQ(read.mUserName, "Ann");
    EXPECT_EQ(read.mCommDevice, "/dev/rfcomm0");
    EXPECT_EQ(read.mBaudRate, 9600);
    EXPECT_EQ(read.mParity, 2);
    EXPECT_EQ(read.mNMEAEnableGPGGA, 1);
    EXPECT_EQ(read.mViews[4], 0);
    EXPECT_EQ(read.mLViewFontSize, 48);
    EXPECT_EQ(read.mViewLarge[0], 13);
    EXPECT_EQ(read.mSaySplit, 1);
    EXPECT_FLOAT_EQ(read.mSayDistanceThreshold, 2.5f);
    EXPECT_EQ(read.mSaySpeedThreshold, 30);
    EXPECT_EQ(read.mDefaultFilePath, "/tmp/tracks");
    EXPECT_EQ(read.mDefaultFileNameFormat, 3);
    EXPECT_EQ(read.mFtpAddress, "ftp.example.org");
    EXPECT_EQ(read.mFtpPassword, "secret");
    EXPECT_EQ(read.mTCPIP, 1);
    EXPECT_EQ(read.mTCPIPUploadFrequency, 120);
    EXPECT_EQ(read.mUploadType, 3);
    EXPECT_EQ(read.mFollowPage, 1);
    EXPECT_EQ(read.mPositionUrl, "http://track.example.org:5055/");
    EXPECT_EQ(read.mPositionPost, 1);
    EXPECT_TRUE(host_->Called("ReopenReceiver"));
    EXPECT_FALSE(host_->Called("CancelLauncher"));  // Blackbox keeps its wake-ups
    EXPECT_TRUE(questions_.asked.empty());
}

TEST_F(SheetTest, NumbersThatDoNotParseShowAnErrorAndKeepTheStoredValue) {
    Type("autoStopSpeed", "fast");
    EXPECT_TRUE(Find<QLineEdit>("autoStopSpeed")->property("numberError").toBool());
    Type("autoStopDistance", "1e999");
    Show("Upload");
    Type("uploadFrequency", "");
    Click("ok");
    EXPECT_FLOAT_EQ(settings_.mAutoStopSpeed, 6.0f);
    EXPECT_FLOAT_EQ(settings_.mAutoStopDistance, 0.4f);
    EXPECT_EQ(settings_.mTCPIPUploadFrequency, 600);
    Type("autoStopSpeed", "8");
    EXPECT_FALSE(Find<QLineEdit>("autoStopSpeed")->property("numberError").toBool());
}

TEST_F(SheetTest, CancelChangesNothing) {
    const std::string before = FormatSettings(settings_);
    Find<QComboBox>("units")->setCurrentIndex(1);
    Show("Tracks");
    nextFile_ = home_ + "/pace.trk";
    Click("usePace");
    Click("choosePace");
    Show("Maps");
    EXPECT_EQ(Find<QTreeWidget>("images")->topLevelItem(0)->text(2), "48.125000");
    Click("cancel");
    EXPECT_EQ(FormatSettings(settings_), before);
    EXPECT_TRUE(host_->calls.empty());
    EXPECT_FALSE(fs::exists(File()));
}

}  // namespace
}  // namespace trakomer::prefs

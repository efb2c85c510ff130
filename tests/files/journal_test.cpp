// The recording journal: what a recording leaves on disk at each way it
// can end, and what recovery makes of it.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "files/journal_recovery.h"
#include "files/recording_journal.h"
#include "tests/core/recorder_rig.h"
#include "tests/files/test_folder.h"

namespace trakomer {
namespace {

namespace fs = std::filesystem;
using testing::ReceiverSecond;
using testing::Rig;
using testing::TestFolder;

constexpr double kLat0 = 48.0, kLon0 = 11.0, kStepDeg = 0.000025;
constexpr int kCar = 4;  // a point every second, no averaging

std::string Moving(int s) {
    return ReceiverSecond(s, kLat0 + s * kStepDeg, kLon0, 5, 'A', 3);
}

// The journal's bytes kept in memory, as the file journal writes them.
struct MemoryJournal : RecordingJournal {
    std::string bytes;
    void Begin(const RecordingOptions& options) override {
        JournalHeader header;
        header.profile = options.userProfile;
        header.units = options.units;
        bytes = EncodeJournalHeader(header);
    }
    void Append(const TrackPoint& point) override { bytes += EncodeJournalRecord(point); }
};

void ExpectSamePoints(const Track& recovered, const Track& live, int count) {
    for (int i = 0; i < count; ++i) {
        ASSERT_EQ(recovered.points[i].latitude, live.points[i].latitude) << i;
        ASSERT_EQ(recovered.points[i].time, live.points[i].time) << i;
    }
}

TEST(Journal, SavedStopAndResetRemoveItAFailedSaveOrAKillKeepsIt) {
    struct Case {
        const char* name;
        bool saveOk;
        std::function<void(Rig&)> end;
        bool kept;
    };
    const Case cases[] = {
        {"saved stop", true, [](Rig& r) { r.recorder->ConfirmStop(); }, false},
        {"failed save", false, [](Rig& r) { r.recorder->ConfirmStop(); }, true},
        {"reset after a failed save", false,
         [](Rig& r) {
             r.recorder->ConfirmStop();
             r.recorder->ConfirmReset();
         },
         false},
        {"killed while recording", true, [](Rig&) {}, true},
    };
    for (const Case& c : cases) {
        TestFolder dir;
        ManualClock clock(1'237'118'400);
        auto journal = std::make_unique<FileJournal>(dir.path(), clock);
        auto rig = std::make_unique<Rig>(kCar, false, false, journal.get());
        rig->log.saveOk = c.saveOk;
        rig->recorder->StartRecording();
        rig->Run(10, Moving);
        const std::string path = journal->Path();
        ASSERT_EQ(path, dir.File("20090315-120000.journal")) << c.name;
        c.end(*rig);
        journal.reset();  // closed as by the end of the process
        ASSERT_EQ(fs::exists(path), c.kept) << c.name;
        if (!c.kept) continue;
        auto recovered = std::make_unique<Track>();
        JournalHeader header;
        ASSERT_EQ(ReadJournal(path, *recovered, header), JournalStatus::Ok) << c.name;
        EXPECT_EQ(header.profile, kCar);
        // Every point placed, the newest included.
        EXPECT_EQ(recovered->loadedCount, 10) << c.name;
        ExpectSamePoints(*recovered, rig->track, 9);
    }
}

TEST(Journal, TornRecordsAreLeftOutOtherVersionsAndStrangersRefused) {
    MemoryJournal memory;
    Rig recording(kCar, false, false, &memory);
    recording.recorder->StartRecording();
    recording.Run(10, Moving);
    const std::string whole = memory.bytes;
    std::string otherVersion = whole;
    otherVersion[8] = 2;
    struct Case {
        const char* name;
        std::string bytes;
        JournalStatus status;
        int points;
    };
    const Case cases[] = {
        {"whole", whole, JournalStatus::Ok, 10},
        {"torn last record", whole.substr(0, whole.size() - 7), JournalStatus::Ok, 9},
        {"header only", whole.substr(0, kJournalHeaderSize), JournalStatus::Ok, 0},
        {"torn header", whole.substr(0, 5), JournalStatus::Ok, 0},
        {"other version", otherVersion, JournalStatus::OtherVersion, 0},
        {"not a journal", std::string(100, 'x'), JournalStatus::NotAJournal, 0},
    };
    for (const Case& c : cases) {
        auto track = std::make_unique<Track>();
        JournalHeader header;
        EXPECT_EQ(DecodeJournal(c.bytes, *track, header), c.status) << c.name;
        EXPECT_EQ(track->loadedCount, c.points) << c.name;
    }
    EXPECT_NE(JournalRefusalText(JournalStatus::OtherVersion, "j").find("another version"),
              std::string::npos);
}

TEST(Journal, RecoveryThinsAPastCapacityRecordingAsRecordingDid) {
    MemoryJournal memory;
    Rig rig(kCar, false, false, &memory);
    rig.recorder->StartRecording();
    // Three hours at 1 Hz, 3 m apart: far more points than the track holds.
    rig.Run(3 * 3600,
            [](int s) { return ReceiverSecond(s, kLat0 + s * 0.000027, kLon0, 6, 'A', 3); });
    ASSERT_GT((memory.bytes.size() - kJournalHeaderSize) / kJournalRecordSize,
              std::size_t{kTrackCapacity});
    auto recovered = std::make_unique<Track>();
    JournalHeader header;
    ASSERT_EQ(DecodeJournal(memory.bytes, *recovered, header), JournalStatus::Ok);
    EXPECT_EQ(recovered->loadedCount, rig.track.lastIndex + 1);
    ExpectSamePoints(*recovered, rig.track, rig.track.lastIndex + 1);
}

TEST(Journal, TheNewestIsFoundAndNoSetsItAside) {
    TestFolder dir;
    dir.Write("20090314-100000.journal", "");
    dir.Write("20090315-100000.journal", "");
    dir.Write("20090316-100000.journal.discarded", "");
    EXPECT_EQ(FindJournal(dir.path()), dir.File("20090315-100000.journal"));
    ASSERT_TRUE(SetJournalAside(FindJournal(dir.path())));
    EXPECT_TRUE(fs::exists(dir.File("20090315-100000.journal.discarded")));
    EXPECT_EQ(FindJournal(dir.path()), dir.File("20090314-100000.journal"));
    EXPECT_EQ(FindJournal(dir.File("missing")), "");
}

}  // namespace
}  // namespace trakomer

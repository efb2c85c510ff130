// The recording journal: what a recording leaves on disk at each way it
// can end, and what recovery makes of it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "core/settings.h"
#include "files/auto_trz_saver.h"
#include "files/journal_recovery.h"
#include "files/recording_journal.h"
#include "files/trk_file.h"
#include "tests/core/recorder_rig.h"
#include "tests/files/recording_dialogs.h"
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
        {"torn magic", whole.substr(0, 5), JournalStatus::Ok, 0},
        {"header torn past the magic", whole.substr(0, 20), JournalStatus::TornHeader, 0},
        {"zero-filled last record", whole + std::string(kJournalRecordSize, '\0'),
         JournalStatus::Ok, 10},
        {"other version", otherVersion, JournalStatus::OtherVersion, 0},
        {"not a journal", std::string(100, 'x'), JournalStatus::NotAJournal, 0},
    };
    for (const Case& c : cases) {
        auto track = std::make_unique<Track>();
        JournalHeader header;
        EXPECT_EQ(DecodeJournal(c.bytes, *track, header), c.status) << c.name;
        EXPECT_EQ(track->loadedCount, c.points) << c.name;
    }
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

std::string HeaderAt(int64_t start, uint32_t version = kJournalVersion) {
    JournalHeader header;
    header.startTime = start;
    header.version = version;
    return EncodeJournalHeader(header);
}

TEST(Journal, NewestByStartTimeThenModificationTimeNeverByName) {
    TestFolder dir;
    struct Entry {
        const char* name;
        int64_t start;
        int ageSeconds;
    };
    // Listed newest first, as the search must return them.
    const Entry entries[] = {
        {"20090315-100000-10.journal", 1'237'111'300, 50},
        {"20090315-100000-2.journal", 1'237'111'200, 40},
        {"20090315-100000.journal", 1'237'111'100, 10},  // same start, written later
        {"a.journal", 1'237'111'100, 30},
        {"zz.journal", 0, 0},  // no header: the oldest
    };
    const auto now = fs::file_time_type::clock::now();
    for (const Entry& e : entries) {
        dir.Write(e.name, e.start > 0 ? HeaderAt(e.start) : "junk");
        fs::last_write_time(dir.File(e.name), now - std::chrono::seconds(e.ageSeconds));
    }
    dir.Write("20990101-000000.journal.discarded", HeaderAt(4'000'000'000));
    const std::vector<std::string> found = ListJournals(dir.path());
    ASSERT_EQ(found.size(), std::size(entries));
    for (std::size_t i = 0; i < found.size(); ++i) EXPECT_EQ(found[i], dir.File(entries[i].name));
    EXPECT_EQ(FindJournal(dir.path()), dir.File(entries[0].name));
    EXPECT_EQ(FindJournal(dir.File("missing")), "");
}

// A journal of `points` points starting at `start`.
std::string JournalBytes(int64_t start, int points) {
    std::string bytes = HeaderAt(start);
    for (int i = 0; i < points; ++i) {
        TrackPoint p;
        p.latitude = kLat0 + i * kStepDeg;
        p.longitude = kLon0;
        p.time = static_cast<int32_t>(start + i);
        bytes += EncodeJournalRecord(p);
    }
    return bytes;
}

TEST(Journal, RecoveryTakesEveryJournalSkipsALiveOneAndSetsUnreadableOnesAsideOnce) {
    TestFolder state, out;
    ManualClock clock(1'237'118'400);
    const int64_t start = 1'237'111'200;    // 2009-03-15 10:00:00 UTC
    FileJournal live(state.path(), clock);  // a recorder still running
    live.Begin(RecordingOptions{});
    live.Append(TrackPoint{48, 11, 0, 0, 1'237'118'400, 0});
    const std::string otherVersion = HeaderAt(start, 7) + JournalBytes(start, 1).substr(32);
    state.Write("first.journal", JournalBytes(start, 3));
    state.Write("second.journal", JournalBytes(start, 5));  // the same second
    state.Write("older.journal", JournalBytes(start - 3600, 2));
    state.Write("version.journal", otherVersion);
    state.Write("stranger.journal", "not ours");
    state.Write("empty.journal", HeaderAt(start - 7200));
    // A track already named from the recordings' start is never replaced.
    out.Write("20090315_100000.trz", "mine");

    Settings settings;
    settings.mDefaultFileNameFormat = 3;  // YYYYMMDD_hhmmss
    AutoTrzSaver saver(settings, clock, out.path(), out.path());
    auto track = std::make_unique<Track>();
    int offered = 0;
    const auto yes = [&](const Track&) { return ++offered > 0; };
    std::vector<JournalReport> reports = RecoverJournals(state.path(), *track, saver, yes);

    std::map<std::string, JournalReport> byName;
    for (const JournalReport& r : reports) byName[fs::path(r.journal).filename()] = r;
    ASSERT_EQ(byName.size(), 7u);
    EXPECT_EQ(byName[fs::path(live.Path()).filename()].outcome, JournalOutcome::Locked);
    std::set<std::string> saved;
    for (const auto& [name, points] : {std::pair<std::string, int>{"first.journal", 3},
                                       {"second.journal", 5},
                                       {"older.journal", 2}}) {
        const JournalReport& r = byName[name];
        ASSERT_EQ(r.outcome, JournalOutcome::Recovered) << name << " " << r.reason;
        EXPECT_EQ(r.points, points) << name;
        saved.insert(r.file);
        auto back = std::make_unique<Track>();
        testing::RecordingDialogs dialogs;
        ASSERT_EQ(ReadTrz(r.file, *back, dialogs), ReadStatus::Ok) << r.file;
        EXPECT_EQ(back->loadedCount, points) << name;
    }
    EXPECT_EQ(saved, (std::set<std::string>{out.File("20090315_100000-2.trz"),
                                            out.File("20090315_100000-3.trz"),
                                            out.File("20090315_090000.trz")}));
    EXPECT_EQ(out.Read("20090315_100000.trz"), "mine");
    EXPECT_EQ(offered, 3);
    const auto newest = std::find_if(reports.begin(), reports.end(), [](const JournalReport& r) {
        return r.outcome == JournalOutcome::Recovered;
    });
    EXPECT_EQ(track->loadedCount, newest->points) << "the newest recovered is left for review";
    EXPECT_EQ(byName["empty.journal"].outcome, JournalOutcome::Empty);
    for (const char* name : {"version.journal", "stranger.journal"}) {
        EXPECT_EQ(byName[name].outcome, JournalOutcome::SetAside) << name;
        EXPECT_NE(JournalReportText(byName[name]).find(byName[name].reason), std::string::npos);
    }
    EXPECT_EQ(state.Read("version.journal.unreadable"), otherVersion);

    // The live recording goes on in its journal; a second run finds only it.
    live.Append(TrackPoint{48.001, 11, 0, 0, 1'237'118'401, 0});
    reports = RecoverJournals(state.path(), *track, saver, yes);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].outcome, JournalOutcome::Locked);
    EXPECT_EQ(fs::file_size(live.Path()), kJournalHeaderSize + 2u * kJournalRecordSize);
    EXPECT_EQ(live.Problem(), "");
}

// The system calls of the journal, failing as told.
struct FailingOps : JournalFileOps {
    int failCreate = 0, failWrite = 0, failSync = 0;  // calls still to fail
    int error = ENOSPC;
    int Create(const std::string& path) override {
        if (failCreate > 0 && failCreate--) return errno = error, -1;
        return JournalFileOps::Create(path);
    }
    bool WriteAt(int fd, const std::string& bytes, int64_t offset) override {
        // A full disk takes part of a write, then refuses the rest.
        if (failWrite > 0 && failWrite--) {
            JournalFileOps::WriteAt(fd, bytes.substr(0, bytes.size() / 2), offset);
            return errno = error, false;
        }
        return JournalFileOps::WriteAt(fd, bytes, offset);
    }
    bool Sync(int fd) override {
        if (failSync > 0 && failSync--) return errno = error, false;
        return JournalFileOps::Sync(fd);
    }
};

TEST(Journal, AFailingJournalIsReportedAtOnceAndCatchesUpWithoutAGap) {
    struct Case {
        const char* name;
        int failCreate, failWrite, failSync, error;
        bool removeFolder;
        const char* problem;
    };
    const Case cases[] = {
        {"disk full for four points", 0, 4, 0, ENOSPC, false, "Journal: No space left on device"},
        {"sync fails", 0, 0, 3, EIO, false, "Journal: Input/output error"},
        {"cannot be created at first", 5, 0, 0, EROFS, false, "Journal: Read-only file system"},
        {"folder removed", 0, 0, 0, 0, true, ""},
    };
    for (const Case& c : cases) {
        TestFolder dir;
        const std::string folder = dir.File("state");
        ManualClock clock(1'237'118'400);
        FailingOps ops;
        auto journal = std::make_unique<FileJournal>(folder, clock, &ops);
        std::vector<std::string> heard;
        journal->OnProblemChange([&](const std::string& p) { heard.push_back(p); });
        auto rig = std::make_unique<Rig>(kCar, false, false, journal.get());
        ops.failCreate = c.failCreate;  // from the start, and the first four points
        ops.error = c.error;
        rig->recorder->StartRecording();
        rig->Run(3, Moving);
        ops.failWrite = c.failWrite;
        ops.failSync = c.failSync;
        ops.error = c.error;
        if (c.removeFolder) fs::remove_all(folder);
        rig->Run(1, [](int s) { return Moving(s + 3); });
        EXPECT_EQ(journal->Problem(), c.problem) << c.name;
        rig->Run(9, [](int s) { return Moving(s + 4); });
        EXPECT_EQ(journal->Problem(), "") << c.name;
        if (*c.problem != 0) {
            EXPECT_EQ(heard, (std::vector<std::string>{c.problem, ""})) << c.name;
        }
        const std::string path = journal->Path();
        journal.reset();  // killed
        auto recovered = std::make_unique<Track>();
        JournalHeader header;
        ASSERT_EQ(ReadJournal(path, *recovered, header), JournalStatus::Ok) << c.name;
        ASSERT_EQ(recovered->loadedCount, rig->track.lastIndex + 1) << c.name;
        ExpectSamePoints(*recovered, rig->track, recovered->loadedCount);
    }
}

}  // namespace
}  // namespace trakomer

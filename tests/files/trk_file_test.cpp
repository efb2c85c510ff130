#include "files/trk_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>

#include "files/zip_archive.h"
#include "tests/files/recording_dialogs.h"
#include "tests/files/test_folder.h"
#include "tests/files/track_fixture.h"

namespace trakomer {
namespace {

using testing::LiveTrack;
using testing::RecordingDialogs;
using testing::TestFolder;

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out += static_cast<char>(v);
    return out;
}

std::string Header() { return Bytes({0x0D}) + "4D533336 MS37" + Bytes({2, 0, 0, 0}); }

TEST(TrkFile, EncodesTheGoldenBytes) {
    // Two recorded points; the newest (at lastIndex 1) is not written.
    auto track = LiveTrack({{2.0, 1.5, 100.0f, 1000, 7}, {9, 9, 9, 9, 9}});
    track->lastIndex = 1;
    const std::string expected =
        Header() + Bytes({2}) + "ab" + Bytes({1, 0, 0, 0}) +
        Bytes({0, 0, 0, 0, 0, 0, 0xF8, 0x3F}) +  // longitude 1.5
        Bytes({0, 0, 0, 0, 0, 0, 0, 0xC0}) +     // latitude 2.0 stored negated
        Bytes({0, 0, 0xC8, 0x42}) +              // altitude 100.0f
        Bytes({0xE8, 0x03, 0, 0}) +              // time 1000
        Bytes({1, 0, 0, 0}) +                    // valid
        Bytes({7});                              // hundredths
    EXPECT_EQ(EncodeTrk(*track, "ab"), expected);
}

TEST(TrkFile, EmptyTracksWriteOnlyTheHeader) {
    TestFolder folder;
    for (int lastIndex : {0, -1}) {
        Track track;
        track.lastIndex = lastIndex;
        const std::string path = folder.File("e.trk");
        ASSERT_TRUE(WriteTrk(track, path));
        const std::string bytes = folder.Read("e.trk");
        const std::string name = folder.path() + "/e";
        ASSERT_EQ(bytes.size(), 18 + 1 + name.size() + 4);
        EXPECT_EQ(bytes.substr(19, name.size()), name);
        int32_t count = 0;
        std::memcpy(&count, bytes.data() + 19 + name.size(), 4);
        EXPECT_EQ(count, lastIndex);

        auto back = std::make_unique<Track>();
        RecordingDialogs dialogs;
        EXPECT_EQ(ReadTrk(path, *back, dialogs), ReadStatus::Ok);
        EXPECT_EQ(back->loadedCount, 0);
        EXPECT_TRUE(dialogs.messages.empty());
    }
}

TEST(TrkFile, WriteThenReadRestoresEveryWrittenPoint) {
    TestFolder folder;
    auto track = LiveTrack({{51.5, -0.125, 35.25f, 1232878272, 50},
                            {-33.8688, 151.2093, -12.5f, 1232878273, 0},
                            {90, 180, 8848.0f, 0, 0},
                            {-90, -180, 0, -5, 0},
                            {0, 0, 0, 0, 0}});
    track->lastIndex = 4;  // the last point is still in flux
    const std::string path = folder.File("r.trk");
    ASSERT_TRUE(WriteTrk(*track, path));
    auto back = std::make_unique<Track>();
    RecordingDialogs dialogs;
    ASSERT_EQ(ReadTrk(path, *back, dialogs), ReadStatus::Ok);
    ASSERT_EQ(back->loadedCount, 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(back->points[i].latitude, track->points[i].latitude) << i;
        EXPECT_EQ(back->points[i].longitude, track->points[i].longitude) << i;
        EXPECT_EQ(back->points[i].altitude, track->points[i].altitude) << i;
        EXPECT_EQ(back->points[i].time, track->points[i].time) << i;
    }
}

TEST(TrkFile, ReviewedTracksAreSavedUpToAndIncludingThePosition) {
    auto track = LiveTrack({{1, 1, 0, 0, 0}, {2, 2, 0, 0, 0}, {3, 3, 0, 0, 0}});
    track->loadedCount = 3;
    struct Case { int position; int written; };
    for (Case c : {Case{2, 3}, Case{0, 1}, Case{-1, 0}}) {
        track->lastIndex = c.position;
        const std::string bytes = EncodeTrk(*track, "n");
        EXPECT_EQ(bytes.size(), 24u + 29u * c.written) << c.position;
    }
}

TEST(TrkFile, LatitudeSignDependsOnTheVersionDigits) {
    auto track = LiveTrack({{51.5, 4.0, 0, 0, 0}});
    const std::string v37 = EncodeTrk(*track, "");
    std::string v36 = v37;
    v36[13] = '6';
    // Version 36 stores the latitude as is: the same bytes read negated.
    struct Case { std::string bytes; double latitude; };
    for (const Case& c : {Case{v37, 51.5}, Case{v36, -51.5}}) {
        auto back = std::make_unique<Track>();
        RecordingDialogs dialogs;
        ASSERT_EQ(DecodeTrk(c.bytes, *back, dialogs), ReadStatus::Ok);
        EXPECT_EQ(back->points[0].latitude, c.latitude);
    }
}

TEST(TrkFile, HostileFilesAreReportedAndNeverReadPastTheEnd) {
    auto track = LiveTrack({{10, 20, 1, 100, 0}, {11, 21, 2, 101, 0}, {12, 22, 3, 102, 0}});
    const std::string good = EncodeTrk(*track, "name");
    const std::size_t countAt = 19 + 4;

    std::string huge = good;
    const int32_t maxCount = std::numeric_limits<int32_t>::max();
    std::memcpy(huge.data() + countAt, &maxCount, 4);
    std::string outOfRange = good;
    const double badLon = 180.5;
    std::memcpy(outOfRange.data() + countAt + 4 + 29, &badLon, 8);
    std::string notANumber = good;
    const double nan = std::nan("");
    std::memcpy(notANumber.data() + countAt + 4, &nan, 8);

    struct Case {
        const char* what;
        std::string bytes;
        ReadStatus status;
        int loaded;
    };
    const Case cases[] = {
        {"cut inside the last record", good.substr(0, good.size() - 10), ReadStatus::Corrupt, 2},
        {"cut inside the header", good.substr(0, 10), ReadStatus::Corrupt, 0},
        {"cut inside the count", good.substr(0, countAt + 2), ReadStatus::Corrupt, 0},
        {"count 2^31-1", huge, ReadStatus::Corrupt, 3},
        {"longitude out of range", outOfRange, ReadStatus::Corrupt, 0},
        {"not a number", notANumber, ReadStatus::Corrupt, 0},
    };
    for (const Case& c : cases) {
        auto back = std::make_unique<Track>();
        RecordingDialogs dialogs;
        EXPECT_EQ(DecodeTrk(c.bytes, *back, dialogs), c.status) << c.what;
        EXPECT_EQ(back->loadedCount, c.loaded) << c.what;
        ASSERT_EQ(dialogs.messages.size(), 1u) << c.what;
        EXPECT_EQ(dialogs.messages[0], "Error: Corrupt file");
        EXPECT_EQ(dialogs.lastIcon, MessageIcon::Error);
    }
}

TEST(TrkFile, LongNamesAreCutTo255Characters) {
    Track track;
    track.lastIndex = 0;
    const std::string bytes = EncodeTrk(track, std::string(400, 'n'));
    EXPECT_EQ(static_cast<uint8_t>(bytes[18]), 255);
    EXPECT_EQ(bytes.size(), 19u + 255u + 4u);
}

TEST(TrkFile, FailedWritesReportFalseAndKeepTheOldFile) {
    TestFolder folder;
    auto track = LiveTrack({{1, 2, 3, 4, 5}});
    EXPECT_FALSE(WriteTrk(*track, folder.File("missing/x.trk")));
    EXPECT_FALSE(WriteTrz(*track, folder.File("missing/x.trz"), folder.path()));
    EXPECT_FALSE(WriteTrz(*track, folder.File("x.trz"), folder.File("no-temp-folder")));
    EXPECT_FALSE(std::filesystem::exists(folder.File("x.trz")));
    // A directory in the way cannot be replaced.
    std::filesystem::create_directory(folder.File("d.trk"));
    EXPECT_FALSE(WriteTrk(*track, folder.File("d.trk")));
    EXPECT_TRUE(std::filesystem::is_directory(folder.File("d.trk")));
}

TEST(TrzFile, RoundTripsThroughOneEntryNamedTrkTmp) {
    TestFolder folder;
    TestFolder temp;
    auto track = LiveTrack({{51.5, -0.1, 12, 1000, 0}, {51.6, -0.2, 13, 1001, 0}});
    const std::string path = folder.File("t.trz");
    ASSERT_TRUE(WriteTrz(*track, path, temp.path()));

    std::string entry;
    ASSERT_EQ(ReadSingleZipEntry(path, 1 << 20, entry), ZipReadStatus::Ok);
    // The track inside is named after the temporary file, which is gone.
    const std::string name = entry.substr(19, static_cast<uint8_t>(entry[18]));
    EXPECT_EQ(name.rfind(temp.path() + "/TRK", 0), 0u) << name;
    EXPECT_TRUE(std::filesystem::is_empty(temp.path()));

    auto back = std::make_unique<Track>();
    RecordingDialogs dialogs;
    ASSERT_EQ(ReadTrz(path, *back, dialogs), ReadStatus::Ok);
    ASSERT_EQ(back->loadedCount, 2);
    EXPECT_EQ(back->points[1].longitude, -0.2);
    EXPECT_EQ(back->points[1].time, 1001);
}

TEST(TrzFile, ArchivesOfOtherShapesAreRefused) {
    TestFolder folder;
    auto track = LiveTrack({{1, 2, 3, 4, 0}});
    const std::string trk = EncodeTrk(*track, "x");
    ASSERT_TRUE(WriteZip(folder.File("two.trz"), {{"a.trk", trk}, {"b.trk", trk}}));
    ASSERT_TRUE(WriteZip(folder.File("none.trz"), {}));
    folder.Write("plain.trz", trk);

    for (const char* name : {"two.trz", "none.trz", "plain.trz"}) {
        auto back = std::make_unique<Track>();
        RecordingDialogs dialogs;
        EXPECT_EQ(ReadTrz(folder.File(name), *back, dialogs), ReadStatus::Corrupt) << name;
        EXPECT_EQ(back->loadedCount, 0);
        EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Error: Corrupt file"});
    }
    RecordingDialogs dialogs;
    auto back = std::make_unique<Track>();
    EXPECT_EQ(ReadTrz(folder.File("absent.trz"), *back, dialogs), ReadStatus::CannotOpen);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST(TrzFile, EntryNamesAreNeverUsedAsPaths) {
    TestFolder outer;
    const std::string inner = outer.File("work");
    std::filesystem::create_directory(inner);
    auto track = LiveTrack({{1, 2, 3, 4, 0}});
    const std::string path = inner + "/evil.trz";
    ASSERT_TRUE(WriteZip(path, {{"../../escaped.trk", EncodeTrk(*track, "x")}}));

    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(inner);
    auto back = std::make_unique<Track>();
    RecordingDialogs dialogs;
    const ReadStatus status = ReadTrz(path, *back, dialogs);
    std::filesystem::current_path(before);

    EXPECT_EQ(status, ReadStatus::Ok);
    EXPECT_EQ(back->loadedCount, 1);
    EXPECT_FALSE(std::filesystem::exists(outer.File("escaped.trk")));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(outer.path()).parent_path() /
                                         "escaped.trk"));
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::recursive_directory_iterator(outer.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 2);  // work/ and work/evil.trz
}

}  // namespace
}  // namespace trakomer

#include "files/file_types.h"

#include <gtest/gtest.h>

#include "core/utc_time.h"
#include "files/auto_trz_saver.h"
#include "files/kml_writer.h"
#include "files/reference_tracks.h"
#include "files/trk_file.h"
#include "tests/files/recording_dialogs.h"
#include "tests/files/test_folder.h"
#include "tests/files/track_fixture.h"

namespace trakomer {
namespace {

TEST(FileNaming, AutomaticNamesFollowTheFormatSetting) {
    // 10:11:12 local time on 25 January 2009, one hour east of UTC.
    const ManualClock clock(UtcToSeconds(2009, 1, 25, 9, 11, 12), 3600);
    struct Case { int format; const char* name; const char* initial; };
    const Case cases[] = {
        {0, "/docs/250109_101112.trz", "250109_101112"},
        {1, "/docs/25012009_101112.trz", "25012009_101112"},
        {2, "/docs/090125_101112.trz", "090125_101112"},
        {3, "/docs/20090125_101112.trz", "20090125_101112"},
        {7, "/docs/20090125_101112.trz", "20090125_101112"},
    };
    for (const Case& c : cases) {
        Settings settings = DefaultSettings("/docs/");
        settings.mDefaultFileNameFormat = c.format;
        EXPECT_EQ(AutoTrackName(settings, clock), c.name);
        EXPECT_EQ(InitialSaveName(settings, clock), c.initial);
    }
}

// The saver used at Stop by the window and the headless recorder: names in
// the settings' folder or the one given, read at each save; the saved path
// is kept only when the file was written.
TEST(FileNaming, AutoSaverNamesWritesAndRemembersTheSavedFile) {
    const ManualClock clock(UtcToSeconds(2009, 1, 25, 9, 11, 12), 3600);
    testing::TestFolder folder;
    Settings settings = DefaultSettings(folder.path());
    settings.mDefaultFileNameFormat = 3;
    auto track = testing::LiveTrack({{48.1, 11.5, 500, 1232874672, 0}, {48.2, 11.6, 510, 1232874682, 0}});

    AutoTrzSaver fromSettings(settings, clock, folder.path());
    EXPECT_EQ(fromSettings.AutoTrackName(), folder.File("20090125_101112.trz"));
    settings.mDefaultFileNameFormat = 0;  // a changed setting applies to the next save
    const std::string name = fromSettings.AutoTrackName();
    EXPECT_EQ(name, folder.File("250109_101112.trz"));
    ASSERT_TRUE(fromSettings.WriteTrz(name, *track));
    EXPECT_EQ(fromSettings.SavedPath(), name);
    testing::RecordingDialogs dialogs;
    auto read = std::make_unique<Track>();
    EXPECT_EQ(ReadTrz(name, *read, dialogs), ReadStatus::Ok);
    EXPECT_EQ(read->loadedCount, 2);

    // No folder set: the documents folder, made when missing.
    settings.mDefaultFilePath.clear();
    AutoTrzSaver documents(settings, clock, folder.path(), "", folder.File("Docs"));
    const std::string inDocuments = documents.AutoTrackName();
    EXPECT_EQ(inDocuments, folder.File("Docs/250109_101112.trz"));
    EXPECT_TRUE(documents.WriteTrz(inDocuments, *track));

    AutoTrzSaver elsewhere(settings, clock, folder.path(), "/out");
    EXPECT_EQ(elsewhere.AutoTrackName(), "/out/250109_101112.trz");
    EXPECT_FALSE(elsewhere.WriteTrz(folder.File("missing/x.trz"), *track));
    EXPECT_EQ(elsewhere.SavedPath(), "");
    EXPECT_EQ(elsewhere.FailureReason(), "No such file or directory");
}

TEST(FileNaming, TypeDetectionIsSubstringCaseSensitiveFirstMatch) {
    using T = TrackFileType;
    struct Case { const char* name; T open, save, pace, display, waypoints; };
    const Case cases[] = {
        {"a.trk", T::Trk, T::Trk, T::Trk, T::Trk, T::None},
        {"a.trz", T::Trz, T::Trz, T::Trz, T::Trz, T::None},
        {"a.trz.trk", T::Trk, T::Trk, T::Trk, T::Trk, T::None},
        {"a.log", T::None, T::Log, T::None, T::None, T::None},
        {"a.kmz", T::None, T::Kmz, T::None, T::None, T::Kmz},
        {"a.kml", T::None, T::None, T::None, T::Kml, T::Kml},
        {"a.kml.kmz", T::None, T::Kmz, T::None, T::Kml, T::Kml},
        {"a.gpx", T::Gpx, T::Gpx, T::Gpx, T::Gpx, T::Gpx},
        {"a.gpx.trz", T::Trz, T::Trz, T::Trz, T::Trz, T::Gpx},
        {"a.GPX", T::None, T::None, T::None, T::None, T::None},
        {"A.TRK", T::None, T::None, T::None, T::None, T::None},
        {"name", T::None, T::None, T::None, T::None, T::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OpenFileType(c.name), c.open) << c.name;
        EXPECT_EQ(SaveFileType(c.name), c.save) << c.name;
        EXPECT_EQ(PaceTrackFileType(c.name), c.pace) << c.name;
        EXPECT_EQ(DisplayTrackFileType(c.name), c.display) << c.name;
        EXPECT_EQ(WaypointFileType(c.name), c.waypoints) << c.name;
    }
    EXPECT_EQ(SaveWaypointsFileType("w.kmz"), T::Kmz);
    EXPECT_EQ(SaveWaypointsFileType("w.trk"), T::None);
    EXPECT_EQ(SaveWaypointsFileType("w.gpx"), T::Gpx);
}

TEST(FileNaming, DialogSetupsAndRememberedFilters) {
    const ManualClock clock(UtcToSeconds(2009, 1, 25, 10, 11, 12));
    Settings settings = DefaultSettings("/d");
    const FileDialogSetup save = DialogSetup(FileDialogKind::Save, settings, clock);
    ASSERT_EQ(save.filters.size(), 5u);
    EXPECT_STREQ(save.filters[save.initialFilterIndex - 1].description, "Magellan Track Zip (*.trz)");
    // GPX comes last in every list, so remembered indices keep their meaning.
    for (const FileDialogKind kind :
         {FileDialogKind::Open, FileDialogKind::Save, FileDialogKind::SaveWaypoints}) {
        const auto filters = DialogSetup(kind, settings, clock).filters;
        EXPECT_STREQ(filters.back().description, "GPS Exchange (*.gpx)");
        EXPECT_STREQ(filters.back().pattern, "*.gpx");
        EXPECT_EQ(filters.size(), kind == FileDialogKind::Open   ? 3u
                                  : kind == FileDialogKind::Save ? 5u
                                                                 : 2u);
    }
    EXPECT_EQ(save.initialName, "250109_101112");
    const FileDialogSetup waypoints = DialogSetup(FileDialogKind::SaveWaypoints, settings, clock);
    EXPECT_EQ(waypoints.initialName, "My Waypoints");
    EXPECT_EQ(waypoints.rememberedIndex, nullptr);

    RememberFilterIndex(FileDialogKind::SaveWaypoints, 1, settings);
    RememberFilterIndex(FileDialogKind::Open, 1, settings);
    EXPECT_EQ(settings.mSaveFilterIndex, 2);
    EXPECT_EQ(settings.mOpenFilterIndex, 1);

    // The name offered (no extension) saves as the chosen type.
    using K = FileDialogKind;
    struct Case { K kind; const char* name; int filter; const char* saved; };
    const Case cases[] = {
        {K::Save, "/d/250109_101112", 1, "/d/250109_101112.trz"},
        {K::Save, "/d/a.log", 3, "/d/a.log"},
        {K::Save, "/d/a.v2", 0, "/d/a.v2.trk"},
        {K::SaveWaypoints, "/d/My Waypoints", 0, "/d/My Waypoints.kmz"},
        {K::Open, "/d/a", 0, "/d/a"},
    };
    for (const Case& c : cases) {
        const FileDialogSetup setup = DialogSetup(c.kind, settings, clock);
        EXPECT_EQ(WithFilterExtension(c.kind, c.name, setup.filters[c.filter]), c.saved) << c.name;
    }
}

TEST(ReferenceTracks, LoadCopiesThePointsAndEmptiesTheMainTrack) {
    testing::TestFolder folder;
    auto source = testing::LiveTrack({{1, 2, 3, 100, 0}, {4, 5, 6, 101, 0}});
    ASSERT_TRUE(WriteTrk(*source, folder.File("pace.trk")));
    ASSERT_GT(WriteTrackKmz(*source, Settings{}, folder.File("ref.kmz"), folder.path()), 0);

    Settings settings = DefaultSettings("/d");
    settings.mBasePath = folder.File("pace.trk");
    settings.mRefPath = folder.File("ref.kmz");
    auto track = std::make_unique<Track>();
    testing::RecordingDialogs dialogs;
    ReferenceTrack pace, display;

    EXPECT_FALSE(LoadPaceTrack(settings, *track, pace, dialogs));  // not in use
    settings.mUseBasePath = 1;
    settings.mUseRefPath = 1;
    ASSERT_TRUE(LoadPaceTrack(settings, *track, pace, dialogs));
    ASSERT_EQ(pace.Count(), 2);
    EXPECT_EQ(pace.points[1].latitude, 4);
    EXPECT_EQ(pace.points[1].time, 101);
    EXPECT_EQ(track->loadedCount, 0);
    EXPECT_EQ(track->lastIndex, -1);

    // A display track is never read from a .kmz.
    EXPECT_FALSE(LoadDisplayTrack(settings, *track, display, dialogs));
    EXPECT_FALSE(display.loaded);
    settings.mRefPath = folder.Write("ref.kml", "<coordinates>7,8,9 10,11,12</coordinates>");
    ASSERT_TRUE(LoadDisplayTrack(settings, *track, display, dialogs));
    EXPECT_EQ(display.Count(), 2);
    // A GPX route serves as a pace track.
    settings.mBasePath = folder.Write("route.gpx",
                                      "<gpx><rte><rtept lat='1' lon='2'/><rtept lat='3' lon='4'/>"
                                      "<rtept lat='5' lon='6'/></rte></gpx>");
    ASSERT_TRUE(LoadPaceTrack(settings, *track, pace, dialogs));
    EXPECT_EQ(pace.Count(), 3);
    EXPECT_EQ(pace.points[2].longitude, 6);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST(ReferenceTracks, WaypointFileSetsTheShownFlag) {
    testing::TestFolder folder;
    Settings settings = DefaultSettings("/d");
    settings.mWayPointPath = folder.Write("w.kml", "<Placemark>\n<name>A</name>\n<coordinates>1,2"
                                                   "</coordinates>\n</Placemark>\n");
    WaypointTable table;
    testing::RecordingDialogs dialogs;
    EXPECT_FALSE(LoadWaypointFile(settings, table, dialogs));
    settings.mUseWayPointPath = 1;
    EXPECT_TRUE(LoadWaypointFile(settings, table, dialogs));
    EXPECT_TRUE(table.waypointsShown);
    EXPECT_EQ(table.entries[0].name, "A");
    settings.mWayPointPath =
        folder.Write("w.gpx", "<gpx><wpt lat='1' lon='2'><name>G</name></wpt></gpx>");
    EXPECT_TRUE(LoadWaypointFile(settings, table, dialogs));
    EXPECT_EQ(table.waypointCount, 1);
    EXPECT_EQ(table.entries[0].name, "G");
}

}  // namespace
}  // namespace trakomer

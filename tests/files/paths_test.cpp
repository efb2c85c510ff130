#include "platform/paths.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/files/test_folder.h"

namespace trakomer {
namespace {

using testing::TestFolder;

EnvLookup FakeEnv(std::map<std::string, std::string> values) {
    return [values](const std::string& name) {
        auto it = values.find(name);
        return it == values.end() ? std::string() : it->second;
    };
}

TEST(Paths, FoldersFollowTheXdgVariablesAndTheHomeOption) {
    TestFolder folder;
    const auto xdg = ResolvePaths("", FakeEnv({{"HOME", "/home/u"},
                                               {"XDG_CONFIG_HOME", "/cfg"},
                                               {"XDG_DATA_HOME", "/data/"},
                                               {"XDG_STATE_HOME", "/state"},
                                               {"TMPDIR", "/scratch"}}));
    EXPECT_EQ(xdg.SettingsFile(), "/cfg/trakomer/trakomer.ini");
    EXPECT_EQ(xdg.DataFile("run.png"), "/data/trakomer/run.png");
    EXPECT_EQ(xdg.tempFolder, "/scratch");
    EXPECT_EQ(xdg.stateFolder, "/state/trakomer");

    const auto plain = ResolvePaths("", FakeEnv({{"HOME", "/home/u"},
                                                 {"XDG_CONFIG_HOME", "relative/ignored"}}));
    EXPECT_EQ(plain.configFolder, "/home/u/.config/trakomer");
    EXPECT_EQ(plain.dataFolder, "/home/u/.local/share/trakomer");
    EXPECT_EQ(plain.documentsFolder, "/home/u/Documents");
    EXPECT_EQ(plain.tempFolder, "/tmp");
    EXPECT_EQ(plain.stateFolder, "/home/u/.local/state/trakomer");

    const auto home = ResolvePaths(folder.path() + "/", FakeEnv({{"HOME", "/home/u"}}));
    EXPECT_EQ(home.SettingsFile(), folder.path() + "/trakomer.ini");
    EXPECT_EQ(home.dataFolder, folder.path());
    EXPECT_EQ(home.stateFolder, folder.path());
}

TEST(Paths, DocumentsFolderComesFromUserDirs) {
    TestFolder folder;
    folder.Write("user-dirs.dirs",
                 "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desk\"\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    EXPECT_EQ(DocumentsFolder(FakeEnv({{"HOME", "/home/u"}, {"XDG_CONFIG_HOME", folder.path()}})),
              "/home/u/Dokumente");
    EXPECT_EQ(DocumentsFolder(FakeEnv({{"HOME", "/home/u"}, {"XDG_CONFIG_HOME", folder.path()},
                                       {"XDG_DOCUMENTS_DIR", "/srv/docs/"}})),
              "/srv/docs");
}

TEST(Paths, TakeHomeOption) {
    struct Case {
        std::vector<std::string> args;
        std::string home;
        bool error;
        std::vector<std::string> rest;
    };
    const Case cases[] = {
        {{"a", "--home", "/h", "b"}, "/h", false, {"a", "b"}},
        {{"--home=/h"}, "/h", false, {}},
        {{"a"}, "", false, {"a"}},
        {{"a", "--home"}, "", true, {"a"}},
    };
    for (Case c : cases) {
        bool error = false;
        EXPECT_EQ(TakeHomeOption(c.args, error), c.home);
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(c.args, c.rest);
    }
}

TEST(Paths, MissingShippedFilesAreCopiedAndEditedOnesKept) {
    TestFolder shipped;
    TestFolder user;
    shipped.Write("run.png", "icon");
    shipped.Write("mapfiles.ini", "shipped");
    std::filesystem::create_directory(shipped.File("maps"));
    shipped.Write("maps/a.tga", "map");
    user.Write("mapfiles.ini", "edited");

    EXPECT_EQ(CopyMissingDataFiles(shipped.path(), user.File("data")), 3);
    EXPECT_EQ(CopyMissingDataFiles(shipped.path(), user.path()), 2);
    EXPECT_EQ(user.Read("mapfiles.ini"), "edited");
    EXPECT_EQ(user.Read("maps/a.tga"), "map");
    EXPECT_EQ(CopyMissingDataFiles(shipped.path(), user.path()), 0);
}

}  // namespace
}  // namespace trakomer

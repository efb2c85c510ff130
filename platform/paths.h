#pragma once
// Where the program's files live on Linux.
//
//   settings file   $XDG_CONFIG_HOME/trakomer/trakomer.ini (~/.config/trakomer)
//   program folder  $XDG_DATA_HOME/trakomer/ (~/.local/share/trakomer): help page,
//                   agreement text, run.png, mapfiles.ini, images, map packages,
//                   alarm sounds
//   documents       the XDG documents folder (~/Documents)
//   temporary files $TMPDIR, else /tmp
//   recording journal $XDG_STATE_HOME/trakomer/ (~/.local/state/trakomer)
//
// `--home DIR` puts the settings file, the program folder and the journal
// all in DIR.

#include <functional>
#include <string>
#include <vector>

namespace trakomer {

constexpr const char* kSettingsFileName = "trakomer.ini";

struct ProgramPaths {
    std::string configFolder;     // holds the settings file
    std::string dataFolder;       // the program folder
    std::string documentsFolder;  // default folder of saved tracks
    std::string tempFolder;
    std::string stateFolder;  // the recording journal

    std::string SettingsFile() const { return configFolder + "/" + kSettingsFileName; }
    // A file of the program folder.
    std::string DataFile(const std::string& name) const { return dataFolder + "/" + name; }
};

// Looks up an environment variable; "" when unset.
using EnvLookup = std::function<std::string(const std::string& name)>;

// The process environment.
EnvLookup ProcessEnvironment();

// The folders for the given environment; `home` is the --home option (empty
// when not given). Creates nothing.
ProgramPaths ResolvePaths(const std::string& home, const EnvLookup& env);

// The documents folder: $XDG_DOCUMENTS_DIR, else XDG_DOCUMENTS_DIR from
// user-dirs.dirs in the configuration home, else $HOME/Documents.
std::string DocumentsFolder(const EnvLookup& env);

// Takes "--home DIR" (or "--home=DIR") out of `args`; returns DIR, or "" if
// the option is absent. `error` is set when the option lacks its value.
std::string TakeHomeOption(std::vector<std::string>& args, bool& error);

// The shipped data folder: "<executable folder>/../share/trakomer" (the
// installed layout and the build tree alike). "" if it does not exist.
std::string ShippedDataFolder();

// Creates `dataFolder` if needed and copies into it every file of
// `shippedFolder` (subfolders included) that it does not have yet; files
// already there, possibly edited by the user, are never replaced. Returns
// the number of files copied, -1 if the data folder cannot be created.
int CopyMissingDataFiles(const std::string& shippedFolder, const std::string& dataFolder);

// Creates the configuration and data folders and fills in missing shipped
// files: what a program does at start with its resolved paths.
bool PrepareProgramFolders(const ProgramPaths& paths);

}  // namespace trakomer

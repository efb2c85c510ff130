#pragma once
// Which reader or writer handles a file, chosen by the extension found in
// its name (case-sensitive substring search, first match wins), and the
// filter lists and initial names of the file dialogs.

#include <string>
#include <vector>

#include "core/clock.h"
#include "core/settings.h"

namespace trakomer {

enum class TrackFileType { None, Trk, Trz, Log, Kml, Kmz, Gpx };

// What a file is read or written as, by the use it is put to.
// GPX (.gpx) comes last everywhere, after the Magellan and Google Earth types.
TrackFileType OpenFileType(const std::string& name);           // .trk, .trz, .gpx
TrackFileType SaveFileType(const std::string& name);           // .trk, .kmz, .log, .trz, .gpx
TrackFileType SaveWaypointsFileType(const std::string& name);  // .kmz, .gpx
TrackFileType PaceTrackFileType(const std::string& name);      // .trk, .trz, .gpx
TrackFileType DisplayTrackFileType(const std::string& name);   // .trk, .trz, .kml, .gpx
TrackFileType WaypointFileType(const std::string& name);       // .kml, .kmz, .gpx

struct FileFilter {
    const char* description;
    const char* pattern;
};

enum class FileDialogKind { Open = 0, Save = 1, SaveWaypoints = 2 };

struct FileDialogSetup {
    std::vector<FileFilter> filters;
    int initialFilterIndex;  // 1-based
    std::string initialName;
    // Where the chosen filter index is remembered; null when it is not.
    int Settings::*rememberedIndex;
};

// The filters, initial choice and name of a dialog; the Save dialog's name is
// made from the current local time.
FileDialogSetup DialogSetup(FileDialogKind kind, const Settings& settings, const Clock& clock);

// The name a Save dialog hands on: a name with no extension that its kind
// saves as gets the chosen filter's ("*.trk" adds ".trk"). Open names and
// empty names stay as they are.
std::string WithFilterExtension(FileDialogKind kind, const std::string& name,
                                const FileFilter& filter);

// Stores the filter index the user left the dialog with (OK or Cancel).
void RememberFilterIndex(FileDialogKind kind, int filterIndex, Settings& settings);

// The file name of a recording saved at Stop: mDefaultFilePath, "/", the
// local date and time in the form of mDefaultFileNameFormat, ".trz".
std::string AutoTrackName(const Settings& settings, const Clock& clock);

// The Save dialog's initial name (the same date form, no folder, no
// extension).
std::string InitialSaveName(const Settings& settings, const Clock& clock);

// The texts of the name-format list, index = mDefaultFileNameFormat.
const std::vector<std::string>& FileNameFormatTexts();

}  // namespace trakomer

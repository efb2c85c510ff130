#pragma once
// The "Preferences" sheet: seven pages with OK and Cancel. OK stores every
// page that was shown, lets the window act on what changed, writes the
// settings file and, when the pace or display track changed, offers a
// restart. Cancel changes nothing.

#include <QDialog>
#include <array>
#include <vector>

#include "core/dialogs.h"
#include "core/settings.h"
#include "gps/port_discovery.h"
#include "gps/port_scan.h"
#include "prefs/map_fetch_box.h"
#include "prefs/maps_model.h"
#include "prefs/preference_page.h"
#include "prefs/preferences_host.h"
#include "prefs/tracks_page.h"

class QPushButton;
class QTabWidget;

namespace trakomer::prefs {

inline constexpr const char* kSheetTitle = "Preferences";
inline constexpr const char* kRestartQuestion = "Restart now?";
inline constexpr const char* kRestartText =
    "In order for your changes to take effect the application needs to restart";

// The page titles in sheet order.
inline constexpr std::array<const char*, 7> kPageTitles = {"General", "NMEA",   "Screens", "Speech",
                                                           "Tracks",  "Upload", "Maps"};
// Image names for the rendered pages, in the same order.
inline constexpr std::array<const char*, 7> kPageFiles = {
    "general.png", "nmea.png", "screens.png", "speech.png", "tracks.png", "upload.png", "maps.png"};

struct SheetServices {
    Dialogs* dialogs = nullptr;  // asks "Restart now?"
    PortList ports;              // the NMEA page's port list
    std::vector<MapRow> maps;    // the Maps page's rows
    MapFetchServices mapFetch;   // the Maps page's "Get map for this track…"
    ChooseFile chooseFile;       // default: the platform's open-file dialog
    ScanOptions scan;            // settle time of the port scan
};

class NmeaPage;
class TracksPage;

class PreferencesSheet : public QDialog {
public:
    PreferencesSheet(Settings& settings, PreferencesHost& host, SheetServices services,
                     QWidget* parent = nullptr);
    void done(int result) override;
    QTabWidget* Pages() const { return tabs_; }

private:
    void ApplyPages();
    void Release();
    void ScanStateChanged(bool scanning);

    Settings& settings_;
    PreferencesHost& host_;
    SheetServices services_;
    QTabWidget* tabs_;
    QPushButton* ok_;
    std::vector<PreferencePage*> pages_;
    std::vector<bool> shown_;
    NmeaPage* nmea_;
    TracksPage* tracks_;
    bool rejectAfterScan_ = false;
};

}  // namespace trakomer::prefs

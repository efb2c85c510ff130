#pragma once
// Maps: the loaded map images and their corners, read only, and getting a
// map for the track from tiles (the map source is stored on OK).

#include <vector>

#include "prefs/map_fetch_box.h"
#include "prefs/maps_model.h"
#include "prefs/preference_page.h"

class QTreeWidget;

namespace trakomer::prefs {

class MapsPage : public PreferencePage {
public:
    MapsPage(const std::vector<MapRow>& rows, const Settings& settings, MapFetchServices fetch,
             QWidget* parent = nullptr);
    void Store(Settings& settings, ApplyEffects&) override;

private:
    void AddRow(const MapRow& row);
    QTreeWidget* list_;
    MapFetchBox* fetch_;
};

}  // namespace trakomer::prefs

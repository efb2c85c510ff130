#pragma once
// Maps: the loaded map images and their corners, read only.

#include <vector>

#include "prefs/maps_model.h"
#include "prefs/preference_page.h"

namespace trakomer::prefs {

class MapsPage : public PreferencePage {
public:
    MapsPage(const std::vector<MapRow>& rows, QWidget* parent = nullptr);
    void Store(Settings&, ApplyEffects&) override {}
};

}  // namespace trakomer::prefs

#pragma once
// trakomer --home DIR --render-preferences OUTDIR: the preference sheet
// with the settings in DIR, one PNG per page, without a receiver.

#include <string>

namespace trakomer {

// Writes general.png, nmea.png, ... maps.png into outDir at the window's
// size. 0 when all seven were written, 1 otherwise (with a message on
// standard error). Needs a QApplication.
int RenderPreferences(const std::string& home, const std::string& outDir);

}  // namespace trakomer

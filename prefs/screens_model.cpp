#include "prefs/screens_model.h"

namespace trakomer::prefs {

std::string PreviewText(int figureIndex) {
    if (figureIndex <= 0 || figureIndex >= static_cast<int>(kFigureNames.size())) return {};
    return std::string(1, kFigureNames[static_cast<size_t>(figureIndex)][0]) + ": 123";
}

void KeepOneTrackScreen(std::array<bool, kScreenCount>& on, int screen) {
    if (screen != 0 && screen != 1) return;
    if (!on[0] && !on[1]) on[screen == 0 ? 1 : 0] = true;
}

}  // namespace trakomer::prefs

#include "speech/speed_bands.h"

#include <algorithm>
#include <array>

namespace trakomer::speech {

namespace {
constexpr std::array<float, 16> kWalkBands = {3,   4, 5,   6, 6.5,  7,  7.5,  8,
                                              8.5, 9, 9.5, 10, 10.5, 11, 11.5, 12};
constexpr std::array<float, 28> kRunBands = {5,  6,  7,  8,  8.5, 9,  9.5, 10, 10.5, 11,
                                             11.5, 12, 12.5, 13, 13.5, 14, 15, 16, 17, 18,
                                             19, 20, 21, 22, 23,  24, 25, 26};
constexpr std::array<float, 21> kCarBands = {10, 20, 30, 40,  45,  50,  55,  60,  65,  70, 75,
                                             80, 85, 90, 95, 100, 105, 110, 115, 120, 125};
constexpr std::array<float, 24> kOtherBands = {10, 15, 20, 25, 30, 35,  40,  45,
                                               50, 55, 60, 65, 70, 75,  80,  85,
                                               90, 95, 100, 105, 110, 115, 120, 125};
}  // namespace

std::span<const float> SpeedBandsFor(int userProfile) {
    switch (userProfile) {
        case 1: return kWalkBands;
        case 2: return kRunBands;
        case 4: return kCarBands;
        default: return kOtherBands;
    }
}

float SpeedToAnnounce(std::span<const float> bands, float s, float lastSpoken) {
    if (std::find(bands.begin(), bands.end(), s) != bands.end()) return s;
    const int n = static_cast<int>(bands.size());
    if (s > lastSpoken) {
        for (int i = n - 1; i >= 1; --i) {
            if (bands[i - 1] < s && s < bands[i]) return bands[i - 1] != lastSpoken ? bands[i - 1] : 0;
        }
        return 0;
    }
    for (int i = 1; i < n; ++i) {
        if (bands[i - 1] < s && s < bands[i]) return bands[i] != lastSpoken ? bands[i] : 0;
    }
    return 0;
}

}  // namespace trakomer::speech

#pragma once
// The 20 colours of the track ribbon, from blue (low) to red (high).

#include <array>

namespace trakomer::gl {

constexpr int kRampSize = 20;

struct RampColour {
    float red = 0;
    float green = 0;
    float blue = 0;
};

using ColourRamp = std::array<RampColour, kRampSize>;

ColourRamp MakeColourRamp();

// Indices outside 0..19 are clamped.
const RampColour& RampEntry(const ColourRamp& ramp, int index);
const RampColour& RampEntry(ColourRamp&& ramp, int index) = delete;

// Sets the current GL colour to a ramp entry with alpha 1.
void SetRampColour(const ColourRamp& ramp, int index);

}  // namespace trakomer::gl

#include "gl/colour_ramp.h"

#include <GLES/gl.h>

#include <algorithm>

namespace trakomer::gl {

ColourRamp MakeColourRamp() {
    static constexpr unsigned char kRamp[kRampSize][3] = {
        {0, 0, 255},    {0, 40, 255},   {0, 80, 255},   {0, 120, 255},  {0, 160, 240},
        {0, 200, 200},  {0, 240, 160},  {0, 255, 120},  {0, 255, 80},   {40, 255, 40},
        {80, 255, 0},   {160, 240, 0},  {200, 240, 0},  {240, 240, 0},  {240, 200, 0},
        {240, 160, 0},  {255, 120, 0},  {255, 80, 0},   {255, 40, 0},   {255, 0, 0}};
    ColourRamp ramp;
    for (int i = 0; i < kRampSize; ++i) {
        ramp[i] = {kRamp[i][0] / 255.0f, kRamp[i][1] / 255.0f, kRamp[i][2] / 255.0f};
    }
    return ramp;
}

const RampColour& RampEntry(const ColourRamp& ramp, int index) {
    return ramp[std::clamp(index, 0, kRampSize - 1)];
}

void SetRampColour(const ColourRamp& ramp, int index) {
    const RampColour& colour = RampEntry(ramp, index);
    glColor4f(colour.red, colour.green, colour.blue, 1.0f);
}

}  // namespace trakomer::gl

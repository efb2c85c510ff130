#include "gl/pixel_matrix.h"

#include <GLES/gl.h>

#include <cmath>

namespace trakomer::gl {

void LoadPixelIdentity() {
    glLoadIdentity();
    glTranslatex(kFixedOne / 2, kFixedOne / 2, 0);
}

int FixedDegrees(double degrees) {
    if (!std::isfinite(degrees)) return 0;
    return ToFixed(static_cast<int>(std::fmod(degrees, 360.0)));
}

void BeginXor() {
    glEnable(GL_COLOR_LOGIC_OP);
    glLogicOp(GL_XOR);
}

void EndXor() { glLogicOp(GL_COPY); }

}  // namespace trakomer::gl

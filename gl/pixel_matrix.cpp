#include "gl/pixel_matrix.h"

#include <GLES/gl.h>

namespace trakomer::gl {

void LoadPixelIdentity() {
    glLoadIdentity();
    glTranslatex(kFixedOne / 2, kFixedOne / 2, 0);
}

void BeginXor() {
    glEnable(GL_COLOR_LOGIC_OP);
    glLogicOp(GL_XOR);
}

void EndXor() { glLogicOp(GL_COPY); }

}  // namespace trakomer::gl

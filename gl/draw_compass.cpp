#include "gl/draw_compass.h"

#include <GLES/gl.h>

#include "gl/draw_shapes.h"
#include "gl/pixel_matrix.h"

namespace trakomer::gl {
namespace {

void BuildCompass(CompassArrays& arrays) {
    constexpr int cx = kCompassX;
    constexpr int cy = kCompassY;
    constexpr int r = kCompassRadius;
    arrays.needle = {cx - 5, cy, 0, cx, cy + r - 10, 0, cx + 5, cy, 0, cx, cy - r + 10, 0};
    arrays.letter = {cx - 3, cy + r - 8, 0, cx - 3, cy + r - 1, 0,
                     cx + 3, cy + r - 9, 0, cx + 3, cy + r - 1, 0};
    arrays.built = true;
}

}  // namespace

void DrawCompass(DrawState& state, double viewHeading) {
    if (!state.compass.built) BuildCompass(state.compass);
    const CompassArrays& arrays = state.compass;
    glPushMatrix();
    LoadPixelIdentity();
    glTranslatex(ToFixed(kCompassX), ToFixed(kCompassY), 0);
    glRotatex(FixedDegrees(-viewHeading), 0, 0, kFixedOne);
    glTranslatex(-ToFixed(kCompassX), -ToFixed(kCompassY), 0);
    BeginXor();
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_SHORT, 0, arrays.needle.data());
    // North half v0 v1 v2 in red, south half v2 v3 v0 in white.
    static const GLubyte kNorth[3] = {0, 1, 2};
    static const GLubyte kSouth[3] = {2, 3, 0};
    glColor4x(kFixedOne, 0, 0, kFixedOne);
    glDrawElements(GL_TRIANGLES, 3, GL_UNSIGNED_BYTE, kNorth);
    glColor4x(kFixedOne, kFixedOne, kFixedOne, kFixedOne);
    glDrawElements(GL_TRIANGLES, 3, GL_UNSIGNED_BYTE, kSouth);
    glVertexPointer(3, GL_SHORT, 0, arrays.letter.data());
    glDrawArrays(GL_LINE_STRIP, 0, 4);
    DrawCircle(kCompassX - 1, kCompassY, 0, kCompassRadius + 2, 8);
    glColor4x(kFixedOne / 2, kFixedOne / 2, kFixedOne / 2, kFixedOne);
    DrawCircle(kCompassX - 1, kCompassY, 0, kCompassRadius - 12, 48);
    glPopMatrix();
    EndXor();
    glDisable(GL_COLOR_LOGIC_OP);
    glDisableClientState(GL_VERTEX_ARRAY);
}

}  // namespace trakomer::gl

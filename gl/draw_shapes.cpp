#include "gl/draw_shapes.h"

#include <GLES/gl.h>

#include <cmath>
#include <cstdlib>

#include "gl/gl_vertices.h"
#include "gl/pixel_matrix.h"

namespace trakomer::gl {
namespace {

constexpr double kCircleDegToRad = 0.01745329222;
constexpr int kCircleSegmentLimit = 71;
constexpr int kOverlayDepth = 199;

void PutVertex(float* out, int x, int y, int z) {
    out[0] = static_cast<float>(x);
    out[1] = static_cast<float>(y);
    out[2] = static_cast<float>(z);
}

// Six vertices of the band from a to b, widened by one pixel either side
// across its main direction.
void PutBand(float* out, const ScreenPoint& a, const ScreenPoint& b) {
    const bool mostlyHorizontal = std::abs(a.y - b.y) <= std::abs(a.x - b.x);
    const int dx = mostlyHorizontal ? 0 : 1;
    const int dy = mostlyHorizontal ? 1 : 0;
    PutVertex(out + 0, a.x - dx, a.y - dy, a.z);
    PutVertex(out + 3, a.x + dx, a.y + dy, a.z);
    PutVertex(out + 6, b.x - dx, b.y - dy, b.z);
    PutVertex(out + 9, b.x - dx, b.y - dy, b.z);
    PutVertex(out + 12, a.x + dx, a.y + dy, a.z);
    PutVertex(out + 15, b.x + dx, b.y + dy, b.z);
}

uint8_t ToByte(float channel) { return static_cast<uint8_t>(std::lround(channel * 255.0f)); }

void DrawStrip(const std::vector<float>& vertices, int count, bool xorMode) {
    if (xorMode) BeginXor();
    glColor4x(kFixedOne, kFixedOne, kFixedOne, kFixedOne);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, vertices.data());
    glDrawArrays(GL_LINE_STRIP, 0, count);
    EndXor();
}

void FillStrip(std::vector<float>& buffer, std::span<const PixelPoint> points) {
    if (buffer.size() < points.size() * 3) buffer.resize(points.size() * 3);
    for (size_t i = 0; i < points.size(); ++i) PutVertex(&buffer[i * 3], points[i].x, points[i].y, 0);
}

}  // namespace

void TrackBox::Add(const ScreenPoint& p) {
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
    minZ = std::min(minZ, p.z);
    maxZ = std::max(maxZ, p.z);
}

void DrawTrackRibbon(DrawState& state, std::span<const ScreenPoint> points,
                     std::span<const int> colourIndices) {
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    const size_t pointCount = std::min(points.size(), colourIndices.size());
    if (pointCount < 2) return;
    const size_t segments = pointCount - 1;
    // Segments are drawn in one call with a colour per vertex (18 floats and
    // 24 colour bytes a segment); at 10 000 segments one draw call per
    // segment would dominate the frame.
    if (state.ribbonVertices.size() < segments * 18) state.ribbonVertices.resize(segments * 18);
    if (state.ribbonColours.size() < segments * 24) state.ribbonColours.resize(segments * 24);
    for (size_t i = 0; i < segments; ++i) {
        state.trackBox.Add(points[i]);
        PutBand(&state.ribbonVertices[i * 18], points[i], points[i + 1]);
        const RampColour& colour = RampEntry(state.ramp, colourIndices[i + 1]);
        const uint8_t rgba[4] = {ToByte(colour.red), ToByte(colour.green), ToByte(colour.blue), 255};
        for (int v = 0; v < 6; ++v) std::copy(rgba, rgba + 4, &state.ribbonColours[i * 24 + v * 4]);
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, state.ribbonVertices.data());
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, state.ribbonColours.data());
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(segments * 6));
    glDisableClientState(GL_COLOR_ARRAY);
    // The current colour is undefined after a colour array: set the last
    // segment's colour, which the position arrow is drawn in.
    SetRampColour(state.ramp, colourIndices[segments]);
}

void DrawMarkerTriangle(const DrawState& state, int x, int y, int colourIndex) {
    const int16_t vertices[9] = {ToShort(x - 3), ToShort(y - 3), kOverlayDepth,
                                 ToShort(x + 3), ToShort(y - 3), kOverlayDepth,
                                 ToShort(x),     ToShort(y + 3), kOverlayDepth};
    SetRampColour(state.ramp, colourIndex);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_SHORT, 0, vertices);
    glDrawArrays(GL_TRIANGLES, 0, 3);
}

void DrawPositionArrow(int x, int y, int z, double markerCourse) {
    glPushMatrix();
    LoadPixelIdentity();
    glTranslatex(ToFixed(x), ToFixed(y), ToFixed(z));
    glRotatex(FixedDegrees(markerCourse), 0, 0, kFixedOne);
    glTranslatex(-ToFixed(x), -ToFixed(y), -ToFixed(z));
    const int16_t vertices[9] = {ToShort(x - 6), ToShort(y - 12), ToShort(z),
                                 ToShort(x),     ToShort(y),      ToShort(z),
                                 ToShort(x + 6), ToShort(y - 12), ToShort(z)};
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_SHORT, 0, vertices);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glLogicOp(GL_COPY);
    glDisable(GL_COLOR_LOGIC_OP);
    glPopMatrix();
}

void DrawCircle(int x, int y, int z, int radius, int segments) {
    // Fewer than one segment has no step (and a negative one would never
    // reach 360 degrees).
    if (segments < 1 || segments >= kCircleSegmentLimit) return;
    const int step = 360 / segments;
    int16_t vertices[3 * 360];
    int count = 0;
    for (int angle = 0; angle < 360; angle += step, ++count) {
        const double radians = angle * kCircleDegToRad;
        vertices[count * 3] = ToShort(x + static_cast<int>(radius * std::cos(radians)));
        vertices[count * 3 + 1] = ToShort(y + static_cast<int>(radius * std::sin(radians)));
        vertices[count * 3 + 2] = ToShort(z);
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_SHORT, 0, vertices);
    glDrawArrays(GL_LINE_LOOP, 0, count);
}

void DrawCircleXor(int x, int y, int z) {
    BeginXor();
    glColor4x(kFixedOne, kFixedOne, kFixedOne, kFixedOne);
    DrawCircle(x, y, z, 5, 15);
    EndXor();
}

void DrawLineStrip(DrawState& state, std::span<const PixelPoint> points, bool xorMode) {
    if (points.empty()) return;
    FillStrip(state.stripVertices, points);
    DrawStrip(state.stripVertices, static_cast<int>(points.size()), xorMode);
}

void DrawLineStripFlat(DrawState& state, std::span<const PixelPoint> points, bool xorMode) {
    if (points.size() > static_cast<size_t>(kFlatStripMax)) points = points.first(kFlatStripMax);
    if (points.empty()) return;
    FillStrip(state.stripVertices, points);
    glPushMatrix();
    LoadPixelIdentity();
    DrawStrip(state.stripVertices, static_cast<int>(points.size()), xorMode);
    glPopMatrix();
}

void DrawLegendBox(const DrawState& state, int windowHeight, int x0, int y0, int x1, int y1,
                   int colourIndex) {
    LoadPixelIdentity();
    const int flip = windowHeight + 20;
    const int16_t bottom = ToShort(flip - y0);
    const int16_t top = ToShort(flip - y1);
    const int16_t left = ToShort(x0);
    const int16_t right = ToShort(x1);
    const int16_t vertices[18] = {left,  bottom, kOverlayDepth, right, bottom, kOverlayDepth,
                                  right, top,    kOverlayDepth, right, top,    kOverlayDepth,
                                  left,  top,    kOverlayDepth, left,  bottom, kOverlayDepth};
    SetRampColour(state.ramp, colourIndex);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_SHORT, 0, vertices);
    glDrawArrays(GL_TRIANGLES, 0, 6);
}

}  // namespace trakomer::gl

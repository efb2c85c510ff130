#include "gl/globe_view.h"

#include <GLES/gl.h>

#include <cmath>
#include <cstdio>

#include "gl/gl_vertices.h"
#include "gl/pixel_matrix.h"
#include "gl/texture_upload.h"

namespace trakomer::gl {
namespace {

constexpr int kGlobeDivisions = 30;
constexpr int kSatelliteDivisions = 5;
constexpr float kLabelScale = 0.3f;

void BuildSphere(SphereMesh& mesh, float radius, float slices, float stacks) {
    mesh.radius = radius;
    mesh.slices = slices;
    mesh.stacks = stacks;
    mesh.positions.clear();
    mesh.normals.clear();
    mesh.texCoords.clear();
    const int sliceCount = static_cast<int>(slices);
    const int stackCount = static_cast<int>(stacks);
    const float dTheta = 3.1415925f / stacks;
    const float dPhi = 6.283185f / slices;
    auto emit = [&](float theta, float phi, float s, float t) {
        const float normal[3] = {std::cos(phi) * std::sin(theta), std::sin(phi) * std::sin(theta),
                                 std::cos(theta)};
        for (float n : normal) {
            mesh.normals.push_back(n);
            mesh.positions.push_back(n * radius);
        }
        mesh.texCoords.push_back(s);
        mesh.texCoords.push_back(t);
    };
    for (int i = 0; i < stackCount; ++i) {
        const float theta0 = static_cast<float>(i) * dTheta;
        const float theta1 = theta0 + dTheta;
        for (int j = 0; j <= sliceCount; ++j) {
            const float phi = static_cast<float>(j) * dPhi;
            const float s = static_cast<float>(sliceCount - j) / slices;
            emit(theta0, phi, s, static_cast<float>(i) / stacks);
            emit(theta1, phi, s, static_cast<float>(i + 1) / stacks);
        }
    }
}

// Rotation by a floating-point angle in degrees, taken modulo a full turn.
void RotateDegrees(float degrees, int x, int y, int z) {
    if (!std::isfinite(degrees)) return;
    const double turned = std::fmod(static_cast<double>(degrees), 360.0);
    glRotatex(static_cast<GLfixed>(turned * 65536.0), x * kFixedOne, y * kFixedOne, z * kFixedOne);
}

bool HasTexture(const ImageSlotTable& images, int slot) {
    return slot >= 0 && slot < images.count && images.slots[static_cast<size_t>(slot)].texture != 0;
}

void BindDecal(const ImageSlotTable& images, int slot) {
    glEnable(GL_TEXTURE_2D);
    glTexEnvx(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    BindSlotTexture(images.slots[static_cast<size_t>(slot)]);
}

// Zoomed and turned about the window centre like the globe.
void LoadSkyMatrix(const GlobeState& globe, const WindowRect& window) {
    const int cx = window.Width() / 2;
    const int cy = window.Height() / 2;
    glLoadIdentity();
    glTranslatex(ToFixed(cx), ToFixed(cy), 0);
    const float zoom = static_cast<float>(globe.zoom);
    glScalef(zoom, zoom, zoom);
    glRotatex(FixedDegrees(globe.rotateX), kFixedOne, 0, 0);
    glRotatex(FixedDegrees(globe.rotateY), 0, kFixedOne, 0);
    glTranslatex(-ToFixed(cx), -ToFixed(cy), 0);
}

// Seven-segment strokes: segment ends on a 60 x 100 grid.
constexpr int16_t kSegments[7][4] = {
    {0, 100, 60, 100},  // a, top
    {60, 100, 60, 50},  // b, upper right
    {60, 50, 60, 0},    // c, lower right
    {0, 0, 60, 0},      // d, bottom
    {0, 0, 0, 50},      // e, lower left
    {0, 50, 0, 100},    // f, upper left
    {0, 50, 60, 50},    // g, middle
};
// Bit s set: segment s is part of the digit.
constexpr uint8_t kDigitSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66,
                                        0x6D, 0x7D, 0x07, 0x7F, 0x6F};
constexpr int kDigitAdvance = 90;

}  // namespace

bool GlobeZoomIn(GlobeState& globe) {
    if (globe.zoom > kGlobeZoomMax) return false;
    globe.zoom *= 1.1;
    return true;
}

void GlobeZoomOut(GlobeState& globe) { globe.zoom *= 0.9; }

void SpinGlobe(GlobeState& globe) {
    globe.rotateY += static_cast<int>(std::isfinite(globe.spinRateY) ? globe.spinRateY : 0.0f);
    globe.rotateX += static_cast<int>(std::isfinite(globe.spinRateX) ? globe.spinRateX : 0.0f);
    // Whole turns change nothing; keeping the angles small keeps the sums
    // of the earth orientation exact.
    globe.rotateX %= 360;
    globe.rotateY %= 360;
}

void DrawSphere(SphereMesh& mesh, float radius, int slices, int stacks) {
    if (slices < 1 || stacks < 1) return;
    const float fSlices = static_cast<float>(slices);
    const float fStacks = static_cast<float>(stacks);
    if (mesh.positions.empty() || mesh.radius != radius || mesh.slices != fSlices ||
        mesh.stacks != fStacks) {
        BuildSphere(mesh, radius, fSlices, fStacks);
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, mesh.positions.data());
    glNormalPointer(GL_FLOAT, 0, mesh.normals.data());
    glTexCoordPointer(2, GL_FLOAT, 0, mesh.texCoords.data());
    const int perStack = 2 * (slices + 1);
    for (int i = 0; i < stacks; ++i) glDrawArrays(GL_TRIANGLE_STRIP, i * perStack, perStack);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

void DrawGlobe(GlobeState& globe, const ImageSlotTable& images, int x, int y, int z,
               float radius, bool hasTrack, const GlobeFacing& facing) {
    glPushMatrix();
    glLoadIdentity();
    glTranslatex(ToFixed(x), ToFixed(y), ToFixed(z));
    const float zoom = static_cast<float>(globe.zoom);
    glScalef(zoom, zoom, zoom);
    const bool spinning = !globe.earthLatch && (!hasTrack || images.earthMap < 0);
    if (spinning) {
        glRotatex(FixedDegrees(globe.rotateX), kFixedOne, 0, 0);
        glRotatex(FixedDegrees(globe.rotateY), 0, kFixedOne, 0);
    } else {
        globe.earthLatch = true;
        const float tilt = (static_cast<float>(globe.rotateX) + 90.0f) +
                           static_cast<float>(facing.latitude);
        const float turn = (-90.0f - static_cast<float>(globe.rotateY)) +
                           static_cast<float>(facing.longitude);
        RotateDegrees(tilt, 1, 0, 0);
        RotateDegrees(turn, 0, 0, 1);
    }
    glEnable(GL_DEPTH_TEST);
    const int textureSlot = spinning ? images.eye : images.earthMap;
    if (HasTexture(images, textureSlot)) {
        BindDecal(images, textureSlot);
    } else {
        // Without its image the globe is a plain sphere in GL's initial
        // colour, whatever the previous drawing left current.
        glColor4x(kFixedOne, kFixedOne, kFixedOne, kFixedOne);
    }
    DrawSphere(globe.mesh, radius, kGlobeDivisions, kGlobeDivisions);
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
    glDepthMask(GL_TRUE);
    glDisable(GL_DEPTH_TEST);
}

void DrawSatellite(GlobeState& globe, const WindowRect& window, int azimuth, int elevation,
                   int prn, int snr, int fixMode) {
    const ScreenPoint at = SkyPosition(window, azimuth, elevation);
    AddTrailPoint(globe.trail, at);
    glPushMatrix();
    LoadSkyMatrix(globe, window);
    glEnable(GL_DEPTH_TEST);
    switch (fixMode) {
        case 2: glColor4x(kFixedOne, kFixedOne, 0, kFixedOne); break;
        case 3: glColor4x(0, kFixedOne, 0, kFixedOne); break;
        default: glColor4x(kFixedOne, 0, 0, kFixedOne); break;
    }
    const int16_t line[6] = {ToShort(window.Width() / 2), ToShort(window.Height() / 2),
                             static_cast<int16_t>(kGlobeRadius),
                             ToShort(at.x), ToShort(at.y), ToShort(at.z)};
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_SHORT, 0, line);
    glDrawArrays(GL_LINES, 0, 2);
    glTranslatex(ToFixed(at.x), ToFixed(at.y), ToFixed(at.z));
    DrawSphere(globe.mesh, SatelliteRadius(snr), kSatelliteDivisions, kSatelliteDivisions);
    char label[16];
    std::snprintf(label, sizeof label, "%d", prn);
    glScalef(kLabelScale, kLabelScale, kLabelScale);
    glRotatex(FixedDegrees(-globe.rotateY), 0, kFixedOne, 0);
    glRotatex(FixedDegrees(-globe.rotateX), kFixedOne, 0, 0);
    DrawStrokeDigits(label);
    glPopMatrix();
    glDisable(GL_DEPTH_TEST);
}

void DrawTrail(const GlobeState& globe, const WindowRect& window) {
    if (globe.trail.points.empty()) return;
    glPushMatrix();
    LoadSkyMatrix(globe, window);
    glEnable(GL_DEPTH_TEST);
    glColor4x(kFixedOne, kFixedOne, kFixedOne, kFixedOne);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_SHORT, 0, globe.trail.points.data());
    glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(globe.trail.points.size()));
    glPopMatrix();
    glDisable(GL_DEPTH_TEST);
}

void DrawStrokeDigits(const char* text) {
    int16_t lines[16 * 7 * 4];
    int count = 0;
    int penX = 0;
    for (const char* c = text; *c != '\0' && penX < 16 * kDigitAdvance; ++c) {
        if (*c >= '0' && *c <= '9') {
            const uint8_t mask = kDigitSegments[*c - '0'];
            for (int s = 0; s < 7; ++s) {
                if ((mask & (1 << s)) == 0) continue;
                lines[count * 2] = static_cast<int16_t>(kSegments[s][0] + penX);
                lines[count * 2 + 1] = kSegments[s][1];
                lines[count * 2 + 2] = static_cast<int16_t>(kSegments[s][2] + penX);
                lines[count * 2 + 3] = kSegments[s][3];
                count += 2;
            }
        }
        penX += kDigitAdvance;
    }
    if (count == 0) return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_SHORT, 0, lines);
    glDrawArrays(GL_LINES, 0, count);
}

}  // namespace trakomer::gl

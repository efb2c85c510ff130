#include "gl/map_images.h"

#include <GLES/gl.h>

#include <algorithm>
#include <cmath>

#include "gl/gl_vertices.h"
#include "gl/pixel_matrix.h"
#include "gl/texture_upload.h"

namespace trakomer::gl {
namespace {

bool StrictlyBetween(double value, double low, double high) { return value > low && value < high; }

// Texture coordinate of a view edge across the image's span.
float Across(double edge, double low, double high) {
    const double span = high - low;
    return span != 0 ? static_cast<float>((edge - low) / span) : 0.0f;
}

// Window position of a map edge that lies inside the view, else the
// square's own edge.
int EdgePixel(double edge, double viewLow, double viewHigh, int squareLow, int squareHigh,
              int fallback) {
    if (!StrictlyBetween(edge, viewLow, viewHigh)) return fallback;
    const double fraction = (edge - viewLow) / (viewHigh - viewLow);
    return squareLow + static_cast<int>(fraction * (squareHigh - squareLow));
}

bool CoversWholeView(const ImageSlot& s, const MapViewState& m) {
    return StrictlyBetween(m.leftLongitude, s.lon1, s.lon2) &&
           StrictlyBetween(m.rightLongitude, s.lon1, s.lon2) &&
           StrictlyBetween(m.bottomLatitude, s.lat1, s.lat2) &&
           StrictlyBetween(m.topLatitude, s.lat1, s.lat2);
}

bool CoversPartOfView(const ImageSlot& s, const MapViewState& m) {
    const bool meets = s.lon2 >= m.leftLongitude && s.lon1 <= m.rightLongitude &&
                       s.lat2 >= m.bottomLatitude && s.lat1 <= m.topLatitude;
    if (!meets) return false;
    const bool lonEdgeInside = StrictlyBetween(s.lon1, m.leftLongitude, m.rightLongitude) ||
                               StrictlyBetween(s.lon2, m.leftLongitude, m.rightLongitude);
    const bool latEdgeInside = StrictlyBetween(s.lat1, m.bottomLatitude, m.topLatitude) ||
                               StrictlyBetween(s.lat2, m.bottomLatitude, m.topLatitude);
    const bool spansLon = s.lon1 <= m.leftLongitude && s.lon2 >= m.rightLongitude;
    const bool spansLat = s.lat1 <= m.bottomLatitude && s.lat2 >= m.topLatitude;
    return (lonEdgeInside && latEdgeInside) || (spansLon && latEdgeInside) ||
           (spansLat && lonEdgeInside);
}

MapQuad PartialQuad(int index, const ImageSlot& s, const MapViewState& m, const ViewSquare& q) {
    MapQuad quad;
    quad.slot = index;
    quad.x0 = EdgePixel(s.lon1, m.leftLongitude, m.rightLongitude, q.left, q.right, q.left);
    quad.x1 = EdgePixel(s.lon2, m.leftLongitude, m.rightLongitude, q.left, q.right, q.right);
    quad.y0 = EdgePixel(s.lat1, m.bottomLatitude, m.topLatitude, q.bottom, q.top, q.bottom);
    quad.y1 = EdgePixel(s.lat2, m.bottomLatitude, m.topLatitude, q.bottom, q.top, q.top);
    quad.s0 = std::max(0.0f, Across(m.leftLongitude, s.lon1, s.lon2));
    quad.s1 = std::min(1.0f, Across(m.rightLongitude, s.lon1, s.lon2));
    quad.t0 = std::max(0.0f, Across(m.bottomLatitude, s.lat1, s.lat2));
    quad.t1 = std::min(1.0f, Across(m.topLatitude, s.lat1, s.lat2));
    return quad;
}

GLfixed ToTexFixed(float value) {
    if (!std::isfinite(value)) return 0;
    return static_cast<GLfixed>(std::clamp(value, -32767.0f, 32767.0f) * 65536.0f);
}

}  // namespace

std::vector<MapQuad> ChooseMapQuads(const ImageSlotTable& images, const MapViewState& map,
                                    const ViewSquare& square) {
    std::vector<MapQuad> quads;
    const int mapSlots = MapDrawingSlots(images);
    int fullCover = -1;
    for (int i = 0; i < mapSlots && fullCover < 0; ++i) {
        const ImageSlot& slot = images.slots[static_cast<size_t>(i)];
        if (slot.texture == 0 || !CoversWholeView(slot, map)) continue;
        fullCover = i;
        MapQuad quad{i, square.left, square.bottom, square.right, square.top};
        quad.s0 = Across(map.leftLongitude, slot.lon1, slot.lon2);
        quad.s1 = Across(map.rightLongitude, slot.lon1, slot.lon2);
        quad.t0 = Across(map.bottomLatitude, slot.lat1, slot.lat2);
        quad.t1 = Across(map.topLatitude, slot.lat1, slot.lat2);
        quads.push_back(quad);
    }
    for (int i = 0; i < mapSlots; ++i) {
        const ImageSlot& slot = images.slots[static_cast<size_t>(i)];
        if (i == fullCover || i == images.earthMap || slot.texture == 0) continue;
        if (CoversPartOfView(slot, map)) quads.push_back(PartialQuad(i, slot, map, square));
    }
    return quads;
}

void DrawImageQuad(const ImageSlot& slot, const MapQuad& q) {
    if (slot.texture == 0) return;
    const int16_t vertices[12] = {ToShort(q.x0), ToShort(q.y0), 0, ToShort(q.x1), ToShort(q.y0), 0,
                                  ToShort(q.x1), ToShort(q.y1), 0, ToShort(q.x0), ToShort(q.y1), 0};
    const GLfixed texCoords[8] = {ToTexFixed(q.s0), ToTexFixed(q.t0), ToTexFixed(q.s1),
                                  ToTexFixed(q.t0), ToTexFixed(q.s1), ToTexFixed(q.t1),
                                  ToTexFixed(q.s0), ToTexFixed(q.t1)};
    static const GLubyte kIndices[6] = {0, 1, 2, 2, 3, 0};
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    BindSlotTexture(slot);
    glTexEnvx(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_SHORT, 0, vertices);
    glTexCoordPointer(2, GL_FIXED, 0, texCoords);
    glDrawElements(GL_TRIANGLE_STRIP, 6, GL_UNSIGNED_BYTE, kIndices);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_TEXTURE_2D);
}

}  // namespace trakomer::gl

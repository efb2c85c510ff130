#pragma once
// Map images behind the track: which slots cover the view and with which
// texture coordinates, and drawing an image as one textured quad.

#include <vector>

#include "gl/image_slots.h"
#include "gl/map_projection.h"
#include "gl/view_geometry.h"

namespace trakomer::gl {

// One image over part (or all) of the view square, window pixels y upward.
struct MapQuad {
    int slot = -1;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    float s0 = 0, t0 = 0, s1 = 1, t1 = 1;
};

// The map quads of a frame in drawing order: first the first map slot whose
// rectangle strictly contains the view (over the whole square), then every
// other map slot that covers part of the view, later slots over earlier
// ones. Map slots are all but the last three; the earth image is never a
// partial map.
std::vector<MapQuad> ChooseMapQuads(const ImageSlotTable& images, const MapViewState& map,
                                    const ViewSquare& square);

// Draws a slot's texture over the quad under the current model-view, the
// image's colours replacing what is there. Nothing without a texture.
void DrawImageQuad(const ImageSlot& slot, const MapQuad& quad);

}  // namespace trakomer::gl

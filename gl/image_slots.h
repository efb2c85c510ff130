#pragma once
// The table of loaded images with their textures and map corners.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "gl/tga_reader.h"

namespace trakomer::gl {

constexpr int kImageSlotCount = 32;

struct ImageSlot {
    std::string path;          // 8-bit path, up to 127 characters
    uint32_t texture = 0;      // GL texture name; 0 when loading failed
    // Pixels not yet given to the texture: they go to GL when it is first
    // bound for drawing (BindSlotTexture), so images never shown cost no
    // upload. Changed by drawing, hence mutable.
    mutable std::shared_ptr<const TgaImage> unsentPixels;
    uint32_t format = kFormatRgb;
    int components = 3;
    int width = 0;
    int height = 0;
    // Map corners: south-west (lat1, lon1) and north-east (lat2, lon2).
    double lat1 = 0;
    double lon1 = 0;
    double lat2 = 0;
    double lon2 = 0;
};

struct ImageSlotTable {
    std::array<ImageSlot, kImageSlotCount> slots{};
    int count = 0;  // filled from index 0 upward, never above kImageSlotCount
    // The special images; -1 until found.
    int eye = -1;
    int earthMap = -1;
    int startup = -1;
    int startButton = -1;
};

// Sets the four special indices from the filled slots' paths; a later slot
// overrides an earlier one.
void FindSpecialSlots(ImageSlotTable& table);

// The slot ranges that count as maps, by use: map drawing takes every slot
// but the last three, the Fly To menu every slot but the last four (a list
// ending with the earth, eye, start-up and start-button lines fits both),
// the Maps preference page every slot but the eye, start-up and
// start-button images.
int MapDrawingSlots(const ImageSlotTable& table);
int FlyToMapSlots(const ImageSlotTable& table);
bool IsMapsPageSlot(const ImageSlotTable& table, int index);

// The middle of a slot's map rectangle (the Fly To target of a map).
struct SlotCentre {
    double latitude = 0;
    double longitude = 0;
};
SlotCentre MapCentre(const ImageSlot& slot);

// Empties the table (after the GL context that owned the textures is gone).
void ClearImageSlots(ImageSlotTable& table);

}  // namespace trakomer::gl

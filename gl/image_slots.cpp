#include "gl/image_slots.h"

#include <algorithm>

namespace trakomer::gl {

void FindSpecialSlots(ImageSlotTable& table) {
    table.eye = table.earthMap = table.startup = table.startButton = -1;
    for (int i = 0; i < table.count && i < kImageSlotCount; ++i) {
        const std::string& path = table.slots[i].path;
        if (path.find("eye.tga") != std::string::npos) {
            table.eye = i;
        } else if (path.find("earthmap.tga") != std::string::npos) {
            table.earthMap = i;
        } else if (path.find("startup.tga") != std::string::npos) {
            table.startup = i;
        } else if (path.find("startbutton.tga") != std::string::npos) {
            table.startButton = i;
        }
    }
}

int MapDrawingSlots(const ImageSlotTable& table) {
    return std::max(std::min(table.count, kImageSlotCount) - 3, 0);
}

int FlyToMapSlots(const ImageSlotTable& table) {
    return std::max(std::min(table.count, kImageSlotCount) - 4, 0);
}

bool IsMapsPageSlot(const ImageSlotTable& table, int index) {
    return index >= 0 && index < std::min(table.count, kImageSlotCount) && index != table.eye &&
           index != table.startup && index != table.startButton;
}

SlotCentre MapCentre(const ImageSlot& slot) {
    return {slot.lat1 + (slot.lat2 - slot.lat1) * 0.5, slot.lon1 + (slot.lon2 - slot.lon1) * 0.5};
}

void ClearImageSlots(ImageSlotTable& table) { table = ImageSlotTable{}; }

}  // namespace trakomer::gl

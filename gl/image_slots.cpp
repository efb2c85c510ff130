#include "gl/image_slots.h"

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

void ClearImageSlots(ImageSlotTable& table) { table = ImageSlotTable{}; }

}  // namespace trakomer::gl

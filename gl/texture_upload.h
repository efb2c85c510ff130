#pragma once
// Uploading a slot's TGA image as a GL texture (needs a current context).

#include <string>

#include "gl/image_slots.h"

namespace trakomer::gl {

// Reads the slot's image and uploads it: nearest sampling for the eye and
// start-up images (drawn pixel for pixel), linear for every other, repeat
// wrapping, no mipmaps. On failure the slot's texture is 0 and errorText
// holds the reader's reason.
bool LoadSlotTexture(ImageSlotTable& table, int index, std::string& errorText);

}  // namespace trakomer::gl

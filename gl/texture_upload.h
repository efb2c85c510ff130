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

// The same for an image read elsewhere (a map package, another file than
// the slot's path). Sides that are not powers of two, or larger than the
// GL allows, are refused with a reason in errorText.
bool UploadSlotImage(ImageSlotTable& table, int index, const TgaImage& image,
                     std::string& errorText);

// The same, except that the pixels stay with the slot and reach GL when the
// texture is first bound by BindSlotTexture. The checks (and failures) are
// those of UploadSlotImage, at once.
bool PrepareSlotImage(ImageSlotTable& table, int index, std::shared_ptr<const TgaImage> image,
                      std::string& errorText);

// Binds the slot's texture to GL_TEXTURE_2D, sending its pixels first if
// they are still held.
void BindSlotTexture(const ImageSlot& slot);

// Whether GL can take a texture of this size: both sides powers of two and
// no larger than `maxSide`. Otherwise the reason, naming `path`.
std::optional<std::string> TextureSizeProblem(const std::string& path, int width, int height,
                                              int maxSide);

}  // namespace trakomer::gl

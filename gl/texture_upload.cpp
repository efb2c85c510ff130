#include "gl/texture_upload.h"

#include <GLES/gl.h>

#include <cstdio>
#include <memory>

namespace trakomer::gl {

static_assert(kFormatRgb == GL_RGB && kFormatRgba == GL_RGBA);
static_assert(kFormatLuminance == GL_LUMINANCE && kFormatLuminanceAlpha == GL_LUMINANCE_ALPHA);

namespace {

bool SampledNearest(const std::string& path) {
    return path.find("startup.tga") != std::string::npos ||
           path.find("eye.tga") != std::string::npos;
}

bool PowerOfTwo(int n) {
    return n > 0 && (n & (n - 1)) == 0;
}

}  // namespace

std::optional<std::string> TextureSizeProblem(const std::string& path, int width, int height,
                                              int maxSide) {
    char text[640];
    if (!PowerOfTwo(width) || !PowerOfTwo(height)) {
        std::snprintf(text, sizeof text,
                      "\"%s\" is %d x %d pixels: both sides must be powers of two!\n", path.c_str(),
                      width, height);
        return text;
    }
    if (width > maxSide || height > maxSide) {
        std::snprintf(text, sizeof text,
                      "\"%s\" is %d x %d pixels: larger than the %d pixels this GL allows!\n",
                      path.c_str(), width, height, maxSide);
        return text;
    }
    return std::nullopt;
}

bool LoadSlotTexture(ImageSlotTable& table, int index, std::string& errorText) {
    if (index < 0 || index >= kImageSlotCount) return false;
    ImageSlot& slot = table.slots[static_cast<size_t>(index)];
    std::optional<TgaImage> image = ReadTga(slot.path, errorText);
    if (!image) {
        slot.texture = 0;
        return false;
    }
    return UploadSlotImage(table, index, *image, errorText);
}

namespace {

// Checks the image against the slot and GL, names a texture for it and
// records its size; the texture is left bound and without pixels.
bool StartSlotTexture(ImageSlotTable& table, int index, const TgaImage& image,
                      std::string& errorText) {
    if (index < 0 || index >= kImageSlotCount) return false;
    ImageSlot& slot = table.slots[static_cast<size_t>(index)];
    slot.texture = 0;
    slot.unsentPixels.reset();
    if (image.pixels.empty()) return false;
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    if (auto problem = TextureSizeProblem(slot.path, image.width, image.height, maxSide)) {
        errorText = *problem;
        return false;
    }
    slot.height = image.height;
    slot.width = image.width;
    slot.components = image.components;
    slot.format = image.format;

    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    // Rows are packed: without this GL would read RGB rows of odd widths
    // past the end of the buffer.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    slot.texture = name;
    return true;
}

// Fills the bound texture of the slot with the image.
void SendPixels(const ImageSlot& slot, const TgaImage& image) {
    const GLint filter = SampledNearest(slot.path) ? GL_NEAREST : GL_LINEAR;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // OpenGL ES takes the format itself as the internal format.
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(image.format), image.width, image.height, 0,
                 image.format, GL_UNSIGNED_BYTE, image.pixels.data());
}

}  // namespace

bool UploadSlotImage(ImageSlotTable& table, int index, const TgaImage& image,
                     std::string& errorText) {
    if (!StartSlotTexture(table, index, image, errorText)) return false;
    SendPixels(table.slots[static_cast<size_t>(index)], image);
    return true;
}

bool PrepareSlotImage(ImageSlotTable& table, int index, std::shared_ptr<const TgaImage> image,
                      std::string& errorText) {
    if (image == nullptr || !StartSlotTexture(table, index, *image, errorText)) return false;
    table.slots[static_cast<size_t>(index)].unsentPixels = std::move(image);
    return true;
}

void BindSlotTexture(const ImageSlot& slot) {
    glBindTexture(GL_TEXTURE_2D, slot.texture);
    if (slot.unsentPixels == nullptr) return;
    SendPixels(slot, *slot.unsentPixels);
    slot.unsentPixels.reset();
}

}  // namespace trakomer::gl

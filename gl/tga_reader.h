#pragma once
// Reader for the TGA images every texture is made from.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace trakomer::gl {

// GL pixel formats (the values of GL_RGB, GL_RGBA, GL_LUMINANCE and
// GL_LUMINANCE_ALPHA), kept here so the reader needs no GL header.
constexpr uint32_t kFormatRgb = 0x1907;
constexpr uint32_t kFormatRgba = 0x1908;
constexpr uint32_t kFormatLuminance = 0x1909;
constexpr uint32_t kFormatLuminanceAlpha = 0x190A;

// Larger sides are refused: no texture of ours comes near, and the pixel
// buffer of a hostile header must stay bounded.
constexpr int kMaxTgaSide = 8192;

struct TgaImage {
    int width = 0;
    int height = 0;
    uint32_t format = kFormatRgb;
    int components = 3;
    uint32_t texture = 0;  // filled by the upload
    // width x height x components bytes; the first pixel of the file is the
    // first pixel here (GL's bottom-left texel).
    std::vector<uint8_t> pixels;
};

// Decodes a whole TGA file held in memory. On failure returns nothing and
// sets errorText; `path` only names the file in the messages.
std::optional<TgaImage> DecodeTga(std::span<const uint8_t> file, const std::string& path,
                                  std::string& errorText);

// Reads and decodes the file at `path`. Failures as DecodeTga, plus
// "couldn't open \"<path>\"!\n".
std::optional<TgaImage> ReadTga(const std::string& path, std::string& errorText);

}  // namespace trakomer::gl

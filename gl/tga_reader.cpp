#include "gl/tga_reader.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <new>

namespace trakomer::gl {
namespace {

constexpr size_t kHeaderSize = 18;
// Header, longest ID field and colour map, and the largest image stored as
// run-length packets of one literal pixel each.
constexpr std::streamoff kMaxTgaFileBytes =
    kHeaderSize + 255 + 65535 * 4 + std::streamoff(kMaxTgaSide) * kMaxTgaSide * 5;

struct TgaHeader {
    int idLength = 0;
    int colourMapType = 0;
    int imageType = 0;
    int colourMapLength = 0;
    int colourMapEntryBits = 0;
    int width = 0;
    int height = 0;
    int depth = 0;
};

uint16_t Le16(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8)); }

TgaHeader ParseHeader(const uint8_t* bytes) {
    TgaHeader header;
    header.idLength = bytes[0];
    header.colourMapType = bytes[1];
    header.imageType = bytes[2];
    header.colourMapLength = Le16(bytes + 5);
    header.colourMapEntryBits = bytes[7];
    header.width = Le16(bytes + 12);
    header.height = Le16(bytes + 14);
    header.depth = bytes[16];
    return header;
}

std::string Format(const char* format, const std::string& path) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, path.c_str());
    return buffer;
}

// Reads forward through the file; every read is checked against its size.
class ByteCursor {
public:
    explicit ByteCursor(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    bool Skip(size_t count) {
        if (count > bytes_.size() - pos_) return false;
        pos_ += count;
        return true;
    }
    const uint8_t* Take(size_t count) {
        if (count > bytes_.size() - pos_) return nullptr;
        const uint8_t* start = bytes_.data() + pos_;
        pos_ += count;
        return start;
    }

private:
    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
};

// Converts one stored pixel of `inBytes` bytes into `out`. Returns false on
// an index outside the colour map.
using PixelConverter = bool (*)(const uint8_t* in, uint8_t* out, std::span<const uint8_t> map);

bool ConvertIndexed(const uint8_t* in, uint8_t* out, std::span<const uint8_t> map) {
    const size_t entry = static_cast<size_t>(in[0]) * 3;
    if (entry + 3 > map.size()) return false;
    out[0] = map[entry + 2];
    out[1] = map[entry + 1];
    out[2] = map[entry];
    return true;
}

bool Convert16(const uint8_t* in, uint8_t* out, std::span<const uint8_t>) {
    const unsigned value = Le16(in);
    out[0] = static_cast<uint8_t>((value >> 7) & 0xF8);
    out[1] = static_cast<uint8_t>((value >> 2) & 0xF8);
    out[2] = static_cast<uint8_t>((value << 3) & 0xFF);
    return true;
}

bool Convert24(const uint8_t* in, uint8_t* out, std::span<const uint8_t>) {
    out[0] = in[2];
    out[1] = in[1];
    out[2] = in[0];
    return true;
}

bool Convert32(const uint8_t* in, uint8_t* out, std::span<const uint8_t>) {
    out[0] = in[2];
    out[1] = in[1];
    out[2] = in[0];
    out[3] = in[3];
    return true;
}

bool CopyGrey(const uint8_t* in, uint8_t* out, std::span<const uint8_t>) {
    out[0] = in[0];
    return true;
}

bool CopyGreyAlpha(const uint8_t* in, uint8_t* out, std::span<const uint8_t>) {
    out[0] = in[0];
    out[1] = in[1];
    return true;
}

struct Decoder {
    PixelConverter convert = nullptr;
    size_t inBytes = 0;
    bool runLength = false;
    bool usesColourMap = false;
};

// The decoder for a type and depth; convert stays null when unsupported.
Decoder DecoderFor(int type, int depth) {
    Decoder decoder;
    decoder.runLength = type >= 9;
    const int baseType = decoder.runLength ? type - 8 : type;
    if (baseType == 1 && depth == 8) {
        decoder = {ConvertIndexed, 1, decoder.runLength, true};
    } else if (baseType == 2 && depth == 16) {
        decoder = {Convert16, 2, decoder.runLength, false};
    } else if (baseType == 2 && depth == 24) {
        decoder = {Convert24, 3, decoder.runLength, false};
    } else if (baseType == 2 && depth == 32) {
        decoder = {Convert32, 4, decoder.runLength, false};
    } else if (baseType == 3) {
        decoder = depth == 8 ? Decoder{CopyGrey, 1, decoder.runLength, false}
                             : Decoder{CopyGreyAlpha, 2, decoder.runLength, false};
    }
    return decoder;
}

enum class DecodeResult { Ok, Truncated, BadIndex };

DecodeResult DecodeRaw(ByteCursor& cursor, const Decoder& decoder, std::span<const uint8_t> map,
                       std::vector<uint8_t>& pixels, int components) {
    const size_t count = pixels.size() / components;
    const uint8_t* in = cursor.Take(count * decoder.inBytes);
    if (in == nullptr) return DecodeResult::Truncated;
    // The common true-colour images swap blue and red in a plain loop the
    // compiler can vectorise, not through a call per pixel.
    uint8_t* out = pixels.data();
    if (decoder.convert == Convert24) {
        for (size_t i = 0; i < count; ++i, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
        return DecodeResult::Ok;
    }
    if (decoder.convert == Convert32) {
        for (size_t i = 0; i < count; ++i, in += 4, out += 4) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            out[3] = in[3];
        }
        return DecodeResult::Ok;
    }
    for (size_t i = 0; i < count; ++i) {
        if (!decoder.convert(in + i * decoder.inBytes, pixels.data() + i * components, map)) {
            return DecodeResult::BadIndex;
        }
    }
    return DecodeResult::Ok;
}

// Run-length packets until the buffer is full; a packet running past the
// end of the buffer is cut there.
DecodeResult DecodeRunLength(ByteCursor& cursor, const Decoder& decoder,
                             std::span<const uint8_t> map, std::vector<uint8_t>& pixels,
                             int components) {
    const size_t count = pixels.size() / components;
    size_t done = 0;
    while (done < count) {
        const uint8_t* packet = cursor.Take(1);
        if (packet == nullptr) return DecodeResult::Truncated;
        size_t run = (packet[0] & 0x7Fu) + 1;
        if (run > count - done) run = count - done;
        const bool repeated = (packet[0] & 0x80u) != 0;
        const uint8_t* in = cursor.Take(repeated ? decoder.inBytes : run * decoder.inBytes);
        if (in == nullptr) return DecodeResult::Truncated;
        for (size_t i = 0; i < run; ++i, ++done) {
            const uint8_t* source = repeated ? in : in + i * decoder.inBytes;
            if (!decoder.convert(source, pixels.data() + done * components, map)) {
                return DecodeResult::BadIndex;
            }
        }
    }
    return DecodeResult::Ok;
}

void SetFormat(TgaImage& image, const TgaHeader& header) {
    const bool grey = header.imageType == 3 || header.imageType == 11;
    if (grey) {
        image.format = header.depth == 8 ? kFormatLuminance : kFormatLuminanceAlpha;
        image.components = header.depth == 8 ? 1 : 2;
    } else {
        image.format = header.depth < 25 ? kFormatRgb : kFormatRgba;
        image.components = header.depth < 25 ? 3 : 4;
    }
}

bool KnownType(int type) {
    return type == 0 || type == 1 || type == 2 || type == 3 || type == 9 || type == 10 ||
           type == 11;
}

// Checks the header; returns an error text, empty when it can be decoded.
std::string CheckHeader(const TgaHeader& header, const std::string& path) {
    char buffer[512];
    if (!KnownType(header.imageType)) {
        std::snprintf(buffer, sizeof buffer, "unknown TGA image type %i!\n", header.imageType);
        return buffer;
    }
    if (header.imageType == 0) return Format("no image data in \"%s\"!\n", path);
    if (header.width <= 0 || header.height <= 0 || header.width > kMaxTgaSide ||
        header.height > kMaxTgaSide) {
        std::snprintf(buffer, sizeof buffer, "unsupported TGA size %ix%i in \"%s\"!\n",
                      header.width, header.height, path.c_str());
        return buffer;
    }
    const Decoder decoder = DecoderFor(header.imageType, header.depth);
    if (decoder.convert == nullptr) {
        std::snprintf(buffer, sizeof buffer, "unsupported TGA pixel depth %i in \"%s\"!\n",
                      header.depth, path.c_str());
        return buffer;
    }
    if (decoder.usesColourMap && (header.colourMapType == 0 || header.colourMapEntryBits != 24)) {
        return Format("unsupported TGA colour map in \"%s\"!\n", path);
    }
    return {};
}

}  // namespace

std::optional<TgaImage> DecodeTga(std::span<const uint8_t> file, const std::string& path,
                                  std::string& errorText) {
    ByteCursor cursor(file);
    const uint8_t* headerBytes = cursor.Take(kHeaderSize);
    if (headerBytes == nullptr) {
        errorText = Format("truncated TGA file \"%s\"!\n", path);
        return std::nullopt;
    }
    const TgaHeader header = ParseHeader(headerBytes);
    if (std::string problem = CheckHeader(header, path); !problem.empty()) {
        errorText = problem;
        return std::nullopt;
    }
    const Decoder decoder = DecoderFor(header.imageType, header.depth);
    // A file too short for the image it declares is refused before the
    // pixel buffer exists: a few hostile bytes must not cost 256 MB.
    const size_t count = static_cast<size_t>(header.width) * static_cast<size_t>(header.height);
    const size_t leastBytes = decoder.runLength ? (count + 127) / 128 * (1 + decoder.inBytes)
                                                : count * decoder.inBytes;
    if (file.size() - kHeaderSize < leastBytes) {
        errorText = Format("truncated TGA file \"%s\"!\n", path);
        return std::nullopt;
    }
    TgaImage image;
    image.width = header.width;
    image.height = header.height;
    SetFormat(image, header);
    try {
        image.pixels.assign(static_cast<size_t>(image.width) * image.height * image.components, 0);
    } catch (const std::bad_alloc&) {
        errorText = Format("out of memory loading \"%s\"!\n", path);
        return std::nullopt;
    }
    std::span<const uint8_t> map;
    bool complete = cursor.Skip(static_cast<size_t>(header.idLength));
    if (complete && header.colourMapType != 0) {
        const size_t mapBytes =
            static_cast<size_t>(header.colourMapLength) * ((header.colourMapEntryBits + 7) / 8);
        const uint8_t* mapStart = cursor.Take(mapBytes);
        complete = mapStart != nullptr;
        if (complete) map = {mapStart, mapBytes};
    }
    DecodeResult result = DecodeResult::Truncated;
    if (complete) {
        result = decoder.runLength
                     ? DecodeRunLength(cursor, decoder, map, image.pixels, image.components)
                     : DecodeRaw(cursor, decoder, map, image.pixels, image.components);
    }
    if (result == DecodeResult::Truncated) {
        errorText = Format("truncated TGA file \"%s\"!\n", path);
        return std::nullopt;
    }
    if (result == DecodeResult::BadIndex) {
        errorText = Format("TGA colour index outside the colour map in \"%s\"!\n", path);
        return std::nullopt;
    }
    return image;
}

std::optional<TgaImage> ReadTga(const std::string& path, std::string& errorText) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
    if (!in || size < 0) {
        errorText = Format("couldn't open \"%s\"!\n", path);
        return std::nullopt;
    }
    // Bytes past the largest image the header can describe are never read.
    const size_t wanted = static_cast<size_t>(std::min<std::streamoff>(size, kMaxTgaFileBytes));
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(wanted);
    } catch (const std::bad_alloc&) {
        errorText = Format("out of memory loading \"%s\"!\n", path);
        return std::nullopt;
    }
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(wanted));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return DecodeTga(bytes, path, errorText);
}

}  // namespace trakomer::gl

#include "gl/tga_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/gl/tga_builder.h"

namespace trakomer::gl {
namespace {

using testing::Tga;
using testing::TgaLayout;

struct DecodeCase {
    const char* name;
    std::vector<uint8_t> file;
    uint32_t format;
    int components;
    std::vector<uint8_t> pixels;
};

class TgaDecodes : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(TgaDecodes, GivesPixelsInFileOrder) {
    const DecodeCase& c = GetParam();
    std::string error;
    const auto image = DecodeTga(c.file, "test.tga", error);
    ASSERT_TRUE(image.has_value()) << error;
    EXPECT_EQ(image->format, c.format);
    EXPECT_EQ(image->components, c.components);
    EXPECT_EQ(image->pixels, c.pixels);
}

INSTANTIATE_TEST_SUITE_P(
    Tga, TgaDecodes,
    ::testing::Values(
        DecodeCase{"TrueColour24", Tga({.width = 2}, {1, 2, 3, 4, 5, 6}), kFormatRgb, 3,
                   {3, 2, 1, 6, 5, 4}},
        DecodeCase{"TrueColour16White", Tga({.depth = 16}, {0xFF, 0x7F}), kFormatRgb, 3,
                   {0xF8, 0xF8, 0xF8}},
        DecodeCase{"TrueColour16TopBitIgnored", Tga({.depth = 16}, {0x1F, 0x80}), kFormatRgb, 3,
                   {0, 0, 0xF8}},
        DecodeCase{"TrueColour32", Tga({.depth = 32}, {1, 2, 3, 4}), kFormatRgba, 4, {3, 2, 1, 4}},
        DecodeCase{"Grey8", Tga({.type = 3, .width = 2, .depth = 8}, {7, 9}), kFormatLuminance, 1,
                   {7, 9}},
        DecodeCase{"GreyAlpha16", Tga({.type = 3, .depth = 16}, {7, 9}), kFormatLuminanceAlpha, 2,
                   {7, 9}},
        DecodeCase{"ColourMapped",
                   Tga({.type = 1, .width = 2, .depth = 8, .colourMapType = 1,
                        .colourMapLength = 2, .colourMapBits = 24},
                       {10, 20, 30, 40, 50, 60, 1, 0}),
                   kFormatRgb, 3, {60, 50, 40, 30, 20, 10}},
        DecodeCase{"IdFieldSkipped", Tga({.idLength = 2}, {0xEE, 0xEE, 1, 2, 3}), kFormatRgb, 3,
                   {3, 2, 1}},
        DecodeCase{"RunOfFour", Tga({.type = 10, .width = 4}, {0x83, 1, 2, 3}), kFormatRgb, 3,
                   {3, 2, 1, 3, 2, 1, 3, 2, 1, 3, 2, 1}},
        DecodeCase{"FourLiterals", Tga({.type = 10, .width = 4}, {0x03, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4}),
                   kFormatRgb, 3, {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4}},
        DecodeCase{"RunCrossesScanLines",
                   Tga({.type = 10, .width = 2, .height = 2, .depth = 16}, {0x83, 0xFF, 0x7F}),
                   kFormatRgb, 3, std::vector<uint8_t>(12, 0xF8)},
        DecodeCase{"RunCutAtBufferEnd", Tga({.type = 10, .width = 2}, {0xFF, 1, 2, 3}), kFormatRgb,
                   3, {3, 2, 1, 3, 2, 1}},
        DecodeCase{"RunLengthGrey", Tga({.type = 11, .width = 3, .depth = 8}, {0x81, 5, 0x00, 6}),
                   kFormatLuminance, 1, {5, 5, 6}},
        DecodeCase{"RunLengthGreyAlpha", Tga({.type = 11, .width = 2, .depth = 16}, {0x81, 5, 6}),
                   kFormatLuminanceAlpha, 2, {5, 6, 5, 6}},
        DecodeCase{"RunLengthColourMapped",
                   Tga({.type = 9, .width = 3, .depth = 8, .colourMapType = 1,
                        .colourMapLength = 1, .colourMapBits = 24},
                       {1, 2, 3, 0x82, 0}),
                   kFormatRgb, 3, {3, 2, 1, 3, 2, 1, 3, 2, 1}},
        DecodeCase{"OriginBitNotConsulted", Tga({.width = 2, .descriptor = 0x20}, {1, 2, 3, 4, 5, 6}),
                   kFormatRgb, 3, {3, 2, 1, 6, 5, 4}}),
    [](const auto& param) { return std::string(param.param.name); });

struct RefusalCase {
    const char* name;
    std::vector<uint8_t> file;
    std::string error;
};

class TgaRefuses : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(TgaRefuses, WithAClearText) {
    const RefusalCase& c = GetParam();
    std::string error;
    EXPECT_FALSE(DecodeTga(c.file, "bad.tga", error).has_value());
    EXPECT_EQ(error, c.error);
}

std::vector<uint8_t> HeaderPrefix(size_t length) {
    std::vector<uint8_t> header = testing::TgaHeader({});
    header.resize(length);
    return header;
}

const std::string kTruncated = "truncated TGA file \"bad.tga\"!\n";

INSTANTIATE_TEST_SUITE_P(
    Tga, TgaRefuses,
    ::testing::Values(
        RefusalCase{"Empty", {}, kTruncated},
        RefusalCase{"ShortHeader", HeaderPrefix(17), kTruncated},
        RefusalCase{"UnknownType", Tga({.type = 4}, {1, 2, 3}), "unknown TGA image type 4!\n"},
        RefusalCase{"NoImageData", Tga({.type = 0}, {}), "no image data in \"bad.tga\"!\n"},
        RefusalCase{"ZeroWidth", Tga({.width = 0}, {}),
                    "unsupported TGA size 0x1 in \"bad.tga\"!\n"},
        RefusalCase{"HugeHeight", Tga({.height = 8193}, {}),
                    "unsupported TGA size 1x8193 in \"bad.tga\"!\n"},
        RefusalCase{"UndecodedDepth", Tga({.depth = 8}, {1}),
                    "unsupported TGA pixel depth 8 in \"bad.tga\"!\n"},
        RefusalCase{"IndexedWithoutMap", Tga({.type = 1, .depth = 8}, {0}),
                    "unsupported TGA colour map in \"bad.tga\"!\n"},
        RefusalCase{"SixteenBitMap",
                    Tga({.type = 1, .depth = 8, .colourMapType = 1, .colourMapLength = 1,
                         .colourMapBits = 16},
                        {1, 2, 0}),
                    "unsupported TGA colour map in \"bad.tga\"!\n"},
        RefusalCase{"IndexPastMap",
                    Tga({.type = 1, .depth = 8, .colourMapType = 1, .colourMapLength = 2,
                         .colourMapBits = 24},
                        {1, 2, 3, 4, 5, 6, 2}),
                    "TGA colour index outside the colour map in \"bad.tga\"!\n"},
        RefusalCase{"RunLengthIndexPastMap",
                    Tga({.type = 9, .depth = 8, .colourMapType = 1, .colourMapLength = 1,
                         .colourMapBits = 24},
                        {1, 2, 3, 0x80, 9}),
                    "TGA colour index outside the colour map in \"bad.tga\"!\n"},
        RefusalCase{"MapPastEnd",
                    Tga({.type = 1, .depth = 8, .colourMapType = 1, .colourMapLength = 60000,
                         .colourMapBits = 24},
                        {1, 2, 3}),
                    kTruncated},
        RefusalCase{"IdPastEnd", Tga({.idLength = 200}, {1, 2, 3}), kTruncated},
        RefusalCase{"PixelsCutShort", Tga({.width = 2}, {1, 2, 3, 4, 5}), kTruncated},
        RefusalCase{"LiteralPacketCutShort", Tga({.type = 10, .width = 4}, {0x03, 1, 2, 3, 4}),
                    kTruncated},
        RefusalCase{"RepeatPacketWithoutPixel", Tga({.type = 10, .width = 4}, {0x83, 1}),
                    kTruncated},
        RefusalCase{"PacketsEndEarly", Tga({.type = 10, .width = 4}, {0x80, 1, 2, 3}),
                    kTruncated}),
    [](const auto& param) { return std::string(param.param.name); });

// Damaged copies of valid files (bytes changed, files cut) are decoded or
// refused, never read out of bounds (this runs under AddressSanitizer).
TEST(TgaHostile, RandomDamageIsDecodedOrRefusedSafely) {
    const std::vector<std::vector<uint8_t>> seeds = {
        Tga({.type = 10, .width = 3, .height = 2}, {0x82, 1, 2, 3, 0x02, 4, 5, 6, 7, 8, 9, 1, 2, 3}),
        Tga({.type = 9, .width = 2, .height = 2, .depth = 8, .colourMapType = 1,
             .colourMapLength = 2, .colourMapBits = 24},
            {1, 2, 3, 4, 5, 6, 0x81, 0, 0x01, 1, 0}),
        Tga({.type = 11, .width = 2, .height = 2, .depth = 16}, {0x83, 7, 8}),
        Tga({.type = 2, .width = 2, .height = 1, .depth = 32}, {1, 2, 3, 4, 5, 6, 7, 8}),
    };
    std::mt19937 random(12345);
    for (int round = 0; round < 4000; ++round) {
        std::vector<uint8_t> file = seeds[round % seeds.size()];
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int c = 0; c < changes; ++c) {
            file[random() % file.size()] = static_cast<uint8_t>(random());
        }
        if (random() % 3 == 0) file.resize(random() % file.size());
        std::string error;
        const auto image = DecodeTga(file, "x.tga", error);
        if (image) {
            EXPECT_EQ(image->pixels.size(),
                      size_t(image->width) * image->height * image->components);
        } else {
            EXPECT_FALSE(error.empty());
        }
    }
}

TEST(ReadTga, ReadsAFileAndNamesAMissingOne) {
    testing::TempDir dir;
    const std::string path = (dir.path() / "small.tga").string();
    testing::WriteFile(path, Tga({.depth = 16}, {0xFF, 0x7F}));
    std::string error;
    const auto image = ReadTga(path, error);
    ASSERT_TRUE(image.has_value()) << error;
    EXPECT_EQ(image->pixels, (std::vector<uint8_t>{0xF8, 0xF8, 0xF8}));

    const std::string missing = (dir.path() / "missing.tga").string();
    EXPECT_FALSE(ReadTga(missing, error).has_value());
    EXPECT_EQ(error, "couldn't open \"" + missing + "\"!\n");
}

}  // namespace
}  // namespace trakomer::gl

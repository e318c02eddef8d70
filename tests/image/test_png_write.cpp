// Writing decoded pictures as PNG: every kind of bitmap the library decodes
// comes back from the PNG pixel for pixel, and the file carries no gamma or
// chromaticity chunk. Natively the encoder is stb_image_write; under Wine it
// is the Windows Imaging Component's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bmp_bytes.h"
#include "png_pixels.h"
#include "test_files.h"
#include "vn_image.h"
#include "vn_png_write.h"

namespace {

using bmptest::Bytes;

// Pixel bytes for a picture of this size and depth: varied, rows padded.
Bytes Rows(int32_t width, int32_t height, int bitCount, unsigned seed)
{
    Bytes b;
    b.add(vntest::PatternBytes(bmptest::RowBytes(width, bitCount) * static_cast<size_t>(height < 0 ? -height : height), seed));
    return b;
}

TEST(PngWrite, EveryBitmapKindComesBackPixelForPixelWithoutColourChunks)
{
    using namespace bmptest;
    Bytes info565 = InfoHeader(5, 3, 16, 3);
    info565.u32(0xF800).u32(0x07E0).u32(0x001F);
    const struct {
        const char* what;
        Bytes file;
    } rows[] = {
        {"1-bit", BmpFile(InfoHeader(9, 3, 1, 0), RampPalette(2), Rows(9, 3, 1, 1))},
        {"4-bit", BmpFile(InfoHeader(5, 4, 4, 0), RampPalette(16), Rows(5, 4, 4, 2))},
        {"8-bit", BmpFile(InfoHeader(7, 3, 8, 0), RampPalette(256), Rows(7, 3, 8, 3))},
        {"16-bit 5-5-5", BmpFile(InfoHeader(3, 4, 16, 0), Bytes(), Rows(3, 4, 16, 4))},
        {"16-bit 5-6-5", BmpFile(info565, Bytes(), Rows(5, 3, 16, 5))},
        {"24-bit", BmpFile(InfoHeader(3, 2, 24, 0), Bytes(), Rows(3, 2, 24, 6))},
        {"24-bit top-down", BmpFile(InfoHeader(4, -3, 24, 0), Bytes(), Rows(4, 3, 24, 7))},
        {"32-bit", BmpFile(InfoHeader(2, 5, 32, 0), Bytes(), Rows(2, 5, 32, 8))},
    };
    for (const auto& row : rows) {
        VnImage image(row.file.data(), static_cast<uint32_t>(row.file.size()), ImageTypeBmp);
        ASSERT_TRUE(image.dibBlock != nullptr) << row.what << ": " << image.imageInfo.lastError;
        std::vector<uint8_t> png;
        const char* error = nullptr;
        ASSERT_TRUE(VnWritePng(image, &png, &error)) << row.what << ": " << error;

        for (const std::string& type : pngtest::ChunkTypes(png))
            EXPECT_TRUE(type != "gAMA" && type != "cHRM") << row.what << ": " << type;
        // 8 bits a channel, colour type 2 (RGB), not interlaced.
        EXPECT_EQ(8, png[24]) << row.what;
        EXPECT_EQ(2, png[25]) << row.what;
        EXPECT_EQ(0, png[28]) << row.what;

        pngtest::Pixels pixels;
        ASSERT_TRUE(pngtest::DecodePng(png, pixels)) << row.what;
        const pngtest::Pixels decoded = pngtest::PixelsOf(image);
        EXPECT_EQ(decoded.width, pixels.width) << row.what;
        EXPECT_EQ(decoded.height, pixels.height) << row.what;
        EXPECT_EQ(decoded.rgb, pixels.rgb) << row.what;
    }

    // An image without pixels is refused.
    VnImage empty(ImageTypeBmp);
    std::vector<uint8_t> png = {1, 2, 3};
    const char* error = nullptr;
    EXPECT_FALSE(VnWritePng(empty, &png, &error));
    EXPECT_STREQ("there is no picture to write", error);
    EXPECT_TRUE(png.empty());
}

// A chunk with its length, type, data and a CRC that nothing here checks.
std::vector<uint8_t> Chunk(const char* type, const std::vector<uint8_t>& data)
{
    Bytes b;
    const uint32_t n = static_cast<uint32_t>(data.size());
    b.u8(static_cast<uint8_t>(n >> 24)).u8(static_cast<uint8_t>(n >> 16)).u8(static_cast<uint8_t>(n >> 8)).u8(static_cast<uint8_t>(n));
    b.insert(b.end(), type, type + 4);
    b.add(data);
    b.u32(0x12345678);
    return b;
}

TEST(PngWrite, ColourChunksAreDroppedAndEverythingElseKeptAsItWas)
{
    const std::vector<uint8_t> signature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    auto file = [&](std::initializer_list<std::vector<uint8_t>> chunks) {
        std::vector<uint8_t> f = signature;
        for (const auto& c : chunks)
            f.insert(f.end(), c.begin(), c.end());
        return f;
    };
    const auto ihdr = Chunk("IHDR", std::vector<uint8_t>(13, 1));
    const auto gama = Chunk("gAMA", {0, 0, 0xB1, 0x8F});
    const auto chrm = Chunk("cHRM", std::vector<uint8_t>(32, 7));
    const auto srgb = Chunk("sRGB", {0});
    const auto text = Chunk("tEXt", {'a', 0, 'b'});
    const auto idat = Chunk("IDAT", std::vector<uint8_t>(20, 9));
    const auto iend = Chunk("IEND", {});

    std::vector<uint8_t> png = file({ihdr, gama, chrm, srgb, text, idat, gama, iend});
    ASSERT_TRUE(VnDropPngColourChunks(&png));
    EXPECT_EQ(file({ihdr, srgb, text, idat, iend}), png);

    // Refused, and left as they were: not a PNG, a chunk running past the
    // end, a length near 4 GiB.
    std::vector<uint8_t> broken[] = {{'G', 'I', 'F', '8', '9', 'a'}, file({ihdr, gama}), file({ihdr, gama})};
    broken[1].pop_back();
    broken[2][8 + ihdr.size()] = 0xFF;
    for (auto& bad : broken) {
        const std::vector<uint8_t> before = bad;
        EXPECT_FALSE(VnDropPngColourChunks(&bad));
        EXPECT_EQ(before, bad);
    }
}

}  // namespace

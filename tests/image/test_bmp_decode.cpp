#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "bmp_bytes.h"
#include "vn_byte_stream.h"
#include "vn_image.h"
#include "vn_image_bmp.h"

using bmptest::Bytes;
using bmptest::BmpFile;
using bmptest::CoreHeader;
using bmptest::FileHeader;
using bmptest::InfoHeader;

namespace {

// Decodes the bytes on a fresh codec object, as the front-end does.
bool DecodeBytes(const Bytes& bytes, VnImageBMP& image, int32_t* endPosition = nullptr)
{
    VnByteStream stream(bytes.data(), static_cast<uint32_t>(bytes.size()));
    bool ok = image.Decode(&stream);
    if (endPosition)
        *endPosition = stream.Tell();
    return ok;
}

std::string FailureOf(const Bytes& bytes)
{
    VnImageBMP image;
    if (DecodeBytes(bytes, image))
        return "decoded";
    return image.imageInfo.lastError;
}

// Row y (0 = bottom) of an 8-bit image as a string of indices.
std::vector<uint8_t> Row(const VnImage& image, int y, int count)
{
    const uint8_t* p = image.PixelBase() + y * image.imageInfo.rowStride;
    return std::vector<uint8_t>(p, p + count);
}

TEST(BmpDecodeFailures, EveryCauseHasItsMessage)
{
    Bytes thirteen = FileHeader(0);
    thirteen.pop_back();
    EXPECT_EQ("Not a BMP", FailureOf(thirteen));
    EXPECT_EQ("Not a BMP", FailureOf(Bytes()));
    for (size_t size : {14u, 20u, 53u}) {
        Bytes shortInfo = FileHeader(0);
        shortInfo.add(InfoHeader(2, 2, 24, BI_RGB));
        shortInfo.resize(size);
        EXPECT_EQ("Error reading BMP info", FailureOf(shortInfo)) << size;
    }
    EXPECT_EQ("Can't allocate memory", FailureOf(BmpFile(InfoHeader(0, 2, 8, BI_RGB), {}, {})));
    EXPECT_EQ("Can't allocate memory", FailureOf(BmpFile(InfoHeader(-5, 2, 8, BI_RGB), {}, {})));
    EXPECT_EQ("Can't allocate memory", FailureOf(BmpFile(InfoHeader(4, 0, 8, BI_RGB), {}, {})));
    EXPECT_EQ("Can't allocate memory",
              FailureOf(BmpFile(InfoHeader(60000, 60000, 24, BI_RGB), {}, {})));
    EXPECT_EQ("Can't allocate memory",
              FailureOf(BmpFile(InfoHeader(0x7FFFFFFF, 0x7FFFFFFF, 32, BI_BITFIELDS), {}, {})));
    EXPECT_EQ("compression type not supported",
              FailureOf(BmpFile(InfoHeader(2, 2, 8, BI_BITFIELDS), {}, Bytes().fill(8, 0))));
    EXPECT_EQ("compression type not supported",
              FailureOf(BmpFile(InfoHeader(2, 2, 4, 7), {}, Bytes().fill(8, 0))));
    EXPECT_EQ("unknown compression",
              FailureOf(BmpFile(InfoHeader(2, 2, 24, BI_RLE8), {}, Bytes().fill(16, 0))));
    EXPECT_EQ("unknown compression",
              FailureOf(BmpFile(InfoHeader(2, 2, 32, BI_RLE4), {}, Bytes().fill(16, 0))));
    // Run-length data cannot be stored top row first.
    EXPECT_EQ("compression type not supported",
              FailureOf(BmpFile(InfoHeader(2, -2, 8, BI_RLE8), {}, Bytes{0, 1})));
}

TEST(BmpDecodeFailures, NullStreamFailsWithoutMessage)
{
    VnImageBMP image;
    EXPECT_FALSE(image.Decode(static_cast<VnByteStream*>(nullptr)));
    EXPECT_STREQ("", image.imageInfo.lastError);
    BITMAPINFOHEADER header;
    EXPECT_FALSE(image.ReadInfoHeader(nullptr, &header));
    VnByteStream stream(reinterpret_cast<const uint8_t*>("x"), 1);
    EXPECT_FALSE(image.ReadInfoHeader(&stream, nullptr));
}

TEST(BmpDecode, TwentyFourBitRowsAndResolution)
{
    Bytes pixels;
    // Width 3: 9 bytes of pixels and 3 of padding per row.
    pixels.add({1, 2, 3, 4, 5, 6, 7, 8, 9}).fill(3, 0);
    pixels.add({10, 11, 12, 13, 14, 15, 16, 17, 18}).fill(3, 0);
    VnImageBMP image;
    ASSERT_TRUE(DecodeBytes(BmpFile(InfoHeader(3, 2, 24, BI_RGB, 3780, 0), {}, pixels), image));
    EXPECT_EQ(24, image.header.biBitCount);
    EXPECT_EQ(40u, image.header.biSize);
    EXPECT_EQ(96, image.imageInfo.xDpi);
    EXPECT_EQ(0, image.imageInfo.yDpi);
    EXPECT_EQ(0, memcmp(pixels.data(), image.PixelBase(), 24));
    RGBQUAD top = image.PixelColorAt(2, 1);
    EXPECT_EQ(16, top.rgbBlue);
    EXPECT_EQ(18, top.rgbRed);
}

TEST(BmpDecode, ShortPixelDataLeavesZeroNotGarbage)
{
    Bytes pixels{0xAB, 0xAB, 0xAB};
    VnImageBMP image;
    ASSERT_TRUE(DecodeBytes(BmpFile(InfoHeader(20, 20, 24, BI_RGB), {}, pixels), image));
    EXPECT_EQ(0xAB, image.PixelBase()[2]);
    for (uint32_t i = 3; i < image.header.biSizeImage; ++i)
        ASSERT_EQ(0, image.PixelBase()[i]) << i;
}

TEST(BmpDecode, RowsCutShortByTheGapAreZeroToo)
{
    // The stream holds more bytes than the pixel array (a big palette) but
    // the pixel data itself ends 600 bytes early.
    Bytes pixels;
    pixels.fill(1000, 0x77);
    VnImageBMP image;
    ASSERT_TRUE(DecodeBytes(BmpFile(InfoHeader(40, 40, 8, BI_RGB), bmptest::RampPalette(256), pixels), image));
    for (uint32_t i = 0; i < image.header.biSizeImage; ++i)
        ASSERT_EQ(i < 1000 ? 0x77 : 0, image.PixelBase()[i]) << i;
    // The same cut in a top-down file: the rows that arrived are turned.
    VnImageBMP topDown;
    ASSERT_TRUE(DecodeBytes(BmpFile(InfoHeader(40, -40, 8, BI_RGB), bmptest::RampPalette(256), pixels), topDown));
    EXPECT_EQ(0x77, topDown.PixelIndexAt(39, 39));
    EXPECT_EQ(0x77, topDown.PixelIndexAt(0, 15));
    EXPECT_EQ(0, topDown.PixelIndexAt(0, 14));
    EXPECT_EQ(0, topDown.PixelIndexAt(39, 0));
}

TEST(BmpDecode, HeaderlessBitmapTakesPixelsAfterThePalette)
{
    Bytes bytes = InfoHeader(2, 1, 8, BI_RGB);
    bytes.add(bmptest::RampPalette(256)).add({7, 9, 0, 0});
    VnImageBMP image;
    ASSERT_TRUE(DecodeBytes(bytes, image));
    EXPECT_EQ(8, image.header.biBitCount);
    EXPECT_EQ(7, image.PixelIndexAt(0, 0));
    EXPECT_EQ(9, image.PixelIndexAt(1, 0));
    EXPECT_EQ(255, image.PaletteEntry(255).rgbRed);
}

TEST(BmpDecode, OffBitsZeroAndSet)
{
    Bytes palette = bmptest::RampPalette(2);
    // bfOffBits 0: the pixel row right after the palette.
    Bytes direct = FileHeader(0);
    direct.add(InfoHeader(8, 1, 1, BI_RGB)).add(palette).add({0xA5, 0, 0, 0});
    VnImageBMP a;
    ASSERT_TRUE(DecodeBytes(direct, a));
    EXPECT_EQ(0xA5, a.PixelBase()[0]);
    // bfOffBits set: the 5 bytes between palette and pixels are skipped.
    Bytes gap = FileHeader(14 + 40 + 8 + 5);
    gap.add(InfoHeader(8, 1, 1, BI_RGB)).add(palette).fill(5, 0xEE).add({0x3C, 0, 0, 0});
    VnImageBMP b;
    ASSERT_TRUE(DecodeBytes(gap, b));
    EXPECT_EQ(0x3C, b.PixelBase()[0]);
    EXPECT_EQ(1, b.PixelIndexAt(2, 0));
    EXPECT_EQ(0, b.PixelIndexAt(1, 0));
}

TEST(BmpDecode, DeclaredColourCountDoesNotShrinkThePalette)
{
    Bytes palette = bmptest::RampPalette(256);
    Bytes bytes = BmpFile(InfoHeader(1, 1, 8, BI_RGB, 2835, 2835, 40, 16), palette, {200, 0, 0, 0});
    VnImageBMP image;
    ASSERT_TRUE(DecodeBytes(bytes, image));
    EXPECT_EQ(256u, image.header.biClrUsed);
    EXPECT_EQ(200, image.PixelIndexAt(0, 0));
    EXPECT_EQ(palette[4 * 200 + 2], image.PaletteEntry(200).rgbRed);
}

TEST(BmpDecode, StartsWhereTheStreamStands)
{
    Bytes bmp = BmpFile(InfoHeader(1, 1, 24, BI_RGB), {}, {1, 2, 3, 0});
    Bytes embedded;
    embedded.fill(7, 0x55).add(bmp).fill(3, 0x66);
    VnByteStream stream(embedded.data(), static_cast<uint32_t>(embedded.size()));
    ASSERT_EQ(0, stream.Seek(7, SEEK_SET));
    VnImageBMP image;
    ASSERT_TRUE(image.Decode(&stream));
    EXPECT_EQ(3, image.PixelColorAt(0, 0).rgbRed);

    // The same through an open FILE, which stays open.
    FILE* file = tmpfile();
    ASSERT_NE(nullptr, file);
    fwrite(embedded.data(), 1, embedded.size(), file);
    fseek(file, 7, SEEK_SET);
    VnImage loaded(ImageTypeBmp);
    ASSERT_TRUE(loaded.Decode(file, ImageTypeBmp));
    EXPECT_EQ(1, loaded.PixelColorAt(0, 0).rgbBlue);
    EXPECT_EQ(7L + 14 + 40 + 4, ftell(file));
    fclose(file);
}

TEST(BmpDecode, CoreHeaderPaletteIsWidened)
{
    Bytes palette;
    for (int i = 0; i < 16; ++i)
        palette.u8(static_cast<uint8_t>(i)).u8(static_cast<uint8_t>(16 + i)).u8(static_cast<uint8_t>(32 + i));
    Bytes bytes = BmpFile(CoreHeader(3, 1, 4), palette, {0x1F, 0x20, 0, 0});
    VnImageBMP image;
    ASSERT_TRUE(DecodeBytes(bytes, image));
    EXPECT_EQ(4, image.header.biBitCount);
    EXPECT_EQ(3, image.header.biWidth);
    EXPECT_EQ(0, image.imageInfo.xDpi);
    EXPECT_EQ(0, image.imageInfo.yDpi);
    RGBQUAD c = image.PixelColorAt(1, 0);
    EXPECT_EQ(15, c.rgbBlue);
    EXPECT_EQ(31, c.rgbGreen);
    EXPECT_EQ(47, c.rgbRed);
    EXPECT_EQ(0, c.rgbReserved);
    EXPECT_EQ(2, image.PixelIndexAt(2, 0));
    EXPECT_EQ(1, image.PaletteEntry(1).rgbBlue);
}

TEST(BmpDecode, SmallCoreBitmapNeedsNoFortyHeaderBytes)
{
    // 14 + 12 + 4 bytes: a complete 1 x 1 core bitmap.
    Bytes bytes = BmpFile(CoreHeader(1, 1, 24), {}, {10, 20, 30, 0});
    ASSERT_EQ(30u, bytes.size());
    VnImageBMP image;
    ASSERT_TRUE(DecodeBytes(bytes, image));
    EXPECT_EQ(30, image.PixelColorAt(0, 0).rgbRed);
    Bytes cut = bytes;
    cut.resize(14 + 11);
    EXPECT_EQ("Error reading BMP info", FailureOf(cut));
}

TEST(BmpDecode, LongInfoHeadersAreSkippedBeforeThePalette)
{
    for (uint32_t size : {108u, 124u, 64u}) {
        Bytes bytes = BmpFile(InfoHeader(1, 1, 1, BI_RGB, 2835, 2835, size),
                              Bytes().quad(1, 2, 3).quad(200, 201, 202), {0x80, 0, 0, 0});
        VnImageBMP image;
        ASSERT_TRUE(DecodeBytes(bytes, image)) << size;
        EXPECT_EQ(40u, image.header.biSize);
        EXPECT_EQ(201, image.PixelColorAt(0, 0).rgbGreen) << size;
        EXPECT_EQ(3, image.PaletteEntry(0).rgbBlue) << size;
    }
}

TEST(BmpDecode, TwoBitFileBecomesAnEmptyFourBitImage)
{
    Bytes bytes = BmpFile(InfoHeader(4, 2, 2, BI_RGB), bmptest::RampPalette(16), {0xFF, 0xFF, 0xFF, 0xFF});
    VnImageBMP image;
    ASSERT_TRUE(DecodeBytes(bytes, image));
    EXPECT_EQ(4, image.header.biBitCount);
    EXPECT_EQ(255, image.PaletteEntry(15).rgbRed);
    for (uint32_t i = 0; i < image.header.biSizeImage; ++i)
        EXPECT_EQ(0, image.PixelBase()[i]);
}

TEST(BmpDecode, SixteenBitFilesWidenWithTheirMasks)
{
    // Width 3: rows of 8 bytes in the file, 12 in the image.
    Bytes pixels;
    pixels.u16(0x7FFF).u16(0x001F).u16(0x7C00).u16(0);
    pixels.u16(0x03E0).u16(0).u16(0).u16(0);
    VnImageBMP plain;
    ASSERT_TRUE(DecodeBytes(BmpFile(InfoHeader(3, 2, 16, BI_RGB), {}, pixels), plain));
    EXPECT_EQ(24, plain.header.biBitCount);
    EXPECT_EQ(12u, plain.imageInfo.rowStride);
    const uint8_t row0[12] = {248, 248, 248, 248, 0, 0, 0, 0, 248, 0, 0, 0};
    EXPECT_EQ(0, memcmp(row0, plain.PixelBase(), 12));
    EXPECT_EQ(248, plain.PixelColorAt(0, 1).rgbGreen);

    // 5-6-5 bit fields, masks right after a 40-byte header.
    Bytes masks;
    masks.u32(0xF800).u32(0x07E0).u32(0x001F);
    Bytes p565;
    p565.u16(0xFFFF).u16(0x07E0);
    VnImageBMP fields;
    ASSERT_TRUE(DecodeBytes(BmpFile(InfoHeader(2, 1, 16, BI_BITFIELDS), masks, p565), fields));
    RGBQUAD white = fields.PixelColorAt(0, 0), green = fields.PixelColorAt(1, 0);
    EXPECT_EQ(248, white.rgbRed);
    EXPECT_EQ(252, white.rgbGreen);
    EXPECT_EQ(248, white.rgbBlue);
    EXPECT_EQ(0, green.rgbRed);
    EXPECT_EQ(252, green.rgbGreen);

    // Masks inside a 124-byte header, blue and red swapped.
    Bytes v5 = InfoHeader(1, 1, 16, BI_BITFIELDS, 2835, 2835, 124);
    Bytes swapped;
    swapped.u32(0x001F).u32(0x03E0).u32(0x7C00);
    memcpy(&v5[40], swapped.data(), 12);
    VnImageBMP inside;
    ASSERT_TRUE(DecodeBytes(BmpFile(v5, {}, Bytes().u16(0x001F).u16(0)), inside));
    EXPECT_EQ(248, inside.PixelColorAt(0, 0).rgbRed);
    EXPECT_EQ(0, inside.PixelColorAt(0, 0).rgbBlue);
}

TEST(BmpDecode, ThirtyTwoBitFiles)
{
    Bytes pixels{1, 2, 3, 4, 5, 6, 7, 8};
    // The common uncompressed form: blue, green, red, unused.
    VnImageBMP rgb;
    ASSERT_TRUE(DecodeBytes(BmpFile(InfoHeader(2, 1, 32, BI_RGB), {}, pixels), rgb));
    EXPECT_EQ(24, rgb.header.biBitCount);
    const uint8_t expect[8] = {1, 2, 3, 5, 6, 7, 0, 0};
    EXPECT_EQ(0, memcmp(expect, rgb.PixelBase(), 8));

    Bytes usual;
    usual.u32(0x00FF0000).u32(0x0000FF00).u32(0x000000FF);
    VnImageBMP fields;
    ASSERT_TRUE(DecodeBytes(BmpFile(InfoHeader(2, 1, 32, BI_BITFIELDS), usual, pixels), fields));
    EXPECT_EQ(0, memcmp(expect, fields.PixelBase(), 8));

    // Red in the top byte, blue in the second: honoured, not taken as B, G, R.
    Bytes unusual;
    unusual.u32(0xFF000000).u32(0x00FF0000).u32(0x0000FF00);
    VnImageBMP other;
    ASSERT_TRUE(DecodeBytes(BmpFile(InfoHeader(2, 1, 32, BI_BITFIELDS), unusual, pixels), other));
    RGBQUAD c = other.PixelColorAt(1, 0);
    EXPECT_EQ(8, c.rgbRed);
    EXPECT_EQ(7, c.rgbGreen);
    EXPECT_EQ(6, c.rgbBlue);

    // Many rows pass through the row buffer in several blocks.
    const int width = 300, height = 100;
    Bytes big;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            big.u8(static_cast<uint8_t>(x)).u8(static_cast<uint8_t>(y)).u8(static_cast<uint8_t>(x + y)).u8(0);
    VnImageBMP large;
    ASSERT_TRUE(DecodeBytes(BmpFile(InfoHeader(width, height, 32, BI_RGB), {}, big), large));
    for (int y = 0; y < height; y += 33)
        for (int x = 0; x < width; x += 37) {
            RGBQUAD p = large.PixelColorAt(x, y);
            ASSERT_EQ(static_cast<uint8_t>(x), p.rgbBlue);
            ASSERT_EQ(static_cast<uint8_t>(y), p.rgbGreen);
            ASSERT_EQ(static_cast<uint8_t>(x + y), p.rgbRed);
        }
}

TEST(BmpDecode, TopDownFilesAreTurnedUpright)
{
    // Three rows, top row first in the file.
    Bytes pixels{1, 1, 0, 0, 2, 2, 0, 0, 3, 3, 0, 0};
    VnImageBMP image;
    ASSERT_TRUE(DecodeBytes(BmpFile(InfoHeader(2, -3, 8, BI_RGB), bmptest::RampPalette(256), pixels), image));
    EXPECT_EQ(3, image.header.biHeight);
    EXPECT_EQ(3, image.PixelIndexAt(0, 0));
    EXPECT_EQ(2, image.PixelIndexAt(1, 1));
    EXPECT_EQ(1, image.PixelIndexAt(0, 2));

    Bytes wide;
    wide.u16(0x7C00).u16(0).u16(0x001F).u16(0);
    VnImageBMP sixteen;
    ASSERT_TRUE(DecodeBytes(BmpFile(InfoHeader(1, -2, 16, BI_RGB), {}, wide), sixteen));
    EXPECT_EQ(248, sixteen.PixelColorAt(0, 1).rgbRed);
    EXPECT_EQ(248, sixteen.PixelColorAt(0, 0).rgbBlue);
}

// --- Run-length data -------------------------------------------------------

Bytes Rle8File(int32_t width, int32_t height, const Bytes& codes)
{
    return BmpFile(InfoHeader(width, height, 8, BI_RLE8), bmptest::RampPalette(256), codes);
}

TEST(BmpRle8, EncodedAndAbsoluteRuns)
{
    Bytes codes{0x03, 0x07, 0x00, 0x00, 0x00, 0x03, 0x01, 0x02, 0x03, 0x00, 0x00, 0x01};
    VnImageBMP image;
    int32_t end = 0;
    Bytes file = Rle8File(4, 2, codes);
    ASSERT_TRUE(DecodeBytes(file, image, &end));
    EXPECT_EQ((std::vector<uint8_t>{7, 7, 7, 0}), Row(image, 0, 4));
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3, 0}), Row(image, 1, 4));
    // The stream stands right after the end-of-bitmap code.
    EXPECT_EQ(static_cast<int32_t>(file.size()), end);
    Bytes trailing = file;
    trailing.fill(5000, 0x42);
    VnImageBMP again;
    ASSERT_TRUE(DecodeBytes(trailing, again, &end));
    EXPECT_EQ(static_cast<int32_t>(file.size()), end);
}

TEST(BmpRle8, DeltaMovesRightAndUp)
{
    Bytes codes{0x01, 0x05, 0x00, 0x02, 0x02, 0x01, 0x01, 0x09, 0x00, 0x01};
    VnImageBMP image;
    ASSERT_TRUE(DecodeBytes(Rle8File(5, 2, codes), image));
    EXPECT_EQ((std::vector<uint8_t>{5, 0, 0, 0, 0}), Row(image, 0, 5));
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0, 9, 0}), Row(image, 1, 5));
}

TEST(BmpRle8, RowsPastTheTopReuseTheLastRow)
{
    // Two end-of-lines carry y to 2 on a 2-row image: the run lands in row 0,
    // the row used last.
    Bytes codes{0x01, 0x04, 0x00, 0x00, 0x00, 0x00, 0x02, 0x08, 0x00, 0x01};
    VnImageBMP image;
    ASSERT_TRUE(DecodeBytes(Rle8File(3, 2, codes), image));
    EXPECT_EQ((std::vector<uint8_t>{8, 8, 0}), Row(image, 0, 3));
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0}), Row(image, 1, 3));
}

TEST(BmpRle8, RunsPastTheRowEndAreClippedAndTheirCodesConsumed)
{
    // A run of 10 on width 3; an absolute run of 5 from column 1; then a run
    // on the next row proves every code was consumed in step.
    Bytes codes{0x0A, 0x01, 0x00, 0x00, 0x01, 0x09, 0x00, 0x05, 11, 12, 13, 14, 15, 0x00,
                0x00, 0x00, 0x02, 0x06, 0x00, 0x01};
    VnImageBMP image;
    ASSERT_TRUE(DecodeBytes(Rle8File(3, 3, codes), image));
    EXPECT_EQ((std::vector<uint8_t>{1, 1, 1, 0}), Row(image, 0, 4));
    EXPECT_EQ((std::vector<uint8_t>{9, 11, 12, 0}), Row(image, 1, 4));
    EXPECT_EQ((std::vector<uint8_t>{6, 6, 0, 0}), Row(image, 2, 4));
    // A delta far past the end writes nothing; x stays clipped.
    Bytes far{0x00, 0x02, 0xFF, 0x00, 0x02, 0x07, 0x00, 0x01};
    VnImageBMP clipped;
    ASSERT_TRUE(DecodeBytes(Rle8File(3, 1, far), clipped));
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0, 0}), Row(clipped, 0, 4));
}

TEST(BmpRle8, DataThatEndsEarlyEndsTheBitmap)
{
    const Bytes full{0x02, 0x04, 0x00, 0x04, 1, 2, 3, 4};
    for (size_t keep = 0; keep <= full.size(); ++keep) {
        Bytes codes(full);
        codes.resize(keep);
        VnImageBMP image;
        ASSERT_TRUE(DecodeBytes(Rle8File(8, 2, codes), image)) << keep;
        std::vector<uint8_t> expect(8, 0);
        if (keep >= 2)
            expect[0] = expect[1] = 4;
        for (size_t i = 4; i < keep; ++i)
            expect[i - 2] = static_cast<uint8_t>(i - 3);
        EXPECT_EQ(expect, Row(image, 0, 8)) << keep;
        EXPECT_EQ(std::vector<uint8_t>(8, 0), Row(image, 1, 8)) << keep;
    }
}

Bytes Rle4File(int32_t width, int32_t height, const Bytes& codes)
{
    return BmpFile(InfoHeader(width, height, 4, BI_RLE4), bmptest::RampPalette(16), codes);
}

std::vector<uint8_t> Indices(const VnImage& image, int y, int count)
{
    std::vector<uint8_t> out;
    for (int x = 0; x < count; ++x)
        out.push_back(image.PixelIndexAt(x, y));
    return out;
}

TEST(BmpRle4, RunsOnEvenColumns)
{
    // Encoded run 0x5A x5; end of line; absolute run of 4 (2 bytes, padded);
    // absolute run of 6 (3 bytes + 1 padding byte would be for odd bytes).
    Bytes codes{0x05, 0x5A, 0x00, 0x00, 0x00, 0x04, 0x12, 0x34, 0x00, 0x00,
                0x00, 0x06, 0xAB, 0xCD, 0xEF, 0x00, 0x00, 0x01};
    VnImageBMP image;
    ASSERT_TRUE(DecodeBytes(Rle4File(7, 3, codes), image));
    EXPECT_EQ((std::vector<uint8_t>{5, 10, 5, 10, 5, 0, 0}), Indices(image, 0, 7));
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3, 4, 0, 0, 0}), Indices(image, 1, 7));
    EXPECT_EQ((std::vector<uint8_t>{10, 11, 12, 13, 14, 15, 0}), Indices(image, 2, 7));
}

TEST(BmpRle4, RunsOnOddColumnsArePlacedColumnByColumn)
{
    // A run of 3 leaves x odd; the next run starts with the high nibble of
    // its value all the same; an absolute run of 3 (2 bytes, no padding),
    // then a delta by 1.
    Bytes codes{0x03, 0x12, 0x02, 0x34, 0x00, 0x03, 0x56, 0x70, 0x00, 0x02,
                0x01, 0x00, 0x01, 0x90, 0x00, 0x01};
    VnImageBMP image;
    ASSERT_TRUE(DecodeBytes(Rle4File(12, 1, codes), image));
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 1, 3, 4, 5, 6, 7, 0, 9, 0, 0}), Indices(image, 0, 12));
    // Absolute run of 5: three data bytes and one padding byte; the next
    // run starts on an odd column with its value's high nibble.
    Bytes five{0x00, 0x05, 0x12, 0x34, 0x5C, 0xFF, 0x01, 0x60, 0x00, 0x01};
    VnImageBMP odd;
    ASSERT_TRUE(DecodeBytes(Rle4File(8, 1, five), odd));
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 0, 0}), Indices(odd, 0, 8));
}

TEST(BmpRle4, ClippingAndEarlyEnd)
{
    Bytes codes{0x09, 0x77, 0x00, 0x00, 0x00, 0x05, 0x12, 0x34, 0x50, 0x00, 0x01, 0x66};
    VnImageBMP image;
    ASSERT_TRUE(DecodeBytes(Rle4File(3, 3, codes), image));
    EXPECT_EQ((std::vector<uint8_t>{7, 7, 7}), Indices(image, 0, 3));
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3}), Indices(image, 1, 3));
    // The padding nibbles of a row are not written past the width.
    EXPECT_EQ(0x70, image.PixelBase()[1]);
    EXPECT_EQ(0x30, image.PixelBase()[image.imageInfo.rowStride + 1]);
    // The run of 1 after the padding byte lands on row 1 at column 3: clipped.
    // Data cut in the middle of an absolute run still decodes.
    Bytes cut{0x00, 0x06, 0x12};
    VnImageBMP partial;
    ASSERT_TRUE(DecodeBytes(Rle4File(6, 1, cut), partial));
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 0, 0, 0, 0}), Indices(partial, 0, 6));
}

// --- Front-end -------------------------------------------------------------

Bytes SmallRgbFile(uint8_t blue)
{
    return BmpFile(InfoHeader(1, 1, 24, BI_RGB), {}, {blue, 2, 3, 0});
}

TEST(ImageLoading, FromMemory)
{
    Bytes* buffer = new Bytes(SmallRgbFile(9));
    VnImage image(buffer->data(), static_cast<uint32_t>(buffer->size()), ImageTypeBmp);
    delete buffer; // the image owns its own copy
    ASSERT_NE(nullptr, image.dibBlock);
    EXPECT_EQ(24, image.header.biBitCount);
    EXPECT_STREQ("", image.imageInfo.lastError);
    EXPECT_EQ(9, image.PixelColorAt(0, 0).rgbBlue);
    EXPECT_EQ(ImageTypeBmp, image.imageInfo.imageType);
    EXPECT_EQ(72, image.imageInfo.xDpi);

    const uint8_t ten[10] = {'B', 'M'};
    VnImage broken(ten, sizeof(ten), ImageTypeBmp);
    EXPECT_EQ(nullptr, broken.dibBlock);
    EXPECT_STREQ("Not a BMP", broken.imageInfo.lastError);

    Bytes good = SmallRgbFile(1);
    VnImage other(good.data(), static_cast<uint32_t>(good.size()), 1);
    EXPECT_EQ(nullptr, other.dibBlock);
    EXPECT_STREQ("Unsupported operation for this format", other.imageInfo.lastError);

    VnImage none(static_cast<const uint8_t*>(nullptr), 0, ImageTypeBmp);
    EXPECT_EQ(nullptr, none.dibBlock);
}

TEST(ImageLoading, FailuresKeepThePictureSuccessesReplaceIt)
{
    Bytes first = SmallRgbFile(1);
    VnImage image(first.data(), static_cast<uint32_t>(first.size()), ImageTypeBmp);
    ASSERT_NE(nullptr, image.dibBlock);
    const uint8_t junk[5] = {1, 2, 3, 4, 5};
    EXPECT_FALSE(image.Decode(junk, sizeof(junk), ImageTypeBmp));
    EXPECT_STREQ("Not a BMP", image.imageInfo.lastError);
    ASSERT_NE(nullptr, image.dibBlock);
    EXPECT_EQ(1, image.PixelColorAt(0, 0).rgbBlue);

    EXPECT_FALSE(image.Decode(static_cast<VnByteStream*>(nullptr), ImageTypeBmp));
    EXPECT_STREQ("", image.imageInfo.lastError);

    Bytes second = BmpFile(InfoHeader(2, 2, 8, BI_RGB), bmptest::RampPalette(256), Bytes().fill(8, 4));
    EXPECT_TRUE(image.Decode(second.data(), static_cast<uint32_t>(second.size()), ImageTypeBmp));
    EXPECT_EQ(8, image.header.biBitCount);
    EXPECT_EQ(4, image.PixelIndexAt(1, 1));
    EXPECT_STREQ("", image.imageInfo.lastError);
}

TEST(ImageLoading, FromFileNames)
{
    char path[] = "/tmp/vn_load_XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    Bytes bytes = SmallRgbFile(77);
    ASSERT_EQ(static_cast<ssize_t>(bytes.size()), write(fd, bytes.data(), bytes.size()));
    close(fd);

    VnImage byName(path, ImageTypeBmp);
    ASSERT_NE(nullptr, byName.dibBlock);
    EXPECT_EQ(77, byName.PixelColorAt(0, 0).rgbBlue);

    std::wstring wide(path, path + strlen(path));
    VnImage byWideName(ImageTypeBmp);
    EXPECT_TRUE(byWideName.Load(wide.c_str(), ImageTypeBmp));
    EXPECT_EQ(77, byWideName.PixelColorAt(0, 0).rgbBlue);

    VnByteStream stream(VnByteStream::StreamKindDisk);
    ASSERT_NE(nullptr, stream.Open(path, "rb"));
    VnImage byStream(&stream, ImageTypeBmp);
    EXPECT_NE(nullptr, byStream.dibBlock);
    remove(path);

    VnImage missing(ImageTypeBmp);
    strcpy(missing.imageInfo.lastError, "earlier");
    EXPECT_FALSE(missing.Load("/nonexistent/picture.bmp", ImageTypeBmp));
    EXPECT_STREQ("earlier", missing.imageInfo.lastError);
    EXPECT_FALSE(missing.Load(L"/nonexistent/picture.bmp", ImageTypeBmp));
    EXPECT_STREQ("earlier", missing.imageInfo.lastError);
}

}  // namespace

#include <gtest/gtest.h>

#include <string.h>

#include "vn_image.h"

namespace {

TEST(ImageObject, FreshImageHasDefaultsAndNoStorage)
{
    VnImage image(ImageTypeBmp);
    EXPECT_EQ(40u, image.header.biSize);
    EXPECT_EQ(2835, image.header.biXPelsPerMeter);
    EXPECT_EQ(2835, image.header.biYPelsPerMeter);
    EXPECT_EQ(72, image.imageInfo.xDpi);
    EXPECT_EQ(72, image.imageInfo.yDpi);
    EXPECT_EQ(-1, image.imageInfo.transparentIndex);
    EXPECT_EQ(nullptr, image.dibBlock);
    EXPECT_EQ(nullptr, image.PixelBase());
    EXPECT_EQ(nullptr, image.PaletteEntries());
    EXPECT_STREQ("", image.imageInfo.lastError);
    image.SetHorizontalDpi(96);
    EXPECT_EQ(3780, image.header.biXPelsPerMeter);
    image.SetVerticalDpi(300);
    EXPECT_EQ(11811, image.header.biYPelsPerMeter);
}

TEST(ImageObject, AllocateNormalisesTheDepth)
{
    struct Case { int32_t asked; uint16_t bits; uint32_t entries; uint8_t kind; };
    const Case cases[] = {{0, 1, 2, 1},   {1, 1, 2, 1},   {2, 4, 16, 1},  {4, 4, 16, 1},
                          {5, 8, 256, 1}, {8, 8, 256, 1}, {9, 24, 0, 2},  {16, 24, 0, 2},
                          {24, 24, 0, 2}, {32, 24, 0, 2}, {-7, 1, 2, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asked);
        VnImage image(ImageTypeBmp);
        ASSERT_NE(nullptr, image.Allocate(5, 3, c.asked, ImageTypeBmp));
        EXPECT_EQ(c.bits, image.header.biBitCount);
        EXPECT_EQ(c.entries, image.header.biClrUsed);
        EXPECT_EQ(c.kind, image.imageInfo.colorKind);
        EXPECT_EQ(BI_RGB, static_cast<long>(image.header.biCompression));
        EXPECT_EQ(3 * image.imageInfo.rowStride, image.header.biSizeImage);
        EXPECT_EQ(image.header.biSizeImage + 40 + 4 * c.entries, image.BlockSize());
        EXPECT_EQ(image.dibBlock + 40 + 4 * c.entries, image.PixelBase());
        EXPECT_EQ(image.PixelBase(), image.imageInfo.pixels);
        // The block starts with the header as it stood after Allocate.
        EXPECT_EQ(0, memcmp(image.dibBlock, &image.header, 40));
        if (c.entries) {
            const uint8_t* palette = reinterpret_cast<const uint8_t*>(image.PaletteEntries());
            for (uint32_t i = 0; i < 4 * c.entries; ++i)
                ASSERT_EQ(0, palette[i]);
        } else {
            EXPECT_EQ(nullptr, image.PaletteEntries());
        }
    }
}

TEST(ImageObject, RowStridesArePaddedToFourBytes)
{
    struct Case { int32_t width; int32_t bits; uint32_t stride; };
    const Case cases[] = {{1, 1, 4},  {1, 4, 4},  {1, 8, 4},  {1, 24, 4},  {33, 1, 8},
                          {32, 1, 4}, {3, 24, 12}, {4, 24, 12}, {9, 4, 8},  {5, 8, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.bits);
        VnImage image(c.width, 2, c.bits, ImageTypeBmp);
        ASSERT_NE(nullptr, image.dibBlock);
        EXPECT_EQ(c.stride, image.imageInfo.rowStride);
        // The sized constructor never leaves unwritten pixels.
        for (uint32_t i = 0; i < image.header.biSizeImage; ++i)
            ASSERT_EQ(0, image.PixelBase()[i]);
    }
}

TEST(ImageObject, AllocateRefusesSizesItCannotHold)
{
    VnImage image(ImageTypeBmp);
    EXPECT_EQ(nullptr, image.Allocate(0, 5, 8, ImageTypeBmp));
    EXPECT_EQ(nullptr, image.Allocate(-3, 5, 8, ImageTypeBmp));
    EXPECT_EQ(nullptr, image.Allocate(5, 0, 8, ImageTypeBmp));
    // Rows that do not fit 32 bits, pixel arrays past 32 bits or past 1 GiB.
    EXPECT_EQ(nullptr, image.Allocate(INT32_MAX, 1, 24, ImageTypeBmp));
    EXPECT_EQ(nullptr, image.Allocate(65536, 65536, 8, ImageTypeBmp));
    EXPECT_EQ(nullptr, image.Allocate(20000, 20000, 24, ImageTypeBmp));
    EXPECT_EQ(nullptr, image.Allocate(1, INT32_MIN, 1, ImageTypeBmp));
    EXPECT_EQ(nullptr, image.dibBlock);
    EXPECT_EQ(nullptr, image.imageInfo.pixels);
    // Just under the limit is fine in principle; a small one certainly is.
    ASSERT_NE(nullptr, image.Allocate(16, 16, 8, ImageTypeBmp));
    // A refused request releases the old block and leaves the image empty.
    EXPECT_EQ(nullptr, image.Allocate(0, 0, 8, ImageTypeBmp));
    EXPECT_EQ(nullptr, image.dibBlock);
    EXPECT_EQ(nullptr, image.PixelBase());
}

TEST(ImageObject, NegativeHeightCountsAsItsAbsoluteValue)
{
    VnImage image(ImageTypeBmp);
    ASSERT_NE(nullptr, image.Allocate(3, -4, 24, ImageTypeBmp));
    EXPECT_EQ(4, image.header.biHeight);
    EXPECT_EQ(4 * 12u, image.header.biSizeImage);
}

TEST(ImageObject, TakeOverMovesEverythingAndEmptiesTheSource)
{
    VnImage target(8, 8, 8, ImageTypeBmp); // its old block must be freed
    VnImage* source = new VnImage(3, 2, 24, ImageTypeBmp);
    source->SetHorizontalDpi(96);
    source->imageInfo.transparentIndex = 5;
    uint8_t* block = source->dibBlock;
    target.TakeOver(*source);
    EXPECT_EQ(block, target.dibBlock);
    EXPECT_EQ(3, target.header.biWidth);
    EXPECT_EQ(96, target.imageInfo.xDpi);
    EXPECT_EQ(5, target.imageInfo.transparentIndex);
    EXPECT_EQ(target.PixelBase(), target.imageInfo.pixels);
    EXPECT_EQ(nullptr, source->dibBlock);
    EXPECT_EQ(nullptr, source->selectionPlane);
    EXPECT_EQ(nullptr, source->alphaPlane);
    EXPECT_EQ(0u, source->header.biSize);
    const uint8_t* info = reinterpret_cast<const uint8_t*>(&source->imageInfo);
    for (size_t i = 0; i < sizeof(source->imageInfo); ++i)
        ASSERT_EQ(0, info[i]) << i;
    delete source; // frees nothing: the block lives on in target
    target.PixelBase()[0] = 1;
}

// After TakeOver the source's header size reads 0; storage made for it later
// still gets a whole info header in front of the palette and pixels.
TEST(ImageObject, SourceEmptiedByTakeOverCanAllocateAndCopyAgain)
{
    VnImage target(ImageTypeBmp);
    VnImage source(2, 2, 8, ImageTypeBmp);
    target.TakeOver(source);
    ASSERT_EQ(0u, source.header.biSize);
    ASSERT_NE(nullptr, source.Allocate(3, 2, 8, ImageTypeBmp));
    EXPECT_EQ(40u, source.header.biSize);
    EXPECT_EQ(40u + 256 * 4 + 4 * 2, source.BlockSize());
    source.PixelBase()[4 * 2 - 1] = 7;  // last pixel byte inside the block
    EXPECT_EQ(source.dibBlock + 40 + 256 * 4, source.PixelBase());

    VnImage emptied(ImageTypeBmp);
    VnImage copy(ImageTypeBmp);
    copy.TakeOver(emptied);
    copy.CopyFrom(source, true, false, false);
    ASSERT_NE(nullptr, copy.dibBlock);
    EXPECT_EQ(7, copy.PixelBase()[4 * 2 - 1]);
}

TEST(ImageObject, ReleaseStorageTwiceIsHarmless)
{
    VnImage image(4, 4, 4, ImageTypeBmp);
    image.ReleaseStorage();
    EXPECT_EQ(nullptr, image.dibBlock);
    EXPECT_EQ(4, image.header.biWidth); // still describes the released image
    image.ReleaseStorage();
    EXPECT_EQ(nullptr, image.dibBlock);
}

TEST(ImageObject, DeletedThroughTheBasePointer)
{
    VnImage* image = new VnImage(2, 2, 24, ImageTypeBmp);
    delete image; // the leak checker verifies the block went with it
}

// Packed 16-bit rows laid out as in a file: 2 bytes a pixel, 4-byte rows.
void PutWord(uint8_t* row, int x, uint16_t v)
{
    row[2 * x] = static_cast<uint8_t>(v);
    row[2 * x + 1] = static_cast<uint8_t>(v >> 8);
}

TEST(ImageObject, Expand16BitWidensInPlace)
{
    VnImage image(3, 2, 24, ImageTypeBmp);
    uint8_t* p = image.PixelBase();
    memset(p, 0xAA, image.header.biSizeImage);
    // Row 0 then row 1, 8 bytes each (width 3 rounded up to 2 pixel pairs).
    PutWord(p, 0, 0x7FFF);
    PutWord(p, 1, 0x7C00);
    PutWord(p, 2, 0x001F);
    PutWord(p + 8, 0, 0x03E0);
    PutWord(p + 8, 1, 0x0000);
    PutWord(p + 8, 2, 0x4210);
    image.ExpandPackedPixels(p, 0x7C00, 0x03E0, 0x001F, 16);
    const uint8_t row0[12] = {248, 248, 248, 0, 0, 248, 248, 0, 0, 0, 0, 0};
    const uint8_t row1[12] = {0, 248, 0, 0, 0, 0, 128, 128, 128, 0, 0, 0};
    EXPECT_EQ(0, memcmp(row0, p, 12));
    EXPECT_EQ(0, memcmp(row1, p + 12, 12));

    // 5-6-5: the extra green bit widens to 252.
    PutWord(p, 0, 0xFFFF);
    image.ExpandPackedPixels(p, 0xF800, 0x07E0, 0x001F, 16);
    EXPECT_EQ(248, p[0]);
    EXPECT_EQ(252, p[1]);
    EXPECT_EQ(248, p[2]);
}

TEST(ImageObject, Expand32BitTakesBlueGreenRed)
{
    VnImage image(2, 2, 24, ImageTypeBmp);
    const uint8_t source[16] = {1, 2, 3, 99, 4, 5, 6, 99, 7, 8, 9, 99, 10, 11, 12, 99};
    image.ExpandPackedPixels(source, 0, 0, 0, 32);
    const uint8_t expect[16] = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    EXPECT_EQ(0, memcmp(expect, image.PixelBase(), 16));
    // Other source depths do nothing.
    image.ExpandPackedPixels(source + 4, 0, 0, 0, 24);
    EXPECT_EQ(0, memcmp(expect, image.PixelBase(), 16));
}

TEST(ImageObject, ExpandMaskedPixelsHonoursAnyMasks)
{
    VnImage image(2, 1, 24, ImageTypeBmp);
    // Red in the low byte, blue in the third: the reverse of the usual order.
    const uint8_t source[8] = {0x11, 0x22, 0x33, 0, 0xFF, 0x00, 0x80, 0};
    image.ExpandMaskedPixels(source, 0x000000FF, 0x0000FF00, 0x00FF0000, 32);
    const uint8_t expect[6] = {0x33, 0x22, 0x11, 0x80, 0x00, 0xFF};
    EXPECT_EQ(0, memcmp(expect, image.PixelBase(), 6));
    // Ten-bit channels keep their top eight bits.
    uint32_t v = (0x3FFu << 20) | (0x200u << 10) | 0x001u;
    uint8_t wide[8] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                       static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
    image.ExpandMaskedPixels(wide, 0x3FF00000, 0x000FFC00, 0x000003FF, 32);
    EXPECT_EQ(0x00, image.PixelBase()[0]);
    EXPECT_EQ(0x80, image.PixelBase()[1]);
    EXPECT_EQ(0xFF, image.PixelBase()[2]);
    // 4-4-4: four-bit channels.
    uint8_t packed[4] = {0x5A, 0x0F};
    image.ExpandMaskedPixels(packed, 0x0F00, 0x00F0, 0x000F, 16);
    EXPECT_EQ(0xA0, image.PixelBase()[0]);
    EXPECT_EQ(0x50, image.PixelBase()[1]);
    EXPECT_EQ(0xF0, image.PixelBase()[2]);
}

}  // namespace

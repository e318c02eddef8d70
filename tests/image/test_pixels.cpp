#include <gtest/gtest.h>

#include <string.h>

#include "vn_image.h"

namespace {

RGBQUAD Quad(uint8_t r, uint8_t g, uint8_t b, uint8_t reserved = 0)
{
    RGBQUAD q;
    q.rgbRed = r;
    q.rgbGreen = g;
    q.rgbBlue = b;
    q.rgbReserved = reserved;
    return q;
}

void ExpectQuad(RGBQUAD expect, RGBQUAD actual)
{
    EXPECT_EQ(expect.rgbRed, actual.rgbRed);
    EXPECT_EQ(expect.rgbGreen, actual.rgbGreen);
    EXPECT_EQ(expect.rgbBlue, actual.rgbBlue);
    EXPECT_EQ(expect.rgbReserved, actual.rgbReserved);
}

TEST(PaletteAccess, GreyRampsAreExact)
{
    for (int bits : {1, 4, 8}) {
        VnImage image(2, 2, bits, ImageTypeBmp);
        image.FillGreyPalette();
        uint32_t n = image.header.biClrUsed;
        uint32_t step = 255 / (n - 1);
        for (uint32_t i = 0; i < n; ++i)
            ExpectQuad(Quad(i * step, i * step, i * step), image.PaletteEntry(i));
        ExpectQuad(Quad(255, 255, 255), image.PaletteEntry(n - 1));
    }
    VnImage sixteen(1, 1, 4, ImageTypeBmp);
    sixteen.FillGreyPalette();
    EXPECT_EQ(17, sixteen.PaletteEntry(1).rgbRed);
    EXPECT_EQ(34, sixteen.PaletteEntry(2).rgbGreen);
}

TEST(PaletteAccess, EntriesAreWrittenOnlyInsideThePalette)
{
    VnImage image(1, 1, 4, ImageTypeBmp);
    image.SetPaletteEntry(3, 10, 20, 30, 40);
    ExpectQuad(Quad(10, 20, 30, 40), image.PaletteEntry(3));
    const uint8_t* raw = reinterpret_cast<const uint8_t*>(image.PaletteEntries()) + 12;
    EXPECT_EQ(30, raw[0]); // blue, green, red, reserved in memory
    EXPECT_EQ(10, raw[2]);
    image.SetPaletteEntry(4, Quad(1, 2, 3, 4));
    ExpectQuad(Quad(1, 2, 3, 4), image.PaletteEntry(4));
    image.SetPaletteEntry(5, static_cast<COLORREF>(0xAA112233u));
    ExpectQuad(Quad(0x33, 0x22, 0x11, 0), image.PaletteEntry(5));
    // Index 16 and beyond lie outside a 16-entry palette.
    image.SetPaletteEntry(16, 9, 9, 9, 9);
    ExpectQuad(Quad(0, 0, 0), image.PaletteEntry(16));
    ExpectQuad(Quad(0, 0, 0), image.PaletteEntry(255));

    VnImage rgb(1, 1, 24, ImageTypeBmp);
    rgb.SetPaletteEntry(0, 1, 2, 3, 4);
    ExpectQuad(Quad(0, 0, 0), rgb.PaletteEntry(0));
    rgb.FillGreyPalette();
    EXPECT_EQ(0, rgb.NearestPaletteIndex(Quad(9, 9, 9)));
}

TEST(PaletteAccess, LoadPaletteCopiesNoMoreThanThePaletteHolds)
{
    RGBQUAD entries[256];
    for (int i = 0; i < 256; ++i)
        entries[i] = Quad(i, i, 255 - i);
    VnImage two(1, 1, 1, ImageTypeBmp);
    two.LoadPalette(entries, 256);
    ExpectQuad(entries[1], two.PaletteEntry(1));
    ExpectQuad(Quad(0, 0, 0), two.PaletteEntry(2));
    VnImage eight(1, 1, 8, ImageTypeBmp);
    eight.LoadPalette(entries, 3);
    ExpectQuad(entries[2], eight.PaletteEntry(2));
    ExpectQuad(Quad(0, 0, 0), eight.PaletteEntry(3));
    eight.LoadPalette(nullptr, 10);
    ExpectQuad(entries[2], eight.PaletteEntry(2));
}

TEST(PaletteAccess, NearestIndexPrefersTheFirstOfEquals)
{
    VnImage image(1, 1, 4, ImageTypeBmp);
    image.SetPaletteEntry(0, 0, 0, 0, 0);
    image.SetPaletteEntry(1, 20, 0, 0, 0);
    // 10 is equally far from entries 0 and 1.
    EXPECT_EQ(0, image.NearestPaletteIndex(Quad(10, 0, 0)));
    EXPECT_EQ(1, image.NearestPaletteIndex(Quad(11, 0, 0)));
    image.SetPaletteEntry(2, 50, 60, 70, 0);
    image.SetPaletteEntry(3, 50, 60, 70, 0);
    EXPECT_EQ(2, image.NearestPaletteIndex(Quad(50, 60, 70, 99))); // reserved ignored
    // Entries 4..15 are black: the exact match at 0 comes first.
    EXPECT_EQ(0, image.NearestPaletteIndex(Quad(0, 0, 0)));
    image.FillGreyPalette();
    EXPECT_EQ(15, image.NearestPaletteIndex(Quad(255, 255, 255)));
}

TEST(PixelAccess, FourBitNibblesAndOneBitOrder)
{
    VnImage four(4, 2, 4, ImageTypeBmp);
    four.PixelBase()[0] = 0x0C;
    four.StorePixelIndex(0, 0, 0x1F);
    EXPECT_EQ(0xFC, four.PixelBase()[0]);
    four.StorePixelIndex(1, 0, 2);
    EXPECT_EQ(0xF2, four.PixelBase()[0]);
    EXPECT_EQ(15, four.PixelIndexAt(0, 0));
    EXPECT_EQ(2, four.PixelIndexAt(1, 0));
    four.StorePixelIndex(3, 1, 7);
    EXPECT_EQ(0x07, four.PixelBase()[four.imageInfo.rowStride + 1]);

    VnImage one(9, 1, 1, ImageTypeBmp);
    one.StorePixelIndex(0, 0, 1);
    EXPECT_EQ(0x80, one.PixelBase()[0]);
    one.StorePixelIndex(7, 0, 3); // only bit 0 of the index counts
    EXPECT_EQ(0x81, one.PixelBase()[0]);
    one.StorePixelIndex(8, 0, 1);
    EXPECT_EQ(0x80, one.PixelBase()[1]);
    one.StorePixelIndex(0, 0, 0);
    EXPECT_EQ(0x01, one.PixelBase()[0]);
    EXPECT_EQ(1, one.PixelIndexAt(7, 0));
    EXPECT_EQ(0, one.PixelIndexAt(6, 0));

    VnImage eight(2, 2, 8, ImageTypeBmp);
    eight.StorePixelIndex(1, 1, 200);
    EXPECT_EQ(200, eight.PixelBase()[eight.imageInfo.rowStride + 1]);
    EXPECT_EQ(200, eight.PixelIndexAt(1, 1));
}

TEST(PixelAccess, PointsOutsideGiveTheTransparentValues)
{
    VnImage palette(2, 2, 8, ImageTypeBmp);
    palette.StorePixelIndex(0, 0, 9);
    palette.SetPaletteEntry(7, 70, 71, 72, 73);
    EXPECT_EQ(0, palette.PixelIndexAt(-1, 0));
    EXPECT_EQ(0, palette.PixelIndexAt(2, 0));
    EXPECT_EQ(0, palette.PixelIndexAt(0, 2));
    palette.imageInfo.transparentIndex = 0x107;
    EXPECT_EQ(7, palette.PixelIndexAt(-1, 0));
    ExpectQuad(Quad(70, 71, 72, 73), palette.PixelColorAt(0, -1));
    palette.imageInfo.transparentIndex = -1;
    palette.imageInfo.transparentColor = Quad(1, 2, 3, 4);
    ExpectQuad(Quad(1, 2, 3, 4), palette.PixelColorAt(5, 5));
    // Writes outside change nothing.
    palette.StorePixelIndex(-1, 0, 1);
    palette.StorePixelIndex(2, 1, 1);
    palette.StorePixelColor(0, 2, Quad(70, 71, 72));
    for (uint32_t i = 0; i < palette.header.biSizeImage; ++i)
        EXPECT_EQ(i == 0 ? 9 : 0, palette.PixelBase()[i]);

    VnImage rgb(2, 2, 24, ImageTypeBmp);
    rgb.imageInfo.transparentIndex = 3;
    rgb.imageInfo.transparentColor = Quad(5, 6, 7, 8);
    ExpectQuad(Quad(5, 6, 7, 8), rgb.PixelColorAt(-1, 0));
    EXPECT_EQ(0, rgb.PixelIndexAt(0, 0));

    VnImage empty(ImageTypeBmp);
    empty.imageInfo.transparentColor = Quad(9, 9, 9, 9);
    ExpectQuad(Quad(9, 9, 9, 9), empty.PixelColorAt(0, 0));
    EXPECT_EQ(0, empty.PixelIndexAt(0, 0));
    empty.StorePixelColor(0, 0, Quad(1, 1, 1));
    empty.StorePixelIndex(0, 0, 1);
}

TEST(PixelAccess, RgbPixelsCarryTheTransparentReservedByte)
{
    VnImage rgb(3, 2, 24, ImageTypeBmp);
    rgb.imageInfo.transparentColor = Quad(0, 0, 0, 0x5A);
    rgb.StorePixelColor(2, 1, Quad(10, 20, 30, 99));
    const uint8_t* p = rgb.PixelBase() + rgb.imageInfo.rowStride + 6;
    EXPECT_EQ(30, p[0]);
    EXPECT_EQ(20, p[1]);
    EXPECT_EQ(10, p[2]);
    ExpectQuad(Quad(10, 20, 30, 0x5A), rgb.PixelColorAt(2, 1));
    rgb.StorePixelColor(0, 0, RGB(1, 2, 3));
    ExpectQuad(Quad(1, 2, 3, 0x5A), rgb.PixelColorAt(0, 0));
}

TEST(PixelAccess, PaletteImagesStoreTheNearestEntry)
{
    VnImage image(2, 1, 1, ImageTypeBmp);
    image.SetPaletteEntry(0, 0, 0, 0, 0);
    image.SetPaletteEntry(1, 255, 255, 255, 0);
    image.StorePixelColor(1, 0, Quad(200, 190, 180));
    EXPECT_EQ(1, image.PixelIndexAt(1, 0));
    ExpectQuad(Quad(255, 255, 255), image.PixelColorAt(1, 0));
    image.StorePixelColor(1, 0, RGB(10, 10, 10));
    EXPECT_EQ(0, image.PixelIndexAt(1, 0));
}

TEST(ImageCopy, CopiesPixelsOrOnlyThePalette)
{
    VnImage source(5, 3, 4, ImageTypeBmp);
    source.FillGreyPalette();
    source.StorePixelIndex(4, 2, 9);
    source.SetHorizontalDpi(300);
    source.imageInfo.transparentIndex = 2;

    VnImage full(source, true, false, false);
    ASSERT_NE(nullptr, full.dibBlock);
    EXPECT_NE(source.dibBlock, full.dibBlock);
    EXPECT_EQ(9, full.PixelIndexAt(4, 2));
    ExpectQuad(source.PaletteEntry(9), full.PaletteEntry(9));
    EXPECT_EQ(2, full.imageInfo.transparentIndex);
    EXPECT_EQ(nullptr, full.imageInfo.parent);
    EXPECT_EQ(full.PixelBase(), full.imageInfo.pixels);

    VnImage bare(source, false, false, false);
    ASSERT_NE(nullptr, bare.dibBlock);
    ExpectQuad(source.PaletteEntry(15), bare.PaletteEntry(15));
    for (uint32_t i = 0; i < bare.header.biSizeImage; ++i)
        EXPECT_EQ(0, bare.PixelBase()[i]);

    // Copying an empty image gives an empty image.
    VnImage nothing(ImageTypeBmp);
    VnImage copy(nothing, true, true, true);
    EXPECT_EQ(nullptr, copy.dibBlock);
}

TEST(ImageCopy, PlanesAreCopiedOnRequest)
{
    VnImage source(3, 2, 24, ImageTypeBmp);
    source.selectionPlane = static_cast<uint8_t*>(malloc(6));
    source.alphaPlane = static_cast<uint8_t*>(malloc(6));
    memset(source.selectionPlane, 0x11, 6);
    memset(source.alphaPlane, 0x22, 6);
    VnImage both(source, true, true, true);
    ASSERT_NE(nullptr, both.selectionPlane);
    ASSERT_NE(nullptr, both.alphaPlane);
    EXPECT_NE(source.alphaPlane, both.alphaPlane);
    EXPECT_EQ(0x11, both.selectionPlane[5]);
    EXPECT_EQ(0x22, both.alphaPlane[5]);
    VnImage neither(source, true, false, false);
    EXPECT_EQ(nullptr, neither.selectionPlane);
    EXPECT_EQ(nullptr, neither.alphaPlane);
    // Re-allocating drops the planes.
    both.Allocate(2, 2, 8, ImageTypeBmp);
    EXPECT_EQ(nullptr, both.selectionPlane);
    EXPECT_EQ(nullptr, both.alphaPlane);
    EXPECT_EQ(2, both.imageInfo.selectionBounds.left);
    EXPECT_EQ(2, both.imageInfo.selectionBounds.bottom);
}

TEST(ImageCopy, AnAliasFreesNothing)
{
    VnImage parent(4, 4, 8, ImageTypeBmp);
    parent.StorePixelIndex(3, 3, 77);
    {
        VnImage* alias = new VnImage(ImageTypeBmp);
        alias->ShareFrom(&parent);
        EXPECT_EQ(parent.dibBlock, alias->dibBlock);
        EXPECT_EQ(&parent, alias->imageInfo.parent);
        EXPECT_EQ(77, alias->PixelIndexAt(3, 3));
        alias->StorePixelIndex(0, 0, 5);
        alias->ReleaseStorage();
        EXPECT_EQ(parent.dibBlock, alias->dibBlock);
        delete alias;
    }
    EXPECT_EQ(5, parent.PixelIndexAt(0, 0));
    EXPECT_EQ(77, parent.PixelIndexAt(3, 3));
    VnImage other(ImageTypeBmp);
    other.ShareFrom(nullptr);
    EXPECT_EQ(nullptr, other.dibBlock);
}

}  // namespace

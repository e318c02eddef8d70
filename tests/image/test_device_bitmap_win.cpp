// Device bitmaps made from decoded images, read back with GetDIBits.
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>
#include <vector>

#include "bmp_bytes.h"
#include "vn_image.h"

using bmptest::Bytes;

namespace {

class DeviceBitmap : public testing::Test {
protected:
    void SetUp() override
    {
        screen = GetDC(NULL);
        ASSERT_NE(nullptr, screen);
    }
    void TearDown() override
    {
        if (screen)
            ReleaseDC(NULL, screen);
    }

    // The bitmap's pixels as 32-bit blue, green, red, unused; rows bottom-up.
    std::vector<RGBQUAD> ReadBack(HBITMAP bitmap, int width, int height)
    {
        BITMAPINFO info;
        ZeroMemory(&info, sizeof(info));
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        std::vector<RGBQUAD> pixels(static_cast<size_t>(width) * height);
        int lines = GetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
        EXPECT_EQ(height, lines);
        return pixels;
    }

    // Converts the decoded file, deletes the image at once and checks every
    // pixel of the bitmap against the colours the image held.
    void CheckFile(const Bytes& file, int expectBits)
    {
        VnImage* image = new VnImage(file.data(), static_cast<uint32_t>(file.size()), ImageTypeBmp);
        ASSERT_NE(nullptr, image->dibBlock) << image->imageInfo.lastError;
        EXPECT_EQ(expectBits, image->header.biBitCount);
        const int width = image->header.biWidth, height = image->header.biHeight;
        std::vector<RGBQUAD> expect;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                expect.push_back(image->PixelColorAt(x, y));
        HBITMAP bitmap = image->ToDeviceBitmap(screen);
        delete image;
        ASSERT_NE(nullptr, bitmap);
        BITMAP description;
        ASSERT_EQ(static_cast<int>(sizeof(description)), GetObjectA(bitmap, sizeof(description), &description));
        EXPECT_EQ(width, description.bmWidth);
        EXPECT_EQ(height, description.bmHeight);
        std::vector<RGBQUAD> got = ReadBack(bitmap, width, height);
        for (size_t i = 0; i < expect.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "pixel " << i % width << "," << i / width);
            ASSERT_EQ(expect[i].rgbRed, got[i].rgbRed);
            ASSERT_EQ(expect[i].rgbGreen, got[i].rgbGreen);
            ASSERT_EQ(expect[i].rgbBlue, got[i].rgbBlue);
        }
        EXPECT_TRUE(DeleteObject(bitmap));
    }

    HDC screen = nullptr;
};

Bytes Palette(unsigned n)
{
    Bytes b;
    for (unsigned i = 0; i < n; ++i)
        b.quad(static_cast<uint8_t>(i * 53 + 7), static_cast<uint8_t>(i * 29 + 100),
               static_cast<uint8_t>(250 - i * 11));
    return b;
}

Bytes Pattern(int width, int height, int bits)
{
    Bytes b;
    uint32_t row = bmptest::RowBytes(width, bits);
    for (int y = 0; y < height; ++y)
        for (uint32_t i = 0; i < row; ++i)
            b.u8(static_cast<uint8_t>(i * 37 + y * 101 + 5));
    return b;
}

TEST_F(DeviceBitmap, PaletteImagesConvertThroughTheirPalette)
{
    CheckFile(bmptest::BmpFile(bmptest::InfoHeader(13, 5, 1, BI_RGB), Palette(2), Pattern(13, 5, 1)), 1);
    CheckFile(bmptest::BmpFile(bmptest::InfoHeader(11, 4, 4, BI_RGB), Palette(16), Pattern(11, 4, 4)), 4);
    CheckFile(bmptest::BmpFile(bmptest::InfoHeader(9, 6, 8, BI_RGB), Palette(256), Pattern(9, 6, 8)), 8);
}

TEST_F(DeviceBitmap, RgbImagesConvertWithoutColourTable)
{
    CheckFile(bmptest::BmpFile(bmptest::InfoHeader(7, 3, 24, BI_RGB), {}, Pattern(7, 3, 24)), 24);
    // A 16-bit file arrives widened to 24 bits.
    CheckFile(bmptest::BmpFile(bmptest::InfoHeader(5, 2, 16, BI_RGB), {}, Pattern(5, 2, 16)), 24);
}

TEST_F(DeviceBitmap, AllZeroPaletteGivesBlack)
{
    VnImage image(6, 2, 8, ImageTypeBmp);
    memset(image.PixelBase(), 0x5A, image.header.biSizeImage);
    HBITMAP bitmap = image.ToDeviceBitmap(screen);
    ASSERT_NE(nullptr, bitmap);
    for (const RGBQUAD& p : ReadBack(bitmap, 6, 2)) {
        EXPECT_EQ(0, p.rgbRed);
        EXPECT_EQ(0, p.rgbGreen);
        EXPECT_EQ(0, p.rgbBlue);
    }
    DeleteObject(bitmap);
}

TEST_F(DeviceBitmap, NoStorageOrNoDeviceGivesNoBitmap)
{
    VnImage empty(ImageTypeBmp);
    EXPECT_EQ(nullptr, empty.ToDeviceBitmap(screen));
    const uint8_t junk[10] = {1, 2, 3};
    VnImage failed(junk, sizeof(junk), ImageTypeBmp);
    EXPECT_EQ(nullptr, failed.ToDeviceBitmap(screen));
    VnImage good(2, 2, 24, ImageTypeBmp);
    EXPECT_EQ(nullptr, good.ToDeviceBitmap(NULL));
}

}  // namespace

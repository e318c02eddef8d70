// Loading a picture from this program's own resources.
#include <gtest/gtest.h>
#include <windows.h>

#include "vn_image.h"

namespace {

TEST(ResourceLoading, HeaderlessBitmapFromResource)
{
    HMODULE module = GetModuleHandleA(NULL);
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(100), MAKEINTRESOURCEA(10)); // RT_RCDATA
    ASSERT_NE(nullptr, resource);
    VnImage image(ImageTypeBmp);
    ASSERT_TRUE(image.LoadFromResource(resource, ImageTypeBmp, module)) << image.imageInfo.lastError;
    EXPECT_EQ(24, image.header.biBitCount);
    EXPECT_EQ(96, image.imageInfo.xDpi);
    RGBQUAD bottomLeft = image.PixelColorAt(0, 0), topRight = image.PixelColorAt(1, 1);
    EXPECT_EQ(1, bottomLeft.rgbBlue);
    EXPECT_EQ(3, bottomLeft.rgbRed);
    EXPECT_EQ(10, topRight.rgbBlue);
    EXPECT_EQ(12, topRight.rgbRed);
}

TEST(ResourceLoading, FailuresReportTheirCause)
{
    HMODULE module = GetModuleHandleA(NULL);
    VnImage image(ImageTypeBmp);
    EXPECT_FALSE(image.LoadFromResource(NULL, ImageTypeBmp, module));
    EXPECT_STREQ("Unable to load resource!", image.imageInfo.lastError);
    EXPECT_EQ(nullptr, image.dibBlock);
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(100), MAKEINTRESOURCEA(10));
    ASSERT_NE(nullptr, resource);
    EXPECT_FALSE(image.LoadFromResource(resource, 3, module));
    EXPECT_STREQ("Unsupported operation for this format", image.imageInfo.lastError);
}

}  // namespace

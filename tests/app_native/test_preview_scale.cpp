#include <gtest/gtest.h>

#include "preview_scale.h"
#include "vn_image.h"

namespace {

RGBQUAD Colour(uint8_t red, uint8_t green, uint8_t blue)
{
    RGBQUAD c = {blue, green, red, 0};
    return c;
}

// The preview pixel at (x, y), top row first, as red, green, blue.
std::vector<int> At(const PreviewPixels& p, int x, int y)
{
    const uint8_t* q = &p.bgr[static_cast<size_t>(y) * p.stride + 3 * x];
    return {q[2], q[1], q[0]};
}

// An image whose top-left pixel is red and the rest white; memory rows of a
// bottom-up image start at the bottom.
void MarkTopLeft(VnImage& image, int height, RGBQUAD colour)
{
    image.StorePixelColor(0, height - 1, colour);
}

}  // namespace

TEST(ScaleForPreview, KeepsTheOrientationAndRowPadding)
{
    VnImage image(4, 3, 24, ImageTypeBmp);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            image.StorePixelColor(x, y, Colour(255, 255, 255));
    MarkTopLeft(image, 3, Colour(200, 10, 20));
    PreviewPixels same = ScaleForPreview(image, 4, 3);
    ASSERT_EQ(same.width, 4);
    EXPECT_EQ(same.stride, 12);
    EXPECT_EQ(At(same, 0, 0), (std::vector<int>{200, 10, 20}));
    EXPECT_EQ(At(same, 3, 2), (std::vector<int>{255, 255, 255}));

    // Enlarged: each source pixel repeated, the red one over the top-left
    // 2 x 2 of an 8 x 6 preview with 24-byte rows.
    PreviewPixels big = ScaleForPreview(image, 8, 6);
    EXPECT_EQ(big.stride, 24);
    EXPECT_EQ(At(big, 1, 1), (std::vector<int>{200, 10, 20}));
    EXPECT_EQ(At(big, 2, 0), (std::vector<int>{255, 255, 255}));
    EXPECT_EQ(At(big, 0, 2), (std::vector<int>{255, 255, 255}));
}

TEST(ScaleForPreview, ReducingAveragesSamplesOfEachArea)
{
    // Columns alternate black and white: every reduced pixel is mid-grey,
    // where taking one pixel in each area would give black or white.
    const int w = 400, h = 40;
    VnImage image(w, h, 24, ImageTypeBmp);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.StorePixelColor(x, y, (x & 1) ? Colour(255, 255, 255) : Colour(0, 0, 0));
    PreviewPixels small = ScaleForPreview(image, 25, 10);
    for (int y : {0, 5, 9})
        for (int x : {0, 12, 24})
            EXPECT_EQ(At(small, x, y), (std::vector<int>{128, 128, 128})) << x << "," << y;
}

TEST(ScaleForPreview, PaletteImagesGoThroughTheirPalette)
{
    VnImage image(16, 16, 8, ImageTypeBmp);
    image.SetPaletteEntry(0, 10, 20, 30, 0);
    image.SetPaletteEntry(1, 200, 100, 50, 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            image.StorePixelIndex(x, y, y >= 8 ? 1 : 0);  // memory rows 8.. are the top half
    PreviewPixels p = ScaleForPreview(image, 4, 4);
    ASSERT_EQ(p.height, 4);
    EXPECT_EQ(At(p, 1, 0), (std::vector<int>{200, 100, 50}));
    EXPECT_EQ(At(p, 1, 3), (std::vector<int>{10, 20, 30}));
}

TEST(ScaleForPreview, NothingWithoutPixelsOrSize)
{
    VnImage empty(ImageTypeBmp);
    EXPECT_TRUE(ScaleForPreview(empty, 10, 10).bgr.empty());
    VnImage image(2, 2, 24, ImageTypeBmp);
    EXPECT_TRUE(ScaleForPreview(image, 0, 10).bgr.empty());
    EXPECT_TRUE(ScaleForPreview(image, 10, -1).bgr.empty());
    EXPECT_EQ(ScaleForPreview(image, 1, 1).bgr.size(), 4u);
}

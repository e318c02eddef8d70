// Scaling the picture to its size on screen: whole multiples repeat pixels
// exactly, smaller sizes average what each pixel covers, every tile of a
// picture smaller than its grid gets its share.
#include "picture_scale.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "player_layout.h"

namespace {

struct Picture {
    std::vector<uint8_t> bytes;
    PixelRows rows;

    Picture(int width, int height, ptrdiff_t padding = 0, bool bottomUp = false)
    {
        const ptrdiff_t stride = width * 3 + padding;
        bytes.assign(stride * height, 0xEE);  // padding bytes stay 0xEE
        rows.width = width;
        rows.height = height;
        rows.stride = bottomUp ? -stride : stride;
        rows.data = bytes.data() + (bottomUp ? stride * (height - 1) : 0);
    }

    uint8_t* Pixel(int x, int y) const { return rows.Row(y) + 3 * x; }
    void Set(int x, int y, uint8_t b, uint8_t g, uint8_t r) const
    {
        uint8_t* p = Pixel(x, y);
        p[0] = b;
        p[1] = g;
        p[2] = r;
    }
};

TEST(PictureScale, WholeMultiplesRepeatEveryPixelExactly)
{
    Picture source(3, 2, 0, true);  // bottom-up rows, as a bitmap stores them
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            source.Set(x, y, static_cast<uint8_t>(10 * x + y), static_cast<uint8_t>(50 + x),
                       static_cast<uint8_t>(200 - 7 * y));
    Picture target(12, 8, 2);
    ASSERT_TRUE(ScalePixels(source.rows, target.rows));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(source.Pixel(x / 4, y / 4)[c], target.Pixel(x, y)[c]) << x << "," << y;
    EXPECT_EQ(0xEE, target.rows.Row(0)[36]);  // row padding untouched
    EXPECT_EQ(0xEE, target.rows.Row(7)[37]);
}

TEST(PictureScale, SameSizeCopiesAndHalfSizeAveragesBlocks)
{
    Picture source(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            source.Set(x, y, static_cast<uint8_t>(x * 40 + y * 8), static_cast<uint8_t>(255 * (x & 1)),
                       static_cast<uint8_t>(y * 60));
    Picture copy(4, 4, 1);
    ASSERT_TRUE(ScalePixels(source.rows, copy.rows));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(source.Pixel(x, y)[c], copy.Pixel(x, y)[c]);

    Picture half(2, 2);
    ASSERT_TRUE(ScalePixels(source.rows, half.rows));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int k = 0; k < 4; ++k)
                    sum += source.Pixel(2 * x + k % 2, 2 * y + k / 2)[c];
                EXPECT_NEAR((sum + 2) / 4, half.Pixel(x, y)[c], 1) << x << "," << y << " c" << c;
            }
}

TEST(PictureScale, LargeReductionsAverageInsteadOfPickingPixels)
{
    // A fine checkerboard of black and white shrinks to mid grey, not to
    // whichever colour a point sample would hit.
    Picture source(301, 199);
    for (int y = 0; y < 199; ++y)
        for (int x = 0; x < 301; ++x) {
            uint8_t v = (x + y) % 2 ? 255 : 0;
            source.Set(x, y, v, v, v);
        }
    Picture target(37, 23);
    ASSERT_TRUE(ScalePixels(source.rows, target.rows));
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x)
            ASSERT_NEAR(128, target.Pixel(x, y)[1], 12) << x << "," << y;
}

TEST(PictureScale, OddEnlargementsInterpolateBetweenNeighbours)
{
    Picture source(2, 1);
    source.Set(0, 0, 0, 0, 0);
    source.Set(1, 0, 200, 200, 200);
    Picture target(5, 3);
    ASSERT_TRUE(ScalePixels(source.rows, target.rows));
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(0, target.Pixel(0, y)[0]);    // edges keep the edge colours
        EXPECT_EQ(200, target.Pixel(4, y)[0]);
        for (int x = 1; x < 5; ++x)
            EXPECT_LE(target.Pixel(x - 1, y)[0], target.Pixel(x, y)[0]);  // a ramp
        EXPECT_NEAR(100, target.Pixel(2, y)[0], 1);
    }
}

TEST(PictureScale, EveryTileOfAPictureSmallerThanItsGridShowsItsShare)
{
    // A 3 x 3 picture played at grid 4: the tiles are cut from the scaled
    // copy, so none of them is empty and each shows the source pixels under it.
    Picture source(3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            source.Set(x, y, static_cast<uint8_t>(30 + 80 * x), static_cast<uint8_t>(30 + 80 * y), 7);
    PlayerLayout layout = ComputePlayerLayout(3, 3, 1280, 1024, 4);
    ASSERT_EQ(4, layout.grid);
    Picture target(layout.width, layout.height);
    ASSERT_TRUE(ScalePixels(source.rows, target.rows));
    for (int tile = 0; tile < 16; ++tile) {
        int left = CellEdge(layout.width, 4, tile % 4), right = CellEdge(layout.width, 4, tile % 4 + 1);
        int top = CellEdge(layout.height, 4, tile / 4), bottom = CellEdge(layout.height, 4, tile / 4 + 1);
        ASSERT_GT(right - left, 100);
        ASSERT_GT(bottom - top, 100);
        int cx = (left + right) / 2, cy = (top + bottom) / 2;
        const uint8_t* seen = target.Pixel(cx, cy);
        const uint8_t* expected = source.Pixel(cx * 3 / layout.width, cy * 3 / layout.height);
        EXPECT_EQ(expected[0], seen[0]) << "tile " << tile;
        EXPECT_EQ(expected[1], seen[1]) << "tile " << tile;
    }
}

TEST(PictureScale, RefusesEmptyPictures)
{
    Picture source(2, 2);
    Picture target(4, 4);
    PixelRows none;
    EXPECT_FALSE(ScalePixels(none, target.rows));
    EXPECT_FALSE(ScalePixels(source.rows, none));
    EXPECT_EQ(0xEE, target.bytes[0]);
}

}  // namespace

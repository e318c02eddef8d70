// Where the preview puts a picture: as large as fits whole, its shape kept,
// centred.
#include <gtest/gtest.h>

#include "preview_place.h"

TEST(PreviewPlace, PicturesOfEveryShapeInASquareAndAWideArea)
{
    const struct {
        int areaWidth, areaHeight, pictureWidth, pictureHeight;
        int left, top, width, height;
    } rows[] = {
        // Square area: a square picture fills it, small or large.
        {176, 176, 40, 40, 0, 0, 176, 176},
        {176, 176, 2, 2, 0, 0, 176, 176},
        {176, 176, 4000, 4000, 0, 0, 176, 176},
        // 2:1 and 1:2: the long side fills, the other is centred.
        {176, 176, 4000, 2000, 0, 44, 176, 88},
        {176, 176, 2000, 4000, 44, 0, 88, 176},
        // 4:3 photos, either way up: 132 is 176 · 3 / 4.
        {176, 176, 4000, 3000, 0, 22, 176, 132},
        {176, 176, 3000, 4000, 22, 0, 132, 176},
        // Rounded to the nearest pixel: 176 · 3 / 7 = 75.43.
        {176, 176, 700, 300, 0, 50, 176, 75},
        // An odd margin leaves the extra pixel after the picture.
        {175, 176, 100, 200, 43, 0, 88, 176},
        // Extreme shapes keep at least one pixel.
        {176, 176, 10000, 1, 0, 87, 176, 1},
        {176, 176, 1, 10000, 87, 0, 1, 176},
        // A wide area with a square picture.
        {300, 100, 50, 50, 100, 0, 100, 100},
        // Sizes near the largest pictures do not overflow.
        {176, 176, 2000000000, 1000000000, 0, 44, 176, 88},
        // Nothing to place.
        {0, 176, 40, 40, 0, 0, 0, 0},
        {176, 176, 0, 40, 0, 0, 0, 0},
        {176, -5, 40, 40, 0, 0, 0, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::to_string(r.pictureWidth) + " x " + std::to_string(r.pictureHeight) + " in " +
                     std::to_string(r.areaWidth) + " x " + std::to_string(r.areaHeight));
        PreviewPlace place = FitPictureInArea(r.areaWidth, r.areaHeight, r.pictureWidth, r.pictureHeight);
        EXPECT_EQ(place.left, r.left);
        EXPECT_EQ(place.top, r.top);
        EXPECT_EQ(place.width, r.width);
        EXPECT_EQ(place.height, r.height);
    }
}

// The player's geometry: fitting the picture, reducing large grids, and
// mapping pixels to cells.
#include "player_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(PlayerLayout, OpensAtNaturalSizeWhereItFitsAndScalesLargePicturesDown)
{
    PlayerLayout natural = ComputePlayerLayout(640, 480, 1280, 1024, 4);
    EXPECT_EQ(640, natural.width);
    EXPECT_EQ(480, natural.height);
    PlayerLayout medium = ComputePlayerLayout(300, 200, 1280, 1024, 4);  // above the small size
    EXPECT_EQ(300, medium.width);
    EXPECT_EQ(200, medium.height);
    PlayerLayout edge = ComputePlayerLayout(1024, 819, 1280, 1024, 4);  // exactly 80%
    EXPECT_EQ(1024, edge.width);
    EXPECT_EQ(819, edge.height);
    PlayerLayout tall = ComputePlayerLayout(100, 1000, 1280, 1024, 4);
    EXPECT_EQ(819, tall.height);
    EXPECT_EQ(82, tall.width);
    PlayerLayout huge = ComputePlayerLayout(40000, 30000, 800, 600, 4);
    EXPECT_EQ(640, huge.width);
    EXPECT_EQ(480, huge.height);
    EXPECT_EQ(4, huge.grid);
    EXPECT_FALSE(huge.gridReduced);
}

TEST(PlayerLayout, SmallPicturesOpenAtTheLargestWholeMultipleThatFits)
{
    PlayerLayout tiny = ComputePlayerLayout(3, 3, 1280, 1024, 4);
    EXPECT_EQ(3 * 273, tiny.width);  // 819 / 3
    EXPECT_EQ(3 * 273, tiny.height);
    EXPECT_EQ(4, tiny.grid);
    PlayerLayout small = ComputePlayerLayout(80, 60, 1280, 1024, 4);
    EXPECT_EQ(80 * 12, small.width);  // 1024 / 80 = 12 decides before 819 / 60 = 13
    EXPECT_EQ(60 * 12, small.height);
    PlayerLayout side = ComputePlayerLayout(SmallPictureSide, SmallPictureSide, 1280, 1024, 4);
    EXPECT_EQ(SmallPictureSide * 5, side.width);
    PlayerLayout above = ComputePlayerLayout(SmallPictureSide + 1, 10, 1280, 1024, 4);
    EXPECT_EQ(SmallPictureSide + 1, above.width);
    // On a work area too small for twice the picture it stays at its size.
    PlayerLayout cramped = ComputePlayerLayout(100, 100, 240, 240, 2);
    EXPECT_EQ(100, cramped.width);
}

TEST(PlayerLayout, FitPictureKeepsTheAspectRatioAndCentres)
{
    PictureRect wide = FitPicture(400, 200, 1000, 1000);
    EXPECT_EQ(1000, wide.width);
    EXPECT_EQ(500, wide.height);
    EXPECT_EQ(0, wide.left);
    EXPECT_EQ(250, wide.top);
    PictureRect high = FitPicture(400, 200, 1000, 300);
    EXPECT_EQ(600, high.width);
    EXPECT_EQ(300, high.height);
    EXPECT_EQ(200, high.left);
    EXPECT_EQ(0, high.top);
    PictureRect same = FitPicture(300, 200, 480, 200);  // the natural size in a wider window
    EXPECT_EQ(300, same.width);
    EXPECT_EQ(200, same.height);
    EXPECT_EQ(90, same.left);
    PictureRect degenerate = FitPicture(100000, 1, 0, -3);
    EXPECT_EQ(1, degenerate.width);
    EXPECT_EQ(1, degenerate.height);
}

TEST(PlayerLayout, DegenerateSizesStayPositive)
{
    PlayerLayout thin = ComputePlayerLayout(100000, 1, 1280, 1024, 2);  // scaled down
    EXPECT_EQ(1024, thin.width);
    EXPECT_EQ(1, thin.height);
    PlayerLayout zero = ComputePlayerLayout(0, -5, 0, 0, 2);
    EXPECT_EQ(1, zero.width);
    EXPECT_EQ(1, zero.height);
}

TEST(PlayerLayout, LargeGridsAreReducedToSixteenPixelTiles)
{
    PlayerLayout layout = ComputePlayerLayout(819, 819, 1280, 1024, 9999);
    EXPECT_EQ(819 / 16, layout.grid);
    EXPECT_EQ(9999, layout.requestedGrid);
    EXPECT_TRUE(layout.gridReduced);
    EXPECT_EQ("Grid reduced from 9999 x 9999 to 51 x 51 so that tiles are at least 16 pixels.",
              GridNotice(layout));

    PlayerLayout exact = ComputePlayerLayout(819, 819, 1280, 1024, 51);
    EXPECT_EQ(51, exact.grid);
    EXPECT_FALSE(exact.gridReduced);
    EXPECT_EQ("", GridNotice(exact));

    // A strip too narrow for any grid: the picture is shown whole, and said so.
    PlayerLayout strip = ComputePlayerLayout(1000, 10, 1280, 1024, 3);
    EXPECT_LT(strip.grid, 2);
    EXPECT_TRUE(strip.gridReduced);
    EXPECT_NE(std::string::npos, GridNotice(strip).find("no puzzle"));
}

TEST(PlayerLayout, GridsBelowTwoPlayAsFourByFour)
{
    // Puzzles made when the builder's first grid size, 0, went through.
    for (int grid : {-7, 0, 1}) {
        PlayerLayout layout = ComputePlayerLayout(10, 10, 1280, 1024, grid);
        EXPECT_EQ(DefaultGrid, layout.grid);
        EXPECT_EQ(4, layout.grid);
        EXPECT_EQ(4, layout.requestedGrid);
        EXPECT_FALSE(layout.gridReduced);
        EXPECT_EQ("", GridNotice(layout));
    }
    // Still reduced where even 4 x 4 tiles would be too small.
    PlayerLayout strip = ComputePlayerLayout(1000, 40, 1280, 1024, 0);
    EXPECT_EQ(2, strip.grid);
    EXPECT_TRUE(strip.gridReduced);
    EXPECT_EQ("Grid reduced from 4 x 4 to 2 x 2 so that tiles are at least 16 pixels.", GridNotice(strip));
    EXPECT_EQ(2, ComputePlayerLayout(10, 10, 1280, 1024, 2).grid);
}

TEST(PlayerLayout, EveryPixelFallsInTheCellWhoseEdgesEncloseIt)
{
    for (int extent = 1; extent <= 120; ++extent) {
        for (int grid = 1; grid <= 17; ++grid) {
            EXPECT_EQ(0, CellEdge(extent, grid, 0));
            EXPECT_EQ(extent, CellEdge(extent, grid, grid));
            for (int position = 0; position < extent; ++position) {
                int cell = CellAt(extent, grid, position);
                ASSERT_GE(cell, 0);
                ASSERT_LT(cell, grid);
                ASSERT_LE(CellEdge(extent, grid, cell), position);
                ASSERT_LT(position, CellEdge(extent, grid, cell + 1))
                    << extent << " " << grid << " " << position;
            }
            EXPECT_EQ(-1, CellAt(extent, grid, -1));
            EXPECT_EQ(-1, CellAt(extent, grid, extent));
        }
    }
    EXPECT_EQ(-1, CellAt(100, 0, 5));
}

TEST(PlayerLayout, ElapsedTimeText)
{
    EXPECT_EQ("0:00", FormatElapsed(0));
    EXPECT_EQ("0:59", FormatElapsed(59));
    EXPECT_EQ("1:01", FormatElapsed(61));
    EXPECT_EQ("59:59", FormatElapsed(3599));
    EXPECT_EQ("1:00:00", FormatElapsed(3600));
    EXPECT_EQ("27:46:40", FormatElapsed(100000));
}

}  // namespace

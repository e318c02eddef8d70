#include <gtest/gtest.h>

#include "preview_grid.h"

namespace {

void ExpectCell(const PreviewCell& cell, int left, int top, int right, int bottom)
{
    EXPECT_EQ(cell.left, left);
    EXPECT_EQ(cell.top, top);
    EXPECT_EQ(cell.right, right);
    EXPECT_EQ(cell.bottom, bottom);
}

}  // namespace

TEST(PreviewGrid, OneCellCoversTheWholeGridArea)
{
    PreviewGrid grid = MakePreviewGrid(2, 2, 154, 154, 1);
    EXPECT_EQ(grid.columns, 1);
    EXPECT_EQ(grid.rows, 1);
    ExpectCell(PreviewGridCell(grid, 0, 0), 2, 2, 156, 156);
}

TEST(PreviewGrid, EdgesAreTruncatedFractions)
{
    // 154 / 3 = 51.33...: edges at 2, 53, 104, 156.
    PreviewGrid grid = MakePreviewGrid(2, 2, 154, 154, 3);
    EXPECT_EQ(grid.columns, 3);
    EXPECT_DOUBLE_EQ(grid.cellWidth, 154.0 / 3);
    ExpectCell(PreviewGridCell(grid, 0, 0), 2, 2, 53, 53);
    ExpectCell(PreviewGridCell(grid, 1, 0), 53, 2, 104, 53);
    ExpectCell(PreviewGridCell(grid, 2, 2), 104, 104, 156, 156);

    // 154 / 4 = 38.5: edges at 2, 40, 79, 117, 156.
    grid = MakePreviewGrid(2, 2, 154, 154, 4);
    ExpectCell(PreviewGridCell(grid, 1, 2), 40, 79, 79, 117);
    ExpectCell(PreviewGridCell(grid, 3, 3), 117, 117, 156, 156);
}

TEST(PreviewGrid, WidthAndHeightAreSplitSeparately)
{
    PreviewGrid grid = MakePreviewGrid(2, 2, 100, 50, 2);
    EXPECT_DOUBLE_EQ(grid.cellWidth, 50.0);
    EXPECT_DOUBLE_EQ(grid.cellHeight, 25.0);
    ExpectCell(PreviewGridCell(grid, 1, 1), 52, 27, 102, 52);
}

TEST(PreviewGrid, NoCellsWithoutAPositiveGridSize)
{
    for (int size : {0, -1, -9999}) {
        PreviewGrid grid = MakePreviewGrid(2, 2, 154, 154, size);
        EXPECT_EQ(grid.columns, 0) << size;
        EXPECT_EQ(grid.rows, 0) << size;
    }
}

TEST(PreviewGrid, NeverMoreCellsPerSideThanPixelsAcross)
{
    EXPECT_EQ(MakePreviewGrid(2, 2, 154, 154, 154).columns, 154);
    for (int size : {155, 1000, 9999}) {
        PreviewGrid grid = MakePreviewGrid(2, 2, 154, 154, size);
        EXPECT_EQ(grid.columns, 154) << size;
        EXPECT_EQ(grid.rows, 154) << size;
        // One cell per pixel, and the grid still ends at W - 4.
        ExpectCell(PreviewGridCell(grid, 0, 0), 2, 2, 3, 3);
        ExpectCell(PreviewGridCell(grid, 153, 153), 155, 155, 156, 156);
    }
    PreviewGrid wide = MakePreviewGrid(2, 2, 394, 14, 9999);
    EXPECT_EQ(wide.columns, 394);
    EXPECT_EQ(wide.rows, 14);
}

TEST(PreviewGrid, FrameWithoutRoomStillHasOneCell)
{
    PreviewGrid grid = MakePreviewGrid(2, 2, -2, -2, 50);
    EXPECT_EQ(grid.columns, 1);
    EXPECT_EQ(grid.rows, 1);
    ExpectCell(PreviewGridCell(grid, 0, 0), 2, 2, 0, 0);
}

TEST(PreviewGrid, OverAPictureThatKeepsItsShape)
{
    // A 2:1 picture centred in a 174-pixel area from (2, 2): 174 x 87 at
    // (2, 45). Its grid ends on its last column and row, 3 x 3 cells.
    PreviewGrid grid = MakePreviewGrid(2, 45, 174, 87, 3);
    ExpectCell(PreviewGridCell(grid, 0, 0), 2, 45, 60, 74);
    ExpectCell(PreviewGridCell(grid, 2, 2), 118, 103, 176, 132);
    // A third of 134 is no whole number; the last edge still lands on 136.
    grid = MakePreviewGrid(2, 2, 134, 134, 3);
    ExpectCell(PreviewGridCell(grid, 2, 2), 91, 91, 136, 136);
}

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
    PreviewGrid grid = MakePreviewGrid(160, 160, 1);
    EXPECT_EQ(grid.columns, 1);
    EXPECT_EQ(grid.rows, 1);
    ExpectCell(PreviewGridCell(grid, 0, 0), 2, 2, 156, 156);
}

TEST(PreviewGrid, EdgesAreTruncatedFractions)
{
    // 154 / 3 = 51.33...: edges at 2, 53, 104, 156.
    PreviewGrid grid = MakePreviewGrid(160, 160, 3);
    EXPECT_EQ(grid.columns, 3);
    EXPECT_DOUBLE_EQ(grid.cellWidth, 154.0 / 3);
    ExpectCell(PreviewGridCell(grid, 0, 0), 2, 2, 53, 53);
    ExpectCell(PreviewGridCell(grid, 1, 0), 53, 2, 104, 53);
    ExpectCell(PreviewGridCell(grid, 2, 2), 104, 104, 156, 156);

    // 154 / 4 = 38.5: edges at 2, 40, 79, 117, 156.
    grid = MakePreviewGrid(160, 160, 4);
    ExpectCell(PreviewGridCell(grid, 1, 2), 40, 79, 79, 117);
    ExpectCell(PreviewGridCell(grid, 3, 3), 117, 117, 156, 156);
}

TEST(PreviewGrid, WidthAndHeightAreSplitSeparately)
{
    PreviewGrid grid = MakePreviewGrid(106, 56, 2);
    EXPECT_DOUBLE_EQ(grid.cellWidth, 50.0);
    EXPECT_DOUBLE_EQ(grid.cellHeight, 25.0);
    ExpectCell(PreviewGridCell(grid, 1, 1), 52, 27, 102, 52);
}

TEST(PreviewGrid, NoCellsWithoutAPositiveGridSize)
{
    for (int size : {0, -1, -9999}) {
        PreviewGrid grid = MakePreviewGrid(160, 160, size);
        EXPECT_EQ(grid.columns, 0) << size;
        EXPECT_EQ(grid.rows, 0) << size;
    }
}

TEST(PreviewGrid, NeverMoreCellsPerSideThanPixelsAcross)
{
    EXPECT_EQ(MakePreviewGrid(160, 160, 154).columns, 154);
    for (int size : {155, 1000, 9999}) {
        PreviewGrid grid = MakePreviewGrid(160, 160, size);
        EXPECT_EQ(grid.columns, 154) << size;
        EXPECT_EQ(grid.rows, 154) << size;
        // One cell per pixel, and the grid still ends at W - 4.
        ExpectCell(PreviewGridCell(grid, 0, 0), 2, 2, 3, 3);
        ExpectCell(PreviewGridCell(grid, 153, 153), 155, 155, 156, 156);
    }
    PreviewGrid wide = MakePreviewGrid(400, 20, 9999);
    EXPECT_EQ(wide.columns, 394);
    EXPECT_EQ(wide.rows, 14);
}

TEST(PreviewGrid, FrameWithoutRoomStillHasOneCell)
{
    PreviewGrid grid = MakePreviewGrid(4, 4, 50);
    EXPECT_EQ(grid.columns, 1);
    EXPECT_EQ(grid.rows, 1);
    ExpectCell(PreviewGridCell(grid, 0, 0), 2, 2, 0, 0);
}

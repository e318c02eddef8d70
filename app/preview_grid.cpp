#include "preview_grid.h"

namespace {

int CellsAcross(int gridSize, int pixels)
{
    if (gridSize < 1)
        return 0;
    if (pixels < 1)
        return 1;
    return gridSize < pixels ? gridSize : pixels;
}

// The edge before cell index of count cells over pixels: the exact fraction
// index · pixels / count, truncated. Computed in integers: in floating point
// index · (pixels / count) can fall just below a whole number (the 32-bit x87
// unit keeps the product at extended precision), which would move the grid's
// last edge one pixel in from where it belongs.
int Edge(int start, int index, int pixels, int count)
{
    if (count < 1)
        return start;
    return start + static_cast<int>(static_cast<long long>(index) * pixels / count);
}

}  // namespace

PreviewGrid MakePreviewGrid(int left, int top, int width, int height, int gridSize)
{
    PreviewGrid grid;
    grid.left = left;
    grid.top = top;
    grid.width = width;
    grid.height = height;
    grid.columns = CellsAcross(gridSize, width);
    grid.rows = CellsAcross(gridSize, height);
    grid.cellWidth = grid.columns > 0 ? static_cast<double>(width) / grid.columns : 0.0;
    grid.cellHeight = grid.rows > 0 ? static_cast<double>(height) / grid.rows : 0.0;
    return grid;
}

PreviewCell PreviewGridCell(const PreviewGrid& grid, int column, int row)
{
    PreviewCell cell;
    cell.left = Edge(grid.left, column, grid.width, grid.columns);
    cell.top = Edge(grid.top, row, grid.height, grid.rows);
    cell.right = Edge(grid.left, column + 1, grid.width, grid.columns);
    cell.bottom = Edge(grid.top, row + 1, grid.height, grid.rows);
    return cell;
}

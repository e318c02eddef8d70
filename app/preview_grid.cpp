#include "preview_grid.h"

namespace {

// Inset of the picture and the grid from the frame's left and top edges.
const int PreviewMargin = 2;

int CellsAcross(int gridSize, int pixels)
{
    if (gridSize < 1)
        return 0;
    if (pixels < 1)
        return 1;
    return gridSize < pixels ? gridSize : pixels;
}

}  // namespace

PreviewGrid MakePreviewGrid(int frameWidth, int frameHeight, int gridSize)
{
    PreviewGrid grid;
    grid.left = PreviewMargin;
    grid.top = PreviewMargin;
    // Right and bottom lie at W - 4 and H - 4, so the area is W - 6 by H - 6.
    int width = frameWidth - 4 - PreviewMargin;
    int height = frameHeight - 4 - PreviewMargin;
    grid.columns = CellsAcross(gridSize, width);
    grid.rows = CellsAcross(gridSize, height);
    grid.cellWidth = grid.columns > 0 ? static_cast<double>(width) / grid.columns : 0.0;
    grid.cellHeight = grid.rows > 0 ? static_cast<double>(height) / grid.rows : 0.0;
    return grid;
}

PreviewCell PreviewGridCell(const PreviewGrid& grid, int column, int row)
{
    PreviewCell cell;
    cell.left = static_cast<int>(grid.left + column * grid.cellWidth);
    cell.top = static_cast<int>(grid.top + row * grid.cellHeight);
    cell.right = static_cast<int>(grid.left + (column + 1) * grid.cellWidth);
    cell.bottom = static_cast<int>(grid.top + (row + 1) * grid.cellHeight);
    return cell;
}

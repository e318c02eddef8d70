// Geometry of the preview's puzzle grid, kept apart from the painting so it is
// tested without a window.
#pragma once

// The grid over the picture as the preview shows it: the rectangle of
// width x height pixels from (left, top), split into columns x rows cells of
// cellWidth x cellHeight pixels. The outlines of the last column and row lie
// on the picture's last pixels, so the cells cover it whole, as the tiles do.
struct PreviewGrid {
    int left;
    int top;
    int width;
    int height;
    int columns;
    int rows;
    double cellWidth;
    double cellHeight;
};

// A cell's rectangle as Rectangle() takes it.
struct PreviewCell {
    int left;
    int top;
    int right;
    int bottom;
};

// The grid for gridSize cells per side over the given rectangle. A side
// never gets more cells than it has pixels: cells narrower than a pixel would
// only paint the same pixels again, so a larger grid size is drawn as one cell
// per pixel. gridSize below 1 gives no cells (columns and rows 0).
PreviewGrid MakePreviewGrid(int left, int top, int width, int height, int gridSize);

// The cell in the given column and row (0-based, from the top left); edges are
// the exact fractions of the rectangle, truncated toward zero.
PreviewCell PreviewGridCell(const PreviewGrid& grid, int column, int row);

// Geometry of the preview's puzzle grid, kept apart from the painting so it is
// tested without a window.
#pragma once

// The grid over a preview frame: the area inside the frame's 2-pixel margin,
// from (2, 2) to (W - 4, H - 4) of the frame's client size W x H, split into
// columns x rows cells of cellWidth x cellHeight pixels.
struct PreviewGrid {
    int left;
    int top;
    int columns;
    int rows;
    int width;   // the grid area's size in pixels
    int height;
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

// The grid for gridSize cells per side over a frame of the given client size.
// A side never gets more cells than the grid area has pixels across: cells
// narrower than a pixel would only paint the same pixels again, so a larger
// grid size is drawn as one cell per pixel. gridSize below 1 gives no cells
// (columns and rows 0).
PreviewGrid MakePreviewGrid(int frameWidth, int frameHeight, int gridSize);

// The cell in the given column and row (0-based, from the top left); edges are
// truncated toward zero.
PreviewCell PreviewGridCell(const PreviewGrid& grid, int column, int row);

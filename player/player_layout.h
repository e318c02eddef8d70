// Where the player puts the picture and its tiles: the picture's size on
// screen, the grid actually played and the cell edges. Portable, so the
// geometry is tested without a window.
#pragma once

#include <string>

// Tiles are never smaller than this on screen; larger grids are reduced.
const int MinTilePixels = 16;

struct PlayerLayout {
    int width = 0;          // picture size on screen, in pixels
    int height = 0;
    int requestedGrid = 0;  // grid size from the record
    int grid = 0;           // grid in play; below 2 the picture is shown whole
    bool gridReduced = false;
};

// Scales the picture to fit within 80% of the work area, keeping its aspect
// ratio (small pictures are enlarged), and reduces the grid so that tiles are
// at least MinTilePixels on each side. Sizes below 1 are taken as 1.
PlayerLayout ComputePlayerLayout(int pictureWidth, int pictureHeight, int workWidth,
                                 int workHeight, int requestedGrid);

// Edge index of a cell along a side of extent pixels cut into grid cells
// (index 0 gives 0, index grid gives extent).
int CellEdge(int extent, int grid, int index);

// The cell that holds pixel position along a side, or -1 outside.
int CellAt(int extent, int grid, int position);

// The line that explains a reduced grid; empty when the grid was not reduced.
std::string GridNotice(const PlayerLayout& layout);

// "m:ss" (or "h:mm:ss" from one hour on).
std::string FormatElapsed(unsigned seconds);

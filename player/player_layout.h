// Where the player puts the picture and its tiles: the picture's opening size,
// the grid actually played, the picture's place in a window of any size and
// the cell edges. Portable, so the geometry is tested without a window.
#pragma once

#include <string>

// Tiles are never smaller than this on screen when the window opens; larger
// grids are reduced.
const int MinTilePixels = 16;

// A picture whose longer side is at most this many pixels is small: it opens
// enlarged by a whole multiple (every picture pixel a square of screen pixels)
// instead of at its natural size.
const int SmallPictureSide = 160;

// The grid played when the record asks for less than 2 x 2.
const int DefaultGrid = 4;

struct PlayerLayout {
    int width = 0;          // picture size on screen when the window opens, pixels
    int height = 0;
    int requestedGrid = 0;  // grid size from the record
    int grid = 0;           // grid in play; below 2 the picture is shown whole
    bool gridReduced = false;
};

// The picture's opening size and the grid in play. A picture that fits
// within 80% of the work area opens at its natural size, one picture pixel to
// one screen pixel; a small one at the largest whole multiple of its size that
// fits there; a larger one is scaled down to fit, keeping its aspect ratio.
// The grid is reduced so that tiles are at least MinTilePixels on each side.
// A requested grid below 2 (a puzzle made when the builder still let its
// first grid size, 0, or 1 through) plays as DefaultGrid: it was made to be a
// puzzle. Sizes below 1 are taken as 1.
PlayerLayout ComputePlayerLayout(int pictureWidth, int pictureHeight, int workWidth,
                                 int workHeight, int requestedGrid);

struct PictureRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The picture scaled to fit an area of areaWidth x areaHeight pixels, as large
// as it fits keeping its aspect ratio, centred. At least 1 x 1.
PictureRect FitPicture(int pictureWidth, int pictureHeight, int areaWidth, int areaHeight);

// Edge index of a cell along a side of extent pixels cut into grid cells
// (index 0 gives 0, index grid gives extent).
int CellEdge(int extent, int grid, int index);

// The cell that holds pixel position along a side, or -1 outside.
int CellAt(int extent, int grid, int position);

// The text that explains a reduced grid; empty when the grid was not reduced.
std::string GridNotice(const PlayerLayout& layout);

// "m:ss" (or "h:mm:ss" from one hour on).
std::string FormatElapsed(unsigned seconds);

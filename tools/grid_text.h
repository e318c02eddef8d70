// The grid size as people type it, on the command line or in a list: a whole
// number of pieces per side that makes a game.
#pragma once

#include <string>

// A 1 x 1 puzzle has nothing to slide; the builder's field holds four digits.
const int GridSizeDefault = 4;
const int GridSizeSmallest = 2;
const int GridSizeLargest = 9999;

enum GridTextResult {
    GridTextTaken,
    GridTextNotWhole,  // not a whole number written plainly in digits, or past the largest
    GridTextTooSmall,  // a whole number below the smallest
};

// Digits only (leading zeros allowed, no sign), from GridSizeSmallest to
// GridSizeLargest; *grid is set only when the text is taken.
GridTextResult ParseGridText(const std::string& text, int* grid);

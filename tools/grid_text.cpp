#include "grid_text.h"

GridTextResult ParseGridText(const std::string& text, int* grid)
{
    if (text.empty())
        return GridTextNotWhole;
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return GridTextNotWhole;
        value = value * 10 + (c - '0');
        if (value > GridSizeLargest)
            return GridTextNotWhole;
    }
    if (value < GridSizeSmallest)
        return GridTextTooSmall;
    *grid = static_cast<int>(value);
    return GridTextTaken;
}

#include "grid_text.h"

GridTextResult ParseGridText(const std::string& text, int* grid)
{
    if (text.empty() || text.size() > 5 || (text[0] == '0' && text.size() > 1))
        return GridTextNotWhole;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return GridTextNotWhole;
        value = value * 10 + (c - '0');
    }
    if (value > GridSizeLargest)
        return GridTextNotWhole;
    if (value < GridSizeSmallest)
        return GridTextTooSmall;
    *grid = value;
    return GridTextTaken;
}

#include "player_layout.h"

#include <cstdio>

#include "vn_tr.h"

PlayerLayout ComputePlayerLayout(int pictureWidth, int pictureHeight, int workWidth,
                                 int workHeight, int requestedGrid)
{
    if (pictureWidth < 1)
        pictureWidth = 1;
    if (pictureHeight < 1)
        pictureHeight = 1;
    const long long maxWidth = workWidth > 1 ? static_cast<long long>(workWidth) * 8 / 10 : 1;
    const long long maxHeight = workHeight > 1 ? static_cast<long long>(workHeight) * 8 / 10 : 1;

    PlayerLayout layout;
    if (pictureWidth <= maxWidth && pictureHeight <= maxHeight) {
        long long multiple = 1;
        if (pictureWidth <= SmallPictureSide && pictureHeight <= SmallPictureSide) {
            multiple = maxWidth / pictureWidth;
            if (maxHeight / pictureHeight < multiple)
                multiple = maxHeight / pictureHeight;
        }
        layout.width = static_cast<int>(pictureWidth * multiple);
        layout.height = static_cast<int>(pictureHeight * multiple);
    } else {
        PictureRect fit = FitPicture(pictureWidth, pictureHeight, static_cast<int>(maxWidth),
                                     static_cast<int>(maxHeight));
        layout.width = fit.width;
        layout.height = fit.height;
    }

    if (requestedGrid < 2)
        requestedGrid = DefaultGrid;
    layout.requestedGrid = requestedGrid;
    layout.grid = requestedGrid;
    const int shorter = layout.width < layout.height ? layout.width : layout.height;
    const int largestGrid = shorter / MinTilePixels;
    if (requestedGrid > largestGrid) {
        layout.grid = largestGrid;
        layout.gridReduced = true;
    }
    return layout;
}

PictureRect FitPicture(int pictureWidth, int pictureHeight, int areaWidth, int areaHeight)
{
    const long long w = pictureWidth > 1 ? pictureWidth : 1;
    const long long h = pictureHeight > 1 ? pictureHeight : 1;
    const long long aw = areaWidth > 1 ? areaWidth : 1;
    const long long ah = areaHeight > 1 ? areaHeight : 1;
    // Fit by the tighter side, in integers: scale by aw/w or ah/h, whichever
    // is smaller.
    PictureRect rect;
    if (aw * h <= ah * w) {
        rect.width = static_cast<int>(aw);
        rect.height = static_cast<int>((aw * h + w / 2) / w);
    } else {
        rect.height = static_cast<int>(ah);
        rect.width = static_cast<int>((ah * w + h / 2) / h);
    }
    if (rect.width < 1)
        rect.width = 1;
    if (rect.height < 1)
        rect.height = 1;
    if (rect.width > aw)
        rect.width = static_cast<int>(aw);
    if (rect.height > ah)
        rect.height = static_cast<int>(ah);
    rect.left = static_cast<int>((aw - rect.width) / 2);
    rect.top = static_cast<int>((ah - rect.height) / 2);
    return rect;
}

int CellEdge(int extent, int grid, int index)
{
    if (grid < 1)
        return index <= 0 ? 0 : extent;
    return static_cast<int>(static_cast<long long>(extent) * index / grid);
}

int CellAt(int extent, int grid, int position)
{
    if (grid < 1 || position < 0 || position >= extent)
        return -1;
    // The cell whose edges enclose position.
    int cell = static_cast<int>(static_cast<long long>(position) * grid / extent);
    while (cell > 0 && position < CellEdge(extent, grid, cell))
        --cell;
    while (cell < grid - 1 && position >= CellEdge(extent, grid, cell + 1))
        ++cell;
    return cell;
}

std::string GridNotice(const PlayerLayout& layout)
{
    if (!layout.gridReduced)
        return std::string();
    if (layout.grid >= 2)
        return VnFormat(Tr("Grid reduced from %d x %d to %d x %d so that tiles are at least %d pixels."),
                        {layout.requestedGrid, layout.requestedGrid, layout.grid, layout.grid,
                         MinTilePixels});
    return VnFormat(Tr("A %d x %d grid would make tiles smaller than %d pixels: no puzzle."),
                    {layout.requestedGrid, layout.requestedGrid, MinTilePixels});
}

std::string FormatElapsed(unsigned seconds)
{
    char text[32];
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%u:%02u:%02u", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
    else
        std::snprintf(text, sizeof text, "%u:%02u", seconds / 60, seconds % 60);
    return text;
}

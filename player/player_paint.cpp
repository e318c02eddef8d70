// Drawing the player's client area: the picture whole or cut into tiles.
#include <windows.h>

#include "player_state.h"

namespace {

const COLORREF SlotColour = RGB(128, 128, 128);
const COLORREF SeamColour = RGB(64, 64, 64);

// Draws the picture area into dc: the whole picture, or the tiles where the
// board has them with the grey slot.
void DrawPictureArea(HDC dc)
{
    RECT area = {0, 0, AreaWidth, Layout.height};
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ previousBitmap = SelectObject(source, PictureBitmap);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    if (ShowingWholePicture()) {
        StretchBlt(dc, PictureLeft, 0, Layout.width, Layout.height, source, 0, 0, PictureWidth,
                   PictureHeight, SRCCOPY);
    } else {
        const int grid = Layout.grid;
        HBRUSH slot = CreateSolidBrush(SlotColour);
        for (int row = 0; row < grid; ++row) {
            for (int column = 0; column < grid; ++column) {
                RECT cell = {PictureLeft + CellEdge(Layout.width, grid, column),
                             CellEdge(Layout.height, grid, row),
                             PictureLeft + CellEdge(Layout.width, grid, column + 1),
                             CellEdge(Layout.height, grid, row + 1)};
                int tile = Board->TileAt(column, row);
                if (tile == PuzzleBoard::EmptyCell) {
                    FillRect(dc, &cell, slot);
                    continue;
                }
                int homeColumn = tile % grid;
                int homeRow = tile / grid;
                int sourceLeft = CellEdge(PictureWidth, grid, homeColumn);
                int sourceTop = CellEdge(PictureHeight, grid, homeRow);
                StretchBlt(dc, cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top,
                           source, sourceLeft, sourceTop,
                           CellEdge(PictureWidth, grid, homeColumn + 1) - sourceLeft,
                           CellEdge(PictureHeight, grid, homeRow + 1) - sourceTop, SRCCOPY);
            }
        }
        DeleteObject(slot);
        // Seams between the cells, so that neighbouring tiles can be told apart.
        HBRUSH seam = CreateSolidBrush(SeamColour);
        for (int i = 1; i < grid; ++i) {
            RECT vertical = {PictureLeft + CellEdge(Layout.width, grid, i), 0, 0, Layout.height};
            vertical.right = vertical.left + 1;
            FillRect(dc, &vertical, seam);
            RECT horizontal = {PictureLeft, CellEdge(Layout.height, grid, i),
                               PictureLeft + Layout.width, 0};
            horizontal.bottom = horizontal.top + 1;
            FillRect(dc, &horizontal, seam);
        }
        DeleteObject(seam);
    }
    SelectObject(source, previousBitmap);
    DeleteDC(source);
}

}  // namespace

void PaintPlayer(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    // Drawn off screen first, so that a slide does not flicker.
    HDC buffer = CreateCompatibleDC(dc);
    HBITMAP canvas = CreateCompatibleBitmap(dc, AreaWidth, Layout.height);
    HGDIOBJ previous = SelectObject(buffer, canvas);
    DrawPictureArea(buffer);
    BitBlt(dc, 0, 0, AreaWidth, Layout.height, buffer, 0, 0, SRCCOPY);
    RECT client;
    GetClientRect(window, &client);
    RECT strip = {0, Layout.height, client.right, client.bottom};
    FillRect(dc, &strip, GetSysColorBrush(COLOR_BTNFACE));
    SelectObject(buffer, previous);
    DeleteObject(canvas);
    DeleteDC(buffer);
    EndPaint(window, &paint);
}


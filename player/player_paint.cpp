// Drawing the player's client area. The tiles are cut from the picture
// scaled to its place on screen (player_picture.cpp), so every tile shows its
// share at any size, and the board is kept drawn in an off-screen frame: a
// slide redraws only its cells there, and a paint copies the frame out.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "player_state.h"

namespace {

const COLORREF SlotColour = RGB(128, 128, 128);

// The seams between tiles, the numbers' boxes and the hint's frame: fixed
// colours, or the system's under high contrast.
COLORREF SeamColour()
{
    return HighContrast ? GetSysColor(COLOR_WINDOWTEXT) : RGB(64, 64, 64);
}

COLORREF HintColour()
{
    return HighContrast ? GetSysColor(COLOR_HIGHLIGHT) : RGB(255, 214, 0);
}

COLORREF NumberColour()
{
    return HighContrast ? GetSysColor(COLOR_WINDOWTEXT) : RGB(255, 255, 255);
}

COLORREF NumberBoxColour()
{
    return HighContrast ? GetSysColor(COLOR_WINDOW) : RGB(0, 0, 0);
}

HDC FrameDc;           // holds FrameBitmap: the client area as last drawn
HBITMAP FrameBitmap;
HGDIOBJ FramePrevious;
int FrameWidth;
int FrameHeight;
HFONT NumberFont;
int NumberFontHeight;

void ReleaseFrame()
{
    if (FrameDc) {
        SelectObject(FrameDc, FramePrevious);
        DeleteDC(FrameDc);
    }
    if (FrameBitmap)
        DeleteObject(FrameBitmap);
    FrameDc = nullptr;
    FrameBitmap = nullptr;
    FrameWidth = FrameHeight = 0;
}

bool MakeFrame(int width, int height)
{
    ReleaseFrame();
    HDC screen = GetDC(PlayerWindow);
    FrameBitmap = CreateCompatibleBitmap(screen, width, height);
    FrameDc = CreateCompatibleDC(screen);
    ReleaseDC(PlayerWindow, screen);
    if (!FrameBitmap || !FrameDc) {
        ReleaseFrame();
        return false;
    }
    FramePrevious = SelectObject(FrameDc, FrameBitmap);
    // Tiles are stretched into cells a pixel wider or taller than their share
    // of the scaled picture, or a pixel narrower. The default mode ANDs the
    // rows and columns it drops into their neighbours, which draws dark dotted
    // lines through a picture; COLORONCOLOR just drops them.
    SetStretchBltMode(FrameDc, COLORONCOLOR);
    FrameWidth = width;
    FrameHeight = height;
    return true;
}

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour)
{
    RECT rect = {left, top, right, bottom};
    SetBkColor(dc, colour);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

// A cell's rectangle in the frame.
RECT CellRect(int column, int row)
{
    const int grid = Layout.grid;
    RECT cell = {Picture.left + CellEdge(Picture.width, grid, column),
                 Picture.top + CellEdge(Picture.height, grid, row),
                 Picture.left + CellEdge(Picture.width, grid, column + 1),
                 Picture.top + CellEdge(Picture.height, grid, row + 1)};
    return cell;
}

void SelectNumberFont(HDC dc, int cellHeight)
{
    int height = cellHeight / 3;
    const int largest = ScaleForDpi(18);
    if (height > largest)
        height = largest;
    if (height < 8)
        height = 8;
    if (!NumberFont || height != NumberFontHeight) {
        if (NumberFont) {
            SelectObject(dc, GetStockObject(SYSTEM_FONT));
            DeleteObject(NumberFont);
        }
        NumberFont = CreateFontA(-height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_SWISS, "Arial");
        NumberFontHeight = height;
    }
    SelectObject(dc, NumberFont);
}

// Tile `tile` with its top-left corner at (left, top), sized as the cell it
// is drawn in: its share of the scaled picture, the seams on its left and top
// edges inside the picture, and its number when numbers are shown.
void DrawTile(HDC dc, int tile, const RECT& cell, int dx, int dy)
{
    const int grid = Layout.grid;
    const int homeColumn = tile % grid;
    const int homeRow = tile / grid;
    const int sourceLeft = CellEdge(ScaledWidth, grid, homeColumn);
    const int sourceTop = CellEdge(ScaledHeight, grid, homeRow);
    const int sourceWidth = CellEdge(ScaledWidth, grid, homeColumn + 1) - sourceLeft;
    const int sourceHeight = CellEdge(ScaledHeight, grid, homeRow + 1) - sourceTop;
    const int left = cell.left + dx;
    const int top = cell.top + dy;
    const int width = cell.right - cell.left;
    const int height = cell.bottom - cell.top;
    if (width == sourceWidth && height == sourceHeight)
        BitBlt(dc, left, top, width, height, ScaledDc, sourceLeft, sourceTop, SRCCOPY);
    else  // cells differ from each other by a pixel at most
        StretchBlt(dc, left, top, width, height, ScaledDc, sourceLeft, sourceTop, sourceWidth,
                   sourceHeight, SRCCOPY);
    if (Finished)
        return;
    if (left > Picture.left)
        Fill(dc, left, top, left + 1, top + height, SeamColour());
    if (top > Picture.top)
        Fill(dc, left, top, left + width, top + 1, SeamColour());
    if (ShowNumbers) {
        SelectNumberFont(dc, height);
        char text[16];
        std::snprintf(text, sizeof text, "%d", tile + 1);
        SetTextColor(dc, NumberColour());
        SetBkColor(dc, NumberBoxColour());
        SetBkMode(dc, OPAQUE);
        const int margin = 2;
        TextOutA(dc, left + margin + 1, top + margin + 1, text, lstrlenA(text));
    }
}

void DrawHint(HDC dc, const RECT& cell)
{
    HBRUSH brush = CreateSolidBrush(HintColour());
    const int thickness = ScaleForDpi(3);
    RECT frame = cell;
    for (int i = 0; i < thickness && frame.right - frame.left > 2 && frame.bottom - frame.top > 2; ++i) {
        FrameRect(dc, &frame, brush);
        InflateRect(&frame, -1, -1);
    }
    DeleteObject(brush);
}

// Draws one cell as the board has it now, without the tiles in motion.
void DrawCell(HDC dc, int column, int row)
{
    RECT cell = CellRect(column, row);
    int tile = Board->TileAt(column, row);
    if (tile == PuzzleBoard::EmptyCell) {
        if (Finished)  // the slot fills with its own tile
            DrawTile(dc, Layout.grid * Layout.grid - 1, cell, 0, 0);
        else
            Fill(dc, cell.left, cell.top, cell.right, cell.bottom, SlotColour);
        return;
    }
    int dx = 0;
    int dy = 0;
    if (TileOffset(column, row, &dx, &dy))
        return;  // drawn by DrawMovingTiles
    DrawTile(dc, tile, cell, 0, 0);
    if (column == HintColumn && row == HintRow)
        DrawHint(dc, cell);
}

// Tiles in motion, over the cells already drawn: the slot colour where they
// come from, then each tile at its offset.
void DrawMovingTiles(HDC dc, int column1, int row1, int column2, int row2)
{
    for (int row = row1; row <= row2; ++row)
        for (int column = column1; column <= column2; ++column) {
            int dx = 0;
            int dy = 0;
            if (TileOffset(column, row, &dx, &dy)) {
                RECT cell = CellRect(column, row);
                Fill(dc, cell.left, cell.top, cell.right, cell.bottom, SlotColour);
            }
        }
    for (int row = row1; row <= row2; ++row)
        for (int column = column1; column <= column2; ++column) {
            int dx = 0;
            int dy = 0;
            if (TileOffset(column, row, &dx, &dy))
                DrawTile(dc, Board->TileAt(column, row), CellRect(column, row), dx, dy);
        }
}

void DrawBoard()
{
    if (!FrameDc)
        return;
    Fill(FrameDc, 0, 0, FrameWidth, FrameHeight, GetSysColor(COLOR_BTNFACE));
    if (!ScaledDc)
        return;
    if (ShowingWholePicture()) {
        BitBlt(FrameDc, Picture.left, Picture.top, ScaledWidth, ScaledHeight, ScaledDc, 0, 0, SRCCOPY);
        return;
    }
    const int grid = Layout.grid;
    for (int row = 0; row < grid; ++row)
        for (int column = 0; column < grid; ++column)
            DrawCell(FrameDc, column, row);
    DrawMovingTiles(FrameDc, 0, 0, grid - 1, grid - 1);
}

// Copies a part of the frame to the window at once: a slide is shown without
// waiting for (and paying for) a paint message. Paints still copy any part
// that the system asks for.
void Present(const RECT& part)
{
    if (!PlayerWindow || !FrameDc || !IsWindowVisible(PlayerWindow) || IsIconic(PlayerWindow))
        return;
    HDC dc = GetDC(PlayerWindow);
    BitBlt(dc, part.left, part.top, part.right - part.left, part.bottom - part.top, FrameDc, part.left,
           part.top, SRCCOPY);
    ReleaseDC(PlayerWindow, dc);
}

}  // namespace

bool ShowingWholePicture()
{
    return !PuzzleInPlay() || ShowPictureToggled || ShowPictureHeld;
}

bool LiveResizing;

void LayoutPicture()
{
    Picture = FitPicture(PictureWidth, PictureHeight, AreaWidth, AreaHeight);
    if (AreaWidth < 1 || AreaHeight < 1)
        return;
    if (Picture.width != ScaledWidth || Picture.height != ScaledHeight) {
        // While the user drags the frame, the copy at the last size is
        // stretched quickly; the filtered copy follows when the drag ends.
        if (!LiveResizing || !StretchScaledPicture(Picture.width, Picture.height))
            ScalePicture(Picture.width, Picture.height);
    }
    RECT client;
    GetClientRect(PlayerWindow, &client);
    if (client.right != FrameWidth || client.bottom != FrameHeight)
        MakeFrame(client.right > 1 ? client.right : 1, client.bottom > 1 ? client.bottom : 1);
    DrawBoard();
}

void EndLiveResize()
{
    LiveResizing = false;
    if (ScaledIsRough) {
        ScalePicture(Picture.width, Picture.height);
        RedrawBoard();
    }
}

void RedrawBoard()
{
    DrawBoard();
    if (PlayerWindow)
        InvalidateRect(PlayerWindow, nullptr, FALSE);
}

void RedrawCells(int column1, int row1, int column2, int row2)
{
    if (!FrameDc || !ScaledDc)
        return;
    if (ShowingWholePicture()) {
        RedrawBoard();
        return;
    }
    if (column1 > column2) {
        int swap = column1;
        column1 = column2;
        column2 = swap;
    }
    if (row1 > row2) {
        int swap = row1;
        row1 = row2;
        row2 = swap;
    }
    for (int row = row1; row <= row2; ++row)
        for (int column = column1; column <= column2; ++column)
            DrawCell(FrameDc, column, row);
    DrawMovingTiles(FrameDc, column1, row1, column2, row2);
    RECT first = CellRect(column1, row1);
    RECT last = CellRect(column2, row2);
    RECT dirty = {first.left, first.top, last.right, last.bottom};
    Present(dirty);
}

void PaintPlayer(HWND window)
{
    // The rectangles that need painting (a slide's cells and the status line,
    // say), each copied from the frame on its own rather than their bounds.
    HRGN update = CreateRectRgn(0, 0, 0, 0);
    std::vector<RECT> parts;
    if (update && GetUpdateRgn(window, update, FALSE) == COMPLEXREGION) {
        DWORD size = GetRegionData(update, 0, nullptr);
        std::vector<char> data(size);
        RGNDATA* region = reinterpret_cast<RGNDATA*>(data.data());
        if (size && GetRegionData(update, size, region)) {
            const RECT* rects = reinterpret_cast<const RECT*>(region->Buffer);
            parts.assign(rects, rects + region->rdh.nCount);
        }
    }
    if (update)
        DeleteObject(update);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (parts.empty())
        parts.push_back(paint.rcPaint);
    for (const RECT& part : parts) {
        if (FrameDc)
            BitBlt(dc, part.left, part.top, part.right - part.left, part.bottom - part.top, FrameDc,
                   part.left, part.top, SRCCOPY);
        else
            FillRect(dc, &part, GetSysColorBrush(COLOR_BTNFACE));
    }
    EndPaint(window, &paint);
}

void ReleasePaintResources()
{
    ReleaseScaledPicture();
    ReleaseFrame();
    if (NumberFont)
        DeleteObject(NumberFont);
    NumberFont = nullptr;
}

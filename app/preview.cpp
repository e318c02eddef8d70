// The picture preview: PreviewBitmap, already scaled to the PreviewFrame's
// inner area, copied inside a 2-pixel margin, with the puzzle grid drawn over
// it in a grey dash-dot-dot pen and its bottom-right cell filled grey. The
// picture with its grid is kept composed, so that a repaint is one copy and
// a new grid size draws the grid once.
#include "app.h"
#include "preview_grid.h"

namespace {

const COLORREF GridColour = RGB(128, 128, 128);

void DrawGrid(HDC frame, const PreviewGrid& grid)
{
    HPEN pen = CreatePen(PS_DASHDOTDOT, 1, GridColour);
    HGDIOBJ previousPen = SelectObject(frame, pen);
    HGDIOBJ previousBrush = SelectObject(frame, GetStockObject(NULL_BRUSH));

    for (int column = 0; column < grid.columns; ++column) {
        for (int row = 0; row < grid.rows; ++row) {
            PreviewCell cell = PreviewGridCell(grid, column, row);
            Rectangle(frame, cell.left, cell.top, cell.right, cell.bottom);
        }
    }

    // The bottom-right cell again, filled: the empty slot of the puzzle.
    HBRUSH slot = CreateSolidBrush(GridColour);
    SelectObject(frame, slot);
    PreviewCell last = PreviewGridCell(grid, grid.columns - 1, grid.rows - 1);
    Rectangle(frame, last.left, last.top, last.right, last.bottom);

    SelectObject(frame, previousBrush);
    SelectObject(frame, previousPen);
    DeleteObject(slot);
    DeleteObject(pen);
}

// Makes PreviewComposition, the frame's inner area as the preview shows it
// (the picture with the grid over it), unless it already holds the current
// grid size. False when it cannot be made.
bool ComposePreview(HDC paintContext, int width, int height)
{
    if (PreviewComposition && PreviewCompositionGrid == GridSize)
        return true;
    if (!PreviewComposition) {
        PreviewComposition = CreateCompatibleBitmap(paintContext, width, height);
        if (!PreviewComposition)
            return false;
    }
    HDC picture = CreateCompatibleDC(paintContext);
    HDC composition = CreateCompatibleDC(paintContext);
    HGDIOBJ previousPicture = SelectObject(picture, PreviewBitmap);
    HGDIOBJ previousComposition = SelectObject(composition, PreviewComposition);

    // The picture already has the inner area's size; should the frame have
    // changed size since it was scaled, it is stretched.
    if (PreviewBitmapInfo.bmWidth == width && PreviewBitmapInfo.bmHeight == height)
        BitBlt(composition, 0, 0, width, height, picture, 0, 0, SRCCOPY);
    else {
        // Averaged, not the default mode, which ANDs the pixels it drops
        // and leaves dark dots in a picture made smaller.
        SetStretchBltMode(composition, HALFTONE);
        SetBrushOrgEx(composition, 0, 0, NULL);
        StretchBlt(composition, 0, 0, width, height, picture, 0, 0,
                   PreviewBitmapInfo.bmWidth, PreviewBitmapInfo.bmHeight, SRCCOPY);
    }
    if (GridSize > 0) {
        // Grid coordinates are the frame's; the composition starts at (2, 2).
        SetViewportOrgEx(composition, -2, -2, NULL);
        DrawGrid(composition, MakePreviewGrid(width + 4, height + 4, GridSize));
        SetViewportOrgEx(composition, 0, 0, NULL);
    }

    SelectObject(composition, previousComposition);
    SelectObject(picture, previousPicture);
    DeleteDC(composition);
    DeleteDC(picture);
    PreviewCompositionGrid = GridSize;
    return true;
}

void DrawPreview(HDC paintContext)
{
    RECT client;
    GetClientRect(PreviewFrame, &client);
    // Destination from (2, 2), W - 4 by H - 4: a 2-pixel margin on every side.
    int width = client.right - 4, height = client.bottom - 4;
    if (width < 1 || height < 1 || !ComposePreview(paintContext, width, height))
        return;

    HDC memory = CreateCompatibleDC(paintContext);
    HGDIOBJ previousBitmap = SelectObject(memory, PreviewComposition);
    HDC frame = GetDC(PreviewFrame);
    BitBlt(frame, 2, 2, width, height, memory, 0, 0, SRCCOPY);
    ReleaseDC(PreviewFrame, frame);
    SelectObject(memory, previousBitmap);
    DeleteDC(memory);
}

}  // namespace

void PaintPreview(HWND window)
{
    PAINTSTRUCT paint;
    HDC paintContext = BeginPaint(window, &paint);
    if (PreviewBitmap && PreviewFrame)
        DrawPreview(paintContext);
    EndPaint(window, &paint);
}

void InvalidatePreview()
{
    if (!PreviewFrame || !PreviewBitmap) {
        // Nothing drawn there: the frame's area only needs the background.
        InvalidateRect(MainWindow, NULL, TRUE);
        return;
    }
    RECT area;
    GetWindowRect(PreviewFrame, &area);
    MapWindowPoints(NULL, MainWindow, reinterpret_cast<POINT*>(&area), 2);
    // The picture covers the inside of the frame whole: no erase needed, and
    // the frame control itself, which draws only its border, stays as it is.
    RedrawWindow(MainWindow, &area, NULL, RDW_INVALIDATE | RDW_NOCHILDREN);
}

void ReleasePreviewComposition()
{
    if (PreviewComposition)
        DeleteObject(PreviewComposition);
    PreviewComposition = NULL;
    PreviewCompositionGrid = -1;
}

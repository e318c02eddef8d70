// The picture preview: PreviewBitmap, already scaled to the PreviewFrame's
// inner area, copied inside a 2-pixel margin, with the puzzle grid drawn over
// it in a grey dash-dot-dot pen and its bottom-right cell filled grey.
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

void DrawPreview(HDC paintContext)
{
    RECT client;
    GetClientRect(PreviewFrame, &client);

    HDC memory = CreateCompatibleDC(paintContext);
    HGDIOBJ previousBitmap = SelectObject(memory, PreviewBitmap);
    HDC frame = GetDC(PreviewFrame);

    // Destination from (2, 2), W - 4 by H - 4: a 2-pixel margin on every side.
    // The bitmap has that size already; should the frame have changed size
    // since, it is stretched.
    int width = client.right - 4, height = client.bottom - 4;
    if (PreviewBitmapInfo.bmWidth == width && PreviewBitmapInfo.bmHeight == height)
        BitBlt(frame, 2, 2, width, height, memory, 0, 0, SRCCOPY);
    else
        StretchBlt(frame, 2, 2, width, height, memory, 0, 0,
                   PreviewBitmapInfo.bmWidth, PreviewBitmapInfo.bmHeight, SRCCOPY);

    if (GridSize > 0)
        DrawGrid(frame, MakePreviewGrid(client.right, client.bottom, GridSize));

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
    // The picture covers the inside of the frame whole: no erase needed.
    InvalidateRect(MainWindow, &area, FALSE);
}

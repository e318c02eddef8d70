// The picture preview: PreviewBitmap, already scaled to its place in the
// PreviewFrame's inner area (the picture's shape kept, centred, the form's
// colour around it), copied inside a 2-pixel margin, with the puzzle grid
// drawn over the picture in a grey dash-dot-dot pen and its bottom-right cell
// filled grey (in the system's text colour under high contrast). The inner
// area is kept composed, so that a repaint is one copy and a new grid size
// draws the grid once.
#include "app.h"
#include "preview_grid.h"
#include "preview_place.h"

namespace {

COLORREF GridColour()
{
    return PreviewHighContrast ? GetSysColor(COLOR_WINDOWTEXT) : RGB(128, 128, 128);
}

bool HighContrastOn()
{
    HIGHCONTRASTA contrast;
    ZeroMemory(&contrast, sizeof contrast);
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

void DrawGrid(HDC frame, const PreviewGrid& grid)
{
    HPEN pen = CreatePen(PS_DASHDOTDOT, 1, GridColour());
    HGDIOBJ previousPen = SelectObject(frame, pen);
    HGDIOBJ previousBrush = SelectObject(frame, GetStockObject(NULL_BRUSH));

    for (int column = 0; column < grid.columns; ++column) {
        for (int row = 0; row < grid.rows; ++row) {
            PreviewCell cell = PreviewGridCell(grid, column, row);
            Rectangle(frame, cell.left, cell.top, cell.right, cell.bottom);
        }
    }

    // The bottom-right cell again, filled: the empty slot of the puzzle.
    HBRUSH slot = CreateSolidBrush(GridColour());
    SelectObject(frame, slot);
    PreviewCell last = PreviewGridCell(grid, grid.columns - 1, grid.rows - 1);
    Rectangle(frame, last.left, last.top, last.right, last.bottom);

    SelectObject(frame, previousBrush);
    SelectObject(frame, previousPen);
    DeleteObject(slot);
    DeleteObject(pen);
}

// Makes PreviewComposition, the frame's inner area as the preview shows it
// (the picture in its place with the grid over it), unless it already holds
// the current grid size. False when it cannot be made.
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

    RECT area = {0, 0, width, height};
    FillRect(composition, &area, BackgroundBrush);
    const PreviewPlace place = FitPictureInArea(width, height, PictureWidth, PictureHeight);
    // The picture already has its place's size; should the frame have
    // changed size since it was scaled, it is stretched, averaged rather than
    // in the default mode, which ANDs the pixels it drops and leaves dark dots.
    if (PreviewBitmapInfo.bmWidth == place.width && PreviewBitmapInfo.bmHeight == place.height) {
        BitBlt(composition, place.left, place.top, place.width, place.height, picture, 0, 0, SRCCOPY);
    } else {
        SetStretchBltMode(composition, HALFTONE);
        SetBrushOrgEx(composition, 0, 0, NULL);
        StretchBlt(composition, place.left, place.top, place.width, place.height, picture, 0, 0,
                   PreviewBitmapInfo.bmWidth, PreviewBitmapInfo.bmHeight, SRCCOPY);
    }
    if (GridSize > 0)
        DrawGrid(composition, MakePreviewGrid(place.left, place.top, place.width, place.height, GridSize));

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
    // The composition covers the inside of the frame whole: no erase needed,
    // and the frame control itself, which draws only its border, stays as it is.
    RedrawWindow(MainWindow, &area, NULL, RDW_INVALIDATE | RDW_NOCHILDREN);
}

void FollowSystemColours()
{
    PreviewHighContrast = HighContrastOn();
    ReleasePreviewComposition();
    InvalidatePreview();
}

void ReleasePreviewComposition()
{
    if (PreviewComposition)
        DeleteObject(PreviewComposition);
    PreviewComposition = NULL;
    PreviewCompositionGrid = -1;
}

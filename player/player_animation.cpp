// Slides drawn in motion: the tiles of a slide travel from their old cells to
// their new ones over about 100 ms, unless the system has client-area
// animation turned off. The board itself has moved at once; only the drawing
// lags, and any new slide first finishes the one in motion.
#include <windows.h>

#include "player_state.h"

bool AnimationsOn = true;

namespace {

bool Moving;
int FromColumn;   // the slide's first tile before it moved (the new gap)
int FromRow;
int ToColumn;     // the old gap
int ToRow;
int StepColumn;   // direction of travel, one cell
int StepRow;
DWORD Start;
int Duration;
int Progress;     // 0 .. 1000 of the way

void RedrawSlideCells()
{
    RedrawCells(FromColumn, FromRow, ToColumn, ToRow);
}

}  // namespace

void AnimateSlide(int oldGapColumn, int oldGapRow, int durationMs)
{
    FinishAnimation();
    const int gapColumn = Board->GapColumn();
    const int gapRow = Board->GapRow();
    if (!AnimationsOn || durationMs <= 0 || ShowingWholePicture() ||
        (gapColumn == oldGapColumn && gapRow == oldGapRow)) {
        RedrawCells(gapColumn, gapRow, oldGapColumn, oldGapRow);
        return;
    }
    FromColumn = gapColumn;
    FromRow = gapRow;
    ToColumn = oldGapColumn;
    ToRow = oldGapRow;
    StepColumn = (ToColumn > FromColumn) - (ToColumn < FromColumn);
    StepRow = (ToRow > FromRow) - (ToRow < FromRow);
    Start = GetTickCount();
    Duration = durationMs;
    Progress = 0;
    Moving = true;
    RedrawSlideCells();
    SetTimer(PlayerWindow, AnimationTimer, 10, nullptr);
}

void FinishAnimation()
{
    if (!Moving)
        return;
    Moving = false;
    KillTimer(PlayerWindow, AnimationTimer);
    RedrawSlideCells();
}

void AnimationTick()
{
    if (!Moving) {
        KillTimer(PlayerWindow, AnimationTimer);
        return;
    }
    DWORD elapsed = GetTickCount() - Start;
    if (elapsed >= static_cast<DWORD>(Duration)) {
        FinishAnimation();
        return;
    }
    Progress = static_cast<int>(elapsed * 1000 / Duration);
    RedrawSlideCells();
}

bool TileOffset(int column, int row, int* dx, int* dy)
{
    if (!Moving)
        return false;
    // The moved tiles now lie between the new gap (exclusive) and the old gap.
    const bool inRow = StepRow == 0 && row == FromRow;
    const bool inColumn = StepColumn == 0 && column == FromColumn;
    if (!inRow && !inColumn)
        return false;
    const int along = inRow ? (column - FromColumn) * StepColumn : (row - FromRow) * StepRow;
    const int length = inRow ? (ToColumn - FromColumn) * StepColumn : (ToRow - FromRow) * StepRow;
    if (along < 1 || along > length)
        return false;
    // It came from one cell back along the slide.
    const int grid = Layout.grid;
    const int backColumn = column - StepColumn;
    const int backRow = row - StepRow;
    const int fromX = CellEdge(Picture.width, grid, backColumn);
    const int fromY = CellEdge(Picture.height, grid, backRow);
    const int toX = CellEdge(Picture.width, grid, column);
    const int toY = CellEdge(Picture.height, grid, row);
    const int remaining = 1000 - Progress;
    *dx = (fromX - toX) * remaining / 1000;
    *dy = (fromY - toY) * remaining / 1000;
    return true;
}

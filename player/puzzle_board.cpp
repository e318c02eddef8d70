#include "puzzle_board.h"

PuzzleBoard::PuzzleBoard(int size) : size(size < 1 ? 1 : size), gapColumn(0), gapRow(0), moves(0)
{
    Reset();
}

void PuzzleBoard::Reset()
{
    int count = size * size;
    cells.assign(count, EmptyCell);
    for (int i = 0; i < count - 1; ++i)
        cells[i] = i;
    gapColumn = size - 1;
    gapRow = size - 1;
    moves = 0;
}

int PuzzleBoard::TileAt(int column, int row) const
{
    if (!OnBoard(column, row))
        return EmptyCell;
    return cells[CellIndex(column, row)];
}

// The tile at (column, row), a neighbour of the gap, moves into the gap.
void PuzzleBoard::SwapWithGap(int column, int row)
{
    cells[CellIndex(gapColumn, gapRow)] = cells[CellIndex(column, row)];
    cells[CellIndex(column, row)] = EmptyCell;
    gapColumn = column;
    gapRow = row;
    ++moves;
}

int PuzzleBoard::SlideFrom(int column, int row)
{
    if (!OnBoard(column, row))
        return 0;
    if (column == gapColumn && row == gapRow)
        return 0;
    if (column != gapColumn && row != gapRow)
        return 0;
    // Walk the gap towards the clicked cell; each step pulls one tile into it.
    int stepColumn = column > gapColumn ? 1 : (column < gapColumn ? -1 : 0);
    int stepRow = row > gapRow ? 1 : (row < gapRow ? -1 : 0);
    int moved = 0;
    while (gapColumn != column || gapRow != row) {
        SwapWithGap(gapColumn + stepColumn, gapRow + stepRow);
        ++moved;
    }
    return moved;
}

bool PuzzleBoard::Move(Direction direction)
{
    int column = gapColumn;
    int row = gapRow;
    switch (direction) {
    case MoveLeft: ++column; break;
    case MoveRight: --column; break;
    case MoveUp: ++row; break;
    case MoveDown: --row; break;
    default: return false;
    }
    if (!OnBoard(column, row))
        return false;
    SwapWithGap(column, row);
    return true;
}

bool PuzzleBoard::IsSolved() const
{
    int count = size * size;
    for (int i = 0; i < count - 1; ++i)
        if (cells[i] != i)
            return false;
    return true;
}

uint32_t PuzzleBoard::ShuffleSteps(int size)
{
    if (size < 2)
        return 0;
    uint32_t cellsCount = static_cast<uint32_t>(size) * static_cast<uint32_t>(size);
    return 20 * cellsCount + 100;
}

void PuzzleBoard::Shuffle(uint32_t seed, uint32_t minimumSteps)
{
    Reset();
    if (size < 2)
        return;
    // xorshift32: small, fast and the same on every platform; the state must
    // not be zero.
    uint32_t state = seed ? seed : 0x9E3779B9u;
    int previousColumn = -1;
    int previousRow = -1;
    uint32_t steps = 0;
    while (steps < minimumSteps || IsSolved()) {
        int columns[4];
        int rows[4];
        int count = 0;
        static const int offsets[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (const auto& offset : offsets) {
            int column = gapColumn + offset[0];
            int row = gapRow + offset[1];
            if (!OnBoard(column, row))
                continue;
            if (column == previousColumn && row == previousRow)
                continue;  // would undo the last step
            columns[count] = column;
            rows[count] = row;
            ++count;
        }
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        int pick = static_cast<int>(state % static_cast<uint32_t>(count));
        previousColumn = gapColumn;
        previousRow = gapRow;
        SwapWithGap(columns[pick], rows[pick]);
        ++steps;
    }
    moves = 0;
}

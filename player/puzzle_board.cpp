#include "puzzle_board.h"

#include <climits>
#include <cstdlib>

namespace {

// The four steps the gap can take, as column and row offsets.
const int GapSteps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};

int GapStepIndex(int columnStep, int rowStep)
{
    for (int i = 0; i < 4; ++i)
        if (GapSteps[i][0] == columnStep && GapSteps[i][1] == rowStep)
            return i;
    return 0;
}

}  // namespace

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
    history.clear();
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

// A player's slide of a neighbour of the gap, remembered so it can be undone.
void PuzzleBoard::SlideIntoGap(int column, int row)
{
    history.push_back(static_cast<uint8_t>(GapStepIndex(column - gapColumn, row - gapRow)));
    SwapWithGap(column, row);
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
        SlideIntoGap(gapColumn + stepColumn, gapRow + stepRow);
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
    SlideIntoGap(column, row);
    return true;
}

bool PuzzleBoard::Undo()
{
    if (history.empty())
        return false;
    const int* step = GapSteps[history.back()];
    history.pop_back();
    // The tile now in the gap's previous cell goes back where it came from.
    SwapWithGap(gapColumn - step[0], gapRow - step[1]);
    return true;
}

int PuzzleBoard::ManhattanDistance() const
{
    long long total = 0;
    for (int row = 0; row < size; ++row)
        for (int column = 0; column < size; ++column) {
            int tile = cells[CellIndex(column, row)];
            if (tile == EmptyCell)
                continue;
            total += std::abs(column - tile % size) + std::abs(row - tile / size);
        }
    return total > INT_MAX ? INT_MAX : static_cast<int>(total);
}

bool PuzzleBoard::IsSolvable(const std::vector<int>& tiles, int size)
{
    // 46340 is the largest side whose cell count fits an int.
    if (size < 1 || size > 46340 || tiles.size() != static_cast<size_t>(size) * static_cast<size_t>(size))
        return false;
    const int count = size * size;
    std::vector<char> seen(count, 0);
    int gapIndex = -1;
    for (int i = 0; i < count; ++i) {
        int tile = tiles[i];
        if (tile == EmptyCell) {
            if (gapIndex >= 0)
                return false;
            gapIndex = i;
        } else if (tile < 0 || tile >= count - 1 || seen[tile]) {
            return false;
        } else {
            seen[tile] = 1;
        }
    }
    if (gapIndex < 0)
        return false;
    // Parity of the permutation, with the gap counted as tile count - 1, by
    // cycle decomposition; a slide swaps the gap with a neighbour, so the
    // permutation's parity must equal the parity of the gap's distance from
    // its home cell.
    std::vector<char> visited(count, 0);
    int transpositions = 0;
    for (int i = 0; i < count; ++i) {
        if (visited[i])
            continue;
        int length = 0;
        for (int j = i; !visited[j]; ++length) {
            visited[j] = 1;
            j = tiles[j] == EmptyCell ? count - 1 : tiles[j];
        }
        transpositions += length - 1;
    }
    int gapDistance = (size - 1 - gapIndex % size) + (size - 1 - gapIndex / size);
    return (transpositions - gapDistance) % 2 == 0;
}

bool PuzzleBoard::Arrange(const std::vector<int>& tiles)
{
    if (!IsSolvable(tiles, size))
        return false;
    cells = tiles;
    for (int i = 0; i < size * size; ++i)
        if (cells[i] == EmptyCell) {
            gapColumn = i % size;
            gapRow = i / size;
        }
    moves = 0;
    history.clear();
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
    history.clear();
}

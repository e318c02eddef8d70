// The sliding puzzle itself: a square board of tiles with one empty slot,
// free of any window code so it can be tested on its own.
//
// Cells are addressed by column (0 at the left) and row (0 at the top). Tile t
// belongs at column t % size, row t / size when the board is solved; the gap
// belongs in the bottom-right cell.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class PuzzleBoard {
public:
    enum Direction { MoveLeft, MoveRight, MoveUp, MoveDown };

    static constexpr int EmptyCell = -1;

    // A solved board of size x size cells; sizes below 1 are taken as 1.
    explicit PuzzleBoard(int size);

    int Size() const { return size; }
    int GapColumn() const { return gapColumn; }
    int GapRow() const { return gapRow; }
    // Tiles slid since the last reset or shuffle, undone slides included.
    uint32_t Moves() const { return moves; }

    // The tile per cell, row by row, EmptyCell for the gap.
    const std::vector<int>& Tiles() const { return cells; }

    // The tile in a cell, or EmptyCell for the gap and for cells off the board.
    int TileAt(int column, int row) const;

    // Slides every tile between the given cell and the gap one step towards
    // the gap, when the cell lies in the gap's row or column. Returns the
    // number of tiles moved (0 for the gap itself or any other cell).
    int SlideFrom(int column, int row);

    // Moves the tile next to the gap into it: MoveLeft takes the tile right of
    // the gap, MoveUp the tile below it, and so on. Returns whether a tile moved.
    bool Move(Direction direction);

    bool IsSolved() const;

    // Takes back the last single-tile slide made by SlideFrom or Move: that
    // tile returns to the cell it came from, so the earlier position is
    // restored exactly. Counts as a move. False when there is nothing left
    // to take back.
    bool Undo();
    // Single-tile slides that Undo can still take back.
    size_t UndoDepth() const { return history.size(); }
    void ClearHistory() { history.clear(); }

    // Sum over the tiles of their column and row distances from home; 0 when
    // solved.
    int ManhattanDistance() const;

    // Puts the tiles in the given cells (row by row, size x size entries, one
    // of them EmptyCell). Refused, leaving the board as it was, unless every
    // tile appears once and the arrangement can be solved. Clears the move
    // count and the history.
    bool Arrange(const std::vector<int>& tiles);

    // Whether an arrangement (as for Arrange) holds every tile once and can be
    // slid back to the solved board.
    static bool IsSolvable(const std::vector<int>& tiles, int size);

    // Back to the solved arrangement, move count zero, no history.
    void Reset();

    // Starts from the solved board and makes random legal moves (never
    // undoing the previous one) until at least minimumSteps were made and the
    // board is not solved. A board of one cell cannot leave the solved state
    // and stays as it is. Clears the move count and the history.
    void Shuffle(uint32_t seed, uint32_t minimumSteps);

    // The number of random steps Shuffle is given by the player for a size.
    static uint32_t ShuffleSteps(int size);

private:
    bool OnBoard(int column, int row) const
    {
        return column >= 0 && row >= 0 && column < size && row < size;
    }
    int CellIndex(int column, int row) const { return row * size + column; }
    void SwapWithGap(int column, int row);
    void SlideIntoGap(int column, int row);

    int size;
    int gapColumn;
    int gapRow;
    uint32_t moves;
    std::vector<int> cells;  // tile number per cell, EmptyCell for the gap
    // Per single-tile slide, the step the gap took (an index into GapSteps),
    // oldest first.
    std::vector<uint8_t> history;
};

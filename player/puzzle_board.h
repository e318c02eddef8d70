// The sliding puzzle itself: a square board of tiles with one empty slot,
// free of any window code so it can be tested on its own.
//
// Cells are addressed by column (0 at the left) and row (0 at the top). Tile t
// belongs at column t % size, row t / size when the board is solved; the gap
// belongs in the bottom-right cell.
#pragma once

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
    // Tiles slid since the last reset or shuffle.
    uint32_t Moves() const { return moves; }

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

    // Back to the solved arrangement, move count zero.
    void Reset();

    // Starts from the solved board and makes random legal moves (never
    // undoing the previous one) until at least minimumSteps were made and the
    // board is not solved. A board of one cell cannot leave the solved state
    // and stays as it is. Clears the move count.
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

    int size;
    int gapColumn;
    int gapRow;
    uint32_t moves;
    std::vector<int> cells;  // tile number per cell, EmptyCell for the gap
};

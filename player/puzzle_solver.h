// Hints and solutions for the sliding puzzle.
//
// Boards of 2x2 and 3x3 are solved in the fewest slides. Larger boards are
// solved line by line: the top row, then the left column, and so on until
// the bottom-right 3x3 block remains, which is then solved in the fewest
// slides. The next slide depends on the position alone, and following hints
// one after another plays exactly the solution PuzzleSolution returns for the
// position the hints started from, so it always reaches the solved board.
#pragma once

#include <utility>
#include <vector>

#include "puzzle_board.h"

// Cell (column, row) of the tile to slide next, into the gap next to it;
// false when the board is solved.
bool PuzzleHint(const PuzzleBoard& board, int* column, int* row);

// The rest of a solution: the cells (column, row) whose tile slides into the
// gap, one single-tile slide each, in order. Empty when the board is solved.
std::vector<std::pair<int, int>> PuzzleSolution(const PuzzleBoard& board);

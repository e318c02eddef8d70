// The web page's rules: a small C interface over the player's own board,
// solver and score rules, compiled to a WebAssembly module that the page's
// script drives (puzzle_module.js). The module holds one game; the script
// draws it, takes input and keeps time, and asks the module for everything
// the game decides: which tiles a tap or key slides, whether the board is
// solved and the solve counts, the hint, the solution, whether the game was
// helped by them, and the best results.
#include <cstdint>
#include <utility>
#include <vector>

#include "player_score.h"
#include "puzzle_board.h"
#include "puzzle_solver.h"

// Exported from the module under the given name; a plain C function in a
// native build (the tests).
#ifdef __wasm__
#define VN_EXPORT(name) extern "C" __attribute__((export_name(#name)))
#else
#define VN_EXPORT(name) extern "C"
#endif

namespace {

// Grids the page plays: the builder refuses grids below 2, and a side of 20
// keeps tiles at 16 pixels on the narrowest phone (320 pixels), as the
// Windows player keeps them at its opening size.
const int SmallestGrid = 2;
const int LargestGrid = 20;

PuzzleBoard* Board;
SolveGate Gate;
bool Helped;  // the hint or the solution was asked for: the game sets no best result
std::vector<std::pair<int, int>> Solution;
BestResult Best;

// After the board changed by a slide or an undo: the gate learns how far
// from solved it is; a board that was never scattered and came back to
// solved is no game yet, so it starts over (moves back to zero).
void AfterChange()
{
    Gate.AfterSlide(Board->ManhattanDistance());
    if (Board->IsSolved() && !Gate.Counts(true))
        Board->Reset();
}

}  // namespace

// A solved board of size x size with the gate disarmed; 0 (and no board)
// for a size the page does not play.
VN_EXPORT(vn_new_board) int VnNewBoard(int size)
{
    delete Board;
    Board = nullptr;
    Solution.clear();
    if (size < SmallestGrid || size > LargestGrid)
        return 0;
    Board = new PuzzleBoard(size);
    Gate.Begin(false);
    Helped = false;
    return 1;
}

VN_EXPORT(vn_largest_grid) int VnLargestGrid()
{
    return LargestGrid;
}

// A new game: scattered from seed when scatter is set (the gate armed),
// else the solved board waiting for a shuffle.
VN_EXPORT(vn_new_game) void VnNewGame(int scatter, uint32_t seed)
{
    if (!Board)
        return;
    if (scatter)
        Board->Shuffle(seed, PuzzleBoard::ShuffleSteps(Board->Size()));
    else
        Board->Reset();
    Gate.Begin(scatter != 0);
    Helped = false;
}

// Slides the tiles between a cell and the gap into the gap; the number of
// tiles moved (0 when the cell is not in line with the gap).
VN_EXPORT(vn_slide) int VnSlide(int column, int row)
{
    if (!Board)
        return 0;
    const int moved = Board->SlideFrom(column, row);
    if (moved > 0)
        AfterChange();
    return moved;
}

// Takes back the last single-tile slide; 1 when one was taken back.
VN_EXPORT(vn_undo) int VnUndo()
{
    if (!Board || !Board->Undo())
        return 0;
    AfterChange();
    return 1;
}

VN_EXPORT(vn_size) int VnSize()
{
    return Board ? Board->Size() : 0;
}

// The tile in a cell (tile t belongs at column t % size, row t / size), -1
// for the gap and for cells off the board.
VN_EXPORT(vn_tile_at) int VnTileAt(int column, int row)
{
    return Board ? Board->TileAt(column, row) : PuzzleBoard::EmptyCell;
}

VN_EXPORT(vn_gap_column) int VnGapColumn()
{
    return Board ? Board->GapColumn() : -1;
}

VN_EXPORT(vn_gap_row) int VnGapRow()
{
    return Board ? Board->GapRow() : -1;
}

VN_EXPORT(vn_moves) uint32_t VnMoves()
{
    return Board ? Board->Moves() : 0;
}

VN_EXPORT(vn_can_undo) int VnCanUndo()
{
    return Board && Board->UndoDepth() > 0;
}

// The board is solved and the game counts as won.
VN_EXPORT(vn_won) int VnWon()
{
    return Board && Gate.Counts(Board->IsSolved());
}

// A solved board that no shuffle or slide has put in play yet.
VN_EXPORT(vn_awaiting_shuffle) int VnAwaitingShuffle()
{
    return Board && !Gate.Armed() && Board->Moves() == 0;
}

// The Hint command: the cell (row * size + column) whose tile slides next on
// the way to the solved board, -1 when solved. A hint given marks the game
// helped.
VN_EXPORT(vn_hint) int VnHint()
{
    int column = 0;
    int row = 0;
    if (!Board || !PuzzleHint(*Board, &column, &row))
        return -1;
    Helped = true;
    return row * Board->Size() + column;
}

// The Solve command: works out the rest of a solution from the current
// board; the number of slides, each slide's cell from vn_solution_cell. A
// solution marks the game helped and arms the gate, as the playback's solve
// ends the game.
VN_EXPORT(vn_plan_solution) int VnPlanSolution()
{
    Solution.clear();
    if (!Board)
        return 0;
    Solution = PuzzleSolution(*Board);
    if (Solution.empty())
        return 0;
    Helped = true;
    Gate.Begin(true);
    return static_cast<int>(Solution.size());
}

VN_EXPORT(vn_solution_cell) int VnSolutionCell(int index)
{
    if (!Board || index < 0 || static_cast<size_t>(index) >= Solution.size())
        return -1;
    return Solution[index].second * Board->Size() + Solution[index].first;
}

// Hint or Solve was used in this game.
VN_EXPORT(vn_helped) int VnHelped()
{
    return Board && Helped;
}

// The end of a won game, with the best results kept for the puzzle (any = 0
// when none were kept) and the game's time: 1 when the game sets a best
// result (it counts and was played without Hint or Solve), and the kept
// results with its moves and time taken in are to be kept; 0 when the kept
// ones stand. Either way vn_best_any, vn_best_moves and vn_best_seconds then
// give the best results to show.
VN_EXPORT(vn_take_solve) int VnTakeSolve(int any, uint32_t bestMoves, uint32_t bestSeconds, uint32_t seconds)
{
    Best = BestResult();
    Best.any = any != 0;
    Best.moves = Best.any ? bestMoves : 0;
    Best.seconds = Best.any ? bestSeconds : 0;
    if (!Board || !SolveSetsBest(Gate, Board->IsSolved(), Helped))
        return 0;
    Best = MergeBest(Best, Board->Moves(), seconds);
    return 1;
}

VN_EXPORT(vn_best_any) int VnBestAny()
{
    return Best.any;
}

VN_EXPORT(vn_best_moves) uint32_t VnBestMoves()
{
    return Best.moves;
}

VN_EXPORT(vn_best_seconds) uint32_t VnBestSeconds()
{
    return Best.seconds;
}

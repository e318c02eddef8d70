// The hint as the 32-bit player meets it: the first hint from a position not
// seen before on boards of 4x4, 10x10 and 50x50 (the time from pressing H to
// the tile lighting up, less the drawing), the very first 3x3 hint, which
// builds the table of every 3x3 position, the cost of each hint while the
// player follows them, and a whole solution (Solve).
#include <cstdio>
#include <vector>

#include "player/puzzle_solver.h"
#include "win_bench.h"

namespace {

PuzzleBoard Shuffled(int size, uint32_t seed)
{
    PuzzleBoard board(size);
    board.Shuffle(seed, PuzzleBoard::ShuffleSteps(size));
    return board;
}

void FirstHint(int size)
{
    // Two positions asked in turn, so that every hint starts from nothing.
    const PuzzleBoard boards[2] = {Shuffled(size, 11), Shuffled(size, 12)};
    const int perRun = size >= 50 ? 20 : 200;
    int turn = 0;
    winbench::Result r = winbench::Measure(
        [&] {
            for (int i = 0; i < perRun; ++i) {
                int column, row;
                PuzzleHint(boards[turn], &column, &row);
                turn ^= 1;
            }
        },
        15);
    // Per 1000 hints, so that the milliseconds shown read as microseconds a
    // hint.
    r.medianMs *= 1000.0 / perRun;
    r.minMs *= 1000.0 / perRun;
    char name[64];
    std::snprintf(name, sizeof name, "first hint %dx%d, per 1000 hints", size, size);
    winbench::Report(name, r);
}

}  // namespace

int main()
{
    {
        PuzzleBoard three = Shuffled(3, 5);
        double start = winbench::NowMs();
        int column, row;
        PuzzleHint(three, &column, &row);
        winbench::Result once;
        once.medianMs = once.minMs = winbench::NowMs() - start;
        once.runs = 1;
        winbench::Report("first 3x3 hint, table built", once);
    }
    for (int size : {3, 4, 10, 50})
        FirstHint(size);

    const PuzzleBoard start = Shuffled(50, 21);
    size_t slides = PuzzleSolution(start).size();
    winbench::Result follow = winbench::Measure(
        [&] {
            PuzzleBoard board = start;
            int column, row;
            while (PuzzleHint(board, &column, &row))
                board.SlideFrom(column, row);
        },
        3);
    follow.medianMs *= 1000.0 / static_cast<double>(slides);
    follow.minMs *= 1000.0 / static_cast<double>(slides);
    winbench::Report("following hints 50x50, per 1000 hints", follow);
    winbench::Result whole = winbench::Measure([&] { PuzzleSolution(start); }, 5);
    std::printf("whole solution 50x50: %u slides\n", static_cast<unsigned>(slides));
    winbench::Report("whole solution 50x50", whole);
    return 0;
}

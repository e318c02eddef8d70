#include "puzzle_solver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace {

// Deterministic random numbers for the positions (xorshift32).
struct Random {
    uint32_t state;
    explicit Random(uint32_t seed) : state(seed ? seed : 0x2545F491u) {}
    uint32_t Next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
};

// A uniformly random solvable arrangement: a random permutation, with two
// tiles swapped when its parity is wrong.
PuzzleBoard RandomBoard(int size, Random& random)
{
    std::vector<int> tiles(size * size);
    for (int i = 0; i < size * size - 1; ++i)
        tiles[i] = i;
    tiles.back() = PuzzleBoard::EmptyCell;
    for (int i = size * size - 1; i > 0; --i)
        std::swap(tiles[i], tiles[random.Next() % (i + 1)]);
    PuzzleBoard board(size);
    if (!board.Arrange(tiles)) {
        int first = tiles[0] == PuzzleBoard::EmptyCell ? 2 : 0;
        int second = tiles[1] == PuzzleBoard::EmptyCell ? 2 : 1;
        std::swap(tiles[first], tiles[second]);
        EXPECT_TRUE(board.Arrange(tiles));
    }
    return board;
}

// Follows hints until none is given or the limit is passed; returns the
// number of slides made.
long FollowHints(PuzzleBoard& board, long limit)
{
    long slides = 0;
    int column, row;
    while (slides <= limit && PuzzleHint(board, &column, &row)) {
        int gapColumn = board.GapColumn(), gapRow = board.GapRow();
        if (std::abs(column - gapColumn) + std::abs(row - gapRow) != 1)
            return -1;  // a hint must name a neighbour of the gap
        board.SlideFrom(column, row);
        ++slides;
    }
    return slides;
}

TEST(PuzzleSolver, MeasureSizes)
{
    for (int size = 2; size <= 12; ++size) {
        long worst = 0;
        Random random(size * 7u + 1);
        for (int i = 0; i < 200; ++i) {
            PuzzleBoard board = RandomBoard(size, random);
            long slides = FollowHints(board, 100000000);
            ASSERT_GE(slides, 0);
            ASSERT_TRUE(board.IsSolved()) << size << " " << i;
            worst = std::max(worst, slides);
        }
        printf("size %d worst %ld  n^3 %d ratio %.2f\n", size, worst, size * size * size,
               double(worst) / (size * size * size));
    }
}

}  // namespace
namespace {
TEST(PuzzleSolver, MeasureLarge)
{
    for (int size : {16, 20, 30, 50}) {
        long worst = 0;
        Random random(size * 7u + 1);
        for (int i = 0; i < 5; ++i) {
            PuzzleBoard board = RandomBoard(size, random);
            auto s = PuzzleSolution(board);
            for (auto& c : s) board.SlideFrom(c.first, c.second);
            ASSERT_TRUE(board.IsSolved());
            worst = std::max(worst, (long)s.size());
        }
        printf("size %d worst %ld ratio %.2f\n", size, worst, double(worst) / (size * size * size));
    }
}
}

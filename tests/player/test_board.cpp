#include "puzzle_board.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Independent solvability test by the classic invariant: for an odd width the
// permutation's inversion count is even; for an even width, inversions plus the
// gap's row counted from the bottom (0-based) is even.
bool Solvable(const PuzzleBoard& board)
{
    int n = board.Size();
    std::vector<int> tiles;
    for (int row = 0; row < n; ++row)
        for (int column = 0; column < n; ++column)
            if (board.TileAt(column, row) != PuzzleBoard::EmptyCell)
                tiles.push_back(board.TileAt(column, row));
    int inversions = 0;
    for (size_t i = 0; i < tiles.size(); ++i)
        for (size_t j = i + 1; j < tiles.size(); ++j)
            if (tiles[i] > tiles[j])
                ++inversions;
    if (n % 2 == 1)
        return inversions % 2 == 0;
    int gapRowFromBottom = n - 1 - board.GapRow();
    return (inversions + gapRowFromBottom) % 2 == 0;
}

// Every tile number appears exactly once and exactly one cell is empty.
bool IsPermutation(const PuzzleBoard& board)
{
    int n = board.Size();
    std::vector<int> seen(n * n, 0);
    int gaps = 0;
    for (int row = 0; row < n; ++row)
        for (int column = 0; column < n; ++column) {
            int tile = board.TileAt(column, row);
            if (tile == PuzzleBoard::EmptyCell)
                ++gaps;
            else if (tile < 0 || tile >= n * n - 1 || seen[tile]++)
                return false;
        }
    return gaps == 1 && board.TileAt(board.GapColumn(), board.GapRow()) == PuzzleBoard::EmptyCell;
}

TEST(PuzzleBoard, StartsSolvedWithGapBottomRight)
{
    PuzzleBoard board(4);
    EXPECT_TRUE(board.IsSolved());
    EXPECT_EQ(3, board.GapColumn());
    EXPECT_EQ(3, board.GapRow());
    EXPECT_EQ(0, board.TileAt(0, 0));
    EXPECT_EQ(7, board.TileAt(3, 1));
    EXPECT_EQ(14, board.TileAt(2, 3));
    EXPECT_EQ(PuzzleBoard::EmptyCell, board.TileAt(3, 3));
    EXPECT_EQ(PuzzleBoard::EmptyCell, board.TileAt(-1, 0));
    EXPECT_EQ(PuzzleBoard::EmptyCell, board.TileAt(0, 4));
    EXPECT_EQ(0u, board.Moves());
}

TEST(PuzzleBoard, ArrowMovesTakeTheNeighbourIntoTheGap)
{
    PuzzleBoard board(3);
    // Gap at (2,2): nothing lies right of or below it.
    EXPECT_FALSE(board.Move(PuzzleBoard::MoveLeft));
    EXPECT_FALSE(board.Move(PuzzleBoard::MoveUp));
    EXPECT_EQ(0u, board.Moves());

    EXPECT_TRUE(board.Move(PuzzleBoard::MoveRight));  // tile 7 from (1,2) to (2,2)
    EXPECT_EQ(7, board.TileAt(2, 2));
    EXPECT_EQ(1, board.GapColumn());
    EXPECT_FALSE(board.IsSolved());
    EXPECT_TRUE(board.Move(PuzzleBoard::MoveDown));  // tile 4 from (1,1) to (1,2)
    EXPECT_EQ(4, board.TileAt(1, 2));
    EXPECT_EQ(1, board.GapRow());
    EXPECT_EQ(2u, board.Moves());

    EXPECT_TRUE(board.Move(PuzzleBoard::MoveUp));
    EXPECT_TRUE(board.Move(PuzzleBoard::MoveLeft));
    EXPECT_TRUE(board.IsSolved());
    EXPECT_EQ(4u, board.Moves());
}

TEST(PuzzleBoard, ClickSlidesEveryTileBetweenCellAndGap)
{
    PuzzleBoard board(4);
    EXPECT_EQ(3, board.SlideFrom(0, 3));  // whole bottom row shifts right
    EXPECT_EQ(PuzzleBoard::EmptyCell, board.TileAt(0, 3));
    EXPECT_EQ(12, board.TileAt(1, 3));
    EXPECT_EQ(13, board.TileAt(2, 3));
    EXPECT_EQ(14, board.TileAt(3, 3));
    EXPECT_EQ(3u, board.Moves());

    EXPECT_EQ(2, board.SlideFrom(0, 1));  // column 0 moves down from row 1
    EXPECT_EQ(PuzzleBoard::EmptyCell, board.TileAt(0, 1));
    EXPECT_EQ(4, board.TileAt(0, 2));
    EXPECT_EQ(8, board.TileAt(0, 3));
    EXPECT_EQ(5u, board.Moves());

    // The reverse slides restore the solved board.
    EXPECT_EQ(2, board.SlideFrom(0, 3));
    EXPECT_EQ(3, board.SlideFrom(3, 3));
    EXPECT_TRUE(board.IsSolved());
    EXPECT_TRUE(IsPermutation(board));
}

TEST(PuzzleBoard, ClicksOffTheGapLinesDoNothing)
{
    PuzzleBoard board(4);
    EXPECT_EQ(0, board.SlideFrom(3, 3));   // the gap itself
    EXPECT_EQ(0, board.SlideFrom(1, 1));   // neither row nor column
    EXPECT_EQ(0, board.SlideFrom(4, 3));   // off the board
    EXPECT_EQ(0, board.SlideFrom(3, -1));
    EXPECT_TRUE(board.IsSolved());
    EXPECT_EQ(0u, board.Moves());
}

TEST(PuzzleBoard, ShuffleIsAlwaysSolvableAndNeverSolved)
{
    for (int size = 2; size <= 7; ++size) {
        for (uint32_t seed = 0; seed < 200; ++seed) {
            PuzzleBoard board(size);
            board.Shuffle(seed, PuzzleBoard::ShuffleSteps(size));
            ASSERT_FALSE(board.IsSolved()) << "size " << size << " seed " << seed;
            ASSERT_TRUE(IsPermutation(board)) << "size " << size << " seed " << seed;
            ASSERT_TRUE(Solvable(board)) << "size " << size << " seed " << seed;
            ASSERT_EQ(0u, board.Moves());
        }
    }
}

TEST(PuzzleBoard, ShuffleWithNoStepsStillLeavesTheSolvedState)
{
    // A 2x2 board returns to solved every 12 non-reversing steps; the shuffle
    // must keep going until it is not solved.
    for (uint32_t steps = 0; steps < 30; ++steps) {
        PuzzleBoard board(2);
        board.Shuffle(steps * 7919u + 1, steps);
        EXPECT_FALSE(board.IsSolved()) << steps;
    }
}

TEST(PuzzleBoard, ShuffleDependsOnSeedAndIsReproducible)
{
    PuzzleBoard a(5), b(5), c(5);
    a.Shuffle(1234, 600);
    b.Shuffle(1234, 600);
    c.Shuffle(4321, 600);
    bool sameAsB = true, sameAsC = true;
    for (int row = 0; row < 5; ++row)
        for (int column = 0; column < 5; ++column) {
            sameAsB = sameAsB && a.TileAt(column, row) == b.TileAt(column, row);
            sameAsC = sameAsC && a.TileAt(column, row) == c.TileAt(column, row);
        }
    EXPECT_TRUE(sameAsB);
    EXPECT_FALSE(sameAsC);
}

TEST(PuzzleBoard, DegenerateSizes)
{
    PuzzleBoard one(1);
    EXPECT_TRUE(one.IsSolved());
    one.Shuffle(5, 100);  // cannot leave the solved state; must not loop
    EXPECT_TRUE(one.IsSolved());
    EXPECT_FALSE(one.Move(PuzzleBoard::MoveRight));
    PuzzleBoard negative(-3);
    EXPECT_EQ(1, negative.Size());
}

TEST(PuzzleBoard, RandomPlayKeepsAPermutationAndCountsMoves)
{
    PuzzleBoard board(6);
    uint32_t expected = 0;
    uint32_t state = 99;
    for (int i = 0; i < 2000; ++i) {
        state = state * 1103515245u + 12345u;
        int column = static_cast<int>((state >> 8) % 8) - 1;  // includes off-board cells
        int row = static_cast<int>((state >> 16) % 8) - 1;
        expected += static_cast<uint32_t>(board.SlideFrom(column, row));
        ASSERT_TRUE(IsPermutation(board));
        ASSERT_TRUE(Solvable(board));
    }
    EXPECT_EQ(expected, board.Moves());
}

}  // namespace

#include "puzzle_board.h"

#include <gtest/gtest.h>

#include <cstdlib>
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


// A board after seeded random single-tile slides; every position on the way
// is kept, the start first.
std::vector<std::vector<int>> RandomWalk(PuzzleBoard& board, uint32_t seed, int steps)
{
    std::vector<std::vector<int>> positions{board.Tiles()};
    uint32_t state = seed;
    while (static_cast<int>(positions.size()) <= steps) {
        state = state * 1103515245u + 12345u;
        if (board.Move(static_cast<PuzzleBoard::Direction>((state >> 16) % 4)))
            positions.push_back(board.Tiles());
    }
    return positions;
}

TEST(PuzzleBoard, UndoWalksBackThroughEveryPositionExactly)
{
    for (int size = 2; size <= 6; ++size) {
        PuzzleBoard board(size);
        board.Shuffle(size * 31u, PuzzleBoard::ShuffleSteps(size));
        std::vector<std::vector<int>> positions = RandomWalk(board, size, 300);
        ASSERT_EQ(300u, board.UndoDepth());
        EXPECT_EQ(300u, board.Moves());
        for (int i = 299; i >= 0; --i) {
            ASSERT_TRUE(board.Undo()) << size << " " << i;
            ASSERT_EQ(positions[i], board.Tiles()) << size << " " << i;
            ASSERT_EQ(PuzzleBoard::EmptyCell, board.TileAt(board.GapColumn(), board.GapRow()));
        }
        EXPECT_EQ(0u, board.UndoDepth());
        EXPECT_FALSE(board.Undo());
        EXPECT_EQ(positions[0], board.Tiles());
        EXPECT_EQ(600u, board.Moves());  // each undo counts as a move
    }
}

TEST(PuzzleBoard, UndoTakesBackAMultiTileSlideOneTileAtATime)
{
    PuzzleBoard board(4);
    ASSERT_EQ(3, board.SlideFrom(0, 3));
    EXPECT_EQ(3u, board.UndoDepth());
    ASSERT_TRUE(board.Undo());  // the last tile slid, 12, goes back first
    EXPECT_EQ(PuzzleBoard::EmptyCell, board.TileAt(1, 3));
    EXPECT_EQ(12, board.TileAt(0, 3));
    EXPECT_EQ(13, board.TileAt(2, 3));
    ASSERT_TRUE(board.Undo());
    ASSERT_TRUE(board.Undo());
    EXPECT_TRUE(board.IsSolved());
    EXPECT_FALSE(board.Undo());
    EXPECT_EQ(6u, board.Moves());
}

TEST(PuzzleBoard, RefusedMovesLeaveNoHistory)
{
    PuzzleBoard board(3);
    EXPECT_FALSE(board.Move(PuzzleBoard::MoveLeft));
    EXPECT_EQ(0, board.SlideFrom(1, 1));
    EXPECT_EQ(0, board.SlideFrom(2, 2));
    EXPECT_EQ(0u, board.UndoDepth());
    EXPECT_FALSE(board.Undo());
    EXPECT_EQ(0u, board.Moves());
}

TEST(PuzzleBoard, ResetShuffleArrangeAndClearForgetTheHistory)
{
    PuzzleBoard board(4);
    board.SlideFrom(0, 3);
    board.Reset();
    EXPECT_EQ(0u, board.UndoDepth());

    board.SlideFrom(3, 0);
    board.Shuffle(7, 50);
    EXPECT_EQ(0u, board.UndoDepth());
    std::vector<int> shuffled = board.Tiles();
    EXPECT_FALSE(board.Undo());
    EXPECT_EQ(shuffled, board.Tiles());

    board.Move(PuzzleBoard::MoveDown);
    board.Move(PuzzleBoard::MoveRight);
    board.ClearHistory();
    EXPECT_EQ(0u, board.UndoDepth());
    EXPECT_FALSE(board.Undo());

    board.Move(PuzzleBoard::MoveLeft);
    PuzzleBoard solved(4);
    ASSERT_TRUE(board.Arrange(solved.Tiles()));
    EXPECT_EQ(0u, board.UndoDepth());
    EXPECT_EQ(0u, board.Moves());
}

TEST(PuzzleBoard, ManhattanDistance)
{
    PuzzleBoard board(4);
    EXPECT_EQ(0, board.ManhattanDistance());
    board.SlideFrom(0, 3);  // three tiles one cell from home
    EXPECT_EQ(3, board.ManhattanDistance());
    board.SlideFrom(0, 0);  // 8, 4, 0 one cell down each
    EXPECT_EQ(6, board.ManhattanDistance());

    // Reversed 3x3 (gap top-left): every tile's distance by hand.
    PuzzleBoard reversed(3);
    ASSERT_TRUE(reversed.Arrange({PuzzleBoard::EmptyCell, 7, 6, 5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(2 + 4 + 2 + 0 + 2 + 4 + 2 + 4, reversed.ManhattanDistance());

    // A slide moves one tile one cell: the distance changes by exactly one,
    // and a board is at distance 0 exactly when solved.
    PuzzleBoard walker(5);
    walker.Shuffle(3, 400);
    for (int i = 0; i < 500; ++i) {
        int before = walker.ManhattanDistance();
        if (!walker.Move(static_cast<PuzzleBoard::Direction>(i * 7 % 4)))
            continue;
        ASSERT_EQ(1, std::abs(walker.ManhattanDistance() - before));
        ASSERT_EQ(walker.IsSolved(), walker.ManhattanDistance() == 0);
    }
}

TEST(PuzzleBoard, ArrangeRefusesBrokenAndUnsolvableArrangements)
{
    const int E = PuzzleBoard::EmptyCell;
    PuzzleBoard board(3);
    board.Move(PuzzleBoard::MoveRight);
    const std::vector<int> before = board.Tiles();
    const std::vector<std::vector<int>> refused = {
        {},                                  // nothing
        {0, 1, 2, 3, 4, 5, 6, E},            // too short
        {0, 1, 2, 3, 4, 5, 6, 7, E, E},      // too long
        {0, 1, 2, 3, 4, 5, 6, 7, 7},         // no gap, tile twice
        {0, 1, 2, 3, 4, 5, 6, E, E},         // two gaps
        {0, 1, 2, 3, 4, 5, 6, 6, E},         // tile twice
        {0, 1, 2, 3, 4, 5, 6, 8, E},         // tile out of range
        {0, 1, 2, 3, 4, 5, 6, -2, E},        // negative tile
        {1, 0, 2, 3, 4, 5, 6, 7, E},         // two tiles swapped: unsolvable
        {0, 1, 2, 3, 4, 5, 7, E, 6},         // unsolvable with the gap moved
    };
    for (size_t i = 0; i < refused.size(); ++i) {
        EXPECT_FALSE(board.Arrange(refused[i])) << i;
        EXPECT_EQ(before, board.Tiles()) << i;
    }
    EXPECT_TRUE(board.Arrange({0, 1, 2, 3, 4, 5, 6, E, 7}));
    EXPECT_EQ(1, board.GapColumn());
    EXPECT_EQ(2, board.GapRow());
    EXPECT_TRUE(board.Move(PuzzleBoard::MoveLeft));
    EXPECT_TRUE(board.IsSolved());
}

TEST(PuzzleBoard, IsSolvableAgreesWithTheInversionRule)
{
    // Random permutations of every kind, odd and even sides, against the
    // inversion count used above.
    uint32_t state = 12345;
    for (int size = 2; size <= 6; ++size) {
        int agreeSolvable = 0;
        for (int trial = 0; trial < 400; ++trial) {
            std::vector<int> tiles(size * size);
            for (int i = 0; i < size * size; ++i)
                tiles[i] = i == size * size - 1 ? PuzzleBoard::EmptyCell : i;
            for (int i = size * size - 1; i > 0; --i) {
                state = state * 1103515245u + 12345u;
                std::swap(tiles[i], tiles[(state >> 8) % (i + 1)]);
            }
            PuzzleBoard board(size);
            bool accepted = board.Arrange(tiles);
            ASSERT_EQ(accepted, PuzzleBoard::IsSolvable(tiles, size));
            if (accepted) {
                ASSERT_TRUE(Solvable(board)) << size;
                ++agreeSolvable;
            } else {
                // Swapping two tiles flips solvability.
                int first = tiles[0] == PuzzleBoard::EmptyCell ? 2 : 0;
                int second = tiles[1] == PuzzleBoard::EmptyCell ? 2 : 1;
                std::swap(tiles[first], tiles[second]);
                ASSERT_TRUE(board.Arrange(tiles)) << size;
                ASSERT_TRUE(Solvable(board)) << size;
            }
        }
        EXPECT_GT(agreeSolvable, 100) << size;  // about half are solvable
        EXPECT_LT(agreeSolvable, 300) << size;
    }
}

}  // namespace

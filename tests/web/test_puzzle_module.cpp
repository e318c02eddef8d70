// The web page's rules module through its C interface, built natively: the
// calls the page's script makes, in the order a game makes them.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" {
int VnNewBoard(int size);
int VnLargestGrid();
void VnNewGame(int scatter, uint32_t seed);
int VnSlide(int column, int row);
int VnUndo();
int VnSize();
int VnTileAt(int column, int row);
int VnGapColumn();
int VnGapRow();
uint32_t VnMoves();
int VnCanUndo();
int VnWon();
int VnAwaitingShuffle();
int VnHint();
int VnPlanSolution();
int VnSolutionCell(int index);
int VnHelped();
int VnTakeSolve(int any, uint32_t bestMoves, uint32_t bestSeconds, uint32_t seconds);
int VnBestAny();
uint32_t VnBestMoves();
uint32_t VnBestSeconds();
}

namespace {

std::vector<int> Tiles()
{
    std::vector<int> tiles;
    for (int row = 0; row < VnSize(); ++row)
        for (int column = 0; column < VnSize(); ++column)
            tiles.push_back(VnTileAt(column, row));
    return tiles;
}

bool InPlace()
{
    const std::vector<int> tiles = Tiles();
    for (size_t i = 0; i + 1 < tiles.size(); ++i)
        if (tiles[i] != static_cast<int>(i))
            return false;
    return tiles.back() == -1;
}

}  // namespace

TEST(PuzzleModule, AShuffledGameFollowedByHintsEndsWonHelpedWithEveryMoveCounted)
{
    ASSERT_EQ(1, VnNewBoard(4));
    EXPECT_EQ(4, VnSize());
    EXPECT_TRUE(InPlace());
    VnNewGame(1, 12345);
    EXPECT_FALSE(InPlace());
    EXPECT_FALSE(VnWon());
    EXPECT_FALSE(VnAwaitingShuffle());
    EXPECT_EQ(0u, VnMoves());
    EXPECT_FALSE(VnCanUndo());
    EXPECT_FALSE(VnHelped());
    int slides = 0;
    for (int cell; !VnWon() && (cell = VnHint()) >= 0 && slides < 2000; ++slides) {
        const int column = cell % 4, row = cell / 4;
        // The hint is a tile next to the gap, and it slides alone.
        EXPECT_EQ(1, (column == VnGapColumn()) + (row == VnGapRow()));
        EXPECT_EQ(1, abs(column - VnGapColumn()) + abs(row - VnGapRow()));
        ASSERT_EQ(1, VnSlide(column, row));
    }
    EXPECT_TRUE(VnWon());
    EXPECT_TRUE(InPlace());
    EXPECT_EQ(-1, VnHint());
    EXPECT_EQ(static_cast<uint32_t>(slides), VnMoves());
    EXPECT_GT(slides, 0);
    // Won, but helped: the kept best results stand, even when this game was shorter.
    EXPECT_TRUE(VnHelped());
    EXPECT_EQ(0, VnTakeSolve(1, 9999, 9999, 1));
    EXPECT_EQ(1, VnBestAny());
    EXPECT_EQ(9999u, VnBestMoves());
    // The next game starts unhelped.
    VnNewGame(1, 54321);
    EXPECT_FALSE(VnHelped());
}

TEST(PuzzleModule, ABoardThatStartsSolvedCountsNoSolveUntilItWasMovedAway)
{
    ASSERT_EQ(1, VnNewBoard(3));
    VnNewGame(0, 1);
    EXPECT_TRUE(VnAwaitingShuffle());
    EXPECT_FALSE(VnWon());
    // Out and back: no game; the board starts over with no moves.
    EXPECT_EQ(1, VnSlide(2, 1));
    EXPECT_FALSE(VnAwaitingShuffle());
    EXPECT_EQ(1, VnSlide(2, 2));
    EXPECT_FALSE(VnWon());
    EXPECT_EQ(0, VnTakeSolve(0, 0, 0, 1));
    EXPECT_FALSE(VnBestAny());
    EXPECT_TRUE(VnAwaitingShuffle());
    EXPECT_EQ(0u, VnMoves());
    EXPECT_FALSE(VnCanUndo());
    // Two tiles away and back: that was a game.
    EXPECT_EQ(2, VnSlide(2, 0));
    EXPECT_EQ(2, VnSlide(2, 2));
    EXPECT_TRUE(VnWon());
    EXPECT_EQ(4u, VnMoves());
    // Played without Hint or Solve: it sets the best results, each on its own.
    EXPECT_FALSE(VnHelped());
    EXPECT_EQ(1, VnTakeSolve(1, 3, 40, 9));
    EXPECT_EQ(3u, VnBestMoves());
    EXPECT_EQ(9u, VnBestSeconds());
    // New game without scattering waits again; scattering arms it.
    VnNewGame(0, 1);
    EXPECT_TRUE(VnAwaitingShuffle());
    VnNewGame(1, 99);
    EXPECT_FALSE(VnAwaitingShuffle());
    EXPECT_FALSE(InPlace());
}

TEST(PuzzleModule, SlidesOnlyInLineWithTheGapAndUndoesOneTileAtATime)
{
    ASSERT_EQ(1, VnNewBoard(4));
    VnNewGame(1, 7);
    const std::vector<int> start = Tiles();
    const int gapColumn = VnGapColumn(), gapRow = VnGapRow();
    // Off the board, the gap itself, and a cell in neither its row nor column.
    EXPECT_EQ(0, VnSlide(-1, gapRow));
    EXPECT_EQ(0, VnSlide(gapColumn, 4));
    EXPECT_EQ(0, VnSlide(gapColumn, gapRow));
    EXPECT_EQ(0, VnSlide((gapColumn + 1) % 4, (gapRow + 1) % 4));
    EXPECT_EQ(0u, VnMoves());
    // The far end of the gap's row: every tile between slides.
    const int far = gapColumn < 2 ? 3 : 0;
    EXPECT_EQ(abs(far - gapColumn), VnSlide(far, gapRow));
    EXPECT_EQ(far, VnGapColumn());
    const uint32_t moves = VnMoves();
    EXPECT_EQ(static_cast<uint32_t>(abs(far - gapColumn)), moves);
    for (int i = 0; i < abs(far - gapColumn); ++i)
        EXPECT_EQ(1, VnUndo());
    EXPECT_EQ(0, VnUndo());
    EXPECT_EQ(start, Tiles());
    EXPECT_EQ(2 * moves, VnMoves());  // an undo is a move too
}

TEST(PuzzleModule, ThePlannedSolutionSolvesAndItsGameCountsAsWon)
{
    ASSERT_EQ(1, VnNewBoard(5));
    VnNewGame(1, 2024);
    const int count = VnPlanSolution();
    ASSERT_GT(count, 0);
    EXPECT_EQ(-1, VnSolutionCell(-1));
    EXPECT_EQ(-1, VnSolutionCell(count));
    for (int i = 0; i < count; ++i) {
        const int cell = VnSolutionCell(i);
        ASSERT_EQ(1, VnSlide(cell % 5, cell / 5)) << "slide " << i;
    }
    EXPECT_TRUE(InPlace());
    EXPECT_TRUE(VnWon());
    EXPECT_TRUE(VnHelped());
    EXPECT_EQ(0, VnTakeSolve(0, 0, 0, 10));
    EXPECT_EQ(0, VnBestAny());
    // Solved: there is nothing left to plan.
    EXPECT_EQ(0, VnPlanSolution());
}

TEST(PuzzleModule, RefusesGridsItDoesNotPlayAndAnswersSafelyWithoutABoard)
{
    EXPECT_EQ(20, VnLargestGrid());
    EXPECT_EQ(1, VnNewBoard(VnLargestGrid()));
    EXPECT_EQ(20, VnSize());
    for (int size : {-5, 0, 1, 21, 9999}) {
        EXPECT_EQ(0, VnNewBoard(size)) << size;
        EXPECT_EQ(0, VnSize());
        VnNewGame(1, 5);
        EXPECT_EQ(0, VnSlide(0, 0));
        EXPECT_EQ(0, VnUndo());
        EXPECT_EQ(-1, VnTileAt(0, 0));
        EXPECT_EQ(-1, VnGapColumn());
        EXPECT_EQ(-1, VnHint());
        EXPECT_EQ(0, VnPlanSolution());
        EXPECT_EQ(0, VnTakeSolve(1, 7, 8, 1));
        EXPECT_EQ(-1, VnSolutionCell(0));
        EXPECT_FALSE(VnWon());
        EXPECT_FALSE(VnAwaitingShuffle());
        EXPECT_FALSE(VnCanUndo());
        EXPECT_EQ(0u, VnMoves());
    }
}

// The game's clock, whether a solve counts, best results and their texts.
#include <gtest/gtest.h>

#include <string>

#include "player_clock.h"
#include "score_texts.h"

namespace {

TEST(GameClock, CountsOnlyWhileRunningAndNotPaused)
{
    GameClock clock;
    EXPECT_EQ(0u, clock.ElapsedMs(5000));
    clock.Start(1000);
    EXPECT_EQ(2500u, clock.ElapsedMs(3500));
    clock.SetPaused(GameClock::PausedMinimised, true, 4000);
    EXPECT_FALSE(clock.Ticking());
    EXPECT_EQ(3000u, clock.ElapsedMs(90000));
    // A second reason, and the first one lifted: still paused.
    clock.SetPaused(GameClock::PausedDialog, true, 5000);
    clock.SetPaused(GameClock::PausedMinimised, false, 6000);
    EXPECT_EQ(3000u, clock.ElapsedMs(7000));
    clock.SetPaused(GameClock::PausedDialog, false, 10000);
    EXPECT_EQ(4000u, clock.ElapsedMs(11000));
    EXPECT_EQ(4u, clock.ElapsedSeconds(11000));
    // Setting a pause twice or lifting one not set changes nothing.
    clock.SetPaused(GameClock::PausedPicture, false, 11000);
    EXPECT_EQ(5000u, clock.ElapsedMs(12000));
    clock.Stop(12000);
    EXPECT_FALSE(clock.Running());
    EXPECT_EQ(5000u, clock.ElapsedMs(99999));
    clock.Reset();
    EXPECT_EQ(0u, clock.ElapsedMs(99999));
}

TEST(GameClock, PausedBeforeTheStartCountsNothingUntilResumed)
{
    GameClock clock;
    clock.SetPaused(GameClock::PausedPicture, true, 0);
    clock.Start(100);
    EXPECT_EQ(0u, clock.ElapsedMs(900));
    clock.SetPaused(GameClock::PausedPicture, false, 1000);
    EXPECT_EQ(500u, clock.ElapsedMs(1500));
}

TEST(GameClock, SurvivesTheTickCountWrapping)
{
    GameClock clock;
    clock.Start(0xFFFFFC18u);  // 1 s before the wrap
    EXPECT_EQ(3000u, clock.ElapsedMs(2000));
}

TEST(SolveGate, AStartSolvedBoardCountsOnlyAfterMovingAwayByMoreThanOneSlide)
{
    SolveGate gate;
    gate.Begin(false);
    EXPECT_FALSE(gate.Counts(true));
    gate.AfterSlide(1);  // one tile out...
    gate.AfterSlide(0);  // ...and back
    EXPECT_FALSE(gate.Counts(true));
    gate.AfterSlide(1);
    gate.AfterSlide(2);  // two slides away
    gate.AfterSlide(1);
    EXPECT_FALSE(gate.Counts(false));
    EXPECT_TRUE(gate.Counts(true));

    SolveGate shuffled;
    shuffled.Begin(true);
    EXPECT_TRUE(shuffled.Counts(true));
    shuffled.Begin(false);
    EXPECT_FALSE(shuffled.Counts(true));
}

TEST(BestResult, KeepsFewestMovesAndShortestTimeEachOnItsOwn)
{
    BestResult best;
    EXPECT_FALSE(best.any);
    best = MergeBest(best, 80, 50);
    EXPECT_TRUE(best.any);
    EXPECT_EQ(80u, best.moves);
    EXPECT_EQ(50u, best.seconds);
    best = MergeBest(best, 60, 70);
    EXPECT_EQ(60u, best.moves);
    EXPECT_EQ(50u, best.seconds);
    best = MergeBest(best, 90, 20);
    EXPECT_EQ(60u, best.moves);
    EXPECT_EQ(20u, best.seconds);
    best = MergeBest(BestResult(), 0, 0);  // a zero is a real result
    EXPECT_EQ(0u, MergeBest(best, 5, 5).moves);
}

TEST(ScoreTexts, StatusLineAndFinishMessage)
{
    EXPECT_EQ("Press F2 to shuffle", StatusLine(true, false, false, 0, 0));
    EXPECT_EQ("Moves: 3    Time: 0:07", StatusLine(false, false, false, 3, 7));
    EXPECT_EQ("Moves: 3    Time: 0:07", StatusLine(false, false, true, 3, 7));
    EXPECT_EQ("Solved in 1 move, 1:05", StatusLine(false, true, false, 1, 65));
    EXPECT_EQ("Solved with help in 40 moves, 1:00:05", StatusLine(false, true, true, 40, 3605));
    BestResult best = MergeBest(MergeBest(BestResult(), 138, 250), 160, 202);
    EXPECT_EQ("Fewest moves: 138. Fastest: 3:22.", BestResultsText(best));
    EXPECT_EQ("You solved the puzzle in 160 moves and 3:22.\nFewest moves: 138. Fastest: 3:22."
              "\n\nPlay again?",
              FinishMessage(160, 202, false, best));
    EXPECT_EQ("You solved the puzzle in 1 move and 0:00.\n\nPlay again?",
              FinishMessage(1, 0, false, BestResult()));
    // A helped game says why its result is not kept, and shows the bests as they were.
    EXPECT_EQ("You solved the puzzle in 90 moves and 0:40.\nA game played with Hint or Solve sets no best"
              " result.\nFewest moves: 138. Fastest: 3:22.\n\nPlay again?",
              FinishMessage(90, 40, true, best));
    EXPECT_EQ("No best results yet: solve this puzzle without Hint or Solve to set them.",
              BestResultsText(BestResult()));
}

}  // namespace

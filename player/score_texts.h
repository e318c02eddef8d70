// The texts that report a game's results, in the user's language (from the
// catalogue). Portable.
#pragma once

#include <cstdint>
#include <string>

#include "player_score.h"

// The status line: "Press F2 to shuffle" on a board not yet in play,
// "Moves: 3    Time: 0:07" during a game, "Solved in 6 moves, 0:03" after,
// "Solved with help in 6 moves, 0:03" after a game helped by Hint or Solve.
std::string StatusLine(bool awaitingShuffle, bool finished, bool helped, uint32_t moves,
                       uint32_t seconds);

// The best results as two: "Fewest moves: 138. Fastest: 3:22.", or a line
// saying there are none yet.
std::string BestResultsText(const BestResult& best);

// The message of a solve, with the best results (already including this
// solve, unless the game was helped, which sets none) and the offer to play
// again.
std::string FinishMessage(uint32_t moves, uint32_t seconds, bool helped, const BestResult& best);

// The results of a game: whether a solve counts, the best results kept per
// puzzle, and the texts that report them (in the user's language, from the
// catalogue). Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A board that starts solved (not shuffled) counts no solve until it has been
// shuffled or moved more than one slide away from the solution: sliding a
// tile out and back is no game.
class SolveGate {
public:
    // A new game: armed when its board was scattered.
    void Begin(bool shuffled) { armed = shuffled; }
    // After a slide, with the board's distance from the solution (the sum of
    // its tiles' distances from home).
    void AfterSlide(int distance)
    {
        if (distance > 1)
            armed = true;
    }
    bool Armed() const { return armed; }
    bool Counts(bool solved) const { return solved && armed; }

private:
    bool armed = false;
};

// Fewest moves and shortest time of any counted solve of one puzzle; each is
// kept on its own, so they may come from different games.
struct BestResult {
    bool any = false;
    uint32_t moves = 0;
    uint32_t seconds = 0;
};

// best with a new solve taken in.
BestResult MergeBest(BestResult best, uint32_t moves, uint32_t seconds);

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

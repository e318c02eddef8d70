// The results of a game: whether a solve counts, whether it sets a best
// result, and the best results kept per puzzle (score_texts.h reports them).
// Portable, and built into the web page's rules module too, so that the
// Windows player and the web page keep results by the same rules.
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

// Whether a game's end sets a best result: the board came solved in a game
// that counts (its gate armed) and that was played without Hint or Solve
// (helped). A helped game is still won; its results are only not kept.
bool SolveSetsBest(const SolveGate& gate, bool solved, bool helped);

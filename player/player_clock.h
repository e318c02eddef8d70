// The game clock: runs from the first move to the solve and stands still
// while anything pauses it (the window minimised, the About box open, the
// whole picture shown). Times come from the caller in milliseconds of a
// wrapping 32-bit tick count, so the clock is tested without waiting.
#pragma once

#include <cstdint>

class GameClock {
public:
    // Reasons to pause, combined as bits.
    enum PauseReason : unsigned {
        PausedMinimised = 1,
        PausedDialog = 2,   // the About box or a question open
        PausedPicture = 4,
    };

    // Back to zero, not running; pauses are kept.
    void Reset();
    // Starts from zero at now.
    void Start(uint32_t now);
    // Freezes the time counted so far.
    void Stop(uint32_t now);
    // Sets or clears one reason to pause at now.
    void SetPaused(PauseReason reason, bool paused, uint32_t now);

    bool Running() const { return running; }
    bool Ticking() const { return running && pauses == 0; }
    uint32_t ElapsedMs(uint32_t now) const;
    uint32_t ElapsedSeconds(uint32_t now) const { return ElapsedMs(now) / 1000; }

private:
    bool running = false;
    unsigned pauses = 0;
    uint32_t counted = 0;  // milliseconds before the current ticking stretch
    uint32_t since = 0;    // tick at which the current stretch began
};

#include "player_clock.h"

void GameClock::Reset()
{
    running = false;
    counted = 0;
}

void GameClock::Start(uint32_t now)
{
    running = true;
    counted = 0;
    since = now;
}

void GameClock::Stop(uint32_t now)
{
    counted = ElapsedMs(now);
    running = false;
}

void GameClock::SetPaused(PauseReason reason, bool paused, uint32_t now)
{
    const unsigned next = paused ? (pauses | reason) : (pauses & ~reason);
    if (next == pauses)
        return;
    if (running && pauses == 0)
        counted = ElapsedMs(now);  // a stretch ends
    if (running && next == 0)
        since = now;  // a stretch begins
    pauses = next;
}

uint32_t GameClock::ElapsedMs(uint32_t now) const
{
    if (!running || pauses != 0)
        return counted;
    return counted + (now - since);
}

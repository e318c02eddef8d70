#include "player_score.h"

BestResult MergeBest(BestResult best, uint32_t moves, uint32_t seconds)
{
    if (!best.any || moves < best.moves)
        best.moves = moves;
    if (!best.any || seconds < best.seconds)
        best.seconds = seconds;
    best.any = true;
    return best;
}

bool SolveSetsBest(const SolveGate& gate, bool solved, bool helped)
{
    return gate.Counts(solved) && !helped;
}

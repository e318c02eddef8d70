#include "player_score.h"

#include "player_layout.h"

BestResult MergeBest(BestResult best, uint32_t moves, uint32_t seconds)
{
    if (!best.any || moves < best.moves)
        best.moves = moves;
    if (!best.any || seconds < best.seconds)
        best.seconds = seconds;
    best.any = true;
    return best;
}

std::string MovesText(uint32_t moves)
{
    return std::to_string(moves) + (moves == 1 ? " move" : " moves");
}

std::string StatusLine(bool awaitingShuffle, bool finished, uint32_t moves, uint32_t seconds)
{
    if (finished)
        return "Solved in " + MovesText(moves) + ", " + FormatElapsed(seconds);
    if (awaitingShuffle)
        return "Press F2 to shuffle";
    return "Moves: " + std::to_string(moves) + "    Time: " + FormatElapsed(seconds);
}

std::string FinishMessage(uint32_t moves, uint32_t seconds, const BestResult& best)
{
    std::string text = "You solved the puzzle in " + MovesText(moves) + " and " +
                       FormatElapsed(seconds) + ".";
    if (best.any)
        text += "\nBest for this puzzle: " + MovesText(best.moves) + ", " +
                FormatElapsed(best.seconds) + ".";
    text += "\n\nPlay again?";
    return text;
}

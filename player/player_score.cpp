#include "player_score.h"

#include <cstdio>

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

std::string PuzzleKeyName(const uint8_t* picture, size_t pictureSize, const std::string& record,
                          int gridInPlay, bool gridReduced)
{
    uint64_t hash = 0xcbf29ce484222325ull;
    auto mix = [&hash](uint8_t byte) {
        hash ^= byte;
        hash *= 0x100000001b3ull;
    };
    for (size_t i = 0; i < pictureSize; ++i)
        mix(picture[i]);
    mix(0);  // keeps picture and record apart
    for (char c : record)
        mix(static_cast<uint8_t>(c));
    char text[48];
    std::snprintf(text, sizeof text, "%08lx%08lx", static_cast<unsigned long>(hash >> 32),
                  static_cast<unsigned long>(hash & 0xffffffffu));
    std::string name = text;
    if (gridReduced)
        name += "-" + std::to_string(gridInPlay);
    return name;
}

std::string MovesText(uint32_t moves)
{
    return std::to_string(moves) + (moves == 1 ? " move" : " moves");
}

std::string StatusLine(bool awaitingShuffle, bool finished, bool helped, uint32_t moves,
                       uint32_t seconds)
{
    if (finished)
        return (helped ? "Solved with help in " : "Solved in ") + MovesText(moves) + ", " +
               FormatElapsed(seconds);
    if (awaitingShuffle)
        return "Press F2 to shuffle";
    return "Moves: " + std::to_string(moves) + "    Time: " + FormatElapsed(seconds);
}

std::string BestResultsText(const BestResult& best)
{
    if (!best.any)
        return "No best results yet: solve this puzzle without Hint or Solve to set them.";
    return "Fewest moves: " + std::to_string(best.moves) + ". Fastest: " + FormatElapsed(best.seconds) +
           ".";
}

std::string FinishMessage(uint32_t moves, uint32_t seconds, bool helped, const BestResult& best)
{
    std::string text = "You solved the puzzle in " + MovesText(moves) + " and " +
                       FormatElapsed(seconds) + ".";
    if (helped)
        text += "\nA game played with Hint or Solve sets no best result.";
    if (best.any)
        text += "\n" + BestResultsText(best);
    text += "\n\nPlay again?";
    return text;
}

#include "player_score.h"

#include <cstdio>

#include "player_layout.h"
#include "vn_tr.h"

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

std::string StatusLine(bool awaitingShuffle, bool finished, bool helped, uint32_t moves,
                       uint32_t seconds)
{
    if (finished && helped)
        return VnFormat(TrN("Solved with help in %d move, %s", "Solved with help in %d moves, %s", moves),
                        {moves, FormatElapsed(seconds)});
    if (finished)
        return VnFormat(TrN("Solved in %d move, %s", "Solved in %d moves, %s", moves),
                        {moves, FormatElapsed(seconds)});
    if (awaitingShuffle)
        return Tr("Press F2 to shuffle");
    return VnFormat(Tr("Moves: %d    Time: %s"), {moves, FormatElapsed(seconds)});
}

std::string BestResultsText(const BestResult& best)
{
    if (!best.any)
        return Tr("No best results yet: solve this puzzle without Hint or Solve to set them.");
    return VnFormat(Tr("Fewest moves: %d. Fastest: %s."), {best.moves, FormatElapsed(best.seconds)});
}

std::string FinishMessage(uint32_t moves, uint32_t seconds, bool helped, const BestResult& best)
{
    std::string text = VnFormat(TrN("You solved the puzzle in %d move and %s.",
                                    "You solved the puzzle in %d moves and %s.", moves),
                                {moves, FormatElapsed(seconds)});
    if (helped)
        text += "\n" + Tr("A game played with Hint or Solve sets no best result.");
    if (best.any)
        text += "\n" + BestResultsText(best);
    text += "\n\n" + Tr("Play again?");
    return text;
}

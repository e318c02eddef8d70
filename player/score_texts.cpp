#include "score_texts.h"

#include "player_layout.h"
#include "vn_tr.h"

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

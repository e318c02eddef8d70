// The texts that report a game's results, worded as the Windows player
// words them (the same texts of the catalogue): the status line, the best
// results and the message of a solve. Best results are {moves, seconds}, or
// null when there are none.

// "Press New game to shuffle" on a board not yet in play, "Moves: 3    Time:
// 0:07" during a game, "Solved in 6 moves, 0:03" after, "Solved with help in
// 6 moves, 0:03" after a game helped by Hint or Solve.
function statusLine(awaitingShuffle, finished, helped, moves, seconds) {
  if (finished && helped)
    return trn("Solved with help in %d move, %s", "Solved with help in %d moves, %s", moves, formatElapsed(seconds));
  if (finished) return trn("Solved in %d move, %s", "Solved in %d moves, %s", moves, formatElapsed(seconds));
  if (awaitingShuffle) return tr("Press New game to shuffle");
  return tr("Moves: %d    Time: %s", moves, formatElapsed(seconds));
}

// The best results as two: "Fewest moves: 138. Fastest: 3:22.", or a line
// saying there are none yet.
function bestResultsText(best) {
  if (!best) return tr("No best results yet: solve this puzzle without Hint or Solve to set them.");
  return tr("Fewest moves: %d. Fastest: %s.", best.moves, formatElapsed(best.seconds));
}

// The message of a solve, with the best results (this solve's taken in,
// unless the game was helped, which sets none) and the offer to play again.
function finishMessage(moves, seconds, helped, best) {
  var text = trn("You solved the puzzle in %d move and %s.", "You solved the puzzle in %d moves and %s.", moves,
                 formatElapsed(seconds));
  if (helped) text += "\n" + tr("A game played with Hint or Solve sets no best result.");
  if (best) text += "\n" + bestResultsText(best);
  return text + "\n\n" + tr("Play again?");
}

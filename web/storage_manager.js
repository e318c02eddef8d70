// The best results of a puzzle, kept in the browser's localStorage under a
// key made from the puzzle's hash (the Windows player's name for the same
// puzzle). A browser without storage, or one that refuses it, just keeps
// nothing.

class StorageManager {
  constructor(puzzleKey) {
    this.key = "vornix-best-" + puzzleKey;
  }

  // {moves, seconds}, or null when none was kept or what was kept is unusable.
  readBest() {
    var best = null;
    try {
      best = JSON.parse(window.localStorage.getItem(this.key));
    } catch (error) {
      return null;
    }
    var whole = function (value) { return Number.isInteger(value) && value >= 0 && value <= 0xffffffff; };
    return best && whole(best.moves) && whole(best.seconds) ? {moves: best.moves, seconds: best.seconds} : null;
  }

  writeBest(best) {
    try {
      window.localStorage.setItem(this.key, JSON.stringify({moves: best.moves, seconds: best.seconds}));
    } catch (error) {
      // full, or storage disabled: the result is shown but not kept
    }
  }
}

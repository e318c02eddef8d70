// The glue to the rules module: the player's C++ board, solver and score
// rules compiled to WebAssembly, carried in the data block "vornix-module"
// as deflate-compressed base64. PuzzleRules wraps its C interface; nothing
// here decides anything about the game.

function loadPuzzleRules() {
  return inflateBlock("vornix-module")
    .then(function (code) { return WebAssembly.instantiate(code, {}); })
    .then(function (result) {
      result.instance.exports._initialize();
      return new PuzzleRules(result.instance.exports);
    });
}

class PuzzleRules {
  constructor(exports) {
    this.vn = exports;
  }

  largestGrid() { return this.vn.vn_largest_grid(); }
  // A solved board of size x size; false for a size the module does not play.
  newBoard(size) { return this.vn.vn_new_board(size) === 1; }
  // A scattered board, or the solved one waiting for a shuffle.
  newGame(scatter, seed) { this.vn.vn_new_game(scatter ? 1 : 0, seed >>> 0); }
  size() { return this.vn.vn_size(); }
  tileAt(column, row) { return this.vn.vn_tile_at(column, row); }
  gap() { return {column: this.vn.vn_gap_column(), row: this.vn.vn_gap_row()}; }
  moves() { return this.vn.vn_moves() >>> 0; }
  // Tiles moved by sliding from a cell towards the gap.
  slide(column, row) { return this.vn.vn_slide(column, row); }
  undo() { return this.vn.vn_undo() === 1; }
  canUndo() { return this.vn.vn_can_undo() === 1; }
  won() { return this.vn.vn_won() === 1; }
  awaitingShuffle() { return this.vn.vn_awaiting_shuffle() === 1; }

  cellOf(index) {
    var size = this.size();
    return index < 0 ? null : {column: index % size, row: Math.floor(index / size)};
  }

  // The cell whose tile slides next towards the solution, null when solved.
  hint() { return this.cellOf(this.vn.vn_hint()); }

  // The cells of the rest of a solution, one slide each.
  planSolution() {
    var count = this.vn.vn_plan_solution();
    var cells = [];
    for (var i = 0; i < count; i++) cells.push(this.cellOf(this.vn.vn_solution_cell(i)));
    return cells;
  }

  // Hint or Solve was used in this game: it sets no best result.
  helped() { return this.vn.vn_helped() === 1; }

  // The end of a won game of the given time, with the best results kept
  // (or null): {sets: whether the game sets them, to be kept; best: the best
  // results to show, null when there are none}.
  takeSolve(kept, seconds) {
    var sets = this.vn.vn_take_solve(kept ? 1 : 0, kept ? kept.moves : 0, kept ? kept.seconds : 0, seconds) === 1;
    var best = this.vn.vn_best_any() === 1
      ? {moves: this.vn.vn_best_moves() >>> 0, seconds: this.vn.vn_best_seconds() >>> 0} : null;
    return {sets: sets, best: best};
  }
}

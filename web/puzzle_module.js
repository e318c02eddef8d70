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

  // best (or null) with a solve of moves and seconds taken in.
  mergeBest(best, moves, seconds) {
    this.vn.vn_merge_best(best ? 1 : 0, best ? best.moves : 0, best ? best.seconds : 0, moves, seconds);
    return {moves: this.vn.vn_best_moves() >>> 0, seconds: this.vn.vn_best_seconds() >>> 0};
  }
}

// The game as the player plays it: new games, slides by tap, key or swipe,
// undo, hints, the animated solve, the numbers and the whole picture, the
// clock, the solve with its best results, its message and the win address.
// Every rule (which tiles a slide moves, when the board counts as solved,
// the hint, the solution, whether they helped the game, the best results)
// comes from the rules module.

var SlideMs = 100;
var ClockTickMs = 250;
var Directions = {left: [1, 0], right: [-1, 0], up: [0, 1], down: [0, -1]};

class GameManager {
  constructor(rules, puzzle, view, actuator, input, storage) {
    this.rules = rules;
    this.puzzle = puzzle;  // the settings: grid, shuffle, winUrl, company, site, tagline
    this.view = view;
    this.actuator = actuator;
    this.storage = storage;
    this.clock = new GameClock();
    this.numbers = false;
    this.whole = false;
    this.solving = null;
    input.on("move", (direction) => { this.move(direction); });
    input.on("tap", (point) => { this.tap(point); });
    input.on("newGame", () => { this.askNewGame(); });
    input.on("undo", () => { this.undo(); });
    input.on("hint", () => { this.showHint(); });
    input.on("solve", () => { this.startSolve(); });
    input.on("numbers", () => { this.toggleNumbers(); });
    input.on("picture", () => { this.togglePicture(); });
    input.on("about", () => { this.showAbout(); });
    document.addEventListener("visibilitychange", () => { this.pause(PausedHidden, document.hidden); });
    window.setInterval(() => { this.tick(); }, ClockTickMs);
    this.rules.newBoard(puzzle.grid);
    this.newGame(puzzle.shuffle);
  }

  model() {
    var rules = this.rules;
    return {tileAt: function (column, row) { return rules.tileAt(column, row); }, finished: this.finished,
            whole: this.whole, numbers: this.numbers, hint: this.hint};
  }

  render() { this.view.draw(this.model()); }

  pause(reason, paused) { this.clock.setPaused(reason, paused, performance.now()); }

  newGame(scatter) {
    this.stopSolve();
    this.clock.reset();
    this.rules.newGame(scatter, window.crypto.getRandomValues(new Uint32Array(1))[0]);
    this.finished = false;
    this.assisted = false;
    this.hint = null;
    this.shownSeconds = -1;
    this.updateStatus();
    this.render();
  }

  // A game is in progress once the clock runs after a move.
  askNewGame() {
    if (this.finished || !this.clock.running || this.rules.moves() === 0) {
      this.newGame(true);
      return;
    }
    this.pause(PausedDialog, true);
    this.actuator.ask(tr("Discard the game in progress and shuffle?")).then((yes) => {
      this.pause(PausedDialog, false);
      if (yes) this.newGame(true);
    });
  }

  playable() { return !this.finished && !this.whole; }

  move(direction) {
    var gap = this.rules.gap();
    var step = Directions[direction];
    this.stopSolve();
    this.slideFrom(gap.column + step[0], gap.row + step[1], SlideMs);
  }

  tap(point) {
    this.stopSolve();
    var cell = this.view.cellAt(point.x, point.y);
    if (cell) this.slideFrom(cell.column, cell.row, SlideMs);
  }

  slideFrom(column, row, durationMs) {
    if (!this.playable()) return false;
    var gap = this.rules.gap();
    if (this.rules.slide(column, row) <= 0) return false;
    this.afterSlide(gap, durationMs);
    return true;
  }

  undo() {
    this.stopSolve();
    if (!this.playable()) return;
    var gap = this.rules.gap();
    if (this.rules.undo()) this.afterSlide(gap, SlideMs);
  }

  // After the board changed, leaving the gap that was at oldGap.
  afterSlide(oldGap, durationMs) {
    var now = performance.now();
    this.hint = null;
    if (!this.clock.running) this.clock.start(now);
    if (this.rules.won()) {
      this.finish();
      return;
    }
    if (this.rules.awaitingShuffle()) {
      // back at the start of a board that was never scattered: no game yet
      this.clock.stop(now);
      this.clock.reset();
    }
    this.view.slide(this.model(), oldGap, this.rules.gap(), durationMs);
    this.updateStatus();
    if (!this.solving) this.actuator.announce(this.statusText());
  }

  showHint() {
    this.stopSolve();
    if (!this.playable()) return;
    var cell = this.rules.hint();
    if (!cell) return;
    this.hint = cell;
    this.render();
    var gap = this.rules.gap();
    var tile = this.rules.tileAt(cell.column, cell.row) + 1;
    var texts = {left: tr("Hint: move tile %d left", tile), right: tr("Hint: move tile %d right", tile),
                 up: tr("Hint: move tile %d up", tile), down: tr("Hint: move tile %d down", tile)};
    var direction = gap.column < cell.column ? "left" : gap.column > cell.column ? "right"
                  : gap.row < cell.row ? "up" : "down";
    this.actuator.announce(texts[direction]);
  }

  // Plays the rest of a solution: about 100 ms a slide, faster for long
  // solutions so that it ends in about ten seconds (down to 20 ms a step,
  // then several slides a step, drawn without motion).
  startSolve() {
    this.stopSolve();
    if (!this.playable() || this.rules.awaitingShuffle()) return;
    var cells = this.rules.planSolution();
    if (!cells.length) return;
    this.assisted = true;
    var stepMs = Math.min(120, Math.max(20, Math.floor(10000 / cells.length)));
    var perStep = Math.ceil(cells.length / 500);
    var next = 0;
    this.solving = window.setInterval(() => {
      for (var i = 0; i < perStep && this.solving; i++) {
        var cell = cells[next++];
        if (!cell || !this.slideFrom(cell.column, cell.row, perStep === 1 ? Math.floor(stepMs * 0.8) : 0)) {
          this.stopSolve();
          return;
        }
      }
    }, stepMs);
  }

  stopSolve() {
    if (!this.solving) return;
    window.clearInterval(this.solving);
    this.solving = null;
  }

  toggleNumbers() {
    this.numbers = !this.numbers;
    this.actuator.setPressed("numbers", this.numbers);
    this.render();
  }

  togglePicture() {
    this.whole = !this.whole;
    this.actuator.setPressed("picture", this.whole);
    this.pause(PausedPicture, this.whole);
    this.render();
  }

  showAbout() {
    this.pause(PausedDialog, true);
    var best = bestResultsText(this.storage.readBest());
    this.actuator.showAbout(this.puzzle.company, this.puzzle.site, this.puzzle.tagline, best).then(() => {
      this.pause(PausedDialog, false);
    });
  }

  // Solved: the slot fills with its tile, the results are kept (unless Hint
  // or Solve helped the game) and shown, then the win address opens once and
  // another game is offered.
  finish() {
    this.stopSolve();
    var now = performance.now();
    this.clock.stop(now);
    this.finished = true;
    this.hint = null;
    var moves = this.rules.moves();
    var seconds = this.clock.elapsedSeconds(now);
    var result = this.rules.takeSolve(this.storage.readBest(), seconds);
    if (result.sets) this.storage.writeBest(result.best);
    this.updateStatus();
    this.render();
    if (this.assisted) {
      this.actuator.announce(this.statusText());
      return;
    }
    this.actuator.ask(finishMessage(moves, seconds, this.rules.helped(), result.best)).then((yes) => {
      var address = webAddress(this.puzzle.winUrl);
      if (address) window.open(address, "_blank", "noopener");
      if (yes) this.newGame(true);
    });
  }

  statusText() {
    if (this.finished && this.assisted) return tr("Solved by the Solve button");
    return statusLine(this.rules.awaitingShuffle(), this.finished, this.rules.helped(), this.rules.moves(),
                      this.clock.elapsedSeconds(performance.now()));
  }

  updateStatus() {
    this.shownSeconds = this.clock.elapsedSeconds(performance.now());
    this.actuator.showStatus(this.statusText());
  }

  tick() {
    if (this.clock.ticking() && this.clock.elapsedSeconds(performance.now()) !== this.shownSeconds)
      this.updateStatus();
  }
}

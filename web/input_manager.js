// Turns keys, taps, clicks and swipes into the game's commands: "move"
// (a direction: the tile on the other side of the gap moves that way),
// "tap" (a point on the board), and the buttons' "newGame", "undo", "hint",
// "solve", "numbers", "picture" and "about".

var SwipeDistance = 24;  // CSS pixels a finger travels before a tap becomes a swipe

var KeyDirections = {ArrowLeft: "left", ArrowRight: "right", ArrowUp: "up", ArrowDown: "down"};
var KeyCommands = {n: "numbers", h: "hint", p: "picture", F2: "newGame"};

class InputManager {
  constructor(board, buttons, isBusy) {
    this.events = {};
    this.isBusy = isBusy;  // a dialog is open: the game takes no keys
    this.listenToKeys();
    this.listenToBoard(board);
    for (var name in buttons) this.listenToButton(buttons[name], name);
  }

  on(event, callback) { this.events[event] = callback; }

  emit(event, data) {
    if (this.events[event]) this.events[event](data);
  }

  listenToKeys() {
    document.addEventListener("keydown", (event) => {
      if (this.isBusy() || event.altKey || event.metaKey || event.isComposing) return;
      var key = event.key.length === 1 ? event.key.toLowerCase() : event.key;
      var command = null;
      if (event.ctrlKey) {
        command = key === "z" ? "undo" : null;
      } else if (KeyDirections[key]) {
        event.preventDefault();
        this.emit("move", KeyDirections[key]);
        return;
      } else {
        command = key === "Backspace" ? "undo" : KeyCommands[key];
      }
      if (!command) return;
      event.preventDefault();
      this.emit(command);
    });
  }

  // A press and release close together is a tap at the press; a longer
  // stroke along one axis is a swipe that way.
  listenToBoard(board) {
    var start = null;
    board.addEventListener("pointerdown", (event) => {
      if (!event.isPrimary || event.button !== 0) return;
      start = {x: event.clientX, y: event.clientY};
      board.focus({preventScroll: true});
      try { board.setPointerCapture(event.pointerId); } catch (error) { /* released already */ }
    });
    board.addEventListener("pointercancel", () => { start = null; });
    board.addEventListener("pointerup", (event) => {
      if (!start || !event.isPrimary) return;
      var dx = event.clientX - start.x;
      var dy = event.clientY - start.y;
      var from = start;
      start = null;
      if (Math.max(Math.abs(dx), Math.abs(dy)) < SwipeDistance)
        this.emit("tap", from);
      else if (Math.abs(dx) > Math.abs(dy))
        this.emit("move", dx < 0 ? "left" : "right");
      else
        this.emit("move", dy < 0 ? "up" : "down");
    });
  }

  listenToButton(button, command) {
    button.addEventListener("click", () => { this.emit(command); });
  }
}

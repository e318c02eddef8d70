// The game clock: runs from the first move to the solve and stands still
// while anything pauses it (the page hidden, a question open, the whole
// picture shown). Times are performance.now() milliseconds.

var PausedHidden = 1;
var PausedDialog = 2;
var PausedPicture = 4;

class GameClock {
  constructor() {
    this.running = false;
    this.pauses = 0;
    this.counted = 0;  // milliseconds before the current ticking stretch
    this.since = 0;    // when the current stretch began
  }

  reset() { this.running = false; this.counted = 0; }
  start(now) { this.running = true; this.counted = 0; this.since = now; }
  stop(now) { this.counted = this.elapsedMs(now); this.running = false; }
  ticking() { return this.running && this.pauses === 0; }

  setPaused(reason, paused, now) {
    var next = paused ? this.pauses | reason : this.pauses & ~reason;
    if (next === this.pauses) return;
    if (this.ticking()) this.counted = this.elapsedMs(now);
    if (this.running && next === 0) this.since = now;
    this.pauses = next;
  }

  elapsedMs(now) {
    return this.ticking() ? this.counted + (now - this.since) : this.counted;
  }

  elapsedSeconds(now) { return Math.floor(this.elapsedMs(now) / 1000); }
}

// "m:ss", or "h:mm:ss" from one hour on.
function formatElapsed(seconds) {
  var two = function (n) { return (n < 10 ? "0" : "") + n; };
  var minutes = Math.floor(seconds / 60);
  return seconds >= 3600 ? Math.floor(seconds / 3600) + ":" + two(minutes % 60) + ":" + two(seconds % 60)
                         : minutes + ":" + two(seconds % 60);
}

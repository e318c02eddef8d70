// The board on its canvas: the picture fitted into the free space, sharp at
// the device's pixel ratio, cut into the grid's tiles, with the slot, the
// seams, the numbers and the hint's frame; slides drawn in motion. It draws
// what the game manager tells it and decides nothing.

var SlotColour = "#808080";
var SeamColour = "#404040";
var HintColour = "#ffd600";

class BoardView {
  constructor(canvas, stage, picture, grid) {
    this.canvas = canvas;
    this.context = canvas.getContext("2d");
    this.stage = stage;
    this.picture = picture;
    this.grid = grid;
    this.scaled = null;   // the picture at the canvas's size
    this.model = null;    // what was drawn last
    this.motion = null;   // the slide in motion
    this.reducedMotion = window.matchMedia("(prefers-reduced-motion: reduce)");
    this.forcedColours = window.matchMedia("(forced-colors: active)");
    var redraw = () => { this.layout(); };
    this.forcedColours.addEventListener("change", redraw);
    window.addEventListener("resize", redraw);
    if (window.ResizeObserver) new ResizeObserver(redraw).observe(stage);
  }

  // Fits the canvas into the stage, keeping the picture's shape, and scales
  // the picture to it once, with the browser's best filter.
  layout() {
    var ratio = window.devicePixelRatio || 1;
    var areaWidth = Math.max(1, this.stage.clientWidth);
    var areaHeight = Math.max(1, this.stage.clientHeight);
    var width = this.picture.width;
    var height = this.picture.height;
    var scale = Math.min(areaWidth / width, areaHeight / height);
    var pixelsWide = Math.max(1, Math.floor(width * scale * ratio));
    var pixelsHigh = Math.max(1, Math.floor(height * scale * ratio));
    this.canvas.style.width = pixelsWide / ratio + "px";
    this.canvas.style.height = pixelsHigh / ratio + "px";
    if (this.canvas.width !== pixelsWide || this.canvas.height !== pixelsHigh || !this.scaled) {
      this.canvas.width = pixelsWide;
      this.canvas.height = pixelsHigh;
      this.scaled = document.createElement("canvas");
      this.scaled.width = pixelsWide;
      this.scaled.height = pixelsHigh;
      var context = this.scaled.getContext("2d");
      context.imageSmoothingQuality = "high";
      context.fillStyle = "#ffffff";  // where the picture is clear, as the Windows player shows it
      context.fillRect(0, 0, pixelsWide, pixelsHigh);
      context.drawImage(this.picture, 0, 0, pixelsWide, pixelsHigh);
    }
    this.ratio = ratio;
    if (this.model) this.draw(this.model);
  }

  // Edge of cell index along a side of extent pixels.
  edge(extent, index) {
    return Math.floor(extent * index / this.grid);
  }

  cellSpan(extent, position) {
    if (position < 0 || position >= extent) return -1;
    var cell = Math.min(this.grid - 1, Math.floor(position * this.grid / extent));
    while (cell > 0 && position < this.edge(extent, cell)) cell--;
    while (cell < this.grid - 1 && position >= this.edge(extent, cell + 1)) cell++;
    return cell;
  }

  // The cell under a point of the page, or null off the board.
  cellAt(clientX, clientY) {
    var box = this.canvas.getBoundingClientRect();
    if (box.width <= 0 || box.height <= 0) return null;
    var column = this.cellSpan(this.canvas.width, (clientX - box.left) * this.canvas.width / box.width);
    var row = this.cellSpan(this.canvas.height, (clientY - box.top) * this.canvas.height / box.height);
    return column < 0 || row < 0 ? null : {column: column, row: row};
  }

  // The cell's rectangle in canvas pixels, moved by (dx, dy).
  cellBox(column, row) {
    var width = this.canvas.width;
    var height = this.canvas.height;
    var left = this.edge(width, column);
    var top = this.edge(height, row);
    return {left: left, top: top, width: this.edge(width, column + 1) - left, height: this.edge(height, row + 1) - top};
  }

  colours() {
    if (!this.forcedColours.matches)
      return {slot: SlotColour, seam: SeamColour, hint: HintColour, ink: "#ffffff", paper: "#000000"};
    // High contrast: the system's text and background colours, which the
    // reader chose to tell things apart.
    var style = window.getComputedStyle(document.body);
    return {slot: style.backgroundColor, seam: style.color, hint: style.color, ink: style.backgroundColor,
            paper: style.color};
  }

  // model: {tileAt(column, row), finished, whole, numbers, hint}
  draw(model) {
    this.model = model;
    if (!this.scaled) return;  // drawn by the first layout
    var context = this.context;
    var colours = this.colours();
    if (model.whole || model.finished) {
      context.drawImage(this.scaled, 0, 0);
      return;
    }
    var moving = [];
    for (var row = 0; row < this.grid; row++)
      for (var column = 0; column < this.grid; column++) {
        var tile = model.tileAt(column, row);
        var box = this.cellBox(column, row);
        var offset = tile < 0 ? null : this.offsetOf(column, row);
        if (tile < 0 || offset) {
          context.fillStyle = colours.slot;
          context.fillRect(box.left, box.top, box.width, box.height);
          if (offset) moving.push({tile: tile, box: box, offset: offset});
          continue;
        }
        this.drawTile(tile, box, 0, 0, model, colours);
        if (model.hint && model.hint.column === column && model.hint.row === row) this.drawHint(box, colours);
      }
    for (var i = 0; i < moving.length; i++)
      this.drawTile(moving[i].tile, moving[i].box, moving[i].offset.dx, moving[i].offset.dy, model, colours);
  }

  // A tile's share of the picture drawn into a cell's box at an offset,
  // with its seams and its number.
  drawTile(tile, box, dx, dy, model, colours) {
    var context = this.context;
    var home = this.cellBox(tile % this.grid, Math.floor(tile / this.grid));
    var left = box.left + dx;
    var top = box.top + dy;
    context.drawImage(this.scaled, home.left, home.top, home.width, home.height, left, top, box.width, box.height);
    var seam = Math.max(1, Math.round(this.ratio * (this.forcedColours.matches ? 2 : 1)));
    context.fillStyle = colours.seam;
    if (left > 0) context.fillRect(left, top, seam, box.height);
    if (top > 0) context.fillRect(left, top, box.width, seam);
    if (!model.numbers) return;
    var size = Math.max(8 * this.ratio, Math.min(Math.floor(box.height / 3), 18 * this.ratio));
    var margin = Math.round(2 * this.ratio);
    var text = String(tile + 1);
    context.font = "bold " + Math.round(size) + "px sans-serif";
    context.textBaseline = "top";
    var width = context.measureText(text).width;
    context.fillStyle = colours.paper;
    context.fillRect(left + seam, top + seam, width + 2 * margin, size + margin);
    context.fillStyle = colours.ink;
    context.fillText(text, left + seam + margin, top + seam + margin / 2);
  }

  drawHint(box, colours) {
    var thickness = Math.max(2, Math.round(3 * this.ratio));
    this.context.strokeStyle = colours.hint;
    this.context.lineWidth = thickness;
    this.context.strokeRect(box.left + thickness / 2, box.top + thickness / 2, box.width - thickness,
                            box.height - thickness);
  }

  // Draws a slide in motion over durationMs: its tiles went from the old gap
  // towards the cell that is the gap now, each one cell.
  slide(model, oldGap, newGap, durationMs) {
    this.motion = null;
    if (durationMs > 0 && !this.reducedMotion.matches && !model.whole &&
        (oldGap.column !== newGap.column || oldGap.row !== newGap.row)) {
      this.motion = {from: newGap, to: oldGap, start: performance.now(), duration: durationMs, progress: 0,
                     stepColumn: Math.sign(oldGap.column - newGap.column),
                     stepRow: Math.sign(oldGap.row - newGap.row)};
      var motion = this.motion;
      var frame = (now) => {
        if (this.motion !== motion) return;
        motion.progress = Math.min(1, Math.max(0, (now - motion.start) / motion.duration));
        if (motion.progress >= 1) this.motion = null;
        this.draw(this.model);
        if (this.motion === motion) window.requestAnimationFrame(frame);
      };
      window.requestAnimationFrame(frame);
    }
    this.draw(model);
  }

  // How far from its cell a tile in motion is drawn, or null when it rests.
  offsetOf(column, row) {
    var motion = this.motion;
    if (!motion) return null;
    var inRow = motion.stepRow === 0 && row === motion.from.row;
    var inColumn = motion.stepColumn === 0 && column === motion.from.column;
    if (!inRow && !inColumn) return null;
    var along = inRow ? (column - motion.from.column) * motion.stepColumn : (row - motion.from.row) * motion.stepRow;
    var length = inRow ? (motion.to.column - motion.from.column) * motion.stepColumn
                       : (motion.to.row - motion.from.row) * motion.stepRow;
    if (along < 1 || along > length) return null;
    // It came from one cell back along the slide.
    var here = this.cellBox(column, row);
    var back = this.cellBox(column - motion.stepColumn, row - motion.stepRow);
    var remaining = 1 - motion.progress;
    return {dx: Math.round((back.left - here.left) * remaining), dy: Math.round((back.top - here.top) * remaining)};
  }
}

// The board on its canvas: the picture fitted into the free space, sharp at
// the device's pixel ratio, cut into the grid's tiles, with the slot, the
// seams, the numbers and the hint's frame; slides drawn in motion. It draws
// what the game manager tells it and decides nothing.
//
// The tiles are cut from a copy of the picture made at the canvas's size,
// made again when the canvas changes size; meanwhile the copy at hand is
// stretched.

var SlotColour = "#808080";
var SeamColour = "#404040";
var HintColour = "#ffd600";

class BoardView {
  // picture: {blob, width, height}, the size upright.
  constructor(canvas, stage, picture) {
    this.canvas = canvas;
    this.context = canvas.getContext("2d");
    this.stage = stage;
    this.picture = picture;
    this.grid = 1;
    this.source = null;   // the picture, at the canvas's size once it has been scaled
    this.scaling = 0;     // the latest decode asked for
    this.model = null;    // what was drawn last
    this.motion = null;   // the slide in motion
    this.reducedMotion = window.matchMedia("(prefers-reduced-motion: reduce)");
    this.forcedColours = window.matchMedia("(forced-colors: active)");
  }

  // Lays the board out with the picture as decoded (a promise of an
  // ImageBitmap); resolves once the picture can be drawn. Follows the
  // window's size and the system's colour scheme from then on.
  start(decoded) {
    this.decoded = decoded;
    var redraw = () => { this.layout(); };
    this.forcedColours.addEventListener("change", redraw);
    window.addEventListener("resize", redraw);
    if (window.ResizeObserver) new ResizeObserver(redraw).observe(this.stage);
    // a window moved to a screen of another pixel ratio
    var watchRatio = () => {
      window.matchMedia("(resolution: " + (window.devicePixelRatio || 1) + "dppx)")
        .addEventListener("change", () => { redraw(); watchRatio(); }, {once: true});
    };
    watchRatio();
    return this.layout();
  }

  // Fits the canvas into the stage, keeping the picture's shape.
  layout() {
    var ratio = window.devicePixelRatio || 1;
    var width = this.picture.width;
    var height = this.picture.height;
    var scale = Math.min(Math.max(1, this.stage.clientWidth) / width, Math.max(1, this.stage.clientHeight) / height);
    var pixelsWide = Math.max(1, Math.floor(width * scale * ratio));
    var pixelsHigh = Math.max(1, Math.floor(height * scale * ratio));
    this.ratio = ratio;
    this.canvas.style.width = pixelsWide / ratio + "px";
    this.canvas.style.height = pixelsHigh / ratio + "px";
    var decoded;
    if (this.canvas.width !== pixelsWide || this.canvas.height !== pixelsHigh || !this.source) {
      this.canvas.width = pixelsWide;
      this.canvas.height = pixelsHigh;
      decoded = this.decode(pixelsWide, pixelsHigh);
    }
    this.drawAll();
    return decoded || Promise.resolve();
  }

  // Decodes the picture for a canvas of width x height. At first the
  // picture is drawn as decoded, scaled while it is drawn, and a copy at the
  // canvas's size made with the browser's best filter follows once the
  // board is on the screen (as the Windows player stretches during a drag
  // and filters once it ends).
  decode(width, height) {
    var ticket = ++this.scaling;
    var filtered = () => createImageBitmap(this.picture.blob, {resizeWidth: width, resizeHeight: height,
                                                               resizeQuality: "high"})
      .then((bitmap) => {
        if (ticket !== this.scaling) {
          bitmap.close();  // a later size asked for another
          return;
        }
        if (this.source) this.source.close();
        this.source = bitmap;
        this.drawAll();
      }, () => {});  // a browser that cannot scale while decoding keeps stretching the copy at hand
    if (this.source) {
      // while the size keeps changing (a window dragged, a phone turning)
      // the copy at hand is stretched; the picture is decoded again once
      // the size has settled
      window.clearTimeout(this.settling);
      this.settling = window.setTimeout(filtered, 150);
      return Promise.resolve();
    }
    if (!this.first) {
      this.first = this.decoded.then((whole) => {
        this.source = whole;
        this.drawAll();
      });
    }
    return this.first.then(() => {
      window.requestAnimationFrame(() => { window.setTimeout(filtered, 0); });
    });
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

  // A cell's rectangle in an area of width x height pixels.
  cellBox(column, row, width, height) {
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
  // A slide still in motion ends at once when the board is solved or the
  // whole picture shown.
  draw(model) {
    this.model = model;
    if (model.whole || model.finished) this.motion = null;
    this.drawAll();
  }

  drawAll() {
    if (!this.model || !this.source) return;
    if (this.model.whole || this.model.finished) {
      // The whole picture, its clear parts on white as the Windows player shows them.
      this.context.fillStyle = "#ffffff";
      this.context.fillRect(0, 0, this.canvas.width, this.canvas.height);
      this.context.drawImage(this.source, 0, 0, this.canvas.width, this.canvas.height);
      return;
    }
    this.drawCells(0, 0, this.grid - 1, this.grid - 1);
  }

  // Redraws the cells from (column1, row1) to (column2, row2): the tiles at
  // rest, the slot, then the tiles in motion over them.
  drawCells(column1, row1, column2, row2) {
    var model = this.model;
    var colours = this.colours();
    var moving = [];
    for (var row = row1; row <= row2; row++)
      for (var column = column1; column <= column2; column++) {
        var tile = model.tileAt(column, row);
        var box = this.cellBox(column, row, this.canvas.width, this.canvas.height);
        var offset = tile < 0 ? null : this.offsetOf(column, row);
        if (tile < 0 || offset) {
          this.context.fillStyle = colours.slot;
          this.context.fillRect(box.left, box.top, box.width, box.height);
          if (offset) moving.push({tile: tile, box: box, offset: offset});
          continue;
        }
        this.drawTile(tile, box, 0, 0, colours);
        if (model.hint && model.hint.column === column && model.hint.row === row) this.drawHint(box, colours);
      }
    for (var i = 0; i < moving.length; i++)
      this.drawTile(moving[i].tile, moving[i].box, moving[i].offset.dx, moving[i].offset.dy, colours);
  }

  // A tile's share of the picture drawn into a cell's box at an offset,
  // with its seams and its number.
  drawTile(tile, box, dx, dy, colours) {
    var context = this.context;
    var home = this.cellBox(tile % this.grid, Math.floor(tile / this.grid), this.source.width, this.source.height);
    var left = box.left + dx;
    var top = box.top + dy;
    context.fillStyle = "#ffffff";
    context.fillRect(left, top, box.width, box.height);
    context.drawImage(this.source, home.left, home.top, home.width, home.height, left, top, box.width, box.height);
    var seam = Math.max(1, Math.round(this.ratio * (this.forcedColours.matches ? 2 : 1)));
    context.fillStyle = colours.seam;
    if (left > 0) context.fillRect(left, top, seam, box.height);
    if (top > 0) context.fillRect(left, top, box.width, seam);
    if (!this.model.numbers) return;
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
  // towards the cell that is the gap now, each one cell. Only the slide's
  // cells are drawn again while it moves.
  slide(model, oldGap, newGap, durationMs) {
    this.model = model;
    this.motion = null;
    var column1 = Math.min(oldGap.column, newGap.column), column2 = Math.max(oldGap.column, newGap.column);
    var row1 = Math.min(oldGap.row, newGap.row), row2 = Math.max(oldGap.row, newGap.row);
    if (durationMs > 0 && !this.reducedMotion.matches && !model.whole && (column1 !== column2 || row1 !== row2)) {
      this.motion = {from: newGap, to: oldGap, start: performance.now(), duration: durationMs, progress: 0,
                     stepColumn: Math.sign(oldGap.column - newGap.column),
                     stepRow: Math.sign(oldGap.row - newGap.row)};
      var motion = this.motion;
      var frame = (now) => {
        if (this.motion !== motion) return;
        motion.progress = Math.min(1, Math.max(0, (now - motion.start) / motion.duration));
        if (motion.progress >= 1) this.motion = null;
        if (this.source) this.drawCells(column1, row1, column2, row2);
        if (this.motion === motion) window.requestAnimationFrame(frame);
      };
      window.requestAnimationFrame(frame);
    }
    this.drawAll();
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
    var here = this.cellBox(column, row, this.canvas.width, this.canvas.height);
    var back = this.cellBox(column - motion.stepColumn, row - motion.stepRow, this.canvas.width, this.canvas.height);
    var remaining = 1 - motion.progress;
    return {dx: Math.round((back.left - here.left) * remaining), dy: Math.round((back.top - here.top) * remaining)};
  }
}

// Starts the page: the texts in the reader's language, the puzzle's
// settings, then the rules module and the picture (decoded side by side),
// then the game.

var PictureTypes = ["image/jpeg", "image/png", "image/gif"];
var ProductTitle = "Vornix Puzzle";
var MinTilePixels = 16;  // on the narrowest screen (320 pixels) at the largest grid
var KeyPattern = new RegExp("^[0-9A-Za-z-]{1,64}$");

// The settings block as the game uses it, or null when it holds no puzzle.
function readSettings(data) {
  if (!data || typeof data !== "object" || data.version !== 1 || !Number.isInteger(data.grid) || data.grid < 2 ||
      PictureTypes.indexOf(data.pictureType) < 0)
    return null;
  var text = function (value) { return typeof value === "string" ? value.trim() : ""; };
  var side = function (value) { return Number.isInteger(value) && value >= 1 && value <= 65535 ? value : 0; };
  return {grid: data.grid, shuffle: data.shuffle === true, winUrl: text(data.winUrl), company: text(data.company),
          site: text(data.site), tagline: text(data.tagline), pictureType: data.pictureType,
          pictureWidth: side(data.pictureWidth), pictureHeight: side(data.pictureHeight),
          bestKey: typeof data.bestKey === "string" && KeyPattern.test(data.bestKey) ? data.bestKey : "puzzle"};
}

// Failures are shown once the texts are in: the page's texts say what failed.
// Failures are shown once the texts are in: the page's texts say what failed.
// The picture's decoding starts first, as it takes longest.
function startPage() {
  var actuator = new ScreenActuator();
  var puzzle = readSettings(readJsonBlock("vornix-settings"));
  var picture = puzzle && window.createImageBitmap ? readBytesBlock("vornix-picture") : null;
  var blob = picture && picture.length ? new Blob([picture], {type: puzzle.pictureType}) : null;
  var decoded = blob ? createImageBitmap(blob) : Promise.reject(new Error("no picture"));
  var texts = loadTexts(navigator.languages || [navigator.language || "en"]).then(function (language) {
    document.documentElement.lang = language;
    actuator.labelControls(puzzle && puzzle.tagline ? puzzle.tagline : ProductTitle);
  });
  // text: a function giving the failure's text once the texts are in
  var fail = function (text) { texts.then(function () { actuator.showFailure(text()); }); };
  if (!puzzle) {
    fail(function () { return tr("This page holds no puzzle."); });
    return;
  }
  if (!window.WebAssembly || !window.createImageBitmap) {
    fail(function () {
      return tr("This browser cannot play the puzzle. Please open the page in a newer browser.");
    });
    return;
  }
  var board = document.getElementById("board");
  var view = null;
  // The upright size from the settings, or from the decoded picture when
  // they do not say.
  var size = puzzle.pictureWidth && puzzle.pictureHeight
    ? Promise.resolve({width: puzzle.pictureWidth, height: puzzle.pictureHeight})
    : decoded.then(function (bitmap) { return {width: bitmap.width, height: bitmap.height}; });
  var drawable = size.then(function (upright) {
    view = new BoardView(board, document.getElementById("stage"), {blob: blob, width: upright.width, height: upright.height});
    return view.start(decoded);
  });
  Promise.all([loadPuzzleRules(), drawable, texts])
    .then(function (loaded) {
      var rules = loaded[0];
      var largest = rules.largestGrid();
      var key = puzzle.bestKey;
      if (puzzle.grid > largest) {
        // as the Windows player names a game on a reduced grid
        actuator.showNotice(tr("Grid reduced from %d x %d to %d x %d so that tiles are at least %d pixels.",
                               puzzle.grid, puzzle.grid, largest, largest, MinTilePixels));
        puzzle.grid = largest;
        key += "-" + largest;
      }
      view.grid = puzzle.grid;
      var input = new InputManager(board, actuator.buttons, function () { return actuator.isBusy(); });
      new GameManager(rules, puzzle, view, actuator, input, new StorageManager(key));
      performance.mark("vornix-board-drawn");
    }, function () { fail(function () { return tr("The puzzle data is damaged."); }); });
}

startPage();

// The web page puzzle in real browsers: Debian's chromium and firefox-esr,
// one launch each, on the pages listed in the manifest that
// scripts/test-web writes (VORNIX_WEB_PAGES). For every page: the picture
// upright and whole, a game played by keyboard alone from the shuffle to the
// solve by following hints, the solved message, the win address opened once,
// the best results (none from a game helped by hints; on the page whose
// board starts solved, those of a game played without them) kept across a
// reload, hostile texts shown as text, no request beyond the page, no CSP
// violation and no axe-core violation. Then a phone (360 x 740, touch) plays
// a game by taps. Screenshots go to build/artifacts.
"use strict";
const {describe, it, before, after} = require("node:test");
const assert = require("node:assert/strict");
const fs = require("fs");
const path = require("path");
const puppeteer = require("puppeteer-core");

const manifest = JSON.parse(fs.readFileSync(process.env.VORNIX_WEB_PAGES, "utf8"));
const axeSource = fs.readFileSync(require.resolve("axe-core/axe.min.js"), "utf8");
const artifacts = manifest.artifacts;

// The upright scene's regions (tests/image/make_photos.sh), as fractions of
// the picture, and the colours they show.
const Sky = [0x50, 0x90, 0xe0], Sun = [0xf8, 0xd0, 0x30], Ground = [0x40, 0xa0, 0x40], House = [0xd0, 0x30, 0x30];
const White = [255, 255, 255];
function probes(sky) {
  return [{x: 30 / 240, y: 40 / 320, colour: sky}, {x: 210 / 240, y: 40 / 320, colour: Sun},
          {x: 30 / 240, y: 280 / 320, colour: Ground}, {x: 150 / 240, y: 200 / 320, colour: House}];
}
const HintColour = [0xff, 0xd6, 0x00];
const KeyForDirection = {left: "ArrowLeft", right: "ArrowRight", up: "ArrowUp", down: "ArrowDown"};

function launch(kind) {
  if (kind === "chromium")
    return puppeteer.launch({executablePath: "/usr/lib/chromium/chromium", headless: true,
                             args: ["--no-sandbox", "--lang=en-US"]});
  return puppeteer.launch({browser: "firefox", executablePath: "/usr/bin/firefox-esr", headless: true,
                           extraPrefsFirefox: {"security.fileuri.strict_origin_policy": true,
                                               "intl.accept_languages": "en-US"}});
}

// Opens a page with a CSP violation listener installed before its scripts
// run, and waits for the first drawn board.
async function openPage(browser, file, viewport, languages) {
  const page = await browser.newPage();
  const seen = {requests: [], errors: []};
  page.on("request", (request) => { seen.requests.push(request.url()); });
  page.on("pageerror", (error) => { seen.errors.push(String(error.message || error)); });
  await page.evaluateOnNewDocument((languages) => {
    if (languages) Object.defineProperty(Navigator.prototype, "languages", {get: () => languages});
    window.vornixViolations = [];
    document.addEventListener("securitypolicyviolation", (event) => {
      window.vornixViolations.push(event.violatedDirective + " " + event.blockedURI);
    });
  }, languages || null);
  if (viewport.hasTouch) await page.emulate({viewport: viewport, userAgent: await browser.userAgent()});
  else await page.setViewport(viewport);
  await page.goto("file://" + file);
  await waitForBoard(page);
  return {page, seen};
}

function waitForBoard(page) {
  return page.waitForFunction(() => performance.getEntriesByName("vornix-board-drawn").length > 0,
                              {timeout: 15000});
}

// The colours at the probes, read from the board's canvas.
function readProbes(page, points) {
  return page.evaluate((points) => {
    const canvas = document.getElementById("board");
    const context = canvas.getContext("2d");
    return points.map((p) => Array.from(context.getImageData(Math.floor(p.x * canvas.width),
                                                            Math.floor(p.y * canvas.height), 1, 1).data));
  }, points);
}

async function expectPicture(page, points, what) {
  const seen = await readProbes(page, points);
  points.forEach((p, i) => {
    const near = p.colour.every((value, channel) => Math.abs(value - seen[i][channel]) <= 14);
    assert.ok(near, `${what}: at ${p.x.toFixed(2)},${p.y.toFixed(2)} ${seen[i]} is not ${p.colour}`);
  });
}

// A data block of a page file, as the writer filled it.
function dataBlock(file, id) {
  const page = fs.readFileSync(file, "utf8");
  const start = page.indexOf(`id="${id}">`);
  assert.ok(start >= 0, `${file} has the block ${id}`);
  return page.slice(start + id.length + 6, page.indexOf("</script>", start));
}

const text = (page, selector) => page.$eval(selector, (e) => e.textContent);
const isOpen = (page, id) => page.$eval("#" + id, (e) => e.open);

// Asks for hints and slides the hinted tile with its arrow key until the
// solved message comes up; the number of slides.
async function solveByKeyboard(page) {
  for (let slides = 0; slides < 400; slides++) {
    if (await isOpen(page, "question")) return slides;
    await page.keyboard.press("h");
    const hint = await text(page, "#announce");
    const match = /^Hint: move tile (\d+) (left|right|up|down)$/.exec(hint);
    assert.ok(match, `a hint is announced, not "${hint}"`);
    await page.keyboard.press(KeyForDirection[match[2]]);
    const status = await text(page, "#announce");
    assert.ok(/^[^:]+: \d+ {4}[^:]+: \d+:\d\d$/.test(status) || (await isOpen(page, "question")),
              `a slide announces the moves and the time, not "${status}"`);
  }
  assert.fail("the hints did not lead to the solve");
}

// The board's cell (column, row) drawn with the hint's frame.
function hintedCell(page, grid) {
  return page.evaluate((grid, hint) => {
    const canvas = document.getElementById("board");
    const data = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
    const edge = (extent, i) => Math.floor(extent * i / grid);
    for (let row = 0; row < grid; row++)
      for (let column = 0; column < grid; column++) {
        const x = edge(canvas.width, column) + 2;
        const y = Math.floor((edge(canvas.height, row) + edge(canvas.height, row + 1)) / 2);
        const at = (y * canvas.width + x) * 4;
        if (hint.every((value, channel) => Math.abs(data[at + channel] - value) <= 8)) return {column, row};
      }
    return null;
  }, grid, HintColour);
}

async function tapCell(page, grid, cell) {
  const box = await page.$eval("#board", (e) => { const r = e.getBoundingClientRect(); return [r.left, r.top, r.width, r.height]; });
  await page.touchscreen.tap(box[0] + (cell.column + 0.5) * box[2] / grid, box[1] + (cell.row + 0.5) * box[3] / grid);
}

async function tapElement(page, selector) {
  const box = await page.$eval(selector, (e) => { const r = e.getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2]; });
  await page.touchscreen.tap(box[0], box[1]);
}

// Records the tabs the page opens: for each new one the addresses it was
// seen at (Chromium shows an unreachable address as its error page soon
// after, Firefox as about:neterror with the address in it).
function watchNewTabs(browser) {
  const tabs = new Map();
  const seen = (target) => {
    if (target.type() !== "page") return;
    const urls = tabs.get(target) || [];
    urls.push(decodeURIComponent(target.url()));
    tabs.set(target, urls);
  };
  browser.on("targetcreated", seen);
  browser.on("targetchanged", seen);
  return {
    stop() { browser.off("targetcreated", seen); browser.off("targetchanged", seen); },
    opened() { return Array.from(tabs.values()); },
  };
}

async function expectNoAxeViolation(page, what) {
  await page.evaluate(axeSource);
  const violations = await page.evaluate(async () => {
    const result = await window.axe.run(document);
    return result.violations.map((v) => v.id + ": " + v.nodes.map((n) => n.target.join(" ")).join(", "));
  });
  assert.deepEqual(violations, [], `axe-core on ${what}`);
}

async function expectQuiet(page, seen, file, kind) {
  const violations = await page.evaluate(() => window.vornixViolations);
  assert.deepEqual(violations, [], "no CSP violation");
  assert.deepEqual(seen.errors, [], "no script error");
  // Firefox reports no request for file:// pages; Chromium reports the page.
  const beyond = seen.requests.filter((url) => url !== "file://" + file);
  assert.deepEqual(beyond, [], `no request beyond the page in ${kind}`);
}

describe("web pages as written", () => {
  for (const entry of manifest.pages) {
    it(`${entry.name}: one file holding the picture and the settings, within the picture's size * 4/3 + 64 KB`, () => {
      const picture = fs.readFileSync(entry.pictureFile);
      const embedded = Buffer.from(dataBlock(entry.file, "vornix-picture"), "base64");
      const settings = JSON.parse(dataBlock(entry.file, "vornix-settings"));
      const size = fs.statSync(entry.file).size;
      assert.ok(size <= Math.ceil(embedded.length / 3) * 4 + 64 * 1024, `${size} bytes for ${embedded.length}`);
      if (/\.(jpg|png)$/.test(entry.picture)) {
        assert.ok(embedded.equals(picture), "JPEG and PNG go in as their own bytes");
        assert.ok(size <= picture.length * 4 / 3 + 64 * 1024, `${size} bytes for a picture of ${picture.length}`);
      } else {
        // Bitmaps and TIFF go in as PNG, without colour-shifting chunks.
        assert.equal(embedded.subarray(1, 4).toString("latin1"), "PNG");
        assert.ok(!embedded.includes("gAMA") && !embedded.includes("cHRM"), "no gAMA or cHRM chunk");
      }
      assert.equal(settings.grid, entry.grid);
      assert.equal(settings.shuffle, entry.shuffle);
      assert.equal(settings.winUrl, entry.winUrl);
      assert.match(settings.bestKey, /^[0-9a-f]{16}$/);
      if (entry.name !== "big") assert.deepEqual([settings.pictureWidth, settings.pictureHeight], [240, 320], "the upright size");
      assert.equal(settings.pictureType, /\.jpg$/.test(entry.picture) ? "image/jpeg" : "image/png");
    });
  }
});

for (const kind of manifest.browsers) {
  describe(`web page in ${kind}`, () => {
    let browser;
    before(async () => { browser = await launch(kind); });
    after(async () => { if (browser) await browser.close(); });

    for (const entry of manifest.pages.filter((p) => p.play)) {
      it(`${entry.name}: upright, solved by keyboard and hints, best kept, win address once, quiet, accessible`,
         {timeout: 180000}, async () => {
        const {page, seen} = await openPage(browser, entry.file, {width: 1280, height: 800});
        const expected = probes(entry.clearSky ? White : Sky);
        assert.equal(await page.title(), entry.tagline || "Vornix Puzzle");
        assert.equal(await text(page, "#title"), entry.tagline || "Vornix Puzzle");
        assert.equal(await text(page, "#status"), entry.shuffle ? "Moves: 0    Time: 0:00" : "Press New game to shuffle");
        // The whole picture, upright, while P holds it; the clock does not run then.
        await page.keyboard.press("p");
        assert.equal(await page.$eval("#picture", (e) => e.getAttribute("aria-pressed")), "true");
        await expectPicture(page, expected, "the whole picture");
        await page.keyboard.press("ArrowLeft");
        assert.equal(await text(page, "#status"), entry.shuffle ? "Moves: 0    Time: 0:00" : "Press New game to shuffle",
                     "no slide while the whole picture is shown");
        await page.keyboard.press("p");
        await expectNoAxeViolation(page, entry.name);

        let plainBest = "", plainSeconds = 0;
        if (entry.plain) {
          // On the board that starts solved, a game without Hint or Solve: two tiles
          // away and back by keyboard is a solve, as on Windows, and sets the best results.
          for (const key of ["ArrowRight", "ArrowRight", "ArrowLeft", "ArrowLeft"]) await page.keyboard.press(key);
          assert.ok(await isOpen(page, "question"), "two slides away and back is a solve");
          const solved = /^You solved the puzzle in 4 moves and 0:0(\d)\.\nFewest moves: 4\. Fastest: 0:0(\d)\.\n\nPlay again\?$/
            .exec(await text(page, "#question-text"));
          assert.ok(solved && solved[1] === solved[2], `the plain game's message: ${await text(page, "#question-text")}`);
          plainSeconds = Number(solved[1]);
          plainBest = `Fewest moves: 4. Fastest: 0:0${plainSeconds}.`;
          await page.keyboard.press("Escape");
          assert.equal(await text(page, "#status"), `Solved in 4 moves, 0:0${plainSeconds}`);
        }
        if (!entry.shuffle) {
          // A board that starts solved: New game shuffles at once (no game in progress to ask about).
          await page.keyboard.press("F2");
          assert.equal(await text(page, "#status"), "Moves: 0    Time: 0:00");
        }
        // Numbers and undo: a slide and its undo are two moves.
        await page.keyboard.press("n");
        assert.equal(await page.$eval("#numbers", (e) => e.getAttribute("aria-pressed")), "true");
        const hint = await (async () => { await page.keyboard.press("h"); return text(page, "#announce"); })();
        await page.keyboard.press(KeyForDirection[/(left|right|up|down)$/.exec(hint)[1]]);
        await page.keyboard.down("Control"); await page.keyboard.press("z"); await page.keyboard.up("Control");
        assert.match(await text(page, "#status"), /^Moves: 2 {4}Time: 0:0\d$/);
        // New game during a game asks first; No keeps the game.
        await page.keyboard.press("F2");
        assert.ok(await isOpen(page, "question"));
        assert.equal(await text(page, "#question-text"), "Discard the game in progress and shuffle?");
        await page.keyboard.press("Escape");
        assert.ok(!(await isOpen(page, "question")));
        assert.match(await text(page, "#status"), /^Moves: 2 /);
        if (entry.shot) {
          // The clock stands still while the whole picture is shown.
          const seconds = async () => /(\d+):(\d\d)$/.exec(await text(page, "#status")).slice(1)
            .reduce((total, part) => total * 60 + Number(part), 0);
          const shown = await seconds();
          await page.keyboard.press("p");
          await new Promise((resolve) => setTimeout(resolve, 2500));
          await page.keyboard.press("p");
          assert.ok((await seconds()) - shown <= 1, "the clock paused while the picture was shown");
        }

        const before = await browser.pages();
        const tabs = watchNewTabs(browser);
        const slides = await solveByKeyboard(page);
        const message = await text(page, "#question-text");
        const moves = 2 + slides;
        // Hints helped the game: it sets no best result, and the message says so
        // with the best results kept before it, as the Windows player's does.
        const helped = "A game played with Hint or Solve sets no best result.";
        const solved = /^You solved the puzzle in (\d+) moves and \d+:\d\d\.\n([^]*)\n\nPlay again\?$/.exec(message);
        assert.ok(solved, `the solved message: ${message}`);
        assert.equal(Number(solved[1]), moves);
        assert.equal(solved[2], plainBest ? helped + "\n" + plainBest : helped);
        await expectNoAxeViolation(page, entry.name + " with the solved message");
        await page.keyboard.press("Tab");  // from Yes to No
        await page.keyboard.press("Enter");
        assert.ok(!(await isOpen(page, "question")));
        assert.match(await text(page, "#status"), new RegExp(`^Solved with help in ${moves} moves, \\d+:\\d\\d$`));
        // Solved: the gap filled, no seams, no numbers: the whole picture.
        await expectPicture(page, expected, "the solved board");
        await new Promise((resolve) => setTimeout(resolve, 700));
        tabs.stop();
        const opened = tabs.opened();
        if (entry.winUrl) {
          assert.equal(opened.length, 1, `the win address opens once: ${JSON.stringify(opened)}`);
          assert.ok(opened[0].some((url) => url.includes(entry.winUrl)), `${opened[0]} is the win address ${entry.winUrl}`);
        } else {
          assert.deepEqual(opened, [], "no win address, nothing opens");
        }
        for (const other of await browser.pages()) if (!before.includes(other)) await other.close();

        // The best results, kept under the puzzle's key, survive a reload: none
        // from the hint game; the plain game's, where there was one.
        const key = "vornix-best-" + JSON.parse(dataBlock(entry.file, "vornix-settings")).bestKey;
        await page.reload();
        await waitForBoard(page);
        const kept = JSON.parse(await page.evaluate((key) => localStorage.getItem(key), key));
        if (plainBest) assert.deepEqual(kept, {moves: 4, seconds: plainSeconds}, "the plain game's best results");
        else assert.equal(kept, null, "the game helped by hints set no best result");

        // Texts from the settings are shown as text, never as markup.
        await page.click("#about");
        assert.ok(await isOpen(page, "about-box"));
        assert.equal(await text(page, "#about-company"), entry.company);
        assert.equal(await text(page, "#about-tagline"), entry.tagline);
        if (entry.siteLink) assert.equal(await page.$eval("#about-link", (e) => e.href), entry.siteLink);
        // About shows the best results at any time, as Game > Best Results does on Windows.
        assert.equal(await text(page, "#about-best-title"), "Best results");
        assert.equal(await text(page, "#about-best"),
                     plainBest || "No best results yet: solve this puzzle without Hint or Solve to set them.");
        assert.equal(await page.$$eval("#about-box b, #about-box img, #about-box script", (e) => e.length), 0);
        await page.keyboard.press("Escape");
        if (entry.shot) {
          await page.keyboard.press("n");
          await page.keyboard.press("h");
          await page.screenshot({path: path.join(artifacts, kind === "chromium" ? "web-desktop.png" : "web-firefox.png")});
        }
        await expectQuiet(page, seen, entry.file, kind);
        await page.close();
      });
    }

    it("texts in the reader's language: a base language finds its region, English where one is missing",
       {timeout: 120000}, async () => {
      const entry = manifest.pages.find((p) => p.languages);
      const desktop = {width: 1280, height: 800};
      let {page, seen} = await openPage(browser, entry.file, desktop, ["pt", "en-GB"]);
      assert.equal(await page.$eval("html", (e) => e.lang), "pt-BR");
      assert.equal(await text(page, "#new-game"), "Novo jogo");
      assert.equal(await text(page, "#undo"), "Undo");
      assert.equal(await text(page, "#status"), "Jogadas: 0    Tempo: 0:00");
      const slides = await solveByKeyboard(page);
      // Plural forms by the language's rules; an empty translation counts as missing.
      assert.match(await text(page, "#question-text"), new RegExp(`^Resolveu em ${slides} jogadas e \\d+:\\d\\d\\.\\n` +
                                                                  `A game played with Hint or Solve sets no best result\\.\\n\\nPlay again\\?$`));
      await page.keyboard.press("Escape");
      assert.match(await text(page, "#status"), new RegExp(`^Solved with help in ${slides} moves, `));
      await expectQuiet(page, seen, entry.file, kind);
      await page.close();

      ({page, seen} = await openPage(browser, entry.file, desktop, ["pl-PL"]));
      assert.equal(await page.$eval("html", (e) => e.lang), "pl");
      assert.equal(await text(page, "#hint"), "Podpowiedź");
      assert.equal(await text(page, "#about"), "O grze <b>", "a translation is text, never markup");
      await page.close();
      ({page, seen} = await openPage(browser, entry.file, desktop, ["sv-SE"]));
      assert.equal(await page.$eval("html", (e) => e.lang), "en");
      assert.equal(await text(page, "#hint"), "Hint");
      await page.close();
    });

    it("a phone plays a game by taps", {timeout: 180000}, async () => {
      const entry = manifest.pages.find((p) => p.phone);
      const {page, seen} = await openPage(browser, entry.file,
                                          {width: 360, height: 740, deviceScaleFactor: 3, isMobile: true, hasTouch: true});
      const size = await page.$eval("#board", (e) => [e.getBoundingClientRect().width, e.width]);
      assert.ok(size[0] > 300 && size[0] <= 360, `the board fills the phone's width: ${size[0]}`);
      assert.ok(Math.abs(size[1] - size[0] * 3) <= 3, "the canvas is sharp at the device's pixel ratio");
      if (!entry.shuffle) await tapElement(page, "#new-game");
      let taps = 0;
      for (; taps < 400 && !(await isOpen(page, "question")); taps++) {
        await tapElement(page, "#hint");
        const cell = await hintedCell(page, entry.grid);
        assert.ok(cell, "the hinted tile is framed");
        await tapCell(page, entry.grid, cell);
        if (taps === 3 && kind === "chromium") {
          await new Promise((resolve) => setTimeout(resolve, 200));  // the slide at rest
          await page.screenshot({path: path.join(artifacts, "web-phone.png")});
        }
      }
      assert.ok(await isOpen(page, "question"), "the taps solved the puzzle");
      assert.match(await text(page, "#question-text"), new RegExp(`^You solved the puzzle in ${taps} moves`));
      await tapElement(page, "#no");
      await expectPicture(page, probes(entry.clearSky ? White : Sky), "the solved board on the phone");
      // Turned sideways: the board fits the new shape, still sharp, still whole.
      await page.setViewport({width: 740, height: 360, deviceScaleFactor: 3, isMobile: true, hasTouch: true});
      await page.waitForFunction(() => document.getElementById("board").getBoundingClientRect().height < 360);
      const turned = await page.$eval("#board", (e) => [e.getBoundingClientRect().height, e.height]);
      assert.ok(Math.abs(turned[1] - turned[0] * 3) <= 3, `sharp after turning: ${turned}`);
      await new Promise((resolve) => setTimeout(resolve, 400));  // the filtered copy for the new size
      await expectPicture(page, probes(entry.clearSky ? White : Sky), "the solved board turned sideways");
      await expectNoAxeViolation(page, "the phone");
      await expectQuiet(page, seen, entry.file, kind);
      for (const other of await browser.pages()) if (other !== page) await other.close().catch(() => {});
      await page.close();
    });
  });
}

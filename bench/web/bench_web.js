// The web page puzzle's benchmark, in headless Chromium:
//  - start: navigation to the first drawn board of a page made by vornixpack
//    from a 4000 x 3000 JPEG, against a bare page that holds the same
//    picture the same way and only draws it on a canvas (goal: at most 1.3);
//  - slide: the frame times of slide animations with the CPU throttled 4
//    times (goal: 95th percentile at most 20 ms);
//  - size: the page's bytes against the picture's.
//
//   node bench_web.js VORNIXPACK WORK_DIR
"use strict";
const {execFileSync} = require("child_process");
const fs = require("fs");
const path = require("path");
const puppeteer = require("puppeteer-core");

const [vornixpack, work] = process.argv.slice(2).map((p) => path.resolve(p));
const Runs = 15;
const Slides = 12;

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
}

function percentile(values, p) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.ceil(p / 100 * sorted.length) - 1)];
}

// The bare page: the picture in the same kind of data block, decoded with
// atob and createImageBitmap, drawn to fill a canvas fitted to the window.
function barePage(pictureBase64) {
  return `<!DOCTYPE html><html><head><meta charset="utf-8"><title>bare</title></head><body style="margin:0">
<canvas id="c"></canvas>
<script type="application/octet-stream" id="p">${pictureBase64}</script>
<script>
const text = document.getElementById("p").textContent, binary = atob(text), bytes = new Uint8Array(binary.length);
for (let i = 0; i < binary.length; i++) bytes[i] = binary.charCodeAt(i);
createImageBitmap(new Blob([bytes], {type: "image/jpeg"})).then((picture) => {
  const canvas = document.getElementById("c");
  const scale = Math.min(innerWidth / picture.width, innerHeight / picture.height);
  canvas.width = Math.floor(picture.width * scale); canvas.height = Math.floor(picture.height * scale);
  canvas.getContext("2d").drawImage(picture, 0, 0, canvas.width, canvas.height);
  performance.mark("vornix-board-drawn");
});
</script></body></html>`;
}

// From navigation to the first drawn board: the page's mark, then the
// canvas's pixels read back, which makes the browser finish any drawing it
// deferred (a decode included).
async function timeToDrawn(browser, file) {
  const page = await browser.newPage();
  await page.setViewport({width: 1280, height: 800});
  await page.evaluateOnNewDocument(() => {
    new PerformanceObserver((list) => {
      if (!list.getEntriesByName("vornix-board-drawn").length) return;
      document.querySelector("canvas").getContext("2d").getImageData(0, 0, 1, 1);
      performance.mark("bench-pixels");
    }).observe({entryTypes: ["mark"]});
  });
  await page.goto("file://" + file);
  await page.waitForFunction(() => performance.getEntriesByName("bench-pixels").length > 0, {timeout: 30000});
  const ms = await page.evaluate(() => performance.getEntriesByName("bench-pixels")[0].startTime);
  await page.close();
  return ms;
}

// Frame intervals while slides are in motion, the CPU slowed 4 times.
async function slideFrames(browser, file) {
  const page = await browser.newPage();
  await page.setViewport({width: 1280, height: 800});
  await page.goto("file://" + file);
  await page.waitForFunction(() => performance.getEntriesByName("vornix-board-drawn").length > 0, {timeout: 30000});
  const session = await page.createCDPSession();
  await session.send("Emulation.setCPUThrottlingRate", {rate: 4});
  const intervals = [];
  for (let i = 0; i < Slides; i++) {
    await page.keyboard.press("h");
    const hint = await page.$eval("#announce", (e) => e.textContent);
    const direction = /(left|right|up|down)$/.exec(hint)[1];
    await page.evaluate(() => {
      window.benchFrames = [];
      const frame = (now) => { window.benchFrames.push(now); if (window.benchFrames.length < 30) requestAnimationFrame(frame); };
      requestAnimationFrame(frame);
    });
    await page.keyboard.press("Arrow" + direction[0].toUpperCase() + direction.slice(1));
    await new Promise((resolve) => setTimeout(resolve, 400));
    const frames = await page.evaluate(() => window.benchFrames);
    // The frames of the 100 ms slide and the one after it.
    for (let f = 1; f < frames.length && frames[f] - frames[0] <= 160; f++) intervals.push(frames[f] - frames[f - 1]);
  }
  await session.send("Emulation.setCPUThrottlingRate", {rate: 1});
  await page.close();
  return intervals;
}

(async () => {
  fs.mkdirSync(work, {recursive: true});
  const picture = path.join(work, "photo4000x3000.jpg");
  if (!fs.existsSync(picture))
    execFileSync("/usr/bin/convert", ["-size", "4000x3000", "-seed", "7", "plasma:fractal", "-blur", "0x1",
                                      "-quality", "90", picture]);
  const page = path.join(work, "photo.html");
  execFileSync(vornixpack, ["build", "--picture", picture, "--grid", "4", "--shuffle", "-o", page], {stdio: "ignore"});
  const bare = path.join(work, "bare.html");
  fs.writeFileSync(bare, barePage(fs.readFileSync(picture).toString("base64")));

  const browser = await puppeteer.launch({executablePath: "/usr/lib/chromium/chromium", headless: true,
                                          args: ["--no-sandbox"]});
  await timeToDrawn(browser, bare);  // warm the browser's caches for both
  const puzzle = [], plain = [];
  for (let i = 0; i < Runs; i++) {
    plain.push(await timeToDrawn(browser, bare));
    puzzle.push(await timeToDrawn(browser, page));
  }
  const intervals = await slideFrames(browser, page);
  await browser.close();

  const pictureBytes = fs.statSync(picture).size;
  const pageBytes = fs.statSync(page).size;
  const ratio = median(puzzle) / median(plain);
  const p95 = percentile(intervals, 95);
  console.log(`start   puzzle page ${median(puzzle).toFixed(0)} ms, bare page ${median(plain).toFixed(0)} ms ` +
              `(medians of ${Runs}): ratio ${ratio.toFixed(2)} (goal <= 1.3)`);
  console.log(`slide   frame interval with the CPU slowed 4x: p95 ${p95.toFixed(1)} ms, median ` +
              `${median(intervals).toFixed(1)} ms over ${intervals.length} frames of ${Slides} slides (goal p95 <= 20 ms)`);
  console.log(`size    page ${pageBytes} bytes for a picture of ${pictureBytes} bytes: ` +
              `${(pageBytes / pictureBytes).toFixed(3)} x, ${pageBytes - Math.ceil(pictureBytes / 3) * 4} bytes ` +
              `beyond the picture's base64 (allowance ${pictureBytes * 4 / 3 + 65536 - pageBytes >= 0 ? "kept" : "EXCEEDED"})`);
})().catch((error) => { console.error(error); process.exit(1); });

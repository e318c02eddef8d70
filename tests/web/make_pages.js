// Makes the browser scenario's pages from the pictures of make_pictures.sh,
// each the way a user makes one: the native vornixpack (JPEG with Exif
// orientation 6, PNG with transparency, 16-bit bitmap, and a 4000 x 3000
// photo for the size check), vornixpack.exe under Wine (TIFF, which only
// the Windows programs decode) and the builder's "GO !" under Wine
// (web_builder_page.exe). Writes the manifest scenario.test.js reads. On
// the page marked plain, whose board starts solved, the scenario also plays
// a game without Hint or Solve, which sets the best results.
//
//   node make_pages.js PICTURES PAGES NATIVE_TREE WIN_TREE ARTIFACTS MANIFEST
"use strict";
const {execFileSync} = require("child_process");
const fs = require("fs");
const path = require("path");
const zlib = require("zlib");

const [pictures, pages, nativeTree, winTree, artifacts, manifestPath] = process.argv.slice(2).map((p) => path.resolve(p));
const WinUrl = "http://127.0.0.1:47813/won?from=vornix&game=1";

// Texts that would be markup, or would end the settings block, if the page
// took them as HTML; and some that are not ASCII.
const Hostile = {company: "Acme \"Q\" <b>bold</b> & <img src=x onerror=alert(1)> Café 日本",
                 tagline: "Slide </script><script>alert(1)</script> it"};

const plans = [
  {name: "photo6", picture: "photo6.jpg", maker: "vornixpack", grid: 3, shuffle: true, winUrl: WinUrl,
   company: Hostile.company, site: "https://acme.example/puzzles", tagline: Hostile.tagline,
   siteLink: "https://acme.example/puzzles", shot: true},
  {name: "transparent", picture: "transparent.png", maker: "vornixpack", grid: 3, shuffle: false, winUrl: "",
   company: "", site: "", tagline: "", clearSky: true, phone: true, plain: true},
  {name: "bitmap16", picture: "bitmap16.bmp", maker: "vornixpack", grid: 3, shuffle: true, winUrl: "",
   company: "Sixteen Bits Ltd", site: "sixteen.example", tagline: "Five bits a colour"},
  {name: "tiff", picture: "scene.tif", maker: "vornixpack.exe", grid: 3, shuffle: true, winUrl: "https://127.0.0.1:47814/tiff",
   company: "Tiff <Co>", site: "http://tiff.example/", tagline: "Tagged", siteLink: "http://tiff.example/"},
  {name: "go", picture: "photo6.jpg", maker: "builder", grid: 3, shuffle: true, winUrl: "http://127.0.0.1:47815/go",
   company: "Builder & Sons", site: "", tagline: "Made with GO <!>", target: "go.HTML"},
  {name: "big", picture: "big.jpg", maker: "vornixpack", grid: 4, shuffle: true, winUrl: "", company: "", site: "",
   tagline: "", play: false},
];

const windowsPath = (p) => "Z:" + p.replace(/\//g, "\\");

function make(plan, target) {
  const picture = path.join(pictures, plan.picture);
  const options = (file) => ["build", "--picture", file(picture), "--grid", String(plan.grid),
                             ...(plan.shuffle ? ["--shuffle"] : []), "--win-url", plan.winUrl, "--company",
                             plan.company, "--site", plan.site, "--tagline", plan.tagline, "-o", file(target)];
  const run = (program, args) => execFileSync(program, args, {stdio: ["ignore", "pipe", "inherit"], timeout: 120000});
  if (plan.maker === "vornixpack")
    run(path.join(nativeTree, "tools", "vornixpack"), options((p) => p));
  else if (plan.maker === "vornixpack.exe")
    run("wine", [path.join(winTree, "bin", "vornixpack.exe"), ...options(windowsPath)]);
  else
    run("wine", [path.join(winTree, "testbin", "web_builder_page.exe"), windowsPath(picture), windowsPath(target),
                 String(plan.grid), plan.shuffle ? "1" : "0", plan.winUrl, plan.company, plan.site, plan.tagline]);
}

fs.mkdirSync(pages, {recursive: true});
const entries = [];
for (const plan of plans) {
  const file = path.join(pages, plan.target || plan.name + ".html");
  fs.rmSync(file, {force: true});
  make(plan, file);
  entries.push({...plan, file, pictureFile: path.join(pictures, plan.picture), play: plan.play !== false});
}
// The photo's page with the sample translations in its texts block (a data
// block, outside the page's CSP hashes), for the language checks.
const photo = entries.find((entry) => entry.name === "photo6");
const sample = fs.readFileSync(path.join(__dirname, "texts_sample.json"));
const languages = path.join(pages, "languages.html");
fs.writeFileSync(languages, fs.readFileSync(photo.file, "utf8").replace(
  /(<script type="application\/octet-stream" id="vornix-texts">)[^<]*/,
  (match, start) => start + zlib.deflateRawSync(JSON.stringify(JSON.parse(sample))).toString("base64")));
entries.push({...photo, name: "languages", file: languages, play: false, shot: false, languages: true});

fs.writeFileSync(manifestPath, JSON.stringify({browsers: ["chromium", "firefox"], artifacts, pages: entries}, null, 1));
console.log(`made ${entries.length} pages in ${pages}`);

// Fills the web page template's two placeholders, for pages the tests make
// without vornixpack: node fill_page.js TEMPLATE PICTURE SETTINGS.json OUT.html
"use strict";
const fs = require("fs");
const [template, picture, settings, out] = process.argv.slice(2);
const json = JSON.stringify(JSON.parse(fs.readFileSync(settings, "utf8")))
  .replace(/</g, "\\u003c").replace(/>/g, "\\u003e").replace(/&/g, "\\u0026");
const page = fs.readFileSync(template, "utf8")
  .replace("@VORNIX_SETTINGS@", () => json)
  .replace("@VORNIX_PICTURE@", () => fs.readFileSync(picture).toString("base64"));
fs.writeFileSync(out, page);

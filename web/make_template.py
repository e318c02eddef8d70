#!/usr/bin/env python3
"""Makes the web page template: page.html with its style sheet, its scripts
(comments and indentation dropped, joined in one function scope, and carried
deflate-compressed for the loader script to inflate and run), the rules
module and the texts of every language (JSON), both deflate-compressed,
filled in, and a
Content-Security-Policy whose hashes are those of the final text of each
<style> and <script> element the browser applies or runs: the style sheet,
the loader and the script the loader inserts.

make_template.py --page page.html --style style.css --loader loader.js
                 --module m.wasm [--texts texts.json] --output template.html
                 SCRIPT.js...
"""
import argparse
import base64
import hashlib
import json
import re
import sys
import zlib

PLACEHOLDERS = ("@VORNIX_SETTINGS@", "@VORNIX_PICTURE@")


def strip_script(text, name):
    """Drops comments, indentation and empty lines. Strings and template
    literals are copied as they are; regular expression literals are not
    recognised, so the scripts write patterns with new RegExp(...) or keep
    quotes and comment openers out of them."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if c in "\"'`":
            j = i + 1
            while j < n and text[j] != c:
                if text[j] == "\\":
                    j += 1
                elif text[j] == "\n" and c != "`":
                    sys.exit("%s: a string runs past its line" % name)
                j += 1
            out.append(text[i:j + 1])
            i = j + 1
        elif text.startswith("//", i):
            while i < n and text[i] != "\n":
                i += 1
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            if end < 0:
                sys.exit("%s: a comment is not closed" % name)
            i = end + 2
        else:
            out.append(c)
            i += 1
    lines = (line.strip() for line in "".join(out).split("\n"))
    return "\n".join(line for line in lines if line)


def strip_style(text):
    text = re.sub(r"/\*.*?\*/", "", text, flags=re.S)
    text = re.sub(r"\s+", " ", text)
    text = re.sub(r"\s*([{};,>])\s*", r"\1", text)
    return text.strip()


def json_text(data):
    return json.dumps(data, ensure_ascii=False, separators=(",", ":"), sort_keys=True)


def packed(data):
    """Raw deflate (what DecompressionStream("deflate-raw") inflates), base64."""
    packer = zlib.compressobj(9, zlib.DEFLATED, -15, 9)
    return base64.b64encode(packer.compress(data) + packer.flush()).decode("ascii")


def csp_hash(text):
    return "'sha256-%s'" % base64.b64encode(hashlib.sha256(text.encode("utf-8")).digest()).decode("ascii")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--page", required=True)
    parser.add_argument("--style", required=True)
    parser.add_argument("--loader", required=True)
    parser.add_argument("--module", required=True)
    parser.add_argument("--texts")
    parser.add_argument("--output", required=True)
    parser.add_argument("scripts", nargs="+")
    args = parser.parse_args()

    with open(args.page, encoding="utf-8") as f:
        page = f.read()
    with open(args.style, encoding="utf-8") as f:
        style = strip_style(f.read())
    parts = []
    for name in args.scripts:
        with open(name, encoding="utf-8") as f:
            parts.append(strip_script(f.read(), name))
    script = '(function(){"use strict";\n' + "\n".join(parts) + "\n})();"
    with open(args.loader, encoding="utf-8") as f:
        loader = strip_script(f.read(), args.loader)
    with open(args.module, "rb") as f:
        module = packed(f.read())
    texts = {"languages": {}}
    if args.texts:
        with open(args.texts, encoding="utf-8") as f:
            texts = json.load(f)

    for text, what in ((script, "script"), (loader, "loader"), (style, "style")):
        if "</" in text or any(p in text for p in PLACEHOLDERS):
            sys.exit("make_template: the %s holds '</' or a placeholder" % what)
    csp = ("default-src 'none'; script-src %s %s 'wasm-unsafe-eval'; style-src %s; img-src data: blob:; "
           "base-uri 'none'; form-action 'none'" % (csp_hash(loader), csp_hash(script), csp_hash(style)))
    fills = {"{{CSP}}": csp, "{{STYLE}}": style, "{{TEXTS}}": packed(json_text(texts).encode("utf-8")),
             "{{MODULE}}": module, "{{SCRIPT}}": packed(script.encode("utf-8")), "{{LOADER}}": loader}
    for token, value in fills.items():
        if page.count(token) != 1:
            sys.exit("make_template: %s must appear once in %s" % (token, args.page))
        page = page.replace(token, value)
    for placeholder in PLACEHOLDERS:
        if page.count(placeholder) != 1:
            sys.exit("make_template: %s must appear exactly once" % placeholder)
    with open(args.output, "w", encoding="utf-8", newline="\n") as f:
        f.write(page)


if __name__ == "__main__":
    main()

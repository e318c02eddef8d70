#!/usr/bin/env python3
"""Checks the web page template as the browsers and the page writer will
meet it: each placeholder once, inside its data block; a strict
Content-Security-Policy whose hashes are exactly those of the <style>
element, the loader script and the script it inflates and runs; the texts
block as JSON (compressed like the script and the module); and room for the largest settings the builder writes within
the 64 KB a page may add to its picture.

check_template.py TEMPLATE
"""
import base64
import hashlib
import html.parser
import json
import sys
import zlib

PAGE_ALLOWANCE = 64 * 1024
# Three About texts of 254 bytes and a win address of 1023, every byte a "<"
# written as \u003c, and the rest of the settings object.
LARGEST_SETTINGS = (3 * 254 + 1023) * 6 + 400


class Elements(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=False)
        self.elements = []  # (tag, attributes, text)
        self.open = None
        self.csp = None
        self.inline = []  # style attributes and inline event handlers

    def handle_starttag(self, tag, attrs):
        self.inline += ["%s %s" % (tag, name) for name, value in attrs if name == "style" or name.startswith("on")]
        attrs = dict(attrs)
        if tag == "meta" and attrs.get("http-equiv", "").lower() == "content-security-policy":
            self.csp = attrs.get("content")
        if tag in ("script", "style"):
            self.open = (tag, attrs, [])

    def handle_data(self, data):
        if self.open:
            self.open[2].append(data)

    def handle_endtag(self, tag):
        if self.open and tag == self.open[0]:
            self.elements.append((tag, self.open[1], "".join(self.open[2])))
            self.open = None


def digest(text):
    return "'sha256-%s'" % base64.b64encode(hashlib.sha256(text.encode("utf-8")).digest()).decode()


def main():
    with open(sys.argv[1], encoding="utf-8") as f:
        page = f.read()
    failures = []
    check = lambda ok, text: ok or failures.append(text)
    parser = Elements()
    parser.feed(page)
    blocks = {attrs.get("id"): text for tag, attrs, text in parser.elements if "type" in attrs}
    run = [text for tag, attrs, text in parser.elements if tag == "script" and "type" not in attrs]
    check(blocks.get("vornix-settings") == "@VORNIX_SETTINGS@", "the settings block holds its placeholder")
    check(blocks.get("vornix-picture") == "@VORNIX_PICTURE@", "the picture block holds its placeholder")
    for placeholder in ("@VORNIX_SETTINGS@", "@VORNIX_PICTURE@"):
        check(page.count(placeholder) == 1, "%s appears once" % placeholder)
    inflate = lambda name: zlib.decompress(base64.b64decode(blocks.get(name, "")), -15)
    try:
        texts = json.loads(inflate("vornix-texts").decode("utf-8"))
        check(isinstance(texts.get("languages"), dict), "the texts block has its languages")
    except ValueError:
        failures.append("the texts block holds JSON")
    script = inflate("vornix-script").decode("utf-8")
    module = inflate("vornix-module")
    check(module[:4] == b"\0asm", "the module block holds a WebAssembly module")

    csp = parser.csp or ""
    directives = dict((part.strip().split(" ", 1) + [""])[:2] for part in csp.split(";") if part.strip())
    check(directives.get("default-src") == "'none'", "default-src 'none'")
    check(directives.get("img-src") == "data: blob:", "images from data: and blob: only")
    sources = directives.get("script-src", "").split()
    wanted = sorted([digest(text) for text in run] + [digest(script)])
    check(sorted(s for s in sources if s.startswith("'sha256-")) == wanted,
          "script-src lists exactly the hashes of the scripts that run")
    check("'wasm-unsafe-eval'" in sources, "script-src admits WebAssembly")
    check(not any(s in csp for s in ("'unsafe-inline'", "'unsafe-eval'", "*", "http")), "nothing unsafe allowed")
    styles = [text for tag, attrs, text in parser.elements if tag == "style"]
    check(directives.get("style-src", "").split() == [digest(text) for text in styles],
          "style-src lists exactly the hash of the style sheet")
    check(not parser.inline, "no style attribute or inline handler in the markup: %s" % parser.inline)

    size = len(page.encode("utf-8")) - len("@VORNIX_SETTINGS@") - len("@VORNIX_PICTURE@")
    check(size + LARGEST_SETTINGS <= PAGE_ALLOWANCE,
          "template %d bytes + largest settings %d bytes fit in %d" % (size, LARGEST_SETTINGS, PAGE_ALLOWANCE))
    print("template: %d bytes (script %d inflated, module %d); with the largest settings %d of %d bytes"
          % (size, len(script), len(module), size + LARGEST_SETTINGS, PAGE_ALLOWANCE))
    for failure in failures:
        print("FAILED: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

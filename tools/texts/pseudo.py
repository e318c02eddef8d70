"""The pseudo-language of the tests: each English text with its letters
accented, bracketed and padded to at least 40 % more characters, so that a
control too small for a longer translation, a text cut short, or a text that
does not come from the catalogue is seen at once. Placeholders, the letter
after a mnemonic "&", line breaks and a menu item's key after its tab stay
as they are."""

import math
import re

ACCENTED = dict(zip(
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ",
    "åƀçđéƒĝĥîĵķļɱñöþǫŕŝţûṽŵẋýžÅƁÇĐÉƑĜĤÎĴĶĻṀÑÖÞǪŔŜŢÛṼŴẊÝŽ"))

KEEP = re.compile(r"%%|%[dsu]|&&|&.|\n")


def pseudo_text(text):
    body, tab, key = text.partition("\t")
    out = []
    at = 0
    for match in KEEP.finditer(body):
        out.append("".join(ACCENTED.get(c, c) for c in body[at:match.start()]))
        out.append(match.group(0))
        at = match.end()
    out.append("".join(ACCENTED.get(c, c) for c in body[at:]))
    accented = "".join(out)
    wanted = math.ceil(len(body) * 1.4)
    padding = " " + "!" * max(1, wanted - len(body) - 3)
    return "[" + accented + padding + "]" + tab + key

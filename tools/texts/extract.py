"""Finds the texts a program shows in its sources, as xgettext would.

C++:   Tr("text"), TrN("singular", "plural", n), and N_("text") for a text
       that is looked up later by its English (a status text another part
       of the system reports in English).
JS:    tr("text", values...), trn("singular", "plural", n, values...).
RC:    the captions of MENU and DIALOG resources (popups, items, the dialog's
       caption, every control's text except icons' names).

Adjacent string literals are joined as the compiler joins them. A marker
whose arguments are not literals is an error: the text could not be
translated.
"""

import re


class ExtractError(Exception):
    pass


class Text:
    """One shown text; msgid_plural is None for a text without plurals."""

    def __init__(self, msgid, msgid_plural, reference, kind):
        self.msgid = msgid
        self.msgid_plural = msgid_plural
        self.references = [reference]
        self.kinds = {kind}  # "code" (a string resource), "lookup", "rc", "web"

    @property
    def key(self):
        return (self.msgid, self.msgid_plural)


C_ESCAPES = {"n": "\n", "t": "\t", '"': '"', "'": "'", "\\": "\\", "r": "\r", "a": "\a",
             "0": "\0", "?": "?"}


def c_unescape(body, where):
    out = []
    i = 0
    while i < len(body):
        c = body[i]
        if c != "\\":
            out.append(c)
            i += 1
            continue
        e = body[i + 1] if i + 1 < len(body) else ""
        if e == "x":
            digits = re.match(r"[0-9a-fA-F]+", body[i + 2:])
            if not digits:
                raise ExtractError("%s: bad \\x escape" % where)
            out.append(bytes([int(digits.group(0), 16) & 0xFF]))
            i += 2 + len(digits.group(0))
            continue
        if e in C_ESCAPES:
            out.append(C_ESCAPES[e])
            i += 2
            continue
        raise ExtractError("%s: unsupported escape \\%s" % (where, e))
    # \x escapes are UTF-8 bytes: join runs of them and decode.
    text = []
    run = b""
    for piece in out:
        if isinstance(piece, bytes):
            run += piece
            continue
        if run:
            text.append(run.decode("utf-8"))
            run = b""
        text.append(piece)
    if run:
        text.append(run.decode("utf-8"))
    return "".join(text)


TOKEN = re.compile(r"""
    (?P<space>\s+)
  | (?P<comment>//[^\n]*|/\*.*?\*/)
  | (?P<string>(?:u8|L|u|U)?"(?:[^"\\\n]|\\.)*")
  | (?P<char>'(?:[^'\\\n]|\\.)*')
  | (?P<template>`(?:[^`\\]|\\.)*`)
  | (?P<name>[A-Za-z_$][A-Za-z0-9_$]*)
  | (?P<number>\d[\w.]*)
  | (?P<other>.)
""", re.S | re.X)


def tokens(source):
    """(kind, text, line) of each token, comments and spaces left out."""
    line = 1
    for match in TOKEN.finditer(source):
        kind = match.lastgroup
        text = match.group(0)
        if kind not in ("space", "comment"):
            yield kind, text, line
        line += text.count("\n")


def literal_value(text, where, js):
    if js:
        body = text[1:-1]
        return c_unescape(body, where)
    prefix = text[:text.index('"')]
    if prefix not in ("", "u8"):
        raise ExtractError("%s: a shown text is a plain or u8 literal, not %s" % (where, text))
    return c_unescape(text[len(prefix) + 1:-1], where)


def marker_calls(source, reference, markers, js=False):
    """Texts passed to the marker functions: markers maps a name to
    (number of text arguments, kind)."""
    found = []
    stream = list(tokens(source))
    i = 0
    while i < len(stream):
        kind, text, line = stream[i]
        previous = stream[i - 1][1] if i else ""
        if (kind == "name" and text in markers and i + 1 < len(stream) and stream[i + 1][1] == "("
                and previous not in (".", "->", "::", "define", "function")):
            where = "%s:%d" % (reference, line)
            count, text_kind = markers[text]
            j = i + 2
            arguments = []
            for index in range(count):
                pieces = []
                while j < len(stream) and stream[j][0] == "string":
                    pieces.append(literal_value(stream[j][1], where, js))
                    j += 1
                if js and j < len(stream) and stream[j][0] == "template":
                    raise ExtractError("%s: %s takes a quoted text, not a template" % (where, text))
                if not pieces:
                    raise ExtractError("%s: %s(...) must be given a literal text" % (where, text))
                arguments.append("".join(pieces))
                # C++: Tr("text") and TrN("one", "other", n); the page's tr()
                # and trn() take the values of the placeholders after them.
                if index < count - 1 or count == 2:
                    expected = (",",)
                else:
                    expected = (",", ")") if js else (")",)
                if j >= len(stream) or stream[j][1] not in expected:
                    raise ExtractError("%s: %s(...) takes %d text%s" %
                                       (where, text, count, "" if count == 1 else "s"))
                j += 1
            msgid = arguments[0]
            plural = arguments[1] if count == 2 else None
            if not msgid:
                raise ExtractError("%s: an empty text" % where)
            found.append(Text(msgid, plural, reference, text_kind))
            i = j
            continue
        i += 1
    return found


CPP_MARKERS = {"Tr": (1, "code"), "TrN": (2, "code"), "N_": (1, "lookup")}
JS_MARKERS = {"tr": (1, "web"), "trn": (2, "web")}


def extract_cpp(source, reference):
    return marker_calls(source, reference, CPP_MARKERS)


def extract_js(source, reference):
    return marker_calls(source, reference, JS_MARKERS, js=True)


STATUS_CONSTANT = re.compile(r'const char [A-Z]\w*\[\] = ("(?:[^"\\\n]|\\.)*");')


def extract_status(source, reference):
    """The status and error texts of portable code that stays English: its
    named constant texts that are statuses ("Error - ...", "Doing this...",
    "Done."). The builder shows them translated, looked up by their English."""
    found = []
    for match in STATUS_CONSTANT.finditer(source):
        where = "%s:%d" % (reference, source.count("\n", 0, match.start()) + 1)
        value = literal_value(match.group(1), where, False)
        if value.startswith("Error - ") or value.endswith("..") or value == "Done.":
            found.append(Text(value, None, reference, "lookup"))
    return found


# Resource scripts ---------------------------------------------------------

RC_STRING = re.compile(r'"(?:[^"\\\n]|\\.|"")*"')

# Controls whose first string is their text.
TEXT_CONTROLS = {"LTEXT", "RTEXT", "CTEXT", "PUSHBUTTON", "DEFPUSHBUTTON", "GROUPBOX", "CHECKBOX",
                 "AUTOCHECKBOX", "RADIOBUTTON", "AUTORADIOBUTTON", "STATE3", "AUTO3STATE",
                 "PUSHBOX", "CONTROL"}
# Statements of a dialog whose string is not shown as text.
NOT_TEXT = {"ICON", "FONT", "CLASS", "MENU", "EDITTEXT", "COMBOBOX", "LISTBOX", "SCROLLBAR"}


def rc_unescape(body):
    out = []
    i = 0
    while i < len(body):
        c = body[i]
        if c == '"' and body[i + 1:i + 2] == '"':
            out.append('"')
            i += 2
        elif c == "\\" and i + 1 < len(body):
            e = body[i + 1]
            out.append({"n": "\n", "t": "\t", "\\": "\\", '"': '"', "a": "\a"}.get(e, "\\" + e))
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def rc_escape(text):
    return '"' + (text.replace("\\", "\\\\").replace('"', '""').replace("\n", "\\n")
                  .replace("\t", "\\t")) + '"'


class RcBlock:
    """A MENU or DIALOG resource of a script: its source text and where its
    texts lie in it."""

    def __init__(self, name, kind, text):
        self.name = name
        self.kind = kind
        self.text = text
        self.texts = []  # (start, end, value) of each shown string in text

    def translated(self, translate):
        """The block's source with each text replaced by translate(text)."""
        out = []
        at = 0
        for start, end, value in self.texts:
            out.append(self.text[at:start])
            out.append(rc_escape(translate(value)))
            at = end
        out.append(self.text[at:])
        return "".join(out)


def strip_rc_comments(source):
    """The script with comments blanked out (same length, so positions hold)."""
    def blank(match):
        text = match.group(0)
        if text.startswith('"'):
            return text
        return re.sub(r"[^\n]", " ", text)
    return re.sub(r'"(?:[^"\\\n]|\\.|"")*"|//[^\n]*|/\*.*?\*/', blank, source, flags=re.S)


def rc_blocks(source, reference):
    clean = strip_rc_comments(source)
    blocks = []
    header = re.compile(r"^[ \t]*(\w+)[ \t]+(MENU|MENUEX|DIALOG|DIALOGEX)\b", re.M)
    for match in header.finditer(clean):
        name, kind = match.group(1), match.group(2)
        # The block runs to the END that closes its first BEGIN.
        depth = 0
        position = match.end()
        end = None
        for word in re.finditer(r'"(?:[^"\\\n]|\\.|"")*"|\b(BEGIN|END)\b|[{}]', clean[position:]):
            token = word.group(0)
            if token in ("BEGIN", "{"):
                depth += 1
            elif token in ("END", "}"):
                depth -= 1
                if depth == 0:
                    end = position + word.end()
                    break
        if end is None:
            raise ExtractError("%s: %s %s has no END" % (reference, name, kind))
        start = source.rfind("\n", 0, match.start()) + 1
        block = RcBlock(name, "menu" if kind.startswith("MENU") else "dialog", source[start:end])
        find_block_texts(block, clean[start:end], reference)
        blocks.append(block)
    return blocks


def find_block_texts(block, clean, reference):
    statement = None
    strings_in_statement = 0
    # Walk the words and strings of the block, statement by statement: a
    # statement starts with a keyword at the start of a line.
    for line_match in re.finditer(r"[^\n]*\n?", clean):
        line = line_match.group(0)
        offset = line_match.start()
        first = re.match(r"\s*([A-Za-z_][A-Za-z0-9_]*)", line)
        if first and not line.lstrip().startswith('"'):
            statement = first.group(1).upper()
            strings_in_statement = 0
        for string in RC_STRING.finditer(line):
            value = rc_unescape(string.group(0)[1:-1])
            strings_in_statement += 1
            if strings_in_statement != 1 or not value.strip():
                continue
            shown = False
            if block.kind == "menu":
                shown = statement in ("POPUP", "MENUITEM")
            elif statement == "CAPTION":
                shown = True
            elif statement in TEXT_CONTROLS:
                shown = not (statement == "CONTROL" and re.search(r"\bSS_(ICON|BITMAP)\b", line))
            elif statement not in NOT_TEXT and statement is not None:
                raise ExtractError("%s: %s: unknown dialog statement %s" %
                                   (reference, block.name, statement))
            if shown:
                block.texts.append((offset + string.start(), offset + string.end(), value))


def extract_rc(source, reference):
    found = []
    for block in rc_blocks(source, reference):
        for _, _, value in block.texts:
            found.append(Text(value, None, reference, "rc"))
    return found


def merge(texts):
    """One Text per msgid (and plural), in order of first appearance, with
    every reference and kind."""
    merged = {}
    order = []
    for text in texts:
        same = merged.get(text.key)
        if same is None:
            merged[text.key] = text
            order.append(text.key)
            continue
        for reference in text.references:
            if reference not in same.references:
                same.references.append(reference)
        same.kinds |= text.kinds
    singular = {}
    for key in order:
        msgid, plural = key
        if msgid in singular and singular[msgid] != plural:
            raise ExtractError("%r is used both with and without plural forms (%s)" %
                               (msgid, ", ".join(merged[key].references)))
        singular[msgid] = plural
    return [merged[key] for key in order]

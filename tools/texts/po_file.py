"""Reads and writes gettext PO files: the catalogue's translations.

Only what the catalogue uses is understood: the header entry, msgid,
msgid_plural, msgstr and msgstr[N], translator comments ("# "), extracted
comments ("#."), references ("#:") and flags ("#,"). Obsolete entries ("#~")
are dropped. Strings use C escapes; a string may continue on the lines that
follow it.
"""

import re

ESCAPES = {"n": "\n", "t": "\t", '"': '"', "\\": "\\", "r": "\r", "a": "\a", "b": "\b",
           "f": "\f", "v": "\v"}


class PoError(Exception):
    pass


class Entry:
    def __init__(self, msgid="", msgid_plural=None):
        self.msgid = msgid
        self.msgid_plural = msgid_plural
        self.msgstr = ""        # the translation of a text without plural forms
        self.msgstr_plural = []  # the forms of a text with them, by index
        self.comments = []       # translator comments, without "# "
        self.extracted = []      # extracted comments, without "#. "
        self.references = []     # source files that show the text
        self.flags = []

    @property
    def key(self):
        return (self.msgid, self.msgid_plural)

    def translations(self):
        """Every translated form, in order (one for a text without plurals)."""
        return list(self.msgstr_plural) if self.msgid_plural is not None else [self.msgstr]


class PoFile:
    def __init__(self):
        self.header = {}          # header fields in order
        self.header_comments = []
        self.entries = []

    def find(self, msgid, msgid_plural=None):
        for entry in self.entries:
            if entry.msgid == msgid and entry.msgid_plural == msgid_plural:
                return entry
        return None

    def plural_forms(self):
        """(nplurals, expression) from the Plural-Forms header field."""
        text = self.header.get("Plural-Forms", "")
        match = re.fullmatch(r"\s*nplurals\s*=\s*(\d+)\s*;\s*plural\s*=\s*(.+?)\s*;?\s*", text)
        if not match:
            raise PoError("no valid Plural-Forms header: %r" % text)
        return int(match.group(1)), match.group(2)


def unquote(text, where):
    """The value of one quoted PO string."""
    if len(text) < 2 or text[0] != '"' or text[-1] != '"':
        raise PoError("%s: expected a quoted string, got %r" % (where, text))
    out = []
    i = 1
    end = len(text) - 1
    while i < end:
        c = text[i]
        if c == "\\":
            if i + 1 >= end:
                raise PoError("%s: backslash at the end of a string" % where)
            e = text[i + 1]
            if e in ESCAPES:
                out.append(ESCAPES[e])
                i += 2
                continue
            if e == "x":
                digits = re.match(r"[0-9a-fA-F]{1,2}", text[i + 2:end])
                if not digits:
                    raise PoError("%s: bad \\x escape" % where)
                out.append(chr(int(digits.group(0), 16)))
                i += 2 + len(digits.group(0))
                continue
            raise PoError("%s: unknown escape \\%s" % (where, e))
        if c == '"':
            raise PoError("%s: unescaped quote inside a string" % where)
        out.append(c)
        i += 1
    return "".join(out)


def quote(text):
    out = ['"']
    for c in text:
        if c == "\\":
            out.append("\\\\")
        elif c == '"':
            out.append('\\"')
        elif c == "\n":
            out.append("\\n")
        elif c == "\t":
            out.append("\\t")
        elif ord(c) < 32:
            out.append("\\x%02x" % ord(c))
        else:
            out.append(c)
    out.append('"')
    return "".join(out)


def parse(text, name="<po>"):
    po = PoFile()
    entry = Entry()
    field = None       # the keyword the string lines belong to
    started = False    # entry has a keyword already
    pending = []       # comment lines of the entry being read

    def finish():
        nonlocal entry, started, field, pending
        if started:
            apply_comments(entry, pending)
            if entry.msgid == "" and entry.msgid_plural is None and not po.entries and not po.header:
                po.header_comments = entry.comments
                for line in entry.msgstr.split("\n"):
                    if line.strip():
                        key, _, value = line.partition(":")
                        po.header[key.strip()] = value.strip()
            else:
                if po.find(entry.msgid, entry.msgid_plural):
                    raise PoError("%s: %r appears twice" % (name, entry.msgid))
                po.entries.append(entry)
        entry = Entry()
        started = False
        field = None
        pending = []

    def append(keyword, value, where):
        if keyword == "msgid":
            entry.msgid += value
        elif keyword == "msgid_plural":
            entry.msgid_plural = (entry.msgid_plural or "") + value
        elif keyword == "msgstr":
            entry.msgstr += value
        else:
            index = int(keyword[7:-1])
            while len(entry.msgstr_plural) <= index:
                entry.msgstr_plural.append("")
            entry.msgstr_plural[index] += value

    for number, line in enumerate(text.splitlines(), 1):
        where = "%s:%d" % (name, number)
        stripped = line.strip()
        if not stripped:
            finish()
            continue
        if stripped.startswith("#~"):
            continue
        if stripped.startswith("#"):
            if started:
                finish()
            pending.append(stripped)
            continue
        match = re.match(r'(msgid_plural|msgid|msgstr\[\d+\]|msgstr|msgctxt)\s+(".*")$', stripped)
        if match:
            keyword = match.group(1)
            if keyword == "msgctxt":
                raise PoError("%s: msgctxt is not used by this catalogue" % where)
            if keyword == "msgid" and started:
                finish()
            started = True
            field = keyword
            if keyword == "msgid_plural":
                entry.msgid_plural = ""
            append(keyword, unquote(match.group(2), where), where)
            continue
        if stripped.startswith('"') and field:
            append(field, unquote(stripped, where), where)
            continue
        raise PoError("%s: cannot read %r" % (where, line))
    finish()
    return po


def apply_comments(entry, lines):
    for line in lines:
        if line.startswith("#:"):
            entry.references.extend(line[2:].split())
        elif line.startswith("#."):
            entry.extracted.append(line[2:].strip())
        elif line.startswith("#,"):
            entry.flags.extend(flag.strip() for flag in line[2:].split(",") if flag.strip())
        elif line.startswith("# ") or line == "#":
            entry.comments.append(line[2:])


def read(path):
    with open(path, encoding="utf-8") as handle:
        return parse(handle.read(), path)


def string_lines(keyword, value):
    """A keyword and its string, split after each newline as gettext does."""
    pieces = value.split("\n")
    parts = [p + "\n" for p in pieces[:-1]] + ([pieces[-1]] if pieces[-1] else [])
    if len(parts) <= 1:
        return ["%s %s" % (keyword, quote(value))]
    return ["%s %s" % (keyword, quote(""))] + [quote(p) for p in parts]


def format_po(po):
    lines = []
    for comment in po.header_comments:
        lines.append(("# " + comment).rstrip())
    lines.append('msgid ""')
    lines.append('msgstr ""')
    for key, value in po.header.items():
        lines.append(quote("%s: %s\n" % (key, value)))
    for entry in po.entries:
        lines.append("")
        for comment in entry.comments:
            lines.append(("# " + comment).rstrip())
        for comment in entry.extracted:
            lines.append("#. " + comment)
        if entry.references:
            lines.append("#: " + " ".join(entry.references))
        if entry.flags:
            lines.append("#, " + ", ".join(entry.flags))
        lines.extend(string_lines("msgid", entry.msgid))
        if entry.msgid_plural is not None:
            lines.extend(string_lines("msgid_plural", entry.msgid_plural))
            for index, form in enumerate(entry.msgstr_plural):
                lines.extend(string_lines("msgstr[%d]" % index, form))
        else:
            lines.extend(string_lines("msgstr", entry.msgstr))
    return "\n".join(lines) + "\n"


def write(path, po):
    with open(path, "w", encoding="utf-8", newline="\n") as handle:
        handle.write(format_po(po))

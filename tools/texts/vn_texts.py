#!/usr/bin/env python3
"""The texts' catalogue generator: turns po/*.po and the texts marked in the
sources into what the programs read.

  vn_texts.py resources DOMAIN --root SRC --out DIR [--pseudo]
      For the player (DOMAIN "player") or the builder ("builder"), in DIR:
        vn_text_ids.h        the program's texts and their string numbers,
                             looked up at compile time by Tr("...") and
                             TrN("...", "...", n) (po/vn_tr.h)
        DOMAIN_texts.rc      per language: a STRINGTABLE (string 1 the
                             language's tag, 2 its plural rule, then the
                             texts), and the program's MENU and DIALOG
                             resources with their captions translated; each
                             under its LANGUAGE statement, so that Windows'
                             resource loader picks the user's display
                             language and falls back to English
        DOMAIN_catalogue.cpp every language's texts as data, for the native
                             build (English) and the tests
      --pseudo also writes DOMAIN_pseudo.rc, the pseudo-language's resources
      for test programs.

  vn_texts.py rules --out FILE
      The plural rules of every language as C++ (VnPluralForm).

  vn_texts.py web --root SRC [--out FILE]
      The web page's translations, for its template step: the texts of
      web/*.js (tr("...") and trn("...", "...", n)) as one JSON object,
        {"languages": {"de": {"plural": {"one": 0, "other": 1},
                              "texts": {"New game": "Neues Spiel",
                                        "%d move": ["%d Zug", "%d Züge"]}},
                       "pt-BR": {...}, ...}}
      keys are BCP 47 tags; "plural" maps each Intl.PluralRules category to
      the index of the PO plural form; a text without plural forms maps to a
      string, one with them to the list of its forms. English is the msgids
      themselves and is not listed; an untranslated text is left out. "<",
      ">" and "&" are written as \u003c, \u003e and \u0026, so that the JSON
      can stand inside a <script> element. Without FILE it prints the JSON.
      Typical call:  python3 tools/texts/vn_texts.py web --root . --out texts.json

  vn_texts.py update --root SRC
      Brings every po/*.po in line with the sources: texts new in the
      sources are added untranslated, texts no longer shown are removed,
      references are renewed; translations and comments are kept, and so are
      the texts of files this tree does not hold (a part still on its way).

The English text is the key (gettext's msgid). Placeholders are C's %d, %u
and %s, filled in order: a translation keeps the English placeholders in
the English order (rephrased where its grammar would put them elsewhere).
"""

import argparse
import glob
import json
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import extract  # noqa: E402
import languages  # noqa: E402
import plural_rules  # noqa: E402
import po_file  # noqa: E402
from pseudo import pseudo_text  # noqa: E402

# Where each program's texts are: C++ sources with Tr/TrN/N_, resource
# scripts with menus and dialogs, the web page's scripts.
# The package reports its progress and failures to the builder in English
# (vornixpack shows them so); the builder translates them by their English.
DOMAINS = {
    "player": {"cpp": ["player/*.cpp"], "rc": ["player/player.rc"]},
    "builder": {"cpp": ["app/*.cpp"], "rc": ["app/vornix.rc"],
                "status": ["package/*.cpp"]},
    "web": {"js": ["web/*.js"]},
}

# The first string number of each program's texts. The ranges are apart, so
# that a test program can hold the string tables of two programs.
FIRST_TEXT_ID = {"player": 16, "builder": 4096}

META_TAG_ID = 1     # the language's tag, e.g. "pt-BR"
META_RULE_ID = 2    # the index of its plural rule in VnPluralForm
MAX_FORMS = 3       # string numbers kept for each text with plural forms


def domain_files(root, domain):
    files = []
    for kind, patterns in DOMAINS[domain].items():
        for pattern in patterns:
            for path in sorted(glob.glob(os.path.join(root, pattern))):
                files.append((kind, os.path.relpath(path, root).replace(os.sep, "/"), path))
    return files


def extract_domain(root, domain):
    texts = []
    for kind, reference, path in domain_files(root, domain):
        with open(path, encoding="utf-8") as handle:
            source = handle.read()
        if kind == "cpp":
            texts += extract.extract_cpp(source, reference)
        elif kind == "rc":
            texts += extract.extract_rc(source, reference)
        elif kind == "status":
            texts += extract.extract_status(source, reference)
        else:
            texts += extract.extract_js(source, reference)
    return extract.merge(texts)


def extract_all(root):
    texts = []
    for domain in DOMAINS:
        texts += extract_domain(root, domain)
    return extract.merge(texts)


def read_catalogue(root):
    """{tag: PoFile} for every translated language."""
    catalogue = {}
    for language in languages.TRANSLATED:
        path = os.path.join(root, "po", language.po)
        catalogue[language.tag] = po_file.read(path) if os.path.exists(path) else po_file.PoFile()
    return catalogue


def plural_expression(language, catalogue):
    if language.tag == "en":
        text = languages.ENGLISH_PLURAL_FORMS
    elif language is languages.PSEUDO:
        text = languages.ENGLISH_PLURAL_FORMS
    else:
        text = catalogue[language.tag].header.get("Plural-Forms",
                                                  languages.PLURAL_FORMS[language.tag])
    po = po_file.PoFile()
    po.header["Plural-Forms"] = text
    return po.plural_forms()


def distinct_rules(catalogue):
    """The distinct plural expressions, in a fixed order, and each
    language's index into them."""
    rules = []
    index = {}
    for language in languages.ALL + [languages.PSEUDO]:
        _, expression = plural_expression(language, catalogue)
        expression = plural_rules.c_expression(expression)
        if expression not in rules:
            rules.append(expression)
        index[language.tag] = rules.index(expression)
    return rules, index


def forms_of(text, language, catalogue):
    """The text's forms in a language: one, or the language's plural forms.
    An untranslated text falls back to the English."""
    if language.tag == "en" or language is languages.PSEUDO:
        forms = [text.msgid] if text.msgid_plural is None else [text.msgid, text.msgid_plural]
        return [pseudo_text(f) for f in forms] if language is languages.PSEUDO else forms
    nplurals, _ = plural_expression(language, catalogue)
    entry = catalogue[language.tag].find(text.msgid, text.msgid_plural)
    if text.msgid_plural is None:
        return [entry.msgstr if entry and entry.msgstr else text.msgid]
    forms = []
    for index in range(nplurals):
        value = entry.msgstr_plural[index] if entry and index < len(entry.msgstr_plural) else ""
        forms.append(value or (text.msgid if index == 0 else text.msgid_plural))
    return forms


def numbered(domain, texts):
    """(text, first string number) of each text in the STRINGTABLE: the
    texts the code looks up by number."""
    result = []
    number = FIRST_TEXT_ID[domain]
    for text in texts:
        if text.kinds & {"code", "lookup"}:
            result.append((text, number))
            number += 1 if text.msgid_plural is None else MAX_FORMS
    return result


def cpp_literal(text):
    """A C++ literal of text's UTF-8 bytes, the non-ASCII ones as octal
    escapes (which never take in the character after them)."""
    out = ['"']
    for byte in text.encode("utf-8"):
        c = chr(byte)
        if c in ("\\", '"'):
            out.append("\\" + c)
        elif c == "\n":
            out.append("\\n")
        elif c == "\t":
            out.append("\\t")
        elif 32 <= byte < 127:
            out.append(c)
        else:
            out.append("\\%03o" % byte)
    out.append('"')
    return "".join(out)


GENERATED = "// Generated by tools/texts/vn_texts.py from %s: do not edit.\n"


def write_if_changed(path, text):
    """Writes text to path unless it holds it already (keeps the build from
    recompiling what did not change)."""
    if os.path.exists(path):
        with open(path, encoding="utf-8") as handle:
            if handle.read() == text:
                return
    with open(path, "w", encoding="utf-8", newline="\n") as handle:
        handle.write(text)


def ids_header(domain, texts):
    lines = [GENERATED % ("the %s's sources" % domain),
             "// The %s's texts that its code looks up, with their string numbers.\n" % domain,
             "#pragma once\n", "", "namespace VnTextIds {", "",
             "struct Entry {", "    const char* msgid;", "    const char* plural;  // null: no plural forms",
             "    int id;", "    bool english;  // also looked up by its English (N_, a status)", "};", "",
             "inline constexpr Entry Entries[] = {"]
    for text, number in numbered(domain, texts):
        plural = cpp_literal(text.msgid_plural) if text.msgid_plural is not None else "nullptr"
        lines.append("    {%s, %s, %d, %s}," % (cpp_literal(text.msgid), plural, number,
                                              "true" if "lookup" in text.kinds else "false"))
    if not numbered(domain, texts):
        lines.append('    {"", nullptr, 0, false},')
    lines += ["};", "",
              "constexpr bool Same(const char* a, const char* b)",
              "{",
              "    while (*a && *a == *b) {",
              "        ++a;",
              "        ++b;",
              "    }",
              "    return *a == *b;",
              "}", "",
              "// The string number of a text without plural forms; 0 when it is not one.",
              "constexpr int Find(const char* msgid)",
              "{",
              "    for (const Entry& entry : Entries)",
              "        if (!entry.plural && entry.id && Same(entry.msgid, msgid))",
              "            return entry.id;",
              "    return 0;",
              "}", "",
              "// The first string number of a text with plural forms; 0 when it is not one.",
              "constexpr int FindPlural(const char* msgid, const char* plural)",
              "{",
              "    for (const Entry& entry : Entries)",
              "        if (entry.plural && Same(entry.msgid, msgid) && Same(entry.plural, plural))",
              "            return entry.id;",
              "    return 0;",
              "}", "",
              "}  // namespace VnTextIds", ""]
    return "\n".join(lines)


def rc_quote(text):
    return extract.rc_escape(text)


def rc_language(domain, language, texts, blocks, catalogue, rule_index):
    lines = ["", "// %s" % language.name,
             "LANGUAGE 0x%02X, 0x%02X" % (language.primary, language.sub),
             "STRINGTABLE", "BEGIN",
             "    %d, %s" % (META_TAG_ID, rc_quote(language.tag)),
             "    %d, %s" % (META_RULE_ID, rc_quote(str(rule_index[language.tag])))]
    for text, number in numbered(domain, texts):
        for index, form in enumerate(forms_of(text, language, catalogue)):
            lines.append("    %d, %s" % (number + index, rc_quote(form)))
    lines.append("END")
    if language.tag != "en":
        translations = {}
        for text in texts:
            if "rc" in text.kinds:
                translations[text.msgid] = forms_of(text, language, catalogue)[0]
        for block in blocks:
            lines.append("")
            lines.append(block.translated(lambda value: translations.get(value, value)).rstrip())
    return lines


def rc_file(domain, root, texts, catalogue, language_list):
    blocks = []
    for kind, reference, path in domain_files(root, domain):
        if kind == "rc":
            with open(path, encoding="utf-8") as handle:
                blocks += extract.rc_blocks(handle.read(), reference)
    _, rule_index = distinct_rules(catalogue)
    lines = ["#pragma code_page(65001)", GENERATED.strip() % "po/*.po and the %s's sources" % domain,
             "// Included at the end of the %s's own resource script, whose menus and" % domain,
             "// dialogs are the English ones."]
    for language in language_list:
        lines += rc_language(domain, language, texts, blocks, catalogue, rule_index)
    lines += ["", "LANGUAGE 0x%02X, 0x%02X" % (languages.ENGLISH.primary, languages.ENGLISH.sub), ""]
    return "\n".join(lines)


def catalogue_source(domain, texts, catalogue):
    _, rule_index = distinct_rules(catalogue)
    slots = []   # (text, first slot)
    slot = 0
    numbers = dict((t.key, n) for t, n in numbered(domain, texts))
    for text in texts:
        slots.append((text, slot))
        slot += 1 if text.msgid_plural is None else MAX_FORMS
    lines = [GENERATED % "po/*.po and the %s's sources" % domain,
             '#include "vn_catalogue.h"', "", "namespace {", ""]
    every = languages.ALL + [languages.PSEUDO]
    for language in every:
        lines.append("const char* const Texts%d[] = {" % every.index(language))
        for text, first in slots:
            forms = forms_of(text, language, catalogue)
            count = 1 if text.msgid_plural is None else MAX_FORMS
            for index in range(count):
                value = cpp_literal(forms[index]) if index < len(forms) else "nullptr"
                lines.append("    %s," % value)
        lines.append("};")
        lines.append("")
    lines.append("const VnCatalogueEntry Entries[] = {")
    for text, first in slots:
        plural = cpp_literal(text.msgid_plural) if text.msgid_plural is not None else "nullptr"
        kind = ("VnTextInCode" if "code" in text.kinds else
                "VnTextByEnglish" if "lookup" in text.kinds else "VnTextInResource")
        lines.append("    {%s, %s, %d, %d, %s}," % (cpp_literal(text.msgid), plural,
                                                   numbers.get(text.key, 0), first, kind))
    lines.append("};")
    lines.append("")
    lines.append("const VnCatalogueLanguage Languages[] = {")
    for language in every:
        nplurals, _ = plural_expression(language, catalogue)
        lines.append("    {%s, 0x%04X, %d, %d, Texts%d}," % (
            cpp_literal(language.tag), language.langid, rule_index[language.tag], nplurals,
            every.index(language)))
    lines.append("};")
    lines += ["", "}  // namespace", "",
              "extern const VnCatalogue VnProgramCatalogue = {",
              "    Entries, %d, Languages, %d, %d," % (len(slots), len(every), MAX_FORMS),
              "};", ""]
    return "\n".join(lines)


def rules_source(catalogue):
    rules, index = distinct_rules(catalogue)
    lines = [GENERATED % "the Plural-Forms of po/*.po",
             '#include "vn_text.h"', "",
             "// The plural form for n under each language's rule. Rule numbers:"]
    for language in languages.ALL:
        lines.append("//   %-6s %d" % (language.tag, index[language.tag]))
    lines += ["int VnPluralForm(int rule, unsigned long n)", "{", "    switch (rule) {"]
    for number, expression in enumerate(rules):
        lines.append("    case %d: return static_cast<int>(%s);" % (number, expression))
    lines += ["    }", "    return n != 1;", "}", ""]
    return "\n".join(lines)


def web_json(root, catalogue):
    texts = extract_domain(root, "web")
    result = {"languages": {}}
    for language in languages.TRANSLATED:
        _, expression = plural_expression(language, catalogue)
        entries = {}
        for text in texts:
            entry = catalogue[language.tag].find(text.msgid, text.msgid_plural)
            if not entry:
                continue
            if text.msgid_plural is None:
                if entry.msgstr:
                    entries[text.msgid] = entry.msgstr
            elif entry.msgstr_plural and all(entry.msgstr_plural):
                entries[text.msgid] = list(entry.msgstr_plural)
        result["languages"][language.tag] = {
            "plural": plural_rules.category_forms(language.tag, expression),
            "texts": entries,
        }
    text = json.dumps(result, ensure_ascii=False, sort_keys=True, separators=(",", ":"))
    # The JSON sits in a <script> element of the page: no text may end it.
    return text.replace("<", "\\u003c").replace(">", "\\u003e").replace("&", "\\u0026")


def absent_part(root, entry):
    """Whether every file that shows the entry's text is missing from this
    tree: a part of the product this checkout does not hold (yet), whose
    translations are kept."""
    return bool(entry.references) and not any(
        os.path.exists(os.path.join(root, reference)) for reference in entry.references)


def update(root):
    texts = extract_all(root)
    for language in languages.TRANSLATED:
        path = os.path.join(root, "po", language.po)
        old = po_file.read(path) if os.path.exists(path) else po_file.PoFile()
        new = po_file.PoFile()
        new.header_comments = old.header_comments or [
            "%s texts of Vornix SDK." % language.name,
            "The English text is the msgid; see tools/texts/vn_texts.py."]
        new.header = old.header or {}
        new.header.setdefault("Content-Type", "text/plain; charset=UTF-8")
        new.header["Language"] = language.tag.replace("-", "_")
        new.header.setdefault("Plural-Forms", languages.PLURAL_FORMS[language.tag])
        nplurals, _ = new.plural_forms()
        for text in texts:
            entry = old.find(text.msgid, text.msgid_plural) or po_file.Entry(text.msgid,
                                                                               text.msgid_plural)
            entry.references = list(text.references)
            if text.msgid_plural is not None:
                entry.msgstr_plural = (entry.msgstr_plural + [""] * nplurals)[:nplurals]
            if "%" in text.msgid and "c-format" not in entry.flags:
                entry.flags.append("c-format")
            new.entries.append(entry)
        for entry in old.entries:
            if absent_part(root, entry) and not new.find(entry.msgid, entry.msgid_plural):
                new.entries.append(entry)
        po_file.write(path, new)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    sub = parser.add_subparsers(dest="command", required=True)
    resources = sub.add_parser("resources")
    resources.add_argument("domain", choices=[d for d in DOMAINS if d != "web"])
    resources.add_argument("--root", required=True)
    resources.add_argument("--out", required=True)
    resources.add_argument("--pseudo", action="store_true")
    rules = sub.add_parser("rules")
    rules.add_argument("--root", required=True)
    rules.add_argument("--out", required=True)
    web = sub.add_parser("web")
    web.add_argument("--root", required=True)
    web.add_argument("--out")
    upd = sub.add_parser("update")
    upd.add_argument("--root", required=True)
    args = parser.parse_args()

    try:
        if args.command == "update":
            update(args.root)
            return 0
        catalogue = read_catalogue(args.root)
        if args.command == "rules":
            os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
            write_if_changed(args.out, rules_source(catalogue))
        elif args.command == "web":
            text = web_json(args.root, catalogue)
            if args.out:
                os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
                write_if_changed(args.out, text + "\n")
            else:
                print(text)
        else:
            texts = extract_domain(args.root, args.domain)
            os.makedirs(args.out, exist_ok=True)
            write_if_changed(os.path.join(args.out, "vn_text_ids.h"), ids_header(args.domain, texts))
            write_if_changed(os.path.join(args.out, "%s_texts.rc" % args.domain),
                             rc_file(args.domain, args.root, texts, catalogue, languages.ALL))
            write_if_changed(os.path.join(args.out, "%s_catalogue.cpp" % args.domain),
                             catalogue_source(args.domain, texts, catalogue))
            if args.pseudo:
                write_if_changed(os.path.join(args.out, "%s_pseudo.rc" % args.domain),
                                 rc_file(args.domain, args.root, texts, catalogue,
                                         [languages.PSEUDO]))
    except (extract.ExtractError, po_file.PoError, plural_rules.RuleError) as error:
        print("vn_texts: %s" % error, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())

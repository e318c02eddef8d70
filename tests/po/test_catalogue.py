"""The catalogue's checks: every text the programs show is in it and
translated into every language with the English placeholders, plural forms
follow each language's rule, menus keep usable mnemonics and keys, each
language keeps its typographic conventions, no shown text is typed outside
the catalogue, and the generator's outputs carry what the programs read.

Run from the source tree's root or with VORNIX_SOURCE_DIR set:
    python3 -m unittest discover -s tests/po -v
"""

import os
import re
import subprocess
import sys
import tempfile
import unittest

ROOT = os.environ.get("VORNIX_SOURCE_DIR") or os.path.abspath(
    os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tools", "texts"))

import extract  # noqa: E402
import languages  # noqa: E402
import plural_rules  # noqa: E402
import po_file  # noqa: E402
import vn_texts  # noqa: E402
from pseudo import pseudo_text  # noqa: E402

PLACEHOLDER = re.compile(r"%[dsu%]")
CJK = r"\u3000-\u30ff\u3400-\u9fff\uac00-\ud7af\uff00-\uffef"


def placeholders(text):
    return PLACEHOLDER.findall(text)


class CatalogueTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.texts = vn_texts.extract_all(ROOT)
        cls.catalogue = vn_texts.read_catalogue(ROOT)

    def each_translation(self):
        """(language tag, entry, entry, [(English form, translated form)])."""
        for language in languages.TRANSLATED:
            po = self.catalogue[language.tag]
            nplurals, expression = po.plural_forms()
            rule = plural_rules.compile_rule(expression)
            # Every entry, those of parts this tree does not hold too.
            for entry in po.entries:
                text = entry
                if text.msgid_plural is None:
                    pairs = [(text.msgid, entry.msgstr)]
                else:
                    # The English form that each of the language's forms stands for.
                    pairs = []
                    for index, form in enumerate(entry.msgstr_plural):
                        numbers = [n for n in range(0, 200) if rule(n) == index]
                        english = text.msgid if numbers == [1] else text.msgid_plural
                        pairs.append((english, form))
                yield language.tag, text, entry, pairs

    def test_every_shown_text_is_translated_in_every_language(self):
        self.assertGreater(len(self.texts), 30)
        wanted = {text.key for text in self.texts}
        for language in languages.TRANSLATED:
            po = self.catalogue[language.tag]
            have = {entry.key for entry in po.entries}
            self.assertEqual(set(), wanted - have, "%s lacks texts" % language.po)
            # Texts of files this tree does not hold (a part on its way) stay.
            unused = {entry.key for entry in po.entries
                      if entry.key not in wanted and not vn_texts.absent_part(ROOT, entry)}
            self.assertEqual(set(), unused, "%s holds texts no program shows" % language.po)
            nplurals, _ = po.plural_forms()
            for entry in po.entries:
                forms = entry.translations()
                where = "%s: %r" % (language.po, entry.msgid)
                self.assertNotIn("fuzzy", entry.flags, where)
                self.assertEqual(nplurals if entry.msgid_plural is not None else 1, len(forms), where)
                for form in forms:
                    self.assertTrue(form.strip(), where + " is not translated")
                    # Spaces at an end only where the English has them (a
                    # label's "File : " keeps its gap to the field).
                    self.assertEqual(entry.msgid.endswith(" "), form.endswith(" "), where)
                    self.assertEqual(entry.msgid.startswith(" "), form.startswith(" "), where)

    def test_translations_keep_the_english_placeholders_in_order(self):
        for tag, text, entry, pairs in self.each_translation():
            for english, form in pairs:
                self.assertEqual(placeholders(english), placeholders(form),
                                 "%s: %r -> %r" % (tag, english, form))
                self.assertEqual(english.count("\n"), form.count("\n"), "%s: %r" % (tag, form))

    def test_plural_forms_follow_each_languages_rule(self):
        # Reference rules written from CLDR's integer rules, independently of
        # the PO expressions.
        def slavic(n, few_from_teens):
            if n % 10 == 1 and n % 100 != 11:
                return "one"
            if 2 <= n % 10 <= 4 and not 12 <= n % 100 <= 14:
                return "few"
            return "many"
        reference = {
            "de": lambda n: "one" if n == 1 else "other",
            "es": lambda n: "one" if n == 1 else "other",
            "it": lambda n: "one" if n == 1 else "other",
            "nl": lambda n: "one" if n == 1 else "other",
            "tr": lambda n: "one" if n == 1 else "other",
            "fr": lambda n: "one" if n in (0, 1) else "other",
            "pt-BR": lambda n: "one" if n in (0, 1) else "other",
            "ru": lambda n: slavic(n, True),
            "pl": lambda n: "one" if n == 1 else ("few" if 2 <= n % 10 <= 4 and not 12 <= n % 100 <= 14
                                                   else "many"),
            "ja": lambda n: "other", "zh-CN": lambda n: "other", "ko": lambda n: "other",
        }
        order = ["one", "few", "many", "other"]
        for language in languages.TRANSLATED:
            po = self.catalogue[language.tag]
            self.assertEqual(languages.PLURAL_FORMS[language.tag],
                             "nplurals=%d; plural=%s;" % po.plural_forms(), language.po)
            nplurals, expression = po.plural_forms()
            rule = plural_rules.compile_rule(expression)
            categories = []
            for n in range(0, 1001):
                category = reference[language.tag](n)
                if category not in categories:
                    categories.append(category)
            categories.sort(key=order.index)
            self.assertEqual(nplurals, len(categories), language.po)
            for n in list(range(0, 1001)) + [1000001, 4294967295]:
                self.assertEqual(categories.index(reference[language.tag](n)), rule(n),
                                 "%s at %d" % (language.po, n))
            # The web page's categories map to forms that exist.
            for category, form in plural_rules.category_forms(language.tag, expression).items():
                self.assertTrue(0 <= form < nplurals, (language.tag, category))
        # Three forms for the two Slavic languages: 1, 2-4 (not 12-14), the rest.
        ru = plural_rules.compile_rule(self.catalogue["ru"].plural_forms()[1])
        self.assertEqual([0, 1, 2, 2, 0, 1, 2, 0, 1, 2],
                         [ru(n) for n in (1, 2, 5, 11, 21, 22, 25, 101, 104, 111)])
        pl = plural_rules.compile_rule(self.catalogue["pl"].plural_forms()[1])
        self.assertEqual([0, 1, 2, 2, 2, 1, 2, 1, 2],
                         [pl(n) for n in (1, 2, 5, 12, 21, 22, 25, 104, 112)])

    def test_menu_items_keep_one_usable_mnemonic_and_their_key(self):
        for tag, text, entry, pairs in self.each_translation():
            for english, form in pairs:
                if "&" not in english.replace("&&", ""):
                    continue
                where = "%s: %r" % (tag, form)
                body, _, key = form.partition("\t")
                english_body, _, english_key = english.partition("\t")
                self.assertEqual(1, body.replace("&&", "").count("&"), where)
                letter = body.replace("&&", "")[body.replace("&&", "").index("&") + 1:][:1]
                self.assertTrue(letter.isalnum() or letter == "?", where)
                # The key after the tab: the same key, its modifier in the
                # language's own name (Strg for Ctrl in German).
                self.assertEqual(english_key.split("+")[-1], key.split("+")[-1], where)
                self.assertEqual(english_key.count("+"), key.count("+"), where)
                if tag in ("ja", "zh-CN", "ko"):
                    # Asian Windows writes the mnemonic after the text: "ゲーム(&G)".
                    self.assertRegex(body, r"\(&[A-Z]\)(\.\.\.|:)? ?$", where)
        # Mnemonics are unique within each menu of each language.
        for domain, sources in vn_texts.DOMAINS.items():
            for pattern in sources.get("rc", []):
                path = os.path.join(ROOT, pattern)
                with open(path, encoding="utf-8") as handle:
                    blocks = extract.rc_blocks(handle.read(), pattern)
                for block in [b for b in blocks if b.kind == "menu"]:
                    for language in languages.TRANSLATED:
                        self.check_menu_mnemonics(block, language)

    def test_the_builders_form_and_menu_bar_have_one_letter_each(self):
        # Alt with a label's letter moves to its field; Alt with the menu
        # bar's letters opens its menus: no two may share a letter.
        form = [text.msgid for text in self.texts if "app/form.cpp" in text.references and "&" in text.msgid]
        self.assertGreaterEqual(len(form), 9)
        for language in languages.TRANSLATED:
            po = self.catalogue[language.tag]
            shown = [po.find(msgid).msgstr for msgid in form + ["&File", "&Help"]]
            letters = [t.replace("&&", "").split("&")[1][:1].lower() for t in shown]
            self.assertEqual(len(letters), len(set(letters)), "%s: %r" % (language.po, shown))

    def check_menu_mnemonics(self, block, language):
        po = self.catalogue[language.tag]
        # Popups and their items by nesting of the block's BEGIN/END.
        levels = [[]]
        clean = extract.strip_rc_comments(block.text)
        texts = {start: value for start, end, value in block.texts}
        for token in re.finditer(r'"(?:[^"\\\n]|\\.|"")*"|\b(BEGIN|END)\b', clean):
            if token.group(0) == "BEGIN":
                levels.append([])
            elif token.group(0) == "END":
                items = levels.pop()
                letters = [t.replace("&&", "").split("&")[1][:1].lower() for t in items if "&" in t]
                self.assertEqual(len(letters), len(set(letters)),
                                 "%s: %s: mnemonics repeat in %r" % (language.po, block.name, items))
            elif token.start() in texts:
                entry = po.find(texts[token.start()])
                levels[-1].append(entry.msgstr if entry else texts[token.start()])

    def test_each_language_keeps_its_typographic_conventions(self):
        for tag, text, entry, pairs in self.each_translation():
            for english, form in pairs:
                where = "%s: %r" % (tag, form)
                body = form.partition("\t")[0]
                if tag == "fr":
                    # A no-break space before : ; ? and ! that follow a word.
                    for match in re.finditer(r"(.)([:;?!])(?=\s|$)", body):
                        self.assertIn(match.group(1), "\u00a0\u202f", where)
                if tag == "ja":
                    self.assertIsNone(re.search("[%s] [%s]" % (CJK, CJK), body), where)
                    self.assertNotIn("?", body, where + ": full-width question mark")
                if tag == "zh-CN":
                    self.assertIsNone(re.search("[%s] [%s]" % (CJK, CJK), body), where)
                    self.assertIsNone(re.search("[%s][,:;?]" % CJK, body), where + ": full-width punctuation")
                if tag == "es" and body.endswith("?"):
                    self.assertIn("¿", body, where)
                if tag == "de":
                    self.assertNotIn("Ctrl+", form, where)
                self.assertNotIn("  ", body.replace("    ", ""), where + ": doubled space")
                if ".." not in english:
                    self.assertNotIn("...", body, where)

    def test_no_shown_text_is_typed_outside_the_catalogue(self):
        # Literals that the programs use but never show.
        not_shown = {
            # Registry keys and value names.
            "Software\\Vornix SDK\\Puzzles\\", "Software\\Vornix SDK\\Builder", "Grid Size",
            "Win Address", "Company Name", "Web Site", "Tag Line", "Search Service", "Picture Folder",
            "Target Folder", "Recent Picture ",
            # Font names.
            "MS Shell Dlg", "Arial",
            # The product's name (the builder's title, its folders), the same in
            # every language.
            "Vornix SDK", "Vornix SDK Test Play\\",
            # Joins the player's title and the puzzle's state; the date and
            # extension after a pasted picture's translated name; a search
            # address's path.
            " - ", " %04u-%02u-%02u %02u%02u%02u.png", "/interactive?",
        }
        checked = 0
        for domain in vn_texts.DOMAINS:
            for kind, reference, path in vn_texts.domain_files(ROOT, domain):
                if kind != "cpp":
                    continue
                with open(path, encoding="utf-8") as handle:
                    source = handle.read()
                stream = list(extract.tokens(source))
                for index, (token_kind, token, line) in enumerate(stream):
                    if token_kind != "string":
                        continue
                    checked += 1
                    # Inside a marker's parentheses: Tr("..."), TrN(..., "..."), N_("...").
                    depth = 0
                    marked = False
                    for back in range(index - 1, max(index - 12, -1), -1):
                        kind_back, text_back, _ = stream[back]
                        if text_back == ")":
                            depth += 1
                        elif text_back == "(":
                            if depth == 0:
                                marked = back > 0 and stream[back - 1][1] in ("Tr", "TrN", "N_")
                                break
                            depth -= 1
                    value = extract.literal_value(token.lstrip("L"), reference, False)
                    looks_shown = re.search(r"[A-Za-z]{2}", value) and (
                        " " in value.strip() or re.search(r"[A-Za-z][.?!:]$", value))
                    if looks_shown and not marked and value not in not_shown:
                        self.fail("%s:%d: %r is shown but not in the catalogue" % (reference, line, value))
        self.assertGreater(checked, 20)

    def test_the_pseudo_language_is_longer_accented_and_keeps_what_works(self):
        for text in self.texts:
            for english in filter(None, [text.msgid, text.msgid_plural]):
                pseudo = pseudo_text(english)
                body, tab, key = english.partition("\t")
                pseudo_body, pseudo_tab, pseudo_key = pseudo.partition("\t")
                self.assertGreaterEqual(len(pseudo_body), 1.4 * len(body), pseudo)
                self.assertEqual((tab, key), (pseudo_tab, pseudo_key))
                self.assertEqual(placeholders(english), placeholders(pseudo))
                self.assertEqual(english.count("&"), pseudo.count("&"))
                self.assertTrue(pseudo.startswith("[") and pseudo_body.endswith("]"))
                if re.search("[a-z]{3}", english):
                    self.assertRegex(pseudo, "[^\x00-\x7f]")
        self.assertEqual("[&Sĥûƒƒļé !]\tF2", pseudo_text("&Shuffle\tF2"))
        self.assertEqual("[Ṁöṽéŝ: %d    Ţîɱé: %s !!!!!!]", pseudo_text("Moves: %d    Time: %s"))

    def test_generated_resources_carry_every_language_and_the_texts_numbers(self):
        with tempfile.TemporaryDirectory() as out:
            subprocess.run([sys.executable, os.path.join(ROOT, "tools", "texts", "vn_texts.py"),
                            "resources", "player", "--root", ROOT, "--out", out, "--pseudo"],
                           check=True)
            with open(os.path.join(out, "player_texts.rc"), encoding="utf-8") as handle:
                rc = handle.read()
            with open(os.path.join(out, "vn_text_ids.h"), encoding="utf-8") as handle:
                ids = handle.read()
            with open(os.path.join(out, "player_pseudo.rc"), encoding="utf-8") as handle:
                pseudo = handle.read()
        self.assertTrue(rc.startswith("#pragma code_page(65001)"))
        for language in languages.ALL:
            self.assertIn("LANGUAGE 0x%02X, 0x%02X\nSTRINGTABLE" % (language.primary, language.sub), rc)
            self.assertIn('    1, "%s"' % language.tag, rc)
        # Menus and dialogs for every language but English (in player.rc).
        self.assertEqual(len(languages.TRANSLATED), rc.count("player_menu MENU"))
        self.assertEqual(len(languages.TRANSLATED), rc.count("about_dlg DIALOG"))
        self.assertIn('POPUP "&Spiel"', rc)
        self.assertIn('MENUITEM "&Rückgängig\\tStrg+Z", IdGameUndo', rc)
        self.assertTrue(rc.rstrip().endswith("LANGUAGE 0x09, 0x01"))
        # Plural texts keep three numbers; the first texts start at 16.
        numbers = [int(n) for n in re.findall(r", (\d+), (?:true|false)\},", ids)]
        self.assertEqual(16, numbers[0])
        self.assertEqual(len(numbers), len(set(numbers)))
        self.assertIn('{"Play again?", nullptr, ', ids)
        self.assertEqual(0, ids.count("true},"))  # the player looks nothing up by its English
        self.assertIn("LANGUAGE 0x101, 0x01", pseudo)
        self.assertIn('POPUP "[&Gåɱé !]"', pseudo)


    def test_the_web_pages_texts_as_json_for_its_template(self):
        import json
        import shutil
        with tempfile.TemporaryDirectory() as root:
            shutil.copytree(os.path.join(ROOT, "po"), os.path.join(root, "po"))
            os.makedirs(os.path.join(root, "web"))
            with open(os.path.join(root, "web", "game.js"), "w", encoding="utf-8") as handle:
                handle.write('''// tr("In a comment") is no text.
function tr(text) { return text; }
var again = tr("Play again?");
var shown = trn("You solved the puzzle in %d move and %s.",
                "You solved the puzzle in %d moves and %s.", moves, time);
var fresh = tr("A text <b>not</b> & translated", 3);
var done = tr("Solved by Game > Solve");
''')
            out = os.path.join(root, "texts.json")
            subprocess.run([sys.executable, os.path.join(ROOT, "tools", "texts", "vn_texts.py"),
                            "web", "--root", root, "--out", out], check=True)
            with open(out, encoding="utf-8") as handle:
                text = handle.read()
        self.assertNotIn(">", text)
        self.assertIn("\\u003e", text)
        data = json.loads(text)
        self.assertEqual({language.tag for language in languages.TRANSLATED}, set(data["languages"]))
        de = data["languages"]["de"]
        self.assertEqual({"one": 0, "other": 1}, de["plural"])
        self.assertEqual("Noch einmal spielen?", de["texts"]["Play again?"])
        self.assertEqual(["Sie haben das Puzzle in %d Zug und %s gelöst.",
                          "Sie haben das Puzzle in %d Zügen und %s gelöst."],
                         de["texts"]["You solved the puzzle in %d move and %s."])
        self.assertEqual("Gelöst mit Spiel > Lösen", de["texts"]["Solved by Game > Solve"])
        self.assertEqual({"Play again?", "You solved the puzzle in %d move and %s.", "Solved by Game > Solve"},
                         set(de["texts"]))
        ru = data["languages"]["ru"]
        self.assertEqual({"one": 0, "few": 1, "many": 2, "other": 2}, ru["plural"])
        self.assertEqual(3, len(ru["texts"]["You solved the puzzle in %d move and %s."]))
        self.assertEqual({"other": 0}, data["languages"]["ja"]["plural"])
        self.assertEqual(1, len(data["languages"]["ja"]["texts"]["You solved the puzzle in %d move and %s."]))
        self.assertEqual({"one": 0, "many": 1, "other": 1}, data["languages"]["fr"]["plural"])
        self.assertEqual("Rejouer\u00a0?", data["languages"]["fr"]["texts"]["Play again?"])


if __name__ == "__main__":
    unittest.main()

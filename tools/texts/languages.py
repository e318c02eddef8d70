"""The catalogue's languages: their tags, PO files and Windows language
identifiers.

Resources carry the primary language with a neutral sublanguage where every
country's users should get them (German for de-AT and de-CH too, the
Brazilian texts for pt-PT too). English is en-US, never neutral: Windows'
resource loader takes a neutral-neutral resource before the user's own
language. Simplified Chinese is zh-CN only, so that users of Traditional
Chinese get English rather than a script they did not choose.
"""


class Language:
    def __init__(self, tag, po, primary, sub, name):
        self.tag = tag          # BCP 47, as the web page uses it
        self.po = po            # file in po/, None for English (the source)
        self.primary = primary  # Windows primary language identifier
        self.sub = sub          # and sublanguage
        self.name = name

    @property
    def langid(self):
        return (self.sub << 10) | self.primary


ENGLISH = Language("en", None, 0x09, 0x01, "English")

TRANSLATED = [
    Language("de", "de.po", 0x07, 0x00, "German"),
    Language("fr", "fr.po", 0x0C, 0x00, "French"),
    Language("es", "es.po", 0x0A, 0x00, "Spanish"),
    Language("it", "it.po", 0x10, 0x00, "Italian"),
    Language("pt-BR", "pt_BR.po", 0x16, 0x00, "Portuguese (Brazil)"),
    Language("nl", "nl.po", 0x13, 0x00, "Dutch"),
    Language("pl", "pl.po", 0x15, 0x00, "Polish"),
    Language("ru", "ru.po", 0x19, 0x00, "Russian"),
    Language("tr", "tr.po", 0x1F, 0x00, "Turkish"),
    Language("ja", "ja.po", 0x11, 0x00, "Japanese"),
    Language("zh-CN", "zh_CN.po", 0x04, 0x02, "Chinese (Simplified)"),
    Language("ko", "ko.po", 0x12, 0x00, "Korean"),
]

# The pseudo-language of the tests (Windows' qps-ploc): every text longer,
# accented and bracketed, so that a text cut or typed outside the catalogue
# shows. It is built into test programs only.
PSEUDO = Language("qps-ploc", None, 0x101, 0x01, "Pseudo")

ENGLISH_PLURAL_FORMS = "nplurals=2; plural=(n != 1);"

# The rule each language's PO header must carry (checked by the tests).
PLURAL_FORMS = {
    "de": "nplurals=2; plural=(n != 1);",
    "fr": "nplurals=2; plural=(n > 1);",
    "es": "nplurals=2; plural=(n != 1);",
    "it": "nplurals=2; plural=(n != 1);",
    "pt-BR": "nplurals=2; plural=(n > 1);",
    "nl": "nplurals=2; plural=(n != 1);",
    "pl": "nplurals=3; plural=(n == 1 ? 0 : n % 10 >= 2 && n % 10 <= 4 && (n % 100 < 10 || n % 100 >= 20) ? 1 : 2);",
    "ru": "nplurals=3; plural=(n % 10 == 1 && n % 100 != 11 ? 0 : n % 10 >= 2 && n % 10 <= 4 && (n % 100 < 10 || n % 100 >= 20) ? 1 : 2);",
    "tr": "nplurals=2; plural=(n != 1);",
    "ja": "nplurals=1; plural=0;",
    "zh-CN": "nplurals=1; plural=0;",
    "ko": "nplurals=1; plural=0;",
}

ALL = [ENGLISH] + TRANSLATED

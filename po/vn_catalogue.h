// The catalogue as data: every text of a program in every language,
// generated from po/*.po (DOMAIN_catalogue.cpp). Native builds read their
// English from it; tests read any language, the pseudo-language among them.
#pragma once

// How a program comes to a text.
enum VnCatalogueKind {
    VnTextInCode,     // Tr or TrN: by its number
    VnTextByEnglish,  // N_ or reported in English (a status): by its English
    VnTextInResource, // a menu's or dialog's caption
};

struct VnCatalogueEntry {
    const char* msgid;
    const char* plural;  // null: no plural forms
    int id;              // its string number, 0 for a menu or dialog text
    int slot;            // its first place in a language's texts
    VnCatalogueKind kind;
};

struct VnCatalogueLanguage {
    const char* tag;            // "en", "de", "pt-BR", "qps-ploc", ...
    unsigned short langId;      // the Windows language of its resources
    int pluralRule;             // for VnPluralForm
    int pluralForms;
    const char* const* texts;   // by slot; a text with plurals has maxForms slots
};

struct VnCatalogue {
    const VnCatalogueEntry* entries;
    int entryCount;
    const VnCatalogueLanguage* languages;
    int languageCount;
    int maxForms;
};

// The catalogue of the program being built.
extern const VnCatalogue VnProgramCatalogue;

const VnCatalogueLanguage* VnCatalogueFindLanguage(const VnCatalogue& catalogue, const char* tag);
const VnCatalogueEntry* VnCatalogueFindEntry(const VnCatalogue& catalogue, const char* msgid);
// The text msgid (form `form` of one with plural forms) in a language; null
// when either is not in the catalogue.
const char* VnCatalogueText(const VnCatalogue& catalogue, const char* tag, const char* msgid,
                            int form = 0);

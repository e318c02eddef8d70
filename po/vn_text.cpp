// Looking texts up by number: from the default source (vn_text_win.cpp or
// vn_text_native.cpp), or from a language of the catalogue's data that a
// test put in its place.
#include "vn_text.h"

#include "vn_catalogue.h"

namespace {

const int MaxPluralForms = 3;  // string numbers kept for each text with plural forms

const VnCatalogue* UsedCatalogue;
const VnCatalogueLanguage* UsedLanguage;

// The catalogue's text at string number id, form `form`; null when the
// number is none of its texts (or the form is one its language lacks).
const char* CatalogueText(int id, int form)
{
    for (int i = 0; i < UsedCatalogue->entryCount; ++i) {
        const VnCatalogueEntry& entry = UsedCatalogue->entries[i];
        const int forms = entry.plural ? UsedCatalogue->maxForms : 1;
        if (entry.id > 0 && id >= entry.id && id < entry.id + forms)
            return UsedLanguage->texts[entry.slot + (id - entry.id) + form];
    }
    return nullptr;
}

}  // namespace

void VnUseCatalogueLanguage(const VnCatalogue* catalogue, const char* tag)
{
    UsedCatalogue = catalogue;
    UsedLanguage = catalogue ? VnCatalogueFindLanguage(*catalogue, tag) : nullptr;
    if (!UsedLanguage)
        UsedCatalogue = nullptr;
}

std::string VnText(int id)
{
    // Each program's texts have numbers of their own, so a test process
    // holding two programs' texts takes from the catalogue's data only the
    // numbers that it knows.
    const char* text = UsedLanguage ? CatalogueText(id, 0) : nullptr;
    return text ? std::string(text) : VnSystemText(id);
}

std::string VnTextPlural(int id, unsigned long n)
{
    const int rule = UsedLanguage ? UsedLanguage->pluralRule : VnSystemPluralRule();
    int form = VnPluralForm(rule, n);
    if (form < 0 || form >= MaxPluralForms)
        form = 0;
    return VnText(id + form);
}

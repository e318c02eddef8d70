// Texts where there are no Windows resources: the catalogue's English, from
// the program's generated catalogue data.
#include "vn_catalogue.h"
#include "vn_text.h"

std::string VnSystemText(int id)
{
    const VnCatalogueLanguage& english = VnProgramCatalogue.languages[0];
    for (int i = 0; i < VnProgramCatalogue.entryCount; ++i) {
        const VnCatalogueEntry& entry = VnProgramCatalogue.entries[i];
        const int forms = entry.plural ? VnProgramCatalogue.maxForms : 1;
        if (entry.id > 0 && id >= entry.id && id < entry.id + forms) {
            const char* text = english.texts[entry.slot + (id - entry.id)];
            return text ? text : std::string();
        }
    }
    return std::string();
}

int VnSystemPluralRule()
{
    return VnProgramCatalogue.languages[0].pluralRule;
}

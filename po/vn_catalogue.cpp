// Finding languages and texts in the catalogue's data.
#include "vn_catalogue.h"

#include <cstring>

const VnCatalogueLanguage* VnCatalogueFindLanguage(const VnCatalogue& catalogue, const char* tag)
{
    for (int i = 0; tag && i < catalogue.languageCount; ++i)
        if (std::strcmp(catalogue.languages[i].tag, tag) == 0)
            return &catalogue.languages[i];
    return nullptr;
}

const VnCatalogueEntry* VnCatalogueFindEntry(const VnCatalogue& catalogue, const char* msgid)
{
    for (int i = 0; msgid && i < catalogue.entryCount; ++i)
        if (std::strcmp(catalogue.entries[i].msgid, msgid) == 0)
            return &catalogue.entries[i];
    return nullptr;
}

const char* VnCatalogueText(const VnCatalogue& catalogue, const char* tag, const char* msgid, int form)
{
    const VnCatalogueLanguage* language = VnCatalogueFindLanguage(catalogue, tag);
    const VnCatalogueEntry* entry = VnCatalogueFindEntry(catalogue, msgid);
    if (!language || !entry || form < 0 || form >= (entry->plural ? catalogue.maxForms : 1))
        return nullptr;
    return language->texts[entry->slot + form];
}

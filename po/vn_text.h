// The programs' texts in the user's language, from the catalogue in po/, and
// the filling of their placeholders. Code asks for a text by its English
// with Tr and TrN (vn_tr.h), which turn it into the text's number at compile
// time.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

// Text number id in the user's language, as UTF-8.
std::string VnText(int id);
// The form of the text with plural forms numbered id that goes with the
// count n, by the language's plural rule.
std::string VnTextPlural(int id, unsigned long n);

// The plural form for n under one of the catalogue's rules (generated from
// the Plural-Forms of po/*.po).
int VnPluralForm(int rule, unsigned long n);

// Marks an English text that code hands on untranslated and that the
// catalogue translates where it is shown (looked up by its English).
#define N_(english) english

// One value for a placeholder.
class VnTextArg {
public:
    VnTextArg(int value) : text(std::to_string(value)) {}
    VnTextArg(unsigned value) : text(std::to_string(value)) {}
    VnTextArg(long value) : text(std::to_string(value)) {}
    VnTextArg(unsigned long value) : text(std::to_string(value)) {}
    VnTextArg(const std::string& value) : text(value) {}
    VnTextArg(const char* value) : text(value ? value : "") {}
    std::string text;
};

// pattern with its placeholders %d, %u and %s filled by args in order; "%%"
// is "%". A placeholder left without a value, or one of another kind, stays
// as it stands: a translation can never read past the values given.
std::string VnFormat(const std::string& pattern, std::initializer_list<VnTextArg> args);

// Where texts come from. By default, on Windows: the program's own string
// resources in the language Windows' resource loader picks (the user's
// display language, else English); elsewhere: the catalogue's English.
// Tests put one language of the catalogue's data in its place (null: back to
// the default).
struct VnCatalogue;
void VnUseCatalogueLanguage(const VnCatalogue* catalogue, const char* tag);

#ifdef _WIN32
// UTF-8 text as the wide characters of Windows' "W" calls, terminated (its
// data() is the text). A vector rather than std::wstring: the library's wide
// string would add 35 KB to the player stub.
typedef std::vector<wchar_t> VnWideText;
VnWideText VnWide(const std::string& utf8);
#endif

// Supplied per platform: text number id from the default source, and the
// plural rule of the language it is in.
std::string VnSystemText(int id);
int VnSystemPluralRule();

// The web image search's address: the service list, the address templates,
// and the encoding of the typed phrase. Portable: no window-system headers,
// so it is tested natively.
#pragma once

#include <string>

// Number of search services offered in the service drop-down list.
const int SearchServiceCount = 3;

// Display names of the services, in the order of the drop-down list.
extern const char* const SearchServiceNames[SearchServiceCount];

// One address template per service, in the same order; each holds exactly one
// "%s", where the encoded phrase goes.
extern const char* const SearchUrlTemplates[SearchServiceCount];

// Longest possible phrase, as read from the phrase field (the terminator not
// counted).
const int SearchPhraseMaxLength = 1023;

// The phrase made safe for a query value: a space becomes "+", letters, digits
// and "-_.~" stay as they are, and every other byte becomes "%" followed by two
// upper-case hexadecimal digits. Reads at most SearchPhraseMaxLength bytes.
std::string EncodeSearchPhrase(const char* phrase);

// The template with its "%s" replaced by the value, copied as is. A template
// without "%s" is returned unchanged.
std::string FormatSearchAddress(const char* urlTemplate, const std::string& value);

// The full address for the service with the given index (0 to 2) and the phrase
// as typed. An index outside the list gives an empty string.
std::string SearchAddress(int service, const char* phrase);

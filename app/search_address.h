// The web image search's address: the service list, the two address layouts
// (each service's own search page, or the partner redirect of a build that has
// a partner account) and the encoding of the typed phrase. Portable: no
// window-system headers, so it is tested natively.
#pragma once

#include <string>

// Number of search services offered in the service drop-down list.
const int SearchServiceCount = 3;

// Display names of the services, in the order of the drop-down list.
extern const char* const SearchServiceNames[SearchServiceCount];

// Longest phrase, in bytes, as read from the phrase field (the terminator not
// counted).
const int SearchPhraseMaxLength = 1023;

// The phrase (UTF-8) made safe for a query value: a space becomes "+",
// letters, digits and "-_.~" stay as they are, and every other byte becomes
// "%" and two upper-case hexadecimal digits, so "café" gives "caf%C3%A9".
// Reads at most SearchPhraseMaxLength bytes, never ending inside a UTF-8
// sequence.
std::string EncodeSearchPhrase(const char* phrase);

// The phrase made safe for one path segment: like EncodeSearchPhrase, but a
// space becomes spaceAs when that is given, or "%20" when it is 0, and a
// segment that would be "." or ".." has its dots written as "%2E".
std::string EncodeSearchPathSegment(const char* phrase, char spaceAs);

// The partner redirect: https://HOST/interactive?KEY=PHRASE&nvc_cj=1&pid=PID
// &url=PAGE&aid=AID, with the service's own key and page.
struct SearchRedirect {
    const char* host;
    const char* publisherId;
    const char* advertiserId;
};

// The redirect this build was configured with, or null when it has none (the
// default): then the search opens the services' own pages.
const SearchRedirect* ConfiguredSearchRedirect();

// The address for the service with the given index (0 to 2) and the phrase as
// typed (UTF-8): the service's own search page with the phrase where that site
// takes it, or, with a redirect, the redirect's layout. An index outside the
// list gives an empty string.
std::string SearchAddressVia(int service, const char* phrase, const SearchRedirect* redirect);

// SearchAddressVia with the configured redirect.
std::string SearchAddress(int service, const char* phrase);

// The three stock-image search services: their names in the service list, how
// each site's own search page takes the phrase, and the key and page the
// partner redirect passes on for each.
#include "search_address.h"

// Set by the build (CMake options VORNIX_SEARCH_REDIRECT_HOST, _PID, _AID);
// all empty by default.
#ifndef VN_SEARCH_REDIRECT_HOST
#define VN_SEARCH_REDIRECT_HOST ""
#endif
#ifndef VN_SEARCH_PID
#define VN_SEARCH_PID ""
#endif
#ifndef VN_SEARCH_AID
#define VN_SEARCH_AID ""
#endif

namespace {

enum PhrasePlace {
    PhraseInQuery,          // query value, spaces as "+"
    PhraseInHyphenatedPath, // path segment, spaces as "-" (Unsplash's slugs)
    PhraseInPath,           // path segment, spaces as "%20"
};

struct SearchService {
    const char* name;          // short enough to show whole in the 18·X wide list
    const char* beforePhrase;  // own search page up to the phrase
    const char* afterPhrase;   // and after it
    PhrasePlace place;
    const char* redirectKey;   // the phrase's key in the redirect's query
    const char* redirectPage;  // the page the redirect names, as a plain address
};

const SearchService Services[SearchServiceCount] = {
    {"Unsplash", "https://unsplash.com/s/photos/", "", PhraseInHyphenatedPath,
     "q", "https://unsplash.com/s/photos"},
    {"Pixabay", "https://pixabay.com/images/search/", "/", PhraseInPath,
     "ss", "https://pixabay.com/images/search/"},
    {"Wikimedia", "https://commons.wikimedia.org/w/index.php?search=",
     "&title=Special:MediaSearch&type=image", PhraseInQuery,
     "q", "https://commons.wikimedia.org/w/index.php?title=Special:MediaSearch&type=image"},
};

const SearchRedirect BuildRedirect = {VN_SEARCH_REDIRECT_HOST, VN_SEARCH_PID, VN_SEARCH_AID};

std::string EncodeFor(PhrasePlace place, const char* phrase)
{
    switch (place) {
    case PhraseInHyphenatedPath: return EncodeSearchPathSegment(phrase, '-');
    case PhraseInPath: return EncodeSearchPathSegment(phrase, 0);
    default: return EncodeSearchPhrase(phrase);
    }
}

}  // namespace

const char* const SearchServiceNames[SearchServiceCount] = {
    Services[0].name,
    Services[1].name,
    Services[2].name,
};

const SearchRedirect* ConfiguredSearchRedirect()
{
    return BuildRedirect.host[0] != '\0' ? &BuildRedirect : nullptr;
}

std::string SearchAddressVia(int service, const char* phrase, const SearchRedirect* redirect)
{
    if (service < 0 || service >= SearchServiceCount)
        return std::string();
    const SearchService& s = Services[service];
    if (redirect && redirect->host && redirect->host[0] != '\0') {
        return std::string("https://") + redirect->host + "/interactive?" + s.redirectKey + "=" +
               EncodeSearchPhrase(phrase) + "&nvc_cj=1&pid=" + (redirect->publisherId ? redirect->publisherId : "") +
               "&url=" + s.redirectPage + "&aid=" + (redirect->advertiserId ? redirect->advertiserId : "");
    }
    return s.beforePhrase + EncodeFor(s.place, phrase) + s.afterPhrase;
}

std::string SearchAddress(int service, const char* phrase)
{
    return SearchAddressVia(service, phrase, ConfiguredSearchRedirect());
}

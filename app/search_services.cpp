// The three stock-image search services of the web image search: their names
// in the service list and their search addresses, in the list's order. Every
// address goes through the same affiliate redirect, which takes the phrase
// under the service's own key, then "nvc_cj", the publisher id, the service's
// search page (written as a plain address) and the advertiser id, in that
// order.
#include "search_address.h"

// Redirect endpoint shared by the three services.
#define VN_SEARCH_REDIRECT "https://partners.vornixsdk.com/interactive"

// Publisher id (ours) and the two advertiser ids.
#define VN_SEARCH_PUBLISHER_ID "7319264"
#define VN_SEARCH_ADVERTISER_ID_A "10512847"
#define VN_SEARCH_ADVERTISER_ID_B "10683519"

// Search pages of the services; the third carries a query part of its own.
#define VN_SEARCH_PAGE_0 "https://unsplash.com/s/photos"
#define VN_SEARCH_PAGE_1 "https://pixabay.com/images/search/"
#define VN_SEARCH_PAGE_2 "https://commons.wikimedia.org/w/index.php?title=Special:MediaSearch&type=image"

const char* const SearchServiceNames[SearchServiceCount] = {
    "Unsplash",
    "Pixabay",
    "Wikimedia Commons",
};

const char* const SearchUrlTemplates[SearchServiceCount] = {
    VN_SEARCH_REDIRECT "?q=%s&nvc_cj=1&pid=" VN_SEARCH_PUBLISHER_ID
        "&url=" VN_SEARCH_PAGE_0 "&aid=" VN_SEARCH_ADVERTISER_ID_A,
    VN_SEARCH_REDIRECT "?ss=%s&nvc_cj=1&pid=" VN_SEARCH_PUBLISHER_ID
        "&url=" VN_SEARCH_PAGE_1 "&aid=" VN_SEARCH_ADVERTISER_ID_A,
    VN_SEARCH_REDIRECT "?q=%s&nvc_cj=1&pid=" VN_SEARCH_PUBLISHER_ID
        "&url=" VN_SEARCH_PAGE_2 "&aid=" VN_SEARCH_ADVERTISER_ID_B,
};

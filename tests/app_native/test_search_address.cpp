#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "search_address.h"

namespace {

// The value of the first query parameter, up to the next "&".
std::string FirstValue(const std::string& address)
{
    std::string::size_type start = address.find('=');
    std::string::size_type end = address.find('&', start);
    return address.substr(start + 1, end - start - 1);
}

// Text between "key=" and the next "&" (or the end).
std::string ValueOf(const std::string& address, const char* key)
{
    std::string marker = std::string("&") + key + "=";
    std::string::size_type start = address.find(marker);
    if (start == std::string::npos)
        return "<missing>";
    start += marker.size();
    std::string::size_type end = address.find('&', start);
    return address.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace

TEST(EncodeSearchPhrase, SpacesBecomePlusAndUnreservedBytesStay)
{
    EXPECT_EQ(EncodeSearchPhrase(""), "");
    EXPECT_EQ(EncodeSearchPhrase("red car"), "red+car");
    EXPECT_EQ(EncodeSearchPhrase("  sunset "), "++sunset+");
    EXPECT_EQ(EncodeSearchPhrase("AZaz09-_.~"), "AZaz09-_.~");
}

TEST(EncodeSearchPhrase, ReservedAndOtherBytesArePercentEncoded)
{
    EXPECT_EQ(EncodeSearchPhrase("a&b"), "a%26b");
    EXPECT_EQ(EncodeSearchPhrase("#1"), "%231");
    EXPECT_EQ(EncodeSearchPhrase("100%"), "100%25");
    EXPECT_EQ(EncodeSearchPhrase("c++"), "c%2B%2B");
    EXPECT_EQ(EncodeSearchPhrase("x=y?"), "x%3Dy%3F");
    EXPECT_EQ(EncodeSearchPhrase("/\\\"'<>"), "%2F%5C%22%27%3C%3E");
    EXPECT_EQ(EncodeSearchPhrase("\t\x01\x7f"), "%09%01%7F");
}

TEST(EncodeSearchPhrase, Utf8BytesArePercentEncodedOneByOne)
{
    // What the sites expect: the UTF-8 bytes of each character.
    EXPECT_EQ(EncodeSearchPhrase("caf\xC3\xA9"), "caf%C3%A9");
    EXPECT_EQ(EncodeSearchPhrase("\xE6\x97\xA5\xE6\x9C\xAC"), "%E6%97%A5%E6%9C%AC");
    EXPECT_EQ(EncodeSearchPhrase("\xC3\xA9t\xC3\xA9 \xE2\x98\x95"), "%C3%A9t%C3%A9+%E2%98%95");
    EXPECT_EQ(EncodeSearchPhrase("\x80\xff"), "%80%FF");
}

TEST(EncodeSearchPhrase, ReadsAtMostTheFieldLengthWithoutSplittingACharacter)
{
    std::string longPhrase(SearchPhraseMaxLength + 500, 'a');
    EXPECT_EQ(EncodeSearchPhrase(longPhrase.c_str()).size(), size_t(SearchPhraseMaxLength));

    // The worst case, every byte tripled, still fits three times the length.
    std::string wide(SearchPhraseMaxLength, '&');
    EXPECT_EQ(EncodeSearchPhrase(wide.c_str()).size(), size_t(3 * SearchPhraseMaxLength));
    EXPECT_EQ(EncodeSearchPhrase(nullptr), "");

    // A 3-byte character across the limit is left out whole.
    std::string cut(SearchPhraseMaxLength - 1, 'a');
    cut += "\xE6\x97\xA5";
    EXPECT_EQ(EncodeSearchPhrase(cut.c_str()), std::string(SearchPhraseMaxLength - 1, 'a'));
}

TEST(EncodeSearchPathSegment, SpacesAsGivenAndEverythingElseAsInAQuery)
{
    EXPECT_EQ(EncodeSearchPathSegment("red car", '-'), "red-car");
    EXPECT_EQ(EncodeSearchPathSegment("red car", 0), "red%20car");
    EXPECT_EQ(EncodeSearchPathSegment("a/b?c#d+e", 0), "a%2Fb%3Fc%23d%2Be");
    EXPECT_EQ(EncodeSearchPathSegment("caf\xC3\xA9", '-'), "caf%C3%A9");
    EXPECT_EQ(EncodeSearchPathSegment(nullptr, '-'), "");
    // A whole segment of dots that names a folder is no folder name.
    EXPECT_EQ(EncodeSearchPathSegment(".", '-'), "%2E");
    EXPECT_EQ(EncodeSearchPathSegment("..", 0), "%2E%2E");
    EXPECT_EQ(EncodeSearchPathSegment("...", 0), "...");
    EXPECT_EQ(EncodeSearchPathSegment(". .", '-'), ".-.");
    EXPECT_EQ(EncodeSearchPhrase(".."), "..");
}

TEST(SearchAddress, DefaultBuildOpensEachServicesOwnSearchPage)
{
    if (ConfiguredSearchRedirect())
        GTEST_SKIP() << "this build is configured with a partner redirect";
    EXPECT_EQ(SearchAddress(0, "mountain lake"), "https://unsplash.com/s/photos/mountain-lake");
    EXPECT_EQ(SearchAddress(1, "mountain lake"), "https://pixabay.com/images/search/mountain%20lake/");
    EXPECT_EQ(SearchAddress(2, "mountain lake"),
              "https://commons.wikimedia.org/w/index.php?search=mountain+lake"
              "&title=Special:MediaSearch&type=image");
    EXPECT_EQ(SearchAddress(2, "caf\xC3\xA9"),
              "https://commons.wikimedia.org/w/index.php?search=caf%C3%A9"
              "&title=Special:MediaSearch&type=image");
    // No address of the default build names the partner host.
    for (int i = 0; i < SearchServiceCount; ++i)
        EXPECT_EQ(SearchAddress(i, "x").find("partners."), std::string::npos) << i;
}

TEST(SearchAddress, PhraseStaysInsideItsOwnPartOfThePage)
{
    // Characters that would end a path segment or a value, start a fragment
    // or add a parameter are encoded.
    EXPECT_EQ(SearchAddressVia(0, "cats & dogs #1/2", nullptr), "https://unsplash.com/s/photos/cats-%26-dogs-%231%2F2");
    EXPECT_EQ(SearchAddressVia(1, "a?b=c", nullptr), "https://pixabay.com/images/search/a%3Fb%3Dc/");
    // Neither the site's search folder nor its parent.
    EXPECT_EQ(SearchAddressVia(0, "..", nullptr), "https://unsplash.com/s/photos/%2E%2E");
    EXPECT_EQ(SearchAddressVia(1, ".", nullptr), "https://pixabay.com/images/search/%2E/");
    std::string wiki = SearchAddressVia(2, "x&title=evil#y", nullptr);
    EXPECT_EQ(wiki.find('#'), std::string::npos);
    EXPECT_EQ(ValueOf("?" + wiki.substr(wiki.find('?') + 1), "title"), "Special:MediaSearch");
}

TEST(SearchAddress, RedirectLayoutForABuildWithAPartnerAccount)
{
    const SearchRedirect partner = {"go.example.net", "111", "222"};
    const char* keys[SearchServiceCount] = {"?q=", "?ss=", "?q="};
    for (int i = 0; i < SearchServiceCount; ++i) {
        SCOPED_TRACE(i);
        std::string address = SearchAddressVia(i, "red car", &partner);
        EXPECT_EQ(address.find(std::string("https://go.example.net/interactive") + keys[i] + "red+car&nvc_cj=1&pid=111&url=https://"), 0u);
        EXPECT_EQ(address.substr(address.size() - 8), "&aid=222");
        EXPECT_EQ(FirstValue(address), "red+car");
    }
    EXPECT_EQ(SearchAddressVia(1, "", &partner),
              "https://go.example.net/interactive?ss=&nvc_cj=1&pid=111"
              "&url=https://pixabay.com/images/search/&aid=222");
    // The third service's page carries a query part of its own.
    std::string third = SearchAddressVia(2, "sea", &partner);
    EXPECT_NE(third.find("&url=https://commons.wikimedia.org/w/index.php?title=Special:MediaSearch&type=image&aid=222"),
              std::string::npos);
    // A redirect without a host is no redirect.
    const SearchRedirect empty = {"", "1", "2"};
    EXPECT_EQ(SearchAddressVia(0, "sea", &empty), SearchAddressVia(0, "sea", nullptr));
}

TEST(SearchAddress, ServiceIndexOutsideTheListGivesNoAddress)
{
    EXPECT_EQ(SearchAddress(-1, "x"), "");
    EXPECT_EQ(SearchAddress(SearchServiceCount, "x"), "");
    for (int i = 0; i < SearchServiceCount; ++i) {
        ASSERT_NE(SearchServiceNames[i], nullptr);
        EXPECT_GT(std::strlen(SearchServiceNames[i]), 0u);
    }
}

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "search_address.h"

namespace {

// Position of needle in text, or npos.
std::string::size_type Find(const std::string& text, const char* needle)
{
    return text.find(needle);
}

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

TEST(EncodeSearchPhrase, BytesAboveAsciiUseUpperCaseHex)
{
    EXPECT_EQ(EncodeSearchPhrase("caf\xe9"), "caf%E9");
    EXPECT_EQ(EncodeSearchPhrase("\xc3\xa9t\xc3\xa9"), "%C3%A9t%C3%A9");
    EXPECT_EQ(EncodeSearchPhrase("\x80\xff"), "%80%FF");
}

TEST(EncodeSearchPhrase, ReadsAtMostTheFieldLength)
{
    std::string longPhrase(SearchPhraseMaxLength + 500, 'a');
    EXPECT_EQ(EncodeSearchPhrase(longPhrase.c_str()).size(), size_t(SearchPhraseMaxLength));

    // The worst case, every byte tripled, still fits the template plus three
    // times the field length.
    std::string wide(SearchPhraseMaxLength, '&');
    EXPECT_EQ(EncodeSearchPhrase(wide.c_str()).size(), size_t(3 * SearchPhraseMaxLength));
    EXPECT_EQ(EncodeSearchPhrase(nullptr), "");
}

TEST(FormatSearchAddress, ReplacesTheOneSlotAndNothingElse)
{
    EXPECT_EQ(FormatSearchAddress("http://h/i?q=%s&x=1", "a%25b"), "http://h/i?q=a%25b&x=1");
    EXPECT_EQ(FormatSearchAddress("http://h/i?q=%s&x=1", ""), "http://h/i?q=&x=1");
    EXPECT_EQ(FormatSearchAddress("no slot", "v"), "no slot");
    EXPECT_EQ(FormatSearchAddress(nullptr, "v"), "");
}

TEST(SearchTemplates, ShareOneLayoutInTheFixedParameterOrder)
{
    const char* keys[SearchServiceCount] = {"?q=%s&", "?ss=%s&", "?q=%s&"};
    std::string redirect;
    for (int i = 0; i < SearchServiceCount; ++i) {
        SCOPED_TRACE(i);
        std::string t = SearchUrlTemplates[i];
        ASSERT_NE(SearchServiceNames[i], nullptr);
        EXPECT_GT(std::strlen(SearchServiceNames[i]), 0u);

        // Exactly one slot, and no other "%" that a formatter could misread.
        EXPECT_EQ(t.find('%'), t.find("%s"));
        EXPECT_EQ(t.find('%', t.find("%s") + 1), std::string::npos);

        std::string::size_type query = t.find('?');
        ASSERT_NE(query, std::string::npos);
        std::string endpoint = t.substr(0, query);
        EXPECT_EQ(endpoint.substr(endpoint.size() - 12), "/interactive");
        if (i == 0)
            redirect = endpoint;
        EXPECT_EQ(endpoint, redirect);

        std::string::size_type key = Find(t, keys[i]);
        std::string::size_type nvc = Find(t, "&nvc_cj=1&");
        std::string::size_type pid = Find(t, "&pid=");
        std::string::size_type url = Find(t, "&url=http");
        std::string::size_type aid = t.rfind("&aid=");
        EXPECT_EQ(key, query);
        EXPECT_EQ(nvc, query + std::strlen(keys[i]) - 1);
        EXPECT_LT(nvc, pid);
        EXPECT_LT(pid, url);
        ASSERT_NE(aid, std::string::npos);
        EXPECT_LT(url, aid);
        EXPECT_EQ(t.find('&', aid + 1), std::string::npos);
    }
    std::string t0 = SearchUrlTemplates[0], t1 = SearchUrlTemplates[1], t2 = SearchUrlTemplates[2];
    EXPECT_EQ(ValueOf(t0, "pid"), ValueOf(t1, "pid"));
    EXPECT_EQ(ValueOf(t0, "pid"), ValueOf(t2, "pid"));
    EXPECT_EQ(t0.substr(t0.rfind("&aid=")), t1.substr(t1.rfind("&aid=")));
    EXPECT_NE(t0.substr(t0.rfind("&aid=")), t2.substr(t2.rfind("&aid=")));

    // The third service's page carries a query part of its own.
    std::string page2 = t2.substr(t2.find("&url=") + 5);
    EXPECT_NE(page2.find('?'), std::string::npos);
}

TEST(SearchAddress, EmptyPhraseLeavesAnEmptyValueBeforeNvcCj)
{
    for (int i = 0; i < SearchServiceCount; ++i) {
        std::string address = SearchAddress(i, "");
        EXPECT_NE(address.find("=&nvc_cj=1&"), std::string::npos) << address;
        EXPECT_EQ(FirstValue(address), "");
    }
}

TEST(SearchAddress, PhraseStaysInsideItsOwnValue)
{
    // Characters that would otherwise end the value, start a fragment or add a
    // parameter stay inside the search key's value.
    std::string address = SearchAddress(1, "cats & dogs #1 a=b?c+d%");
    EXPECT_EQ(address.find('#'), std::string::npos);
    EXPECT_EQ(FirstValue(address), "cats+%26+dogs+%231+a%3Db%3Fc%2Bd%25");
    EXPECT_EQ(address.find("?ss=cats+%26+dogs"), address.find('?'));
    EXPECT_EQ(address.substr(address.find("&nvc_cj=1")),
              std::string(SearchUrlTemplates[1]).substr(std::string(SearchUrlTemplates[1]).find("&nvc_cj=1")));
}

TEST(SearchAddress, ServiceIndexOutsideTheListGivesNoAddress)
{
    EXPECT_EQ(SearchAddress(-1, "x"), "");
    EXPECT_EQ(SearchAddress(SearchServiceCount, "x"), "");
    EXPECT_EQ(SearchAddress(0, "blue sky"),
              FormatSearchAddress(SearchUrlTemplates[0], "blue+sky"));
}

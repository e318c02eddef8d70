// Cutting text at a byte limit on a UTF-8 character boundary.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "utf8_text.h"

namespace {

size_t Cut(const std::string& text, size_t limit)
{
    return Utf8CutLength(text.data(), text.size(), limit);
}

TEST(Utf8Cut, TextThatFitsIsKeptWhole)
{
    EXPECT_EQ(Cut("", 0), 0u);
    EXPECT_EQ(Cut("abc", 3), 3u);
    EXPECT_EQ(Cut("caf\xC3\xA9", 5), 5u);
    EXPECT_EQ(Cut("caf\xC3\xA9", 254), 5u);
}

TEST(Utf8Cut, ACutInsideASequenceMovesToItsStart)
{
    // Two-, three- and four-byte characters, cut after each of their bytes.
    const char* characters[] = {"\xC3\xA9", "\xE6\x97\xA5", "\xE2\x98\x95", "\xF0\x9F\x98\x80"};
    for (const char* character : characters) {
        const size_t n = std::strlen(character);
        const std::string text = std::string("ab") + character + "cd";
        for (size_t inside = 1; inside < n; ++inside)
            EXPECT_EQ(Cut(text, 2 + inside), 2u) << character << " cut after byte " << inside;
        EXPECT_EQ(Cut(text, 2), 2u) << character;
        EXPECT_EQ(Cut(text, 2 + n), 2 + n) << character;
        EXPECT_EQ(Cut(text, 3 + n), 3 + n) << character;
    }
    EXPECT_EQ(Utf8Cut("Caf\xC3\xA9 \xC3\x9Cn\xC3\xAF", 4), "Caf");
    EXPECT_EQ(Utf8Cut("\xE6\x97\xA5\xE6\x9C\xAC", 5), "\xE6\x97\xA5");
    EXPECT_EQ(Utf8Cut("\xE6\x97\xA5\xE6\x9C\xAC", 0), "");
}

TEST(Utf8Cut, BytesThatAreNotUtf8AreCutAtTheLimit)
{
    // Latin-1 "caf\xE9" and a lone continuation byte: no sequence to keep whole.
    EXPECT_EQ(Cut("caf\xE9s", 4), 4u);
    EXPECT_EQ(Cut("ab\x80\x80\x80\x80\x80", 4), 4u);
    EXPECT_EQ(Cut("\x80\x80\x80", 1), 1u);
    // A lead byte whose sequence ends before the limit does not pull the cut.
    EXPECT_EQ(Cut("\xC3\xA9\x80\x80", 3), 3u);
    // Bytes that never lead a sequence (0xC0, 0xC1, 0xF5 and above).
    EXPECT_EQ(Cut("a\xC0\x80z", 2), 2u);
    EXPECT_EQ(Cut("a\xF8\x80\x80\x80z", 3), 3u);
}

}  // namespace

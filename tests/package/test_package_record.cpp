// The settings record and the win address normalisation.
#include <gtest/gtest.h>

#include <string>

#include "package_record.h"

namespace {

TEST(PackageRecord, SmallestRecordIs19Characters)
{
    PackageSettings settings;  // empty texts, unchecked box
    settings.gridSize = 0;
    settings.winAddress = "";
    std::string record = ComposePackageInfoRecord(settings);
    EXPECT_EQ(record, "0| | | |NO|NONE|END");
    EXPECT_EQ(record.size(), 19u);

    // The form's initial state: a 4 x 4 grid and an address meaning none.
    EXPECT_EQ(ComposePackageInfoRecord(PackageSettings()), "4| | | |NO|NONE|END");
}

TEST(PackageRecord, LargestRecordIs1808CharactersAndLongerTextsAreCut)
{
    PackageSettings settings;
    settings.gridSize = 9999;
    settings.companyName = std::string(300, 'c');
    settings.webSite = std::string(254, 's');
    settings.tagLine = std::string(255, 't');
    settings.shuffle = true;
    settings.winAddress = std::string(2000, 'w');
    std::string record = ComposePackageInfoRecord(settings);
    EXPECT_EQ(record.size(), 1808u);
    EXPECT_EQ(record, "9999|" + std::string(254, 'c') + "|" + std::string(254, 's') + "|" +
                          std::string(254, 't') + "|YES|HTTP://" + std::string(1023, 'w') + "|END");
}

TEST(PackageRecord, FieldsAreWrittenAsTypedWithoutEscaping)
{
    PackageSettings settings;
    settings.gridSize = -12;
    settings.companyName = "Acme & Co";
    settings.webSite = "acme.example";
    settings.tagLine = "fast|cheap";
    settings.shuffle = true;
    settings.winAddress = "http://acme.example/won";
    std::string record = ComposePackageInfoRecord(settings);
    EXPECT_EQ(record, "-12|Acme & Co|acme.example|fast|cheap|YES|http://acme.example/won|END");
    size_t separators = 0;
    for (char c : record)
        separators += c == '|';
    EXPECT_EQ(separators, 7u);
}

TEST(PackageRecord, HighBytesPassThroughUnchanged)
{
    PackageSettings settings;
    settings.companyName = "Caf\xE9 M\xFCller";
    std::string record = ComposePackageInfoRecord(settings);
    EXPECT_EQ(record, "4|Caf\xE9 M\xFCller| | |NO|NONE|END");
}

TEST(PackageRecord, TextsCutAtTheirLimitKeepWholeUtf8Characters)
{
    // 253 ASCII bytes then a two-byte character: byte 254 would be its first half.
    PackageSettings settings;
    settings.companyName = std::string(253, 'c') + "\xC3\xA9";
    settings.webSite = std::string(251, 's') + "\xE2\x98\x95";  // fits exactly
    settings.tagLine = "\xE6\x97\xA5" + std::string(252, 't');  // one byte over
    settings.winAddress = "http://x/" + std::string(1012, 'w') + "\xF0\x9F\x98\x80";
    std::string record = ComposePackageInfoRecord(settings);
    EXPECT_EQ(record, "4|" + std::string(253, 'c') + "|" + std::string(251, 's') +
                          "\xE2\x98\x95|\xE6\x97\xA5" + std::string(251, 't') + "|NO|http://x/" +
                          std::string(1012, 'w') + "|END");
}

TEST(WinAddress, EmptyOrBareSchemeMeansNone)
{
    EXPECT_EQ(NormaliseWinAddress(""), "NONE");
    EXPECT_EQ(NormaliseWinAddress("http://"), "NONE");
    EXPECT_EQ(NormaliseWinAddress("HTTP://"), "NONE");
    EXPECT_EQ(NormaliseWinAddress("Http://"), "NONE");
    EXPECT_EQ(NormaliseWinAddress("https://"), "NONE");
    EXPECT_EQ(NormaliseWinAddress("HTTPS://"), "NONE");
}

TEST(WinAddress, TextWithAPlainSchemeAnywhereIsKept)
{
    EXPECT_EQ(NormaliseWinAddress("http://example.com/"), "http://example.com/");
    EXPECT_EQ(NormaliseWinAddress("see HTTP://example.com"), "see HTTP://example.com");
    EXPECT_EQ(NormaliseWinAddress("x http://"), "x http://");
}

TEST(WinAddress, SecureAndMixedCaseSchemesAreKept)
{
    EXPECT_EQ(NormaliseWinAddress("https://example.com/"), "https://example.com/");
    EXPECT_EQ(NormaliseWinAddress("Http://example.com/"), "Http://example.com/");
    EXPECT_EQ(NormaliseWinAddress("HTTPS://EXAMPLE.COM"), "HTTPS://EXAMPLE.COM");
    EXPECT_EQ(NormaliseWinAddress("go to hTtPs://x.org"), "go to hTtPs://x.org");
}

TEST(WinAddress, OtherTextGetsTheSchemeInFront)
{
    EXPECT_EQ(NormaliseWinAddress("example.com"), "HTTP://example.com");
    EXPECT_EQ(NormaliseWinAddress("ftp://example.com"), "HTTP://ftp://example.com");
    EXPECT_EQ(NormaliseWinAddress("http:/example.com"), "HTTP://http:/example.com");
    EXPECT_EQ(NormaliseWinAddress("x"), "HTTP://x");
    EXPECT_EQ(NormaliseWinAddress(" "), "HTTP:// ");
}

TEST(WinAddress, SeparatorsAreWrittenAsPercent7CAndCutOnlyBetweenEscapes)
{
    EXPECT_EQ(NormaliseWinAddress("https://a.example/?x=1|NO|https://b.example/"),
              "https://a.example/?x=1%7CNO%7Chttps://b.example/");
    EXPECT_EQ(NormaliseWinAddress("a.example/|YES|"), "HTTP://a.example/%7CYES%7C");
    EXPECT_EQ(NormaliseWinAddress("|"), "HTTP://%7C");
    EXPECT_EQ(NormaliseWinAddress("http://x/%7C"), "http://x/%7C");  // already written so: kept

    // 1023 typed characters ending in "|"s grow to at most the field's 1030:
    // as many whole "%7C" as fit, never a part of one.
    const struct {
        size_t bars, escapes;
    } rows[] = {{1, 1}, {3, 3}, {4, 3}, {400, 135}};
    for (const auto& row : rows) {
        const std::string typed = "http://x/" + std::string(1014 - row.bars, 'w') + std::string(row.bars, '|');
        std::string written = typed.substr(0, 1023 - row.bars);
        for (size_t i = 0; i < row.escapes; ++i)
            written += "%7C";
        EXPECT_EQ(NormaliseWinAddress(typed), written) << row.bars;
    }
    // Nor a UTF-8 character: four "|" and a three-byte character at the end.
    const std::string typed = "HTTP://" + std::string(1009, 'a') + "||||\xE2\x98\x95";
    ASSERT_EQ(typed.size(), 1023u);
    EXPECT_EQ(NormaliseWinAddress(typed), "HTTP://" + std::string(1009, 'a') + "%7C%7C%7C%7C");
}

TEST(WinAddress, TextIsCutTo1023CharactersFirst)
{
    // A scheme that starts beyond the 1023rd character is not seen.
    std::string typed = std::string(1020, 'a') + "http://b";
    EXPECT_EQ(NormaliseWinAddress(typed), "HTTP://" + std::string(1020, 'a') + "htt");
    std::string kept = "http://" + std::string(1100, 'z');
    EXPECT_EQ(NormaliseWinAddress(kept), kept.substr(0, 1023));
}

}  // namespace

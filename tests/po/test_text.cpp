// The texts' runtime: placeholders filled in order and never past the values
// given, plural forms by each language's rule, and the player's composed
// texts (status line, end message, grid notice) in several languages of the
// catalogue, the pseudo-language among them.
#include <gtest/gtest.h>

#include <string>

#include "player_layout.h"
#include "score_texts.h"
#include "vn_catalogue.h"
#include "vn_text.h"
#include "vn_tr.h"

namespace {

TEST(TextFormat, FillsPlaceholdersInOrderAndNeverPastTheValues)
{
    struct Row {
        const char* pattern;
        std::string expected;
    };
    const std::string name = "Caf\xc3\xa9";
    const Row rows[] = {
        {"Moves: %d    Time: %s", "Moves: 12    Time: Caf\xc3\xa9"},
        {"%d%%", "12%"},
        {"%s%d", "12Caf\xc3\xa9"},        // values go in order, whatever the kind
        {"%u of %d", "12 of Caf\xc3\xa9"},   // kinds are not checked: text never leaks memory
        {"%d %d %d", "12 Caf\xc3\xa9 %d"},   // a third placeholder without a value stays
        {"%x %5d %", "%x %5d %"},            // other conversions are left as they stand
        {"", ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.expected, VnFormat(row.pattern, {12, name})) << row.pattern;
    EXPECT_EQ("a %s b", VnFormat("a %s b", {}));
    EXPECT_EQ("4294967295 -7 x", VnFormat("%u %d %s", {4294967295ul, -7, "x"}));
}

// The player's texts in the language tag, composed as the player composes them.
class PlayerTexts : public ::testing::Test {
protected:
    void TearDown() override { VnUseCatalogueLanguage(nullptr, nullptr); }
    void Use(const char* tag)
    {
        VnUseCatalogueLanguage(&VnProgramCatalogue, tag);
        ASSERT_NE(nullptr, VnCatalogueFindLanguage(VnProgramCatalogue, tag)) << tag;
    }
};

TEST_F(PlayerTexts, EnglishByDefault)
{
    EXPECT_EQ("Press F2 to shuffle", Tr("Press F2 to shuffle"));
    EXPECT_EQ("1 of 15 tiles in place",
              VnFormat(TrN("%d of %d tile in place", "%d of %d tiles in place", 15), {1, 15}));
    EXPECT_EQ("Solved in 1 move, 0:09", StatusLine(false, true, false, 1, 9));
    EXPECT_STREQ("en", VnProgramCatalogue.languages[0].tag);
}

TEST_F(PlayerTexts, PluralFormsFollowEachLanguage)
{
    Use("ru");
    const char* ru[] = {"\xd0\xa0\xd0\xb5\xd1\x88\xd0\xb5\xd0\xbd\xd0\xbe \xd0\xb7\xd0\xb0 1 \xd1\x85\xd0\xbe\xd0\xb4, 0:05",      // ход
                        "\xd0\xa0\xd0\xb5\xd1\x88\xd0\xb5\xd0\xbd\xd0\xbe \xd0\xb7\xd0\xb0 3 \xd1\x85\xd0\xbe\xd0\xb4\xd0\xb0, 0:05",  // хода
                        "\xd0\xa0\xd0\xb5\xd1\x88\xd0\xb5\xd0\xbd\xd0\xbe \xd0\xb7\xd0\xb0 11 \xd1\x85\xd0\xbe\xd0\xb4\xd0\xbe\xd0\xb2, 0:05",  // ходов
                        "\xd0\xa0\xd0\xb5\xd1\x88\xd0\xb5\xd0\xbd\xd0\xbe \xd0\xb7\xd0\xb0 21 \xd1\x85\xd0\xbe\xd0\xb4, 0:05"};
    const unsigned counts[] = {1, 3, 11, 21};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ru[i], StatusLine(false, true, false, counts[i], 5)) << counts[i];

    Use("pl");
    EXPECT_NE(std::string::npos, StatusLine(false, true, false, 1, 5).find(" ruchu,"));
    EXPECT_NE(std::string::npos, StatusLine(false, true, false, 22, 5).find(" ruchach,"));
    EXPECT_NE(std::string::npos, StatusLine(false, true, false, 25, 5).find(" ruchach,"));

    // French takes the singular for 0 too; German does not.
    Use("fr");
    EXPECT_EQ("R\xc3\xa9solu en 0 coup, 0:00", StatusLine(false, true, false, 0, 0));
    EXPECT_EQ("R\xc3\xa9solu en 2 coups, 0:00", StatusLine(false, true, false, 2, 0));
    Use("de");
    EXPECT_EQ("Gel\xc3\xb6st in 0 Z\xc3\xbcgen, 0:00", StatusLine(false, true, false, 0, 0));
    EXPECT_EQ("Gel\xc3\xb6st in 1 Zug, 0:00", StatusLine(false, true, false, 1, 0));
    // Japanese has one form.
    Use("ja");
    EXPECT_EQ(StatusLine(false, true, false, 1, 0).substr(0, 9), StatusLine(false, true, false, 7, 0).substr(0, 9));
}

TEST_F(PlayerTexts, MessagesAndNoticesInOtherLanguagesKeepTheirValues)
{
    BestResult best = MergeBest(BestResult(), 138, 202);
    PlayerLayout reduced = ComputePlayerLayout(819, 819, 1280, 1024, 9999);
    for (const char* tag : {"de", "fr", "es", "it", "pt-BR", "nl", "pl", "ru", "tr", "ja", "zh-CN", "ko",
                            "qps-ploc"}) {
        Use(tag);
        const std::string message = FinishMessage(160, 3725, true, best);
        EXPECT_NE(std::string::npos, message.find("160")) << tag << ": " << message;
        EXPECT_NE(std::string::npos, message.find("1:02:05")) << tag;
        EXPECT_NE(std::string::npos, message.find("138")) << tag;
        EXPECT_NE(std::string::npos, message.find("3:22")) << tag;
        EXPECT_EQ(4, std::count(message.begin(), message.end(), '\n')) << tag;
        EXPECT_EQ(std::string::npos, message.find("Play again")) << tag;
        const std::string notice = GridNotice(reduced);
        EXPECT_NE(std::string::npos, notice.find("9999")) << tag;
        EXPECT_NE(std::string::npos, notice.find("51")) << tag;
        EXPECT_NE(std::string::npos, notice.find("16")) << tag;
        EXPECT_EQ(std::string::npos, notice.find('%')) << tag;
        EXPECT_EQ(std::string::npos, StatusLine(false, false, false, 7, 61).find('%')) << tag;
    }
    Use("qps-ploc");
    EXPECT_EQ("[\xc3\x9e\xc5\x95\xc3\xa9\xc5\x9d\xc5\x9d \xc6\x91" "2 \xc5\xa3\xc3\xb6 \xc5\x9d\xc4\xa5\xc3\xbb\xc6\x92\xc6\x92\xc4\xbc\xc3\xa9 !!!!!]",
              StatusLine(true, false, false, 0, 0));  // "[Þŕéŝŝ Ƒ2 ţö ŝĥûƒƒļé !!!!!]"
}

}  // namespace

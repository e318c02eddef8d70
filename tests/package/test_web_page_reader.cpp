// Reading web page puzzles back: the settings block and the picture block
// found by their ids however the markup around them is written, and every
// hostile page refused with the one text of its cause.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base64_text.h"
#include "package_test_util.h"
#include "web_page_reader.h"
#include "web_page_settings.h"

namespace {

const char SettingsTag[] = "<script type=\"application/json\" id=\"vornix-settings\">";
const char PictureTag[] = "<script type=\"application/octet-stream\" id=\"vornix-picture\">";

WebPageSettings Typical()
{
    WebPageSettings s;
    s.grid = 5;
    s.shuffle = true;
    s.winUrl = "https://acme.example/won";
    s.company = "Acme";
    s.site = "acme.example";
    s.tagline = "Slide & win";
    s.pictureType = "image/gif";
    s.pictureWidth = 640;
    s.pictureHeight = 480;
    s.bestKey = "0123456789abcdef";
    return s;
}

// "GIF89a" in base64.
const char PictureText[] = "R0lGODlh";

std::string PageWith(const std::string& json, const std::string& picture = PictureText)
{
    return std::string("<!DOCTYPE html>\n<html><head><title>Vornix Puzzle</title></head><body>\n") +
           SettingsTag + json + "</script>\n" + PictureTag + picture + "</script>\n</body></html>\n";
}

// The typical settings with one member's value replaced by this JSON text
// (a member they do not have is put first).
std::string JsonWith(const std::string& name, const std::string& value)
{
    const std::string json = ComposeWebSettings(Typical());
    const std::string key = "\"" + name + "\": ";
    const size_t at = json.find(key);
    if (at == std::string::npos)
        return "{" + key + value + ", " + json.substr(1);
    const size_t from = at + key.size();
    // A value the writer wrote ends at the next "," or "}" outside a text.
    const size_t end = json[from] == '"' ? json.find('"', from + 1) + 1 : json.find_first_of(",}", from);
    return json.substr(0, from) + value + json.substr(end);
}

WebPageStatus Read(const std::string& page, WebPageContents& contents)
{
    return ReadWebPage(reinterpret_cast<const uint8_t*>(page.data()), page.size(), contents);
}

TEST(WebPageReader, FindsTheBlocksByTheirIdsHoweverTheMarkupIsWritten)
{
    const std::string json = ComposeWebSettings(Typical());
    const std::string pictureBlock = std::string(PictureTag) + PictureText + "</script>";
    const struct {
        const char* what;
        std::string page;
    } rows[] = {
        {"as written", PageWith(json)},
        {"upper case, other attribute order",
         "<SCRIPT ID=\"vornix-settings\" TYPE=\"application/json\">" + json + "</SCRIPT >" + pictureBlock},
        {"single-quoted and bare ids", "<script id='vornix-settings'>" + json +
                                           "</script><script type=application/octet-stream id=vornix-picture>" +
                                           PictureText + "</script>"},
        {"picture first", pictureBlock + SettingsTag + json + "</script>"},
        {"decoys in a comment, a script and a style",
         "<!-- <script id=\"vornix-settings\">{}</script> --><script>var t = '<script id=\"vornix-picture\">';"
         "</script><style>/* <script id=\"vornix-settings\"> */</style>" +
             PageWith(json)},
        {"a longer id and an id-like attribute do not count",
         "<script id=\"vornix-settings-old\">[]</script><script data-id=\"vornix-settings\">[]</script>" +
             PageWith(json)},
        {"the first id of a tag counts", "<script id=\"vornix-settings\" id=\"x\">" + json + "</script>" + pictureBlock},
        {"white space in the picture", PageWith(json, "R0lG\n  ODlh\r\n")},
    };
    for (const auto& row : rows) {
        WebPageContents contents;
        ASSERT_EQ(WebPageOk, Read(row.page, contents)) << row.what << ": " << (contents.failure ? contents.failure : "");
        EXPECT_EQ(json, contents.settingsText) << row.what;
        EXPECT_EQ(json, ComposeWebSettings(contents.settings)) << row.what << ": every member read";
        EXPECT_EQ(std::string("GIF89a"), std::string(contents.picture.begin(), contents.picture.end())) << row.what;
        EXPECT_EQ(row.page.size(), contents.pageLength) << row.what;
    }
    WebPageContents contents;
    EXPECT_EQ(WebPageDamaged, ReadWebPageFile("/no/such/folder/page.html", contents));
    EXPECT_STREQ("cannot open file", contents.failure);
}

TEST(WebPageReader, HostilePagesAreRefusedWithTheirCause)
{
    const std::string json = ComposeWebSettings(Typical());
    std::string deep = "[";
    for (int i = 0; i < 20; ++i)
        deep += "[";
    const struct {
        const char* what;
        std::string page;
        const char* failure;
    } rows[] = {
        {"empty", "", "no puzzle settings in the page"},
        {"no settings", std::string(PictureTag) + PictureText + "</script>", "no puzzle settings in the page"},
        {"settings only in a comment", "<!--" + PageWith(json) + "-->", "no puzzle settings in the page"},
        {"comment never closed", "<!-- " + PageWith(json), "no puzzle settings in the page"},
        {"settings tag never closed", "<script id=\"vornix-settings\"", "the settings block is not closed"},
        {"settings never closed", SettingsTag + json, "the settings block is not closed"},
        {"settings too long", PageWith(std::string(70000, ' ') + json), "settings too long"},
        {"settings empty", PageWith(""), "settings are not a JSON object"},
        {"an array", PageWith("[1, 2]"), "settings are not a JSON object"},
        {"cut short", PageWith(json.substr(0, json.size() - 1)), "settings are not valid JSON"},
        {"trailing text", PageWith(json + " x"), "settings are not valid JSON"},
        {"a raw control character", PageWith(JsonWith("company", "\"A\tB\"")), "settings are not valid JSON"},
        {"an unknown escape", PageWith(JsonWith("company", "\"A\\qB\"")), "settings are not valid JSON"},
        {"a broken \\u escape", PageWith(JsonWith("company", "\"\\u12G4\"")), "settings are not valid JSON"},
        {"a bad number", PageWith(JsonWith("grid", "-")), "settings are not valid JSON"},
        {"a leading zero", PageWith(JsonWith("grid", "04")), "settings are not valid JSON"},
        {"a bad word", PageWith(JsonWith("shuffle", "ture")), "settings are not valid JSON"},
        {"nested too deeply", PageWith(JsonWith("extra", deep)), "settings nest too deeply"},
        {"no best key (the last member)", PageWith(json.substr(0, json.rfind(", \"bestKey\"")) + "}"),
         "settings lack bestKey"},
        {"no grid", PageWith("{\"version\": 1}"), "settings lack grid"},
        {"grid as text", PageWith(JsonWith("grid", "\"4\"")), "settings: grid is not a whole number"},
        {"grid with a fraction", PageWith(JsonWith("grid", "4.5")), "settings: grid is not a whole number"},
        {"grid with an exponent", PageWith(JsonWith("grid", "1e1")), "settings: grid is not a whole number"},
        {"grid past an int", PageWith(JsonWith("grid", "2147483648")), "settings: grid is not a whole number"},
        {"negative width", PageWith(JsonWith("pictureWidth", "-1")), "settings: pictureWidth is not a whole number"},
        {"width past 32 bits", PageWith(JsonWith("pictureWidth", "4294967296")),
         "settings: pictureWidth is not a whole number"},
        {"shuffle as a number", PageWith(JsonWith("shuffle", "1")), "settings: shuffle is not true or false"},
        {"company as null", PageWith(JsonWith("company", "null")), "settings: company is not a text"},
        {"win address as an object", PageWith(JsonWith("winUrl", "{}")), "settings: winUrl is not a text"},
        {"a later bad value counts", PageWith(JsonWith("grid", "4, \"grid\": true")),
         "settings: grid is not a whole number"},
        {"another version", PageWith(JsonWith("version", "2")), "settings are of an unknown version"},
        {"a bitmap type", PageWith(JsonWith("pictureType", "\"image/bmp\"")), "settings name an unknown picture type"},
        {"no picture", std::string(SettingsTag) + json + "</script>", "no picture in the page"},
        {"picture never closed", std::string(SettingsTag) + json + "</script>" + PictureTag + PictureText,
         "the picture block is not closed"},
        {"not base64", PageWith(json, "R0l*ODlh"), "not base64 text"},
        {"data after padding", PageWith(json, "QQ==QQ=="), "base64 text continues after its padding"},
        {"too much padding", PageWith(json, "QQ==="), "base64 padding is wrong"},
        {"padding in the wrong place", PageWith(json, "QQQ=="), "base64 padding is wrong"},
        {"one character too many", PageWith(json, "R0lGODlhQ"), "base64 text is cut short"},
        {"an empty picture", PageWith(json, " \n"), "the picture is empty"},
    };
    for (const auto& row : rows) {
        WebPageContents contents;
        EXPECT_EQ(WebPageDamaged, Read(row.page, contents)) << row.what;
        EXPECT_STREQ(row.failure, contents.failure) << row.what;
        EXPECT_TRUE(contents.picture.empty()) << row.what;
        EXPECT_EQ(row.page.size(), contents.pageLength) << row.what;
    }
}

TEST(WebPageReader, SettingsTextsComeBackAsThePageShowsThem)
{
    const struct {
        const char* json;  // the company member's value
        const char* shown;
    } rows[] = {
        {"\"\\u003cb\\u003e \\u0026 \\\"q\\\" \\\\ \\/\"", "<b> & \"q\" \\ /"},
        {"\"\\b\\f\\n\\r\\t\"", "\b\f\n\r\t"},
        {"\"\\ud83d\\ude00 \\u00e9\\u4e2d\"", "\xf0\x9f\x98\x80 \xc3\xa9\xe4\xb8\xad"},
        {"\"lone \\ud83d and \\ude00 halves\"", "lone \xef\xbf\xbd and \xef\xbf\xbd halves"},
        {"\"high then high \\ud83d\\ud83d\\ude00\"", "high then high \xef\xbf\xbd\xf0\x9f\x98\x80"},
        {"\"raw \xc3\xa9 and \xff bytes\"", "raw \xc3\xa9 and \xef\xbf\xbd bytes"},
        // One U+FFFD for each piece a browser replaces: a cut sequence counts once.
        {"\"cut \xe3\x81" "a, lone \xe3" "a, surrogate \xed\xa0\x80\"",
         "cut \xef\xbf\xbd" "a, lone \xef\xbf\xbd" "a, surrogate \xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"},
        {"\"nul \\u0000 inside\"", nullptr},
    };
    for (const auto& row : rows) {
        WebPageSettings settings;
        ASSERT_EQ(nullptr, ParseWebSettings(JsonWith("company", row.json), settings)) << row.json;
        if (row.shown)
            EXPECT_EQ(row.shown, settings.company) << row.json;
        else
            EXPECT_EQ(std::string("nul \0 inside", 12), settings.company);
    }
    // Unknown members are skipped, whatever they hold; the last of two counts.
    WebPageSettings settings;
    ASSERT_EQ(nullptr, ParseWebSettings(JsonWith("grid", "6, \"later\": {\"a\": [1, {\"b\": null}]}, \"grid\": 7"),
                                        settings));
    EXPECT_EQ(7, settings.grid);
    // What the writer writes, the reader reads: every field.
    WebPageSettings typical = Typical();
    typical.shuffle = false;
    typical.winUrl.clear();
    typical.grid = -3;
    ASSERT_EQ(nullptr, ParseWebSettings(ComposeWebSettings(typical), settings));
    EXPECT_EQ(ComposeWebSettings(typical), ComposeWebSettings(settings));
}

TEST(Base64Text, EncodesInPiecesAndDecodesAsTheBrowserDoes)
{
    auto encode = [](const std::vector<uint8_t>& data) {
        std::string text;
        EXPECT_TRUE(Base64Encode(data.data(), data.size(), [&text](const char* t, size_t n) {
            text.append(t, n);
            return true;
        }));
        return text;
    };
    EXPECT_EQ("", encode({}));
    EXPECT_EQ("TQ==", encode({'M'}));
    EXPECT_EQ("TWE=", encode({'M', 'a'}));
    EXPECT_EQ("TWFu", encode({'M', 'a', 'n'}));
    EXPECT_EQ("+/8=", encode({0xFB, 0xFF}));
    // Around the piece size, every length comes back whole (and the page's
    // build sends a large picture through many pieces).
    for (size_t length : {12287u, 12288u, 12289u}) {
        const std::vector<uint8_t> data = pkgtest::Pattern(length, static_cast<unsigned>(length));
        const std::string text = encode(data);
        std::vector<uint8_t> back;
        EXPECT_EQ(nullptr, Base64Decode(text.data(), text.size(), back));
        EXPECT_EQ(data, back) << length;
    }
    // A sink that refuses stops the encoding.
    int pieces = 0;
    const std::vector<uint8_t> big(200000, 7);
    EXPECT_FALSE(Base64Encode(big.data(), big.size(), [&pieces](const char*, size_t) { return ++pieces < 2; }));
    EXPECT_EQ(2, pieces);

    // Decoding as atob does, beyond what the page reader's rows show.
    std::vector<uint8_t> out;
    EXPECT_EQ(nullptr, Base64Decode("TWE", 3, out));
    EXPECT_EQ((std::vector<uint8_t>{'M', 'a'}), out);
    EXPECT_EQ(nullptr, Base64Decode("TR==", 4, out)) << "left-over bits are dropped, as atob drops them";
    EXPECT_EQ((std::vector<uint8_t>{'M'}), out);
    EXPECT_STREQ("not base64 text", Base64Decode("TW\vu", 4, out)) << "vertical tab is no space to atob";
}

}  // namespace

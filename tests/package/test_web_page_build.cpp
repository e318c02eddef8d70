// Building a web page puzzle through BuildTarget: each kind of picture as the
// page carries it, the settings with hostile texts, the win addresses a page
// takes and refuses, the page's size, and the way back through the reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../image/bmp_bytes.h"
#include "../image/picture_bytes.h"
#include "../image/png_pixels.h"
#include "base64_text.h"
#include "package_build.h"
#include "package_record.h"
#include "puzzle_key.h"
#include "test_stub.h"
#include "web_page_reader.h"
#include "web_page_test_util.h"
#include "web_page_writer.h"

namespace {

using pkgtest::Bytes;
using pkgtest::Exists;
using pkgtest::ReadFileBytes;
using pkgtest::WriteAll;
using webtest::Text;

typedef std::vector<std::string> Texts;

const char WinAddressError[] = "Error - the win address of a web page must start with http:// or https://.";

class WebPageBuildTest : public pkgtest::ScratchTest {
protected:
    void SetUp() override
    {
        ScratchTest::SetUp();
        request.targetPath = Path("puzzle.html");
        request.picturePath = Path("picture");
        request.stubPath = Path("no-stub.exe");  // a page reads no stub: there is none
        request.settings.gridSize = 4;
        request.settings.shuffle = true;
        request.settings.companyName = "Acme";
        request.settings.winAddress = "https://acme.example/won";
    }

    TargetBuildResult Build(const Bytes& picture)
    {
        WriteAll(request.picturePath, picture);
        texts.clear();
        failure = TargetBuildFailure();
        return BuildTarget(request, [this](const char* text) { texts.push_back(text); }, &failure);
    }

    // Reads the page back; the settings block of the file too.
    void ReadBack()
    {
        page = Text(ReadFileBytes(request.targetPath));
        ASSERT_EQ(WebPageOk, ReadWebPageFile(request.targetPath.c_str(), contents))
            << (contents.failure ? contents.failure : "");
        json = webtest::SettingsBlock(page);
    }

    TargetBuildRequest request;
    Texts texts;
    TargetBuildFailure failure;
    std::string page, json;
    WebPageContents contents;
};

Bytes Bitmap565(int32_t width, int32_t height)
{
    using namespace bmptest;
    bmptest::Bytes info = InfoHeader(width, height, 16, 3);
    info.u32(0xF800).u32(0x07E0).u32(0x001F);
    bmptest::Bytes pixels;
    pixels.add(vntest::PatternBytes(RowBytes(width, 16) * static_cast<size_t>(height), 11));
    bmptest::Bytes file = BmpFile(info, bmptest::Bytes(), pixels);
    return Bytes(file.begin(), file.end());
}

TEST_F(WebPageBuildTest, EachPictureKindGoesInAsThePageCanShowIt)
{
    std::string head, tail;
    webtest::TemplateEnds(&head, &tail);
    Bytes jpeg = picturetest::WithExifOrientation(picturetest::JpegHead(40, 30), 6);
    jpeg.insert(jpeg.end(), {0xFF, 0xD9});
    const Bytes tiff = webtest::RgbTiff(3, 2, [](int x, int top, uint8_t* rgb) {
        rgb[0] = static_cast<uint8_t>(40 * x + 1);
        rgb[1] = static_cast<uint8_t>(100 * top + 2);
        rgb[2] = static_cast<uint8_t>(x * top * 60 + 3);
    });
    const struct Row {
        const char* what;
        Bytes file;
        const char* type;
        uint32_t width, height;  // upright
        bool converted;
    } rows[] = {
        {"JPEG, Exif orientation 6", jpeg, "image/jpeg", 30, 40, false},
        {"PNG with alpha", picturetest::PngHead(5, 3, 8, 6), "image/png", 5, 3, false},
        {"GIF", picturetest::GifHead(7, 2), "image/gif", 7, 2, false},
        {"16-bit bitmap", Bitmap565(5, 3), "image/png", 5, 3, true},
#ifdef _WIN32
        {"TIFF", tiff, "image/png", 3, 2, true},
#endif
    };
    for (const Row& row : rows) {
        ASSERT_EQ(TargetBuildDone, Build(row.file)) << row.what << ": " << (texts.empty() ? "" : texts.back());
        Texts expected = {"Open Picture File..", "Writing Web Page...", "Done."};
        if (row.converted)
            expected.insert(expected.begin() + 1, "Converting Picture...");
        EXPECT_EQ(expected, texts) << row.what;
        ReadBack();
        EXPECT_EQ(0u, page.compare(0, head.size(), head)) << row.what;
        EXPECT_EQ(0u, page.compare(page.size() - tail.size(), tail.size(), tail)) << row.what;

        const WebPageSettings& s = contents.settings;
        EXPECT_EQ(row.type, s.pictureType) << row.what;
        EXPECT_EQ(row.width, s.pictureWidth) << row.what;
        EXPECT_EQ(row.height, s.pictureHeight) << row.what;
        EXPECT_EQ(4, s.grid);
        EXPECT_TRUE(s.shuffle);
        EXPECT_EQ("Acme", s.company);
        EXPECT_EQ("", s.site) << "an empty text is empty, never \" \"";
        EXPECT_EQ("https://acme.example/won", s.winUrl);
        Bytes copy = row.file;
        copy.resize(copy.size() + 8);
        EXPECT_EQ(PackagePuzzleKey(copy.data(), static_cast<uint32_t>(row.file.size()),
                                   ComposePackageInfoRecord(request.settings)),
                  s.bestKey)
            << row.what;
        // The picture block is plain base64 of what the page shows.
        const std::string block = webtest::PictureBlock(page);
        EXPECT_EQ(Base64Length(contents.picture.size()), block.size()) << row.what;
        EXPECT_EQ(std::string::npos, block.find_first_not_of(
                                         "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="))
            << row.what;

        if (!row.converted) {
            EXPECT_EQ(row.file, contents.picture) << row.what << ": the file's own bytes";
            continue;
        }
        const std::vector<std::string> chunks = pngtest::ChunkTypes(contents.picture);
        EXPECT_EQ(chunks.end(), std::find(chunks.begin(), chunks.end(), "gAMA")) << row.what;
        EXPECT_EQ(chunks.end(), std::find(chunks.begin(), chunks.end(), "cHRM")) << row.what;
        pngtest::Pixels shown;
        ASSERT_TRUE(pngtest::DecodePng(contents.picture, shown)) << row.what;
        const pngtest::Pixels decoded = pngtest::PixelsOf(row.file);
        EXPECT_EQ(decoded.width, shown.width) << row.what;
        EXPECT_EQ(decoded.height, shown.height) << row.what;
        EXPECT_EQ(decoded.rgb, shown.rgb) << row.what << ": pixels exact";
    }
#ifdef _WIN32
    // The TIFF's own values, not just the decoder's agreement with itself.
    ASSERT_EQ(TargetBuildDone, Build(tiff));
    ReadBack();
    pngtest::Pixels shown;
    ASSERT_TRUE(pngtest::DecodePng(contents.picture, shown));
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3, 41, 2, 3, 81, 2, 3, 1, 102, 3, 41, 102, 63, 81, 102, 123}), shown.rgb);
#else
    // Natively only bitmaps are decoded: a TIFF cannot become a page here,
    // and the page of the row before stays as it was.
    const Bytes before = ReadFileBytes(request.targetPath);
    EXPECT_EQ(TargetBuildFailed, Build(tiff));
    EXPECT_EQ((Texts{"Open Picture File..", "Converting Picture...", "Error - picture is not a supported image."}),
              texts);
    EXPECT_EQ(request.picturePath, failure.path);
    EXPECT_EQ("TIFF pictures can be decoded only on Windows", failure.reason);
    EXPECT_EQ(before, ReadFileBytes(request.targetPath));
#endif
}

TEST_F(WebPageBuildTest, HostileTextsStayTextInTheSettingsBlock)
{
    request.settings.companyName = "Acme <b>&amp; \"quoted\" 'single' \\ back";
    request.settings.webSite = "</script><script>alert(1)</script><!--";
    request.settings.tagLine = std::string("line\nbreak\ttab\x01\x1f\x7f C1:\xc2\x85 LS:\xe2\x80\xa8 pipe|bad:\xff end");
    request.settings.winAddress = "https://example.com/?a=<b>&c=\"d\"";
    ASSERT_EQ(TargetBuildDone, Build(picturetest::GifHead(2, 2)));
    ReadBack();

    // Nothing in the block can end it, open markup or break a line.
    ASSERT_FALSE(json.empty());
    for (char c : json) {
        EXPECT_TRUE(c != '<' && c != '>' && c != '&') << json;
        EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) << json;
    }
    EXPECT_EQ(std::string::npos, json.find("\xc2\x85"));
    EXPECT_EQ(std::string::npos, json.find("\xe2\x80\xa8"));
    EXPECT_NE(std::string::npos, json.find("\\u003c/script\\u003e"));
    EXPECT_NE(std::string::npos, json.find("\\\"quoted\\\""));
    EXPECT_NE(std::string::npos, json.find("\\u0001"));

    // And every text comes back as typed; the one malformed byte as U+FFFD.
    const WebPageSettings& s = contents.settings;
    EXPECT_EQ(request.settings.companyName, s.company);
    EXPECT_EQ(request.settings.webSite, s.site);
    EXPECT_EQ(std::string("line\nbreak\ttab\x01\x1f\x7f C1:\xc2\x85 LS:\xe2\x80\xa8 pipe|bad:\xef\xbf\xbd end"),
              s.tagline);
    EXPECT_EQ(request.settings.winAddress, s.winUrl);
}

TEST_F(WebPageBuildTest, TextsAreCutAsTheRecordCutsThem)
{
    // 253 ASCII bytes and a two-byte character that would end at 255: the
    // record keeps 253 bytes, and so does the page.
    request.settings.companyName = std::string(253, 'c') + "\xc3\xa9";
    request.settings.tagLine = " ";
    ASSERT_EQ(TargetBuildDone, Build(picturetest::GifHead(2, 2)));
    ReadBack();
    EXPECT_EQ(std::string(253, 'c'), contents.settings.company);
    EXPECT_EQ("", contents.settings.tagline) << "a lone space is the record's empty field";
}

TEST_F(WebPageBuildTest, WinAddressesAPageTakesAndRefuses)
{
    const struct {
        const char* typed;
        const char* opened;  // null: refused
    } rows[] = {
        {"", ""},
        {"http://", ""},
        {"HTTPS://", ""},
        {"acme.example/won", "http://acme.example/won"},
        {"HTTPS://Acme.example/Won", "https://Acme.example/Won"},
        {"HtTp://acme.example", "http://acme.example"},
        {"ftp://files.example", "http://ftp://files.example"},  // as the program opens it
        {"javascript:alert('http://x')", nullptr},
        {" http://acme.example", nullptr},
        {"mailto:a@acme.example?body=https://x", nullptr},
    };
    const Bytes before = {'o', 'l', 'd'};
    for (const auto& row : rows) {
        WriteAll(request.targetPath, before);
        request.settings.winAddress = row.typed;
        const TargetBuildResult result = Build(picturetest::GifHead(2, 2));
        if (!row.opened) {
            EXPECT_EQ(TargetBuildFailed, result) << row.typed;
            EXPECT_EQ(Texts{WinAddressError}, texts) << row.typed << ": refused before anything is written";
            EXPECT_EQ(before, ReadFileBytes(request.targetPath)) << row.typed;
            EXPECT_EQ("", failure.path);
            EXPECT_STREQ(WinAddressError, RefuseWebPageSettings(request.settings));
            continue;
        }
        ASSERT_EQ(TargetBuildDone, result) << row.typed;
        ReadBack();
        EXPECT_EQ(row.opened, contents.settings.winUrl) << row.typed;
        EXPECT_EQ(nullptr, RefuseWebPageSettings(request.settings));
    }
}

TEST_F(WebPageBuildTest, TheTargetsNameChoosesItsKind)
{
    for (const char* page : {"a.html", "b.HTM", "c.Html", "d.htm", ".html", "dir.exe/e.html"})
        EXPECT_TRUE(IsWebPageTarget(page)) << page;
    for (const char* program : {"a.exe", "b.html.exe", "c.htmx", "d.hTmLl", "html", "e.xhtml.", ""})
        EXPECT_FALSE(IsWebPageTarget(program)) << program;

    // A program target with the same settings needs its stub, and a win
    // address that a page refuses is the program's to take.
    request.targetPath = Path("puzzle.EXE");
    request.settings.winAddress = "mailto:a@acme.example?body=https://x";
    EXPECT_EQ(TargetBuildFailed, Build(picturetest::GifHead(2, 2)));
    EXPECT_EQ("Error - could not open stub.", texts.back());
    WriteAll(request.stubPath, vntest::PeStubBytes(0x300));
    EXPECT_EQ(TargetBuildDone, Build(picturetest::GifHead(2, 2)));
    EXPECT_EQ("Creating stub...", texts.front());

    request.targetPath = Path("puzzle.HTM");
    request.settings.winAddress = "";
    ASSERT_EQ(TargetBuildDone, Build(picturetest::GifHead(2, 2)));
    ReadBack();
    EXPECT_EQ(0u, page.find("<!DOCTYPE html>"));
}

TEST_F(WebPageBuildTest, FailuresLeaveNoPageAndNameTheCause)
{
    const Bytes before = {'o', 'l', 'd'};
    WriteAll(request.targetPath, before);

    EXPECT_EQ(TargetBuildFailed, Build(pkgtest::Pattern(300, 5)));
    EXPECT_EQ("Error - picture is not a supported image.", texts.back());
    EXPECT_EQ(request.picturePath, failure.path);
    EXPECT_EQ(before, ReadFileBytes(request.targetPath));

    EXPECT_EQ(TargetBuildFailed, Build(picturetest::PngHead(0, 5)));
    EXPECT_EQ("Error - picture is not a supported image.", texts.back());

    request.picturePath = Path("missing.gif");
    texts.clear();
    EXPECT_EQ(TargetBuildFailed, BuildTarget(request, [this](const char* t) { texts.push_back(t); }, &failure));
    EXPECT_EQ((Texts{"Open Picture File..", "Error - could not open picture file."}), texts);
    EXPECT_EQ(before, ReadFileBytes(request.targetPath));

    request.picturePath = Path("picture");
    request.allocate = [](size_t) -> void* { return nullptr; };
    EXPECT_EQ(TargetBuildFailed, Build(picturetest::GifHead(2, 2)));
    EXPECT_EQ("Error - not enough memory.", texts.back());
    EXPECT_EQ(before, ReadFileBytes(request.targetPath));
    EXPECT_EQ(2, std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()))
        << "the picture and the old target only: no temporary file is left";
}

TEST_F(WebPageBuildTest, ThePageStaysWithinThePicturesBase64And64KB)
{
    // The longest texts the form takes, each byte of them escaped six-fold.
    request.settings.companyName = std::string(254, '<');
    request.settings.webSite = std::string(254, '&');
    request.settings.tagLine = std::string(254, '\x01');
    request.settings.winAddress = "https://x/" + std::string(WinAddressLimit - 10, '>');
    request.settings.gridSize = 9999;
    Bytes picture = picturetest::JpegHead(4000, 3000);
    const Bytes body = pkgtest::Pattern(300001, 9);
    picture.insert(picture.end(), body.begin(), body.end());
    ASSERT_EQ(TargetBuildDone, Build(picture));
    ReadBack();
    EXPECT_EQ(picture, contents.picture);
    EXPECT_LE(page.size(), picture.size() * 4 / 3 + 4 + 65536);
    EXPECT_LE(json.size(), MaxWebSettingsLength);
    EXPECT_EQ(std::string(254, '<'), contents.settings.company);
    EXPECT_EQ(9999, contents.settings.grid);
}

// The template's two placeholders in either order; a template without each
// exactly once gives no page at all.
TEST(ComposeWebPage, FillsThePlaceholdersWhereverTheyStand)
{
    const uint8_t picture[] = {'M', 'a', 'n'};
    auto compose = [&](const std::string& text, std::string* out) {
        WebPageTemplate page;
        page.text = text.data();
        page.length = text.size();
        out->clear();
        return ComposeWebPage(page, "{}", picture, sizeof picture, [out](const char* t, size_t n) {
            out->append(t, n);
            return true;
        });
    };
    std::string out;
    EXPECT_EQ(WebPageComposed, compose("a@VORNIX_SETTINGS@b@VORNIX_PICTURE@c", &out));
    EXPECT_EQ("a{}bTWFuc", out);
    EXPECT_EQ(WebPageComposed, compose("@VORNIX_PICTURE@@VORNIX_SETTINGS@", &out));
    EXPECT_EQ("TWFu{}", out);
    for (const char* damaged : {"@VORNIX_PICTURE@ only", "@VORNIX_SETTINGS@ only", "",
                                "@VORNIX_SETTINGS@@VORNIX_PICTURE@@VORNIX_SETTINGS@",
                                "@VORNIX_SETTINGS@@VORNIX_PICTURE@@VORNIX_PICTURE@"}) {
        EXPECT_EQ(WebTemplateDamaged, compose(damaged, &out)) << damaged;
        EXPECT_EQ("", out) << damaged;
    }
    WebPageTemplate page;
    const std::string text = "a@VORNIX_SETTINGS@b@VORNIX_PICTURE@c";
    page.text = text.data();
    page.length = text.size();
    int calls = 0;
    EXPECT_EQ(WebSinkFailed, ComposeWebPage(page, "{}", picture, 3, [&calls](const char*, size_t) {
                  return ++calls < 3;
              }));
    EXPECT_EQ(3, calls) << "nothing more is written after a failed piece";
}

}  // namespace

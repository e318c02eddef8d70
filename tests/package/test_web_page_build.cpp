// Building a web page puzzle through BuildTarget: each kind of picture as the
// page carries it, with the key of the program built from the same file; the
// settings with hostile and over-long texts; the win addresses a page takes
// and refuses; the failures; the template's placeholders.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "../image/picture_bytes.h"
#include "../image/png_pixels.h"
#include "package_build.h"
#include "package_reader.h"
#include "package_test_util.h"
#include "puzzle_key.h"
#include "test_stub.h"
#include "web_page_reader.h"
#include "web_page_writer.h"

namespace {

using pkgtest::Bytes;
using pkgtest::ReadFileBytes;
using pkgtest::WriteAll;

typedef std::vector<std::string> Texts;

const char WinAddressError[] = "Error - the win address of a web page must start with http:// or https://.";

// A page composed from this template text into out, through a sink that
// fails at the piecesTaken-th piece.
WebComposeResult Compose(const std::string& text, const std::string& json, const Bytes& picture,
                         std::string* out, int piecesTaken = INT_MAX)
{
    WebPageTemplate page;
    page.text = text.data();
    page.length = text.size();
    out->clear();
    return ComposeWebPage(page, json, picture.data(), picture.size(), [&](const char* t, size_t n) {
        out->append(t, n);
        return --piecesTaken > 0;
    });
}

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

    // Reads the page back: the reader's view, and the page the program's
    // template makes of what the reader found, which must be the file itself.
    void ReadBack()
    {
        const Bytes file = ReadFileBytes(request.targetPath);
        page.assign(file.begin(), file.end());
        ASSERT_EQ(WebPageOk, ReadWebPageFile(request.targetPath.c_str(), contents))
            << (contents.failure ? contents.failure : "");
        WebPageTemplate embedded;
        ASSERT_TRUE(FindWebPageTemplate(&embedded));
        std::string composed;
        Compose(std::string(embedded.text, embedded.length), contents.settingsText, contents.picture, &composed);
        EXPECT_EQ(composed, page);
    }

    TargetBuildRequest request;
    Texts texts;
    TargetBuildFailure failure;
    std::string page;
    WebPageContents contents;
};

TEST_F(WebPageBuildTest, EachPictureKindGoesInAsThePageCanShowItUnderThePlayersKey)
{
    const Bytes stub = vntest::PeStubBytes(0x300);
    WriteAll(Path("stub.exe"), stub);
    Bytes jpeg = picturetest::WithExifOrientation(picturetest::JpegHead(40, 30), 6);
    jpeg.insert(jpeg.end(), {0xFF, 0xD9});
    Bytes gif = picturetest::GifHead(7, 2);
    gif.resize(16, 0);  // whole blocks of 8: nothing padded
    const Bytes tiff = picturetest::RgbTiff(3, 2, [](int x, int top, uint8_t* rgb) {
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
        std::vector<uint8_t> rgb;  // for a converted picture; empty: as the library decodes the file
    } rows[] = {
        {"JPEG, Exif orientation 6", jpeg, "image/jpeg", 30, 40, false, {}},
        {"PNG with alpha", picturetest::PngHead(5, 3, 8, 6), "image/png", 5, 3, false, {}},
        {"GIF", gif, "image/gif", 7, 2, false, {}},
        // 102 bytes: the player fills the last 6 from the row below.
        {"24-bit bitmap", vntest::Bmp24File(5, 3, [](int x, int top, uint8_t* bgr) {
             bgr[0] = static_cast<uint8_t>(x * 50);
             bgr[1] = static_cast<uint8_t>(top * 90 + x);
             bgr[2] = 7;
         }), "image/png", 5, 3, true, {}},
#ifdef _WIN32
        {"TIFF", tiff, "image/png", 3, 2, true, {1, 2, 3, 41, 2, 3, 81, 2, 3, 1, 102, 3, 41, 102, 63, 81, 102, 123}},
#endif
    };
    for (const Row& row : rows) {
        ASSERT_EQ(TargetBuildDone, Build(row.file)) << row.what << ": " << (texts.empty() ? "" : texts.back());
        Texts expected = {"Open Picture File..", "Writing Web Page...", "Done."};
        if (row.converted)
            expected.insert(expected.begin() + 1, "Converting Picture...");
        EXPECT_EQ(expected, texts) << row.what;
        ReadBack();
        const WebPageSettings& s = contents.settings;
        EXPECT_EQ(row.type, s.pictureType) << row.what;
        EXPECT_EQ(row.width, s.pictureWidth) << row.what;
        EXPECT_EQ(row.height, s.pictureHeight) << row.what;
        EXPECT_EQ(4, s.grid);
        EXPECT_TRUE(s.shuffle);
        EXPECT_EQ("Acme", s.company);
        EXPECT_EQ("", s.site) << "an empty text is empty, never \" \"";
        EXPECT_EQ("https://acme.example/won", s.winUrl);

        // The key the Windows player takes from the program of the same
        // picture and settings.
        TargetBuildRequest program = request;
        program.targetPath = Path("puzzle.exe");
        program.stubPath = Path("stub.exe");
        ASSERT_EQ(TargetBuildDone, BuildTarget(program, nullptr)) << row.what;
        const Bytes built = ReadFileBytes(program.targetPath);
        PackageContents unpacked;
        ASSERT_EQ(PackageOk, ReadPackageAfterStub(built.data(), built.size(), static_cast<uint32_t>(stub.size()),
                                                  unpacked));
        EXPECT_EQ(PuzzleKeyName(unpacked.picture.data(), unpacked.picture.size(), unpacked.recordText, 4, false),
                  s.bestKey)
            << row.what;

        if (!row.converted) {
            EXPECT_EQ(row.file, contents.picture) << row.what << ": the file's own bytes";
            continue;
        }
        pngtest::Pixels shown;
        ASSERT_TRUE(pngtest::DecodePng(contents.picture, shown)) << row.what;
        const pngtest::Pixels decoded = pngtest::PixelsOf(row.file);
        EXPECT_EQ(decoded.width, shown.width) << row.what;
        EXPECT_EQ(decoded.height, shown.height) << row.what;
        EXPECT_EQ(row.rgb.empty() ? decoded.rgb : row.rgb, shown.rgb) << row.what << ": pixels exact";
    }
#ifndef _WIN32
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

TEST_F(WebPageBuildTest, HostileLongestTextsStayTextAndThePageWithinThePicturesBase64And64KB)
{
    // Markup, quotes, controls, line separators and a malformed byte, each
    // text filled up to the longest the form takes with characters that the
    // settings escape six-fold; the company one two-byte character longer,
    // which the record (and so the page) leaves out whole.
    const std::string company = "Acme <b>&amp; \"quoted\" 'single' \\ back";
    const std::string site = "</script><script>alert(1)</script><!--";
    const std::string tagline = "line\nbreak\ttab\x01\x1f\x7f C1:\xc2\x85 LS:\xe2\x80\xa8 pipe|bad:";
    const std::string address = "https://example.com/?a=<b>&c=\"d\"";
    request.settings.companyName = company + std::string(253 - company.size(), '<') + "\xc3\xa9";
    request.settings.webSite = site + std::string(AboutTextLimit - site.size(), '&');
    request.settings.tagLine = tagline + "\xff" + std::string(253 - tagline.size(), '\x01');
    request.settings.winAddress = address + std::string(WinAddressLimit - address.size(), '>');
    request.settings.gridSize = 9999;
    Bytes picture = picturetest::JpegHead(4000, 3000);
    const Bytes body = pkgtest::Pattern(300001, 9);
    picture.insert(picture.end(), body.begin(), body.end());
    ASSERT_EQ(TargetBuildDone, Build(picture));
    ReadBack();
    EXPECT_EQ(picture, contents.picture);
    EXPECT_LE(page.size(), picture.size() * 4 / 3 + 4 + 65536);
    EXPECT_EQ(9999, contents.settings.grid);

    // Nothing in the block can end it, open markup or break a line.
    const std::string& json = contents.settingsText;
    EXPECT_LE(json.size(), MaxWebSettingsLength);
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
    EXPECT_EQ(request.settings.companyName.substr(0, 253), s.company);
    EXPECT_EQ(request.settings.webSite, s.site);
    EXPECT_EQ(tagline + "\xef\xbf\xbd" + std::string(253 - tagline.size(), '\x01'), s.tagline);
    EXPECT_EQ(request.settings.winAddress, s.winUrl);
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
        EXPECT_STREQ(row.opened ? nullptr : WinAddressError, RefuseWebPageSettings(request.settings)) << row.typed;
        if (!row.opened) {
            EXPECT_EQ(TargetBuildFailed, result) << row.typed;
            EXPECT_EQ(Texts{WinAddressError}, texts) << row.typed << ": refused before anything is written";
            EXPECT_EQ(before, ReadFileBytes(request.targetPath)) << row.typed;
            EXPECT_EQ("", failure.path);
            continue;
        }
        ASSERT_EQ(TargetBuildDone, result) << row.typed;
        ReadBack();
        EXPECT_EQ(row.opened, contents.settings.winUrl) << row.typed;
    }

    // A program target takes the address a page refuses.
    request.targetPath = Path("puzzle.EXE");
    WriteAll(request.stubPath, vntest::PeStubBytes(0x300));
    EXPECT_EQ(TargetBuildDone, Build(picturetest::GifHead(2, 2)));
    EXPECT_EQ("Creating stub...", texts.front());
}

TEST(WebPageTarget, TheTargetsNameChoosesItsKind)
{
    for (const char* page : {"a.html", "b.HTM", "c.Html", "d.htm", ".html", "dir.exe/e.html"})
        EXPECT_TRUE(IsWebPageTarget(page)) << page;
    for (const char* program : {"a.exe", "b.html.exe", "c.htmx", "d.hTmLl", "html", "e.xhtml.", ""})
        EXPECT_FALSE(IsWebPageTarget(program)) << program;
}

TEST_F(WebPageBuildTest, FailuresLeaveNoPageAndNameTheCause)
{
    const Bytes before = {'o', 'l', 'd'};
    WriteAll(request.targetPath, before);
    for (const Bytes& notShown : {pkgtest::Pattern(300, 5), picturetest::PngHead(0, 5)}) {
        EXPECT_EQ(TargetBuildFailed, Build(notShown));
        EXPECT_EQ("Error - picture is not a supported image.", texts.back());
        EXPECT_EQ(request.picturePath, failure.path);
    }
    request.picturePath = Path("missing.gif");
    texts.clear();
    EXPECT_EQ(TargetBuildFailed, BuildTarget(request, [this](const char* t) { texts.push_back(t); }, &failure));
    EXPECT_EQ((Texts{"Open Picture File..", "Error - could not open picture file."}), texts);
    request.picturePath = Path("picture");
    request.allocate = [](size_t) -> void* { return nullptr; };
    EXPECT_EQ(TargetBuildFailed, Build(picturetest::GifHead(2, 2)));
    EXPECT_EQ("Error - not enough memory.", texts.back());
    EXPECT_EQ(before, ReadFileBytes(request.targetPath));
    EXPECT_EQ(2, std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()))
        << "the picture and the old target only: no temporary file is left";
}

// The template's two placeholders in either order; a template without each
// exactly once gives no page at all; a sink that fails stops the writing.
TEST(ComposeWebPage, FillsThePlaceholdersWhereverTheyStand)
{
    const Bytes picture = {'M', 'a', 'n'};
    std::string out;
    EXPECT_EQ(WebPageComposed, Compose("a@VORNIX_SETTINGS@b@VORNIX_PICTURE@c", "{}", picture, &out));
    EXPECT_EQ("a{}bTWFuc", out);
    EXPECT_EQ(WebPageComposed, Compose("@VORNIX_PICTURE@@VORNIX_SETTINGS@", "{}", picture, &out));
    EXPECT_EQ("TWFu{}", out);
    for (const char* damaged : {"@VORNIX_PICTURE@ only", "@VORNIX_SETTINGS@ only", "",
                                "@VORNIX_SETTINGS@@VORNIX_PICTURE@@VORNIX_SETTINGS@",
                                "@VORNIX_SETTINGS@@VORNIX_PICTURE@@VORNIX_PICTURE@"}) {
        EXPECT_EQ(WebTemplateDamaged, Compose(damaged, "{}", picture, &out)) << damaged;
        EXPECT_EQ("", out) << damaged;
    }
    EXPECT_EQ(WebSinkFailed, Compose("a@VORNIX_SETTINGS@b@VORNIX_PICTURE@c", "{}", picture, &out, 3));
    EXPECT_EQ("a{}b", out) << "nothing more is written after a failed piece";
}

}  // namespace

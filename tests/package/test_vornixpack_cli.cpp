// vornixpack build as a program: exit codes, help, messages, and targets
// compared with bytes composed here with the cipher alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "../image/png_pixels.h"
#include "package_cipher.h"
#include "package_key.h"
#include "package_test_util.h"
#include "test_stub.h"
#include "web_page_reader.h"
#include "web_page_test_util.h"

#include <sys/stat.h>
#include <sys/wait.h>

namespace {

using pkgtest::Bytes;
using pkgtest::Pattern;
using pkgtest::ReadFileBytes;
using pkgtest::WriteAll;

void Put32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// An uncompressed 24-bit bitmap file of 8 x 5 pixels: 174 bytes.
Bytes SmallBitmap()
{
    Bytes file = Pattern(54 + 24 * 5, 6);
    file[0] = 'B';
    file[1] = 'M';
    Put32(file, 2, static_cast<uint32_t>(file.size()));
    Put32(file, 6, 0);
    Put32(file, 10, 54);
    Put32(file, 14, 40);
    Put32(file, 18, 8);
    Put32(file, 22, 5);
    Put32(file, 26, 1 | 24 << 16);
    Put32(file, 30, 0);
    Put32(file, 34, 24 * 5);
    return file;
}

// The target that the format prescribes: the stub, both lengths, and each
// section enciphered with zero padding and cut to its length.
Bytes Compose(const Bytes& stub, const Bytes& picture, const std::string& record)
{
    PackageCipher cipher(PackageKey);
    Bytes target(stub);
    Bytes header(8);
    Put32(header, 0, static_cast<uint32_t>(picture.size()));
    Put32(header, 4, static_cast<uint32_t>(record.size()));
    target.insert(target.end(), header.begin(), header.end());
    for (const Bytes& plain : {picture, Bytes(record.begin(), record.end())}) {
        Bytes section(plain.size() + 8);
        cipher.EncipherBuffer(plain.data(), static_cast<uint32_t>(plain.size()), section.data());
        target.insert(target.end(), section.begin(), section.begin() + plain.size());
    }
    return target;
}

const char StatusSequence[] =
    "Creating stub...\nDone.\nOpen Picture File..\nGenerating About Box...\n"
    "Appending File Info...\nAppending Picture...\nDone.\n";

class VornixpackTest : public pkgtest::ScratchTest {
protected:
    void SetUp() override
    {
        ScratchTest::SetUp();
        stub = vntest::PeStubBytes(0x300, 5);
        picture = SmallBitmap();
        WriteAll(Path("vornix_distrib.exe"), stub);
        WriteAll(Path("p.bmp"), picture);
    }

    // Runs vornixpack in the scratch folder (after prefix, a command such as
    // "timeout 20 "); returns its exit code and keeps what it printed.
    int Run(const std::string& arguments, const std::string& prefix = std::string())
    {
        std::string command = "cd '" + dir.string() + "' && " + prefix + "'" VORNIXPACK_PATH "' " +
                              arguments + " >out.txt 2>err.txt";
        int status = std::system(command.c_str());
        out = Text("out.txt");
        err = Text("err.txt");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string Text(const char* name)
    {
        Bytes data = ReadFileBytes(Path(name));
        return std::string(data.begin(), data.end());
    }

    // Exit status 1, nothing on stdout, exactly this line on stderr, and the
    // target as it was.
    void ExpectFailure(const std::string& arguments, const std::string& message,
                       const Bytes& targetBefore)
    {
        EXPECT_EQ(Run(arguments), 1) << arguments;
        EXPECT_EQ(out, "") << arguments;
        EXPECT_EQ(err, "vornixpack build: " + message + "\n") << arguments;
        EXPECT_EQ(ReadFileBytes(Path("t.exe")), targetBefore) << arguments;
    }

    Bytes stub, picture;
    std::string out, err;
};

TEST_F(VornixpackTest, HelpExplainsEveryOption)
{
    EXPECT_EQ(Run("--help"), 0);
    EXPECT_NE(out.find("vornixpack build"), std::string::npos);
    EXPECT_EQ(Run("build --help"), 0);
    for (const char* option : {"--picture", "--grid", "--shuffle", "--win-url", "--company",
                               "--site", "--tagline", "--stub", "--verbose", "-o"})
        EXPECT_NE(out.find(option), std::string::npos) << option;
}

TEST_F(VornixpackTest, CommandLineMistakesExitWithTwoAndOneLine)
{
    const char* mistakes[] = {
        "",
        "frobnicate",
        "build --picture p.bmp -o t.exe --colour red",
        "build --picture p.bmp -o",
        "build --picture p.bmp --grid -o t.exe",
        "build --picture p.bmp --grid 3x -o t.exe",
        "build --picture p.bmp --grid 10000 -o t.exe",
        "build --picture p.bmp --grid 0 -o t.exe",
        "build --picture p.bmp --grid 1 -o t.exe",
        "build --picture p.bmp --grid 01 -o t.exe",
        "build -o t.exe",
        "build --picture p.bmp",
        "build --picture p.bmp stray -o t.exe",
        "build --picture p.bmp --grid 3 --grid 5 -o t.exe",
        "build --picture p.bmp -o t.exe -o u.exe",
        "build --picture p.bmp --output t.exe -o t.exe",
        "build --picture p.bmp --picture p.bmp -o t.exe",
        "build --picture p.bmp --shuffle --shuffle -o t.exe",
        "build --picture p.bmp -v --verbose -o t.exe",
        "build --picture p.bmp --win-url a --win-url b -o t.exe",
        "extract t.exe -o a.bmp -o b.bmp",
    };
    for (const char* arguments : mistakes) {
        EXPECT_EQ(Run(arguments), 2) << arguments;
        if (*arguments) {
            EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << arguments << ": " << err;
        }
        EXPECT_FALSE(pkgtest::Exists(Path("t.exe"))) << arguments;
        EXPECT_FALSE(pkgtest::Exists(Path("u.exe"))) << arguments;
    }
    // The builder's words for a grid it refuses, and the option named when
    // given twice.
    Run("build --picture p.bmp --grid 1 -o t.exe");
    EXPECT_EQ(err, "vornixpack build: the grid size must be 2 or more, not '1' "
                   "(see vornixpack build --help)\n");
    Run("build --picture p.bmp -o t.exe --grid 3 --grid 5");
    EXPECT_EQ(err, "vornixpack build: option '--grid' is given twice "
                   "(see vornixpack build --help)\n");
    Run("build --picture p.bmp -o t.exe --output u.exe");
    EXPECT_EQ(err, "vornixpack build: option '--output' is given twice "
                   "(see vornixpack build --help)\n");
}

TEST_F(VornixpackTest, BuildWritesTheFormatsBytesAndOneLine)
{
    ASSERT_EQ(Run("build --picture p.bmp --grid 5 --shuffle --win-url example.com "
                  "--company 'Acme Ltd' --site acme.example --tagline 'a|b' -o t.exe"),
              0)
        << err;
    const Bytes expected =
        Compose(stub, picture, "5|Acme Ltd|acme.example|a|b|YES|HTTP://example.com|END");
    EXPECT_EQ(ReadFileBytes(Path("t.exe")), expected);
    EXPECT_EQ(out, "wrote t.exe (" + std::to_string(expected.size()) + " bytes): 5 x 5 puzzle\n");
    EXPECT_EQ(err, "");

    // --verbose adds the builder's whole status sequence before that line.
    ASSERT_EQ(Run("build --verbose --picture p.bmp --grid 5 --shuffle --win-url example.com "
                  "--company 'Acme Ltd' --site acme.example --tagline 'a|b' -o t.exe"),
              0)
        << err;
    EXPECT_EQ(out, StatusSequence + ("wrote t.exe (" + std::to_string(expected.size()) +
                                     " bytes): 5 x 5 puzzle\n"));
    EXPECT_EQ(ReadFileBytes(Path("t.exe")), expected);
}

TEST_F(VornixpackTest, DefaultsAreAFourByFourPuzzleWithTheFormsTexts)
{
    ASSERT_EQ(Run("build --picture p.bmp -o t.exe"), 0) << err;
    EXPECT_EQ(ReadFileBytes(Path("t.exe")), Compose(stub, picture, "4| | | |NO|NONE|END"));
    EXPECT_NE(out.find("): 4 x 4 puzzle\n"), std::string::npos) << out;

    // The smallest grid that makes a game.
    ASSERT_EQ(Run("build --picture p.bmp --grid 2 -o t.exe"), 0) << err;
    EXPECT_EQ(ReadFileBytes(Path("t.exe")), Compose(stub, picture, "2| | | |NO|NONE|END"));
    EXPECT_NE(out.find("): 2 x 2 puzzle\n"), std::string::npos) << out;
}

TEST_F(VornixpackTest, ASeparatorInTheWinAddressIsWrittenAsPercent7C)
{
    ASSERT_EQ(Run("build --picture p.bmp --shuffle --tagline tag "
                  "--win-url 'https://a.example/?x=1|NO|https://b.example/' -o t.exe"),
              0)
        << err;
    EXPECT_EQ(ReadFileBytes(Path("t.exe")),
              Compose(stub, picture,
                      "4| | |tag|YES|https://a.example/?x=1%7CNO%7Chttps://b.example/|END"));
}

TEST_F(VornixpackTest, SizesAreShownInUnitsPeopleRead)
{
    // A stub that makes the target exactly 3.2 MB (3,355,443 bytes).
    const std::string record = "4| | | |NO|NONE|END";
    stub = vntest::PeStubBytes(3355443 - 8 - picture.size() - record.size(), 9);
    WriteAll(Path("vornix_distrib.exe"), stub);
    ASSERT_EQ(Run("build --picture p.bmp -o cat.exe"), 0) << err;
    EXPECT_EQ(out, "wrote cat.exe (3.2 MB): 4 x 4 puzzle\n");
    EXPECT_EQ(ReadFileBytes(Path("cat.exe")).size(), 3355443u);
}

TEST_F(VornixpackTest, CompressedPicturesAreStoredPadded)
{
    // The front of a PNG (signature and header chunk) is all the native
    // build reads; 33 bytes, padded to 40 in the package.
    const unsigned char png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13,
                                 'I', 'H', 'D', 'R', 0, 0, 0, 7, 0, 0, 0, 3, 8, 2, 0, 0, 0,
                                 0x12, 0x34, 0x56, 0x78};
    Bytes file(png, png + sizeof png);
    WriteAll(Path("p.png"), file);
    ASSERT_EQ(Run("build --picture p.png -o t.exe"), 0) << err;
    Bytes padded(file);
    padded.resize(40, 0);
    EXPECT_EQ(ReadFileBytes(Path("t.exe")), Compose(stub, padded, "4| | | |NO|NONE|END"));
}

TEST_F(VornixpackTest, FailuresNameTheFileAndTheReasonOnStderr)
{
    const Bytes none;
    ExpectFailure("build --picture p.bmp --stub nowhere.exe -o t.exe",
                  "could not open stub 'nowhere.exe': No such file or directory", none);
    ExpectFailure("build --picture missing.bmp -o t.exe",
                  "could not open picture file 'missing.bmp': No such file or directory", none);
    ExpectFailure("build --picture p.bmp -o p.bmp", "target is the picture file", none);
    EXPECT_EQ(ReadFileBytes(Path("p.bmp")), picture);
    ExpectFailure("build --picture p.bmp -o no-such-folder/t.exe",
                  "could not create target 'no-such-folder/t.exe': the folder does not exist",
                  none);
    ExpectFailure("build --picture p.bmp --stub p.bmp -o t.exe",
                  "the player program is not valid 'p.bmp': it is not a Windows program", none);

    // An existing target survives every failure, and the refusals come
    // before anything is written.
    const Bytes old = Pattern(99, 3);
    WriteAll(Path("t.exe"), old);
    WriteAll(Path("notes.jpg"), Bytes(100, 'x'));
    ExpectFailure("build --picture notes.jpg -o t.exe",
                  "picture is not a supported image 'notes.jpg'", old);
    ExpectFailure("build --picture p.bmp --company 'Acme|' -o t.exe",
                  "the company name and web site cannot hold '|'", old);
    ExpectFailure("build --picture p.bmp --site '|' -o t.exe",
                  "the company name and web site cannot hold '|'", old);
    ExpectFailure("build --picture missing.bmp -o t.exe",
                  "could not open picture file 'missing.bmp': No such file or directory", old);
    std::filesystem::create_directory(dir / "photos");
    ExpectFailure("build --picture photos -o t.exe",
                  "could not open picture file 'photos': it is a folder", old);
    ExpectFailure("build --picture p.bmp -o photos",
                  "could not create target 'photos': it is a folder", old);

    // Bitmaps the product's decoder refuses are refused here as on Windows:
    // 24 bits per pixel said to be JPEG- or run-length-compressed.
    for (uint32_t compression : {1u, 2u, 4u, 5u}) {
        Bytes bad(picture);
        Put32(bad, 30, compression);
        WriteAll(Path("bad.bmp"), bad);
        ExpectFailure("build --picture bad.bmp -o t.exe",
                      "picture is not a supported image 'bad.bmp'", old);
    }

    // A finished puzzle as the stub, and an empty file.
    ASSERT_EQ(Run("build --picture p.bmp -o puzzle.exe"), 0) << err;
    ExpectFailure("build --picture p.bmp --stub puzzle.exe -o t.exe",
                  "the player program is not valid 'puzzle.exe': " +
                      std::to_string(ReadFileBytes(Path("puzzle.exe")).size() - stub.size()) +
                      " bytes follow the end of the program (is it a finished puzzle?)",
                  old);
    WriteAll(Path("empty.exe"), Bytes());
    ExpectFailure("build --picture p.bmp --stub empty.exe -o t.exe",
                  "the player program is not valid 'empty.exe': the file is empty", old);

    // A pipe is never opened for writing: no waiting for a reader.
    ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0644), 0);
    EXPECT_EQ(Run("build --picture p.bmp -o pipe", "timeout 60 "), 1);
    EXPECT_EQ(err, "vornixpack build: could not create target 'pipe': it is a pipe, not a file\n");

    // With --verbose the statuses up to the error are on stdout.
    EXPECT_EQ(Run("build --verbose --picture p.bmp --stub nowhere.exe -o t.exe"), 1);
    EXPECT_EQ(out, "Creating stub...\nError - could not open stub.\n");
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

// A page from the bitmap, with no stub anywhere: inspect shows what the page
// holds, extract gives back the PNG the page carries, and what a page cannot
// take is refused with one line.
TEST_F(VornixpackTest, WebPagesAreBuiltInspectedAndExtracted)
{
    std::remove(Path("vornix_distrib.exe").c_str());
    EXPECT_EQ(Run("build --help"), 0);
    EXPECT_NE(out.find(".html"), std::string::npos) << out;

    ASSERT_EQ(Run("build --verbose --picture p.bmp --grid 3 --shuffle --win-url example.com/won "
                  "--company '<Acme>' --tagline 'tab\there' -o Page.HTML"),
              0)
        << err;
    const Bytes page = ReadFileBytes(Path("Page.HTML"));
    const std::string statuses = "Open Picture File..\nConverting Picture...\nWriting Web Page...\nDone.\n";
    EXPECT_EQ(out.substr(0, statuses.size() + 17), statuses + "wrote Page.HTML (") << out;
    EXPECT_NE(out.find("): 3 x 3 puzzle\n"), std::string::npos) << out;
    WebPageContents contents;
    ASSERT_EQ(ReadWebPageFile(Path("Page.HTML").c_str(), contents), WebPageOk);

    ASSERT_EQ(Run("inspect Page.HTML"), 0) << err;
    EXPECT_EQ(out, "page length:    " + std::to_string(page.size()) +
                       "\n"
                       "picture length: " +
                       std::to_string(contents.picture.size()) +
                       "\n"
                       "picture:        PNG, 8 x 5 pixels, orientation 1\n"
                       "picture type:   image/png\n"
                       "shown size:     8 x 5 pixels\n"
                       "grid size:      3\n"
                       "company name:   <Acme>\n"
                       "web site:       \n"
                       "tag line:       tab\\x09here\n"
                       "shuffle:        YES\n"
                       "win address:    http://example.com/won\n"
                       "best key:       " +
                       contents.settings.bestKey + "\n");

    ASSERT_EQ(Run("extract Page.HTML -o back.png"), 0) << err;
    EXPECT_EQ(err, "");
    const Bytes png = ReadFileBytes(Path("back.png"));
    EXPECT_EQ(png, contents.picture);
    pngtest::Pixels shown;
    ASSERT_TRUE(pngtest::DecodePng(png, shown));
    EXPECT_EQ(shown.width, 8u);
    EXPECT_EQ(shown.rgb, pngtest::PixelsOf(picture).rgb);

    // A win address a page cannot open, and a TIFF (decoded only on Windows).
    const Bytes before = page;
    EXPECT_EQ(Run("build --picture p.bmp --win-url 'mailto:a@b.example?body=http://x' -o Page.HTML"), 1);
    EXPECT_EQ(err, "vornixpack build: the win address of a web page must start with http:// or https://\n");
    WriteAll(Path("p.tif"), webtest::RgbTiff(2, 2, [](int, int, uint8_t* rgb) { rgb[0] = rgb[1] = rgb[2] = 9; }));
    EXPECT_EQ(Run("build --picture p.tif -o Page.HTML"), 1);
    EXPECT_EQ(err, "vornixpack build: picture is not a supported image 'p.tif': TIFF pictures can be decoded "
                   "only on Windows\n");
    EXPECT_EQ(ReadFileBytes(Path("Page.HTML")), before);

    // A page that holds no puzzle, and a program named as a page.
    WriteAll(Path("other.html"), Bytes{'<', 'p', '>'});
    EXPECT_EQ(Run("inspect other.html"), 1);
    EXPECT_EQ(err, "vornixpack inspect: other.html: no puzzle settings in the page\n");
    EXPECT_EQ(Run("extract other.html -o x.png"), 1);
    EXPECT_EQ(err, "vornixpack extract: other.html: no puzzle settings in the page\n");
    EXPECT_FALSE(pkgtest::Exists(Path("x.png")));
}

}  // namespace

// vornixpack build as a program: exit codes, help, messages, and targets
// compared with bytes composed here with the cipher alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "../image/png_pixels.h"
#include "package_cipher.h"
#include "package_key.h"
#include "package_test_util.h"
#include "test_stub.h"
#include "web_page_reader.h"

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

void WriteText(const std::string& path, const std::string& text)
{
    WriteAll(path, Bytes(text.begin(), text.end()));
}

// The names in a folder, sorted, but for what Run writes.
std::vector<std::string> FilesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name != "out.txt" && name != "err.txt")
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A batch summary with its seconds, which depend on the machine, as "N".
std::string AnyTime(std::string text)
{
    const size_t from = text.find(" in ") + 4, to = text.find(" s", from);
    if (from >= 4 && to != std::string::npos && to > from && text.find_first_not_of("0123456789", from) == to)
        text.replace(from, to - from, "N");
    return text;
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

    // Runs it on a pseudo-terminal, which script(1) makes; out is what the
    // terminal showed of both streams ("\n" as "\r\n").
    int RunOnTerminal(const std::string& arguments)
    {
        return Run(arguments + "\" /dev/null </dev/null", "script -qec \"");
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
                               "--site", "--tagline", "--stub", "--verbose", "-o", ".html"})
        EXPECT_NE(out.find(option), std::string::npos) << option;
    EXPECT_EQ(Run("batch --help"), 0);
    for (const char* word : {"--jobs", "--check", "--stub", "picture", "target", "grid", "shuffle",
                             "win_url", "company", "site", "tagline"})
        EXPECT_NE(out.find(word), std::string::npos) << word;
}

TEST_F(VornixpackTest, CommandLineMistakesExitWithTwoAndOneLine)
{
    // With the words said for some: the builder's for a grid it refuses, and
    // the option named as typed when it is given twice.
    const struct {
        const char* arguments;
        const char* message = nullptr;
    } mistakes[] = {
        {""},
        {"frobnicate"},
        {"build --picture p.bmp -o t.exe --colour red"},
        {"build --picture p.bmp -o"},
        {"build --picture p.bmp --grid -o t.exe"},
        {"build --picture p.bmp --grid 3x -o t.exe"},
        {"build --picture p.bmp --grid 10000 -o t.exe"},
        {"build --picture p.bmp --grid 0 -o t.exe"},
        {"build --picture p.bmp --grid 1 -o t.exe", "the grid size must be 2 or more, not '1'"},
        {"build --picture p.bmp --grid 01 -o t.exe"},
        {"build -o t.exe"},
        {"build --picture p.bmp"},
        {"build --picture p.bmp stray -o t.exe"},
        {"build --picture p.bmp --grid 3 --grid 5 -o t.exe", "option '--grid' is given twice"},
        {"build --picture p.bmp --output t.exe -o t.exe", "option '-o' is given twice"},
        {"build --picture p.bmp --shuffle --shuffle -o t.exe"},
        {"build --picture p.bmp -v --verbose -o t.exe"},
        {"extract t.exe -o a.bmp -o b.bmp"},
        {"batch"},
        {"batch list.csv other.csv"},
        {"batch list.csv --jobs 0"},
        {"batch list.csv --jobs 65"},
        {"batch list.csv --jobs two"},
        {"batch list.csv --jobs"},
        {"batch list.csv --jobs 2 --jobs 3"},
        {"batch list.csv --stub"},
        {"batch list.csv --colour red"},
    };
    WriteText(Path("list.csv"), "picture,target\np.bmp,t.exe\n");  // would write t.exe, were the batch to run
    for (const auto& mistake : mistakes) {
        const std::string arguments = mistake.arguments;
        EXPECT_EQ(Run(arguments), 2) << arguments;
        if (!arguments.empty()) {
            EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << arguments << ": " << err;
        }
        if (mistake.message) {
            EXPECT_EQ(err, "vornixpack build: " + std::string(mistake.message) + " (see vornixpack build --help)\n");
        }
        EXPECT_FALSE(pkgtest::Exists(Path("t.exe"))) << arguments;
    }
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

    // A bitmap the product's decoder refuses is refused here as on Windows:
    // 24 bits per pixel said to be JPEG-compressed.
    Bytes bad(picture);
    Put32(bad, 30, 4);
    WriteAll(Path("bad.bmp"), bad);
    ExpectFailure("build --picture bad.bmp -o t.exe", "picture is not a supported image 'bad.bmp'", old);

    // A pipe is never opened for writing: no waiting for a reader.
    ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0644), 0);
    EXPECT_EQ(Run("build --picture p.bmp -o pipe", "timeout 60 "), 1);
    EXPECT_EQ(err, "vornixpack build: could not create target 'pipe': it is a pipe, not a file\n");

    // With --verbose the statuses up to the error are on stdout.
    EXPECT_EQ(Run("build --verbose --picture p.bmp --stub nowhere.exe -o t.exe"), 1);
    EXPECT_EQ(out, "Creating stub...\nError - could not open stub.\n");
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

// A list, and the puzzles it should give: each target with the options of
// vornixpack build that give the same puzzle (for the shell: line breaks stand
// as they are inside single quotes).
struct ListCase {
    const char* what;
    std::string list;  // the list's path in the scratch folder
    std::string text;
    std::vector<std::pair<std::string, std::string>> puzzles;
};

TEST_F(VornixpackTest, BatchBuildsEachRowAsVornixpackBuildDoes)
{
    const std::string cafe = "Caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC";  // Café 日本
    std::filesystem::create_directories(dir / "lists" / "pics");
    WriteAll(Path("lists/pics/q.bmp"), SmallBitmap());
    // Many rows, more than the threads, each with its own grid and texts.
    ListCase many = {"thirty rows", "list.csv", "picture,target,grid,company,tagline\n", {}};
    for (int i = 2; i < 32; ++i) {
        const std::string n = std::to_string(i);
        many.text += "p.bmp,m" + n + ".exe," + n + ",c" + n + ",\"row\n" + n + "\"\n";
        many.puzzles.push_back({"m" + n + ".exe", "--picture p.bmp --grid " + n + " --company c" + n +
                                                      " --tagline 'row\n" + n + "'"});
    }
    const ListCase cases[] = {
        {"every column, quoted commas and quotes", "list.csv",
         "picture,target,grid,shuffle,win_url,company,site,tagline\n"
         "p.bmp,a.exe,5,yes,example.com,\"Acme, Inc\",acme.example,\"say \"\"hi\"\", then go\"\n",
         {{"a.exe", "--picture p.bmp --grid 5 --shuffle --win-url example.com "
                    "--company 'Acme, Inc' --site acme.example --tagline 'say \"hi\", then go'"}}},
        {"line breaks in a tag line, LF and CRLF", "list.csv",
         "picture,target,tagline\n"
         "p.bmp,b.exe,\"first line\nsecond line\"\n"
         "p.bmp,c.exe,\"one\r\ntwo\"\n",
         {{"b.exe", "--picture p.bmp --tagline 'first line\nsecond line'"},
          {"c.exe", "--picture p.bmp --tagline 'one\r\ntwo'"}}},
        {"a byte-order mark, CRLF lines and UTF-8 texts", "list.csv",
         "\xEF\xBB\xBFpicture,target,company,site\r\n"
         "p.bmp," + cafe + ".exe," + cafe + ",\xD0\x9F\xD0\xB0\xD0\xB7\xD0\xBB\r\n",
         {{cafe + ".exe", "--picture p.bmp --company '" + cafe + "' --site \xD0\x9F\xD0\xB0\xD0\xB7\xD0\xBB"}}},
        {"headers in any letter case and order, every shuffle word", "list.csv",
         "TagLine,Target, GRID ,Picture,Shuffle,Win_URL\n"
         "t,d.exe,3,p.bmp,TRUE,https://a.example/\n"
         "t,e.exe,09,p.bmp,no,\n"
         "t,f.exe,,p.bmp,1,\n"
         "t,g.exe,,p.bmp,False,\n",
         {{"d.exe", "--picture p.bmp --tagline t --grid 3 --shuffle --win-url https://a.example/"},
          {"e.exe", "--picture p.bmp --tagline t --grid 09"},
          {"f.exe", "--picture p.bmp --tagline t --shuffle"},
          {"g.exe", "--picture p.bmp --tagline t"}}},
        {"paths relative to the list's folder; blank rows skipped", "lists/list.csv",
         "picture,target\n"
         "pics/q.bmp,h.exe\n"
         ",\n"
         "\n"
         "../p.bmp,pics/i.exe\n",
         {{"lists/h.exe", "--picture lists/pics/q.bmp"},
          {"lists/pics/i.exe", "--picture p.bmp"}}},
        {"only the required columns: build's defaults; no line break at the end", "list.csv",
         "target,picture\nj.exe,p.bmp",
         {{"j.exe", "--picture p.bmp"}}},
        {"web pages beside programs", "list.csv",
         "picture,target,grid,win_url,tagline\n"
         "p.bmp,page.html,3,https://example.com/won,\"<b>Caf\xC3\xA9</b>\"\n"
         "p.bmp,Page2.HTM,,,\n"
         "p.bmp,k.exe,3,https://example.com/won,\n",
         {{"page.html", "--picture p.bmp --grid 3 --win-url https://example.com/won --tagline '<b>Caf\xC3\xA9</b>'"},
          {"Page2.HTM", "--picture p.bmp"},
          {"k.exe", "--picture p.bmp --grid 3 --win-url https://example.com/won"}}},
        many,
    };
    for (const ListCase& c : cases) {
        WriteText(Path(c.list.c_str()), c.text);
        for (const char* jobs : {"--jobs 1", "--jobs 8"}) {
            ASSERT_EQ(Run("batch " + c.list + " " + jobs), 0) << c.what << ": " << err;
            EXPECT_EQ(err, "") << c.what;
            const size_t n = c.puzzles.size();
            EXPECT_EQ(AnyTime(out), "built " + std::to_string(n) + " of " + std::to_string(n) +
                                        (n == 1 ? " puzzle" : " puzzles") + " in N s\n")
                << c.what;
            for (const auto& puzzle : c.puzzles) {
                // The reference of the same kind: a page or a program.
                const std::string target = puzzle.first;
                const std::string reference = "reference" + target.substr(target.rfind('.'));
                ASSERT_EQ(Run("build " + puzzle.second + " -o " + reference), 0) << c.what << ": " << err;
                const Bytes expected = ReadFileBytes(Path(reference.c_str()));
                EXPECT_GT(expected.size(), picture.size()) << c.what;
                EXPECT_EQ(ReadFileBytes(Path(target.c_str())), expected) << c.what << ": " << target;
                std::filesystem::remove(Path(target.c_str()));
                std::filesystem::remove(Path(reference.c_str()));
            }
        }
    }
}

TEST_F(VornixpackTest, BatchReportsEachBadRowWithItsLineAndBuildsTheOthers)
{
    WriteAll(Path("notes.jpg"), Bytes(100, 'x'));
    WriteAll(Path("q.bmp"), SmallBitmap());
    // A bitmap whose header reads well but whose pixels the decoder refuses:
    // 24 bits said to be run-length compressed. Found as it is built.
    Bytes rle = SmallBitmap();
    Put32(rle, 30, 1);
    WriteAll(Path("rle.bmp"), rle);
    std::filesystem::create_directory(dir / "folder");
    const Bytes old = Pattern(99, 3);
    WriteAll(Path("kept.exe"), old);
    const struct {
        std::string row;
        std::string report;  // "" for a row that is built
    } rows[] = {
        {"picture,target,grid,shuffle,company,site,win_url", ""},
        {"p.bmp,good1.exe,,,,", ""},
        {"missing.bmp,bad.exe,,,,",
         "missing.bmp: could not open picture file 'missing.bmp': No such file or directory"},
        {"notes.jpg,kept.exe,,,,",
         "notes.jpg: picture is not a supported image 'notes.jpg': not a supported picture format"},
        {"p.bmp,nowhere/bad.exe", "p.bmp: could not create target 'nowhere/bad.exe': "
                                  "the folder does not exist"},
        {"p.bmp,folder,3", "p.bmp: could not create target 'folder': it is a folder"},
        {"p.bmp,bad.exe,1", "p.bmp: the grid size must be 2 or more, not '1'"},
        {"p.bmp,bad.exe,4x4", "p.bmp: the grid size must be a whole number from 2 to 9999, not '4x4'"},
        {"p.bmp,bad.exe,,maybe", "p.bmp: shuffle must be yes or no, true or false, 1 or 0, not 'maybe'"},
        {"p.bmp,bad.exe,,,Acme|", "p.bmp: the company name and web site cannot hold '|'"},
        {"p.bmp,bad.exe,,,,\"|\"", "p.bmp: the company name and web site cannot hold '|'"},
        {"p.bmp,dup.exe,,,,", "p.bmp: line 13 writes the same target"},
        {"p.bmp,./dup.exe,,,,", "p.bmp: line 12 writes the same target"},
        {"p.bmp,p.bmp,,,,", "p.bmp: target is the picture file"},
        {"p.bmp,q.bmp,,,,", "p.bmp: target is the picture of line 16"},
        {"q.bmp,good2.exe,,,,", ""},
        {"p.bmp,vornix_distrib.exe", "p.bmp: target is the stub"},
        {",bad.exe,,,,", "no picture given"},
        {"p.bmp,,,,,", "p.bmp: no target given"},
        {"p.bmp,bad.exe,,,,,,extra", "p.bmp: the row has 8 fields, the header 7"},
        {"p.bmp,bad.html,,,,,mailto:a@b.example?body=http://x",
         "p.bmp: the win address of a web page must start with http:// or https://"},
        {"p.bmp,bad.exe,,,Caf\xE9,", "p.bmp: the row is not UTF-8 text (save the list as CSV UTF-8)"},
        {"p.bmp,good3.exe,,,\"two\nlines\",", ""},  // lines 21 and 22
        {"missing.bmp,bad.exe",
         "missing.bmp: could not open picture file 'missing.bmp': No such file or directory"},
        {"p.bmp,good4.exe,,,,,,", ""},  // empty cells past the header
        {"rle.bmp,late.exe", ""},
    };
    std::string list, expectedErr;
    unsigned long line = 1;
    size_t failed = 0;
    for (const auto& row : rows) {
        list += row.row + "\n";
        if (!row.report.empty()) {
            expectedErr += "list.csv:" + std::to_string(line) + ": " + row.report + "\n";
            ++failed;
        }
        line += 1 + std::count(row.row.begin(), row.row.end(), '\n');
    }
    WriteText(Path("list.csv"), list);
    const std::vector<std::string> before = FilesIn(dir);

    // --check reports these rows and writes nothing; the bitmap passes it.
    EXPECT_EQ(Run("batch list.csv --check"), 1);
    EXPECT_EQ(err, expectedErr);
    const size_t total = std::size(rows) - 1;
    EXPECT_EQ(out, "checked " + std::to_string(total) + " puzzles: " +
                       std::to_string(total - failed) + " can be built (" + std::to_string(failed) +
                       " failed)\n");
    EXPECT_EQ(FilesIn(dir), before);

    // Built, the bitmap fails as well, reported after what the checks found.
    EXPECT_EQ(Run("batch list.csv --jobs 2"), 1);
    EXPECT_EQ(err, expectedErr + "list.csv:" + std::to_string(line - 1) +
                       ": rle.bmp: picture is not a supported image 'rle.bmp'\n");
    EXPECT_EQ(AnyTime(out), "built 4 of " + std::to_string(total) + " puzzles in N s (" +
                                std::to_string(failed + 1) + " failed)\n");
    // The rows that passed are built; nothing else is left in the folder,
    // and the files the failed rows name are as they were.
    std::vector<std::string> after = before;
    for (const char* built : {"good1.exe", "good2.exe", "good3.exe", "good4.exe"}) {
        after.push_back(built);
        EXPECT_GT(ReadFileBytes(Path(built)).size(), stub.size()) << built;
    }
    std::sort(after.begin(), after.end());
    EXPECT_EQ(FilesIn(dir), after);
    EXPECT_EQ(ReadFileBytes(Path("kept.exe")), old);
    EXPECT_EQ(ReadFileBytes(Path("p.bmp")), picture);
    EXPECT_EQ(ReadFileBytes(Path("vornix_distrib.exe")), stub);
}

TEST_F(VornixpackTest, BatchWithABrokenListExitsWithTwoAndWritesNothing)
{
    const struct {
        std::string text;
        std::string message;
    } lists[] = {
        {"", "list.csv:1: the list is empty: it needs a header row naming its columns"},
        {"\xEF\xBB\xBF", "list.csv:1: the list is empty: it needs a header row naming its columns"},
        {"picture,target,colour\np.bmp,a.exe,red\n", "list.csv:1: unknown column 'colour'"},
        {"picture,grid\np.bmp,4\n", "list.csv:1: missing column 'target'"},
        {"Target,grid\na.exe,4\n", "list.csv:1: missing column 'picture'"},
        {"picture,target,Picture\np.bmp,a.exe,p.bmp\n", "list.csv:1: column 'picture' is given twice"},
        {"picture,,target\np.bmp,,a.exe\n", "list.csv:1: column 2 of the header has no name"},
        {std::string("\xFF\xFEp\0i\0", 6), "list.csv:1: the list is UTF-16 text (save it as CSV UTF-8)"},
        {"picture,target\np.bmp,a.exe\np.bmp,\"b.exe\n", "list.csv:3: a quoted field is not closed"},
    };
    for (const auto& list : lists) {
        WriteText(Path("list.csv"), list.text);
        const std::vector<std::string> before = FilesIn(dir);
        EXPECT_EQ(Run("batch list.csv"), 2) << list.message;
        EXPECT_EQ(out, "") << list.message;
        EXPECT_EQ(err, list.message + "\n");
        EXPECT_EQ(FilesIn(dir), before) << list.message;
    }
    EXPECT_EQ(Run("batch nowhere.csv"), 2);
    EXPECT_EQ(err, "vornixpack batch: could not open list 'nowhere.csv': No such file or directory\n");
}

TEST_F(VornixpackTest, BatchWithAndWithoutAStubOnATerminalAndIntoFiles)
{
    WriteText(Path("list.csv"), "picture,target\np.bmp,a.exe\np.bmp,b.exe\nmissing.bmp,c.exe\np.bmp,d.html\n");
    const std::string missing = "list.csv:4: missing.bmp: could not open picture file 'missing.bmp': "
                                "No such file or directory\n";
    // Without a stub: said once, after the rows; only the page is built, as
    // build builds it.
    EXPECT_EQ(Run("batch list.csv --stub nowhere.exe"), 1);
    EXPECT_EQ(err, missing + "vornixpack batch: could not open stub 'nowhere.exe': No such file or directory\n");
    EXPECT_EQ(AnyTime(out), "built 1 of 4 puzzles in N s (3 failed)\n");
    EXPECT_FALSE(pkgtest::Exists(Path("a.exe")));
    const Bytes page = ReadFileBytes(Path("d.html"));
    ASSERT_EQ(Run("build --picture p.bmp --stub nowhere.exe -o reference.html"), 0) << err;
    EXPECT_EQ(page, ReadFileBytes(Path("reference.html")));
    // A stub that is no player program is refused as build refuses it;
    // web pages alone need no stub at all.
    EXPECT_EQ(Run("batch list.csv --stub p.bmp"), 1);
    EXPECT_EQ(err, missing + "vornixpack batch: the player program is not valid 'p.bmp': it is not a Windows program\n");
    WriteText(Path("pages.csv"), "picture,target\np.bmp,e.html\n");
    EXPECT_EQ(Run("batch pages.csv --stub nowhere.exe"), 0);
    EXPECT_EQ(ReadFileBytes(Path("e.html")), page);

    // On a terminal, the progress line starts at nought, each drawing at the
    // left edge; the failed row is reported on a line of its own; the line is
    // cleared for the summary, which ends the output.
    EXPECT_EQ(RunOnTerminal("batch list.csv --jobs 2"), 1) << out;
    const std::string shown = out;
    EXPECT_EQ(shown.find("list.csv:4: missing.bmp: could not open picture file"), 0u) << shown;
    EXPECT_NE(shown.find("\r0 of 3 (0%)"), std::string::npos) << shown;
    const std::string summary = "\rbuilt 3 of 4 puzzles in N s (1 failed)\r\n";
    const std::string ending = AnyTime(shown);
    ASSERT_GE(ending.size(), summary.size());
    EXPECT_EQ(ending.substr(ending.size() - summary.size()), summary) << shown;

    // Into files: no progress.
    EXPECT_EQ(Run("batch list.csv --jobs 2"), 1);
    EXPECT_EQ(AnyTime(out), "built 3 of 4 puzzles in N s (1 failed)\n");
    EXPECT_EQ(err, missing);
    const Bytes built = ReadFileBytes(Path("b.exe"));
    ASSERT_GT(built.size(), stub.size());
    EXPECT_EQ(Bytes(built.begin(), built.begin() + stub.size()), stub);
}

TEST_F(VornixpackTest, BatchStoppedByCtrlCFinishesWhatItBuildsAndLeavesNothingHalfWritten)
{
    // Two hundred rows of a 2 MB picture, one at a time: seconds of work.
    WriteAll(Path("big.bmp"), vntest::Bmp24File(1000, 700, [](int x, int y, uint8_t* bgr) { bgr[0] = bgr[1] = bgr[2] = x ^ y; }));
    std::string list = "picture,target\n";
    for (int i = 1; i <= 200; ++i)
        list += "big.bmp,t" + std::to_string(i) + ".exe\n";
    WriteText(Path("list.csv"), list);
    ASSERT_EQ(Run("build --picture big.bmp -o reference.exe"), 0) << err;
    const Bytes reference = ReadFileBytes(Path("reference.exe"));

    // Ctrl+C (SIGINT) once the first puzzle is there.
    const std::string command = "cd '" + dir.string() + "' && { '" VORNIXPACK_PATH "' batch list.csv --jobs 1 "
                                ">out.txt 2>err.txt & i=0; while [ ! -e t1.exe ] && [ $i -lt 6000 ]; do "
                                "sleep 0.01; i=$((i+1)); done; kill -INT $!; wait $!; }";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    out = Text("out.txt");
    EXPECT_EQ(Text("err.txt"), "");

    // Every target written is whole; none after them was begun.
    size_t built = 0;
    while (pkgtest::Exists(Path(("t" + std::to_string(built + 1) + ".exe").c_str())))
        ++built;
    EXPECT_GE(built, 1u);
    EXPECT_LT(built, 200u);
    for (size_t i = 1; i <= built; ++i)
        EXPECT_EQ(ReadFileBytes(Path(("t" + std::to_string(i) + ".exe").c_str())), reference) << i;
    EXPECT_EQ(FilesIn(dir).size(), 5 + built);  // big.bmp, list.csv, reference.exe, the stub, p.bmp
    EXPECT_EQ(AnyTime(out), "built " + std::to_string(built) + " of 200 puzzles in N s (stopped: " +
                                std::to_string(200 - built) + " not built)\n");
}

// A page from the bitmap, with no stub anywhere: inspect shows what the page
// holds, extract gives back the PNG the page carries; a page that holds no
// puzzle is refused with one line.
TEST_F(VornixpackTest, WebPagesAreBuiltInspectedAndExtracted)
{
    std::remove(Path("vornix_distrib.exe").c_str());
    ASSERT_EQ(Run("build --verbose --picture p.bmp --grid 3 --shuffle --win-url example.com/won "
                  "--company '<Acme>' --tagline 'tab\there' -o Page.HTML"),
              0)
        << err;
    const Bytes page = ReadFileBytes(Path("Page.HTML"));
    const std::string said = "Open Picture File..\nConverting Picture...\nWriting Web Page...\nDone.\nwrote Page.HTML (";
    EXPECT_EQ(out.substr(0, said.size()), said);
    EXPECT_EQ(out.substr(out.find(')')), "): 3 x 3 puzzle\n");
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

    WriteAll(Path("other.html"), Bytes{'<', 'p', '>'});
    EXPECT_EQ(Run("inspect other.html"), 1);
    EXPECT_EQ(err, "vornixpack inspect: other.html: no puzzle settings in the page\n");
    EXPECT_EQ(Run("extract other.html -o x.png"), 1);
    EXPECT_EQ(err, "vornixpack extract: other.html: no puzzle settings in the page\n");
    EXPECT_FALSE(pkgtest::Exists(Path("x.png")));
}

}  // namespace

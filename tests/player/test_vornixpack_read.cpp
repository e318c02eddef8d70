// vornixpack inspect and extract as programs, on targets that vornixpack
// build wrote: what they print, what they write, and one line with exit code 1
// for anything that is not a sound puzzle program.
#include "player_test_util.h"
#include "../image/picture_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace playertest;

class InspectTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = testing::TempDir() + "vn_inspect_XXXXXX";
        ASSERT_TRUE(mkdtemp(&pattern[0]) != nullptr);
        dir = pattern + "/";
        stub = MakeStub(3);
        picture = MakeBmp(9, 6, 5, true);  // a top row like the one below: extracts exactly
        WriteFile(dir + "stub.exe", stub);
        WriteFile(dir + "p.bmp", picture);
    }

    void TearDown() override
    {
        std::system(("rm -rf '" + dir + "'").c_str());
    }

    // After prefix, a command such as "timeout 60 ".
    int Run(const std::string& arguments, const std::string& prefix = std::string())
    {
        std::string command = "cd '" + dir + "' && " + prefix + "'" VORNIXPACK_PATH "' " +
                              arguments + " >out.txt 2>err.txt";
        int status = std::system(command.c_str());
        Bytes o = ReadFileBytes(dir + "out.txt"), e = ReadFileBytes(dir + "err.txt");
        out.assign(o.begin(), o.end());
        err.assign(e.begin(), e.end());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Exit code 1 with exactly one line on stderr.
    void ExpectOneLineFailure(const std::string& arguments)
    {
        EXPECT_EQ(1, Run(arguments)) << arguments;
        EXPECT_EQ(1, std::count(err.begin(), err.end(), '\n')) << err;
        EXPECT_EQ("", out);
    }

    std::string dir, out, err;
    Bytes stub, picture;
};

TEST_F(InspectTest, ShowsLengthsThePictureAndTheSixFields)
{
    ASSERT_EQ(0, Run("build --stub stub.exe --picture p.bmp --grid 5 --shuffle --company 'Acme'"
                     " --tagline 'x|y' --win-url 'example.com/w?x=1' -o t.exe"));
    ASSERT_EQ(0, Run("inspect t.exe")) << err;
    const std::string record = "5|Acme| |x|y|YES|HTTP://example.com/w?x=1|END";
    EXPECT_EQ("stub length:    " + std::to_string(stub.size()) + "\n"
              "picture length: " + std::to_string(picture.size()) + "\n"
              "record length:  " + std::to_string(record.size()) + "\n"
              "picture:        BMP, 9 x 6 pixels, orientation 1\n"
              "grid size:      5\n"
              "company name:   Acme\n"
              "web site:        \n"
              "tag line:       x|y\n"
              "shuffle:        YES\n"
              "win address:    HTTP://example.com/w?x=1\n",
              out);

    // A phone photo's header: format, size and orientation.
    WriteFile(dir + "photo.jpg",
              picturetest::JpegHead(4000, 3000, picturetest::ExifSegment(6)));
    ASSERT_EQ(0, Run("build --stub stub.exe --picture photo.jpg -o photo.exe")) << err;
    ASSERT_EQ(0, Run("inspect photo.exe")) << err;
    EXPECT_NE(std::string::npos, out.find("picture:        JPEG, 4000 x 3000 pixels, orientation 6\n"))
        << out;
}

TEST_F(InspectTest, ControlBytesInTheFieldsAreShownEscaped)
{
    // ESC, BEL, a backslash, the C1 control U+009B (CSI) and a stray 0xFF;
    // "é" and "日本" are characters and pass through.
    ASSERT_EQ(0, Run("build --stub stub.exe --picture p.bmp"
                     " --company \"$(printf '\\033[2Jred\\007')\""
                     " --site \"$(printf 'a\\\\b\\302\\233c\\377')\""
                     " --tagline \"$(printf 'caf\\303\\251 \\346\\227\\245\\346\\234\\254')\""
                     " -o t.exe"))
        << err;
    ASSERT_EQ(0, Run("inspect t.exe")) << err;
    EXPECT_NE(std::string::npos, out.find("company name:   \\x1B[2Jred\\x07\n")) << out;
    EXPECT_NE(std::string::npos, out.find("web site:       a\\\\b\\xC2\\x9Bc\\xFF\n")) << out;
    EXPECT_NE(std::string::npos, out.find("tag line:       caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC\n"))
        << out;
    for (char c : out)
        EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << static_cast<int>(c);
}

TEST_F(InspectTest, ExtractWritesThePicture)
{
    ASSERT_EQ(0, Run("build --stub stub.exe --picture p.bmp --grid 3 -o t.exe"));
    ASSERT_EQ(0, Run("extract t.exe -o back.bmp")) << err;
    EXPECT_EQ(picture, ReadFileBytes(dir + "back.bmp"));
    ASSERT_EQ(0, Run("extract -o back2.bmp t.exe")) << err;
    EXPECT_EQ(picture, ReadFileBytes(dir + "back2.bmp"));
}

TEST_F(InspectTest, ExtractSaysWhichBytesItHadToGuess)
{
    // Rows that all differ: the guessed tail cannot come out right.
    const Bytes rough = MakeBmp(9, 6, 5, false);
    ASSERT_NE(0u, rough.size() % 8);
    WriteFile(dir + "rough.bmp", rough);
    ASSERT_EQ(0, Run("build --stub stub.exe --picture rough.bmp -o t.exe"));
    ASSERT_EQ(0, Run("extract t.exe -o back.bmp")) << err;
    const size_t guessed = rough.size() % 8;
    EXPECT_EQ("note: the last " + std::to_string(guessed) +
                  " bytes of the picture were reconstructed\n",
              err);
    const Bytes back = ReadFileBytes(dir + "back.bmp");
    ASSERT_EQ(rough.size(), back.size());
    EXPECT_TRUE(std::equal(rough.begin(), rough.end() - guessed, back.begin()));
    EXPECT_NE(rough, back) << "this tail cannot be guessed right";

    // A compressed picture is stored whole: it comes back with at most 7 zero
    // bytes after it, and nothing is guessed.
    Bytes png = picturetest::PngHead(7, 3);
    png.resize(png.size() + 5, 0x5A);
    ASSERT_NE(0u, png.size() % 8);
    WriteFile(dir + "p.png", png);
    ASSERT_EQ(0, Run("build --stub stub.exe --picture p.png -o t.exe")) << err;
    ASSERT_EQ(0, Run("extract t.exe -o back.png")) << err;
    EXPECT_EQ("", err);
    Bytes padded(png);
    padded.resize((png.size() + 7) / 8 * 8, 0);
    EXPECT_EQ(padded, ReadFileBytes(dir + "back.png"));
}

TEST_F(InspectTest, ExtractNeverOverwritesThePuzzleOrRemovesADevice)
{
    ASSERT_EQ(0, Run("build --stub stub.exe --picture p.bmp -o t.exe"));
    const Bytes target = ReadFileBytes(dir + "t.exe");
    ExpectOneLineFailure("extract t.exe -o t.exe");
    ExpectOneLineFailure("extract t.exe -o ./../" + dir.substr(dir.rfind('/', dir.size() - 2) + 1) +
                         "t.exe");
    EXPECT_EQ(target, ReadFileBytes(dir + "t.exe"));

    // A device that fails every write, and one that takes them. As root a
    // private node stands in for /dev/full, so that a fault could only ever
    // remove that one.
    std::string full = "/dev/full";
    if (mknod((dir + "full").c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0)
        full = dir + "full";
    else if (geteuid() == 0)
        GTEST_SKIP() << "no private device node for a root run";
    ExpectOneLineFailure("extract t.exe -o " + full);
    EXPECT_NE(std::string::npos, err.find(full)) << err;
    struct stat info;
    ASSERT_EQ(0, stat(full.c_str(), &info));
    EXPECT_TRUE(S_ISCHR(info.st_mode));
    ASSERT_EQ(0, Run("extract t.exe -o /dev/null")) << err;
    ASSERT_EQ(0, stat("/dev/null", &info));
    EXPECT_TRUE(S_ISCHR(info.st_mode));

    // An existing output is replaced whole, or not at all.
    WriteFile(dir + "old.bmp", Bytes(3, 'o'));
    ASSERT_EQ(0, Run("extract t.exe -o old.bmp")) << err;
    EXPECT_EQ(picture, ReadFileBytes(dir + "old.bmp"));
}

TEST_F(InspectTest, DamagedTargetsGiveOneLineAndExitOne)
{
    ASSERT_EQ(0, Run("build --stub stub.exe --picture p.bmp --grid 3 -o t.exe"));
    Bytes target = ReadFileBytes(dir + "t.exe");

    ExpectOneLineFailure("inspect stub.exe");
    EXPECT_NE(std::string::npos, err.find("holds no puzzle"));
    ExpectOneLineFailure("inspect missing.exe");
    ExpectOneLineFailure("inspect p.bmp");
    EXPECT_NE(std::string::npos, err.find("not an executable"));

    WriteFile(dir + "short.exe", Bytes(target.begin(), target.end() - 3));
    ExpectOneLineFailure("inspect short.exe");
    ExpectOneLineFailure("extract short.exe -o x.bmp");
    EXPECT_TRUE(ReadFileBytes(dir + "x.bmp").empty());

    Bytes lying(target);
    PutLe32(lying, stub.size(), 0x7FFFFFFF);
    WriteFile(dir + "lying.exe", lying);
    ExpectOneLineFailure("inspect lying.exe");
    EXPECT_NE(std::string::npos, err.find("picture length exceeds the file"));

    ExpectOneLineFailure("extract t.exe -o no-such-folder/x.bmp");
    EXPECT_EQ("vornixpack extract: could not create 'no-such-folder/x.bmp': the folder does not exist\n",
              err);

    // A folder is said to be one, for reading and for writing; a pipe is
    // never opened for writing, so no one waits for its reader.
    ASSERT_EQ(0, mkdir((dir + "photos").c_str(), 0755));
    ExpectOneLineFailure("inspect photos");
    EXPECT_EQ("vornixpack inspect: photos: it is a folder\n", err);
    ExpectOneLineFailure("extract photos -o x.bmp");
    EXPECT_EQ("vornixpack extract: photos: it is a folder\n", err);
    ExpectOneLineFailure("extract t.exe -o photos");
    EXPECT_EQ("vornixpack extract: could not create 'photos': it is a folder\n", err);
    ASSERT_EQ(0, mkfifo((dir + "pipe").c_str(), 0644));
    EXPECT_EQ(1, Run("extract t.exe -o pipe", "timeout 60 "));
    EXPECT_EQ("vornixpack extract: could not create 'pipe': it is a pipe, not a file\n", err);
    EXPECT_EQ(1, Run("inspect pipe", "timeout 60 "));
    EXPECT_EQ("vornixpack inspect: pipe: it is a pipe, not a file\n", err);

    ExpectOneLineFailure("inspect missing.exe");
    EXPECT_EQ("vornixpack inspect: missing.exe: cannot open file: No such file or directory\n", err);
}

TEST_F(InspectTest, UsageErrorsExitTwo)
{
    EXPECT_EQ(2, Run("inspect"));
    EXPECT_EQ(2, Run("inspect a.exe b.exe"));
    EXPECT_EQ(2, Run("inspect --bogus a.exe"));
    EXPECT_EQ(2, Run("extract t.exe"));
    EXPECT_EQ(2, Run("extract t.exe -o"));
    EXPECT_EQ(2, Run("extract t.exe -o a.bmp -o b.bmp"));
    EXPECT_EQ("vornixpack extract: option -o is given twice (see vornixpack extract --help)\n", err);
    EXPECT_EQ(0, Run("extract --help"));
    EXPECT_NE(std::string::npos, out.find("-o PICTURE"));
    EXPECT_EQ(0, Run("inspect --help"));
}

}  // namespace

// vornixpack inspect and extract as programs, on targets that vornixpack
// build wrote: what they print, what they write, and one line with exit code 1
// for anything that is not a sound puzzle program.
#include "player_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

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

    int Run(const std::string& arguments)
    {
        std::string command = "cd '" + dir + "' && '" VORNIXPACK_PATH "' " + arguments +
                              " >out.txt 2>err.txt";
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

TEST_F(InspectTest, ShowsLengthsAndTheSixFields)
{
    ASSERT_EQ(0, Run("build --stub stub.exe --picture p.bmp --grid 5 --shuffle --company 'Acme'"
                     " --tagline 'x|y' --win-url 'example.com/w?x=1' -o t.exe"));
    ASSERT_EQ(0, Run("inspect t.exe")) << err;
    const std::string record = "5|Acme| |x|y|YES|HTTP://example.com/w?x=1|END";
    EXPECT_EQ("stub length:    " + std::to_string(stub.size()) + "\n"
              "picture length: " + std::to_string(picture.size()) + "\n"
              "record length:  " + std::to_string(record.size()) + "\n"
              "grid size:      5\n"
              "company name:   Acme\n"
              "web site:        \n"
              "tag line:       x|y\n"
              "shuffle:        YES\n"
              "win address:    HTTP://example.com/w?x=1\n",
              out);
}

TEST_F(InspectTest, ExtractWritesThePicture)
{
    ASSERT_EQ(0, Run("build --stub stub.exe --picture p.bmp --grid 3 -o t.exe"));
    ASSERT_EQ(0, Run("extract t.exe -o back.bmp")) << err;
    EXPECT_EQ(picture, ReadFileBytes(dir + "back.bmp"));
    ASSERT_EQ(0, Run("extract -o back2.bmp t.exe")) << err;
    EXPECT_EQ(picture, ReadFileBytes(dir + "back2.bmp"));
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
}

TEST_F(InspectTest, UsageErrorsExitTwo)
{
    EXPECT_EQ(2, Run("inspect"));
    EXPECT_EQ(2, Run("inspect a.exe b.exe"));
    EXPECT_EQ(2, Run("inspect --bogus a.exe"));
    EXPECT_EQ(2, Run("extract t.exe"));
    EXPECT_EQ(2, Run("extract t.exe -o"));
    EXPECT_EQ(0, Run("extract --help"));
    EXPECT_NE(std::string::npos, out.find("-o PICTURE.bmp"));
    EXPECT_EQ(0, Run("inspect --help"));
}

}  // namespace

// vornixpack as a program: exit codes, help, and a build that writes what the
// package library writes for the same values.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "package_build.h"
#include "package_test_util.h"

#include <sys/wait.h>

namespace {

using pkgtest::Bytes;
using pkgtest::Pattern;
using pkgtest::ReadFileBytes;
using pkgtest::WriteAll;

class VornixpackTest : public pkgtest::ScratchTest {
protected:
    void SetUp() override
    {
        ScratchTest::SetUp();
        WriteAll(Path("vornix_distrib.exe"), Pattern(2000, 5));
        WriteAll(Path("p.bmp"), Pattern(777, 6));
    }

    // Runs vornixpack in the scratch folder; returns its exit code and keeps
    // what it printed.
    int Run(const std::string& arguments)
    {
        std::string command = "cd '" + dir.string() + "' && '" VORNIXPACK_PATH "' " + arguments +
                              " >out.txt 2>err.txt";
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

    std::string out, err;
};

TEST_F(VornixpackTest, HelpExplainsEveryOption)
{
    EXPECT_EQ(Run("--help"), 0);
    EXPECT_NE(out.find("vornixpack build"), std::string::npos);
    EXPECT_EQ(Run("build --help"), 0);
    for (const char* option : {"--picture", "--grid", "--shuffle", "--win-url", "--company",
                               "--site", "--tagline", "--stub", "-o"})
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
        "build -o t.exe",
        "build --picture p.bmp",
        "build --picture p.bmp stray -o t.exe",
    };
    for (const char* arguments : mistakes) {
        EXPECT_EQ(Run(arguments), 2) << arguments;
        if (*arguments) {
            EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << arguments << ": " << err;
        }
        EXPECT_FALSE(pkgtest::Exists(Path("t.exe"))) << arguments;
    }
}

TEST_F(VornixpackTest, BuildWritesWhatTheLibraryWrites)
{
    ASSERT_EQ(Run("build --picture p.bmp --grid 5 --shuffle --win-url example.com "
                  "--company 'Acme Ltd' --site acme.example --tagline 'a|b' -o t.exe"),
              0)
        << err;
    EXPECT_EQ(out,
              "Creating stub...\nDone.\nOpen Picture File..\nGenerating About Box...\n"
              "Appending File Info...\nAppending Picture...\nDone.\n");

    TargetBuildRequest request;
    request.targetPath = Path("expected.exe");
    request.picturePath = Path("p.bmp");
    request.stubPath = Path("vornix_distrib.exe");
    request.settings.gridSize = 5;
    request.settings.shuffle = true;
    request.settings.winAddress = "example.com";
    request.settings.companyName = "Acme Ltd";
    request.settings.webSite = "acme.example";
    request.settings.tagLine = "a|b";
    ASSERT_EQ(BuildTarget(request, [](const char*) {}), TargetBuildDone);
    EXPECT_EQ(ReadFileBytes(Path("t.exe")), ReadFileBytes(Path("expected.exe")));
}

TEST_F(VornixpackTest, DefaultsAreTheFormsInitialValues)
{
    ASSERT_EQ(Run("build --picture p.bmp -o t.exe"), 0) << err;
    TargetBuildRequest request;
    request.targetPath = Path("expected.exe");
    request.picturePath = Path("p.bmp");
    request.stubPath = Path("vornix_distrib.exe");
    ASSERT_EQ(BuildTarget(request, [](const char*) {}), TargetBuildDone);
    EXPECT_EQ(ReadFileBytes(Path("t.exe")), ReadFileBytes(Path("expected.exe")));
}

TEST_F(VornixpackTest, FailedBuildsExitWithOneAndTheErrorText)
{
    EXPECT_EQ(Run("build --picture p.bmp --stub nowhere.exe -o t.exe"), 1);
    EXPECT_EQ(out, "Creating stub...\nError - could not open stub.\n");

    EXPECT_EQ(Run("build --picture missing.bmp -o t.exe"), 1);
    EXPECT_NE(out.find("Error - could not open picture file.\n"), std::string::npos);

    EXPECT_EQ(Run("build --picture p.bmp -o p.bmp"), 1);
    EXPECT_EQ(out, "Error - target is the picture file.\n");

    EXPECT_EQ(Run("build --picture p.bmp -o no-such-folder/t.exe"), 1);
    EXPECT_EQ(out, "");
    EXPECT_NE(err.find("no-such-folder/t.exe"), std::string::npos);
}

}  // namespace

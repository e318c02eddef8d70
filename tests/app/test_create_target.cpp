// "GO !" on the real form: the controls are filled through their handles, the
// build command is sent synchronously, and the target is compared with what
// the package build writes for the same values.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app.h"
#include "package_build.h"
#include "test_files.h"
#include "win_test_util.h"

namespace {

typedef std::vector<unsigned char> Bytes;

Bytes Filler(size_t n, unsigned seed)
{
    Bytes data(n);
    for (size_t i = 0; i < n; ++i)
        data[i] = static_cast<unsigned char>((i * 131 + seed * 17) ^ (i >> 3));
    return data;
}

uint32_t Little32(const Bytes& data, size_t at)
{
    return data[at] | data[at + 1] << 8 | data[at + 2] << 16 | static_cast<uint32_t>(data[at + 3]) << 24;
}

class CreateTargetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        ASSERT_NE(GetTempPathA(sizeof temp, temp), 0u);
        folder = std::string(temp) + "vnpkg_create_target_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), NULL);
        stubFolder = folder + "\\with_stub";
        emptyFolder = folder + "\\without_stub";
        CreateDirectoryA(stubFolder.c_str(), NULL);
        CreateDirectoryA(emptyFolder.c_str(), NULL);
        ASSERT_TRUE(vntest::WriteFileBytes(stubFolder + "\\vornix_distrib.exe", Filler(4099, 1)));
        ASSERT_TRUE(vntest::WriteFileBytes(folder + "\\picture.bmp", Filler(2005, 2)));

        GetCurrentDirectoryA(sizeof previousDirectory, previousDirectory);
        AppInstance = GetModuleHandleA(NULL);
        ASSERT_TRUE(RegisterMainWindowClass());
        window = CreateMainWindow();
        ASSERT_NE(window, (HWND)NULL);
    }

    void TearDown() override
    {
        if (window)
            DestroyWindow(window);
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        }
        MainWindow = NULL;
        SetCurrentDirectoryA(previousDirectory);
        for (const char* name : {"\\with_stub\\vornix_distrib.exe", "\\picture.bmp", "\\target.exe",
                                 "\\expected.exe"})
            DeleteFileA((folder + name).c_str());
        RemoveDirectoryA(stubFolder.c_str());
        RemoveDirectoryA(emptyFolder.c_str());
        RemoveDirectoryA(folder.c_str());
    }

    void FillForm()
    {
        SetWindowTextA(PictureFileEdit, (folder + "\\picture.bmp").c_str());
        SetWindowTextA(GridSizeField, "5");
        SendMessageA(ShuffleCheckBox, BM_SETCHECK, BST_CHECKED, 0);
        SetWindowTextA(WinUrlEdit, "Https://example.com/won");
        SetWindowTextA(CompanyNameEdit, "Acme Ltd");
        SetWindowTextA(WebSiteEdit, "");
        SetWindowTextA(TagLineEdit, "slide|win");
        SetWindowTextA(TargetPathEdit, (folder + "\\target.exe").c_str());
    }

    void PressGo()
    {
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(IdCreateTarget, BN_CLICKED),
                     (LPARAM)CreateTargetButton);
    }

    std::string folder, stubFolder, emptyFolder;
    char previousDirectory[MAX_PATH] = "";
    HWND window = NULL;
};

TEST_F(CreateTargetTest, GoWritesWhatThePackageBuildWrites)
{
    ASSERT_TRUE(SetCurrentDirectoryA(stubFolder.c_str()));
    FillForm();
    EXPECT_EQ(GridSize, 5);
    PressGo();
    EXPECT_EQ(vntest::WindowText(StatusText), "Done.");
    EXPECT_STREQ(FileNameBuffer, (folder + "\\target.exe").c_str());

    TargetBuildRequest request;
    request.targetPath = folder + "\\expected.exe";
    request.picturePath = folder + "\\picture.bmp";
    request.stubPath = stubFolder + "\\vornix_distrib.exe";
    request.settings.gridSize = 5;
    request.settings.shuffle = true;
    request.settings.winAddress = "Https://example.com/won";
    request.settings.companyName = "Acme Ltd";
    request.settings.tagLine = "slide|win";
    ASSERT_EQ(BuildTarget(request, [](const char*) {}), TargetBuildDone);

    Bytes target = vntest::ReadFileBytes(folder + "\\target.exe");
    Bytes expected = vntest::ReadFileBytes(folder + "\\expected.exe");
    ASSERT_FALSE(expected.empty());
    EXPECT_TRUE(target == expected);
    EXPECT_EQ(target.size(), expected.size());
}

TEST_F(CreateTargetTest, LongTextsAreCutByTheFormsBuffers)
{
    ASSERT_TRUE(SetCurrentDirectoryA(stubFolder.c_str()));
    FillForm();
    SetWindowTextA(CompanyNameEdit, std::string(300, 'c').c_str());
    SetWindowTextA(WinUrlEdit, std::string(1100, 'w').c_str());
    PressGo();
    ASSERT_EQ(vntest::WindowText(StatusText), "Done.");
    Bytes target = vntest::ReadFileBytes(folder + "\\target.exe");
    ASSERT_GE(target.size(), 4099u + 8u);
    // "5|" + 254 c + "| |slide|win|YES|HTTP://" + 1023 w + "|END"
    EXPECT_EQ(Little32(target, 4099 + 4), 2u + 254u + 24u + 1023u + 4u);
}

TEST_F(CreateTargetTest, NoStubInTheCurrentFolderLeavesAnEmptyTarget)
{
    ASSERT_TRUE(SetCurrentDirectoryA(emptyFolder.c_str()));
    FillForm();
    PressGo();
    EXPECT_EQ(vntest::WindowText(StatusText), "Error - could not open stub.");
    EXPECT_NE(GetFileAttributesA((folder + "\\target.exe").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(vntest::ReadFileBytes(folder + "\\target.exe").empty());
}

TEST_F(CreateTargetTest, EmptyTargetPathChangesNothing)
{
    ASSERT_TRUE(SetCurrentDirectoryA(stubFolder.c_str()));
    FillForm();
    SetWindowTextA(TargetPathEdit, "");
    PressGo();
    EXPECT_EQ(vntest::WindowText(StatusText), "Idle");
    EXPECT_EQ(GetFileAttributesA((folder + "\\target.exe").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(CreateTargetTest, TargetThatIsThePictureIsRefused)
{
    ASSERT_TRUE(SetCurrentDirectoryA(stubFolder.c_str()));
    FillForm();
    SetWindowTextA(TargetPathEdit, (folder + "\\PICTURE.BMP").c_str());
    PressGo();
    EXPECT_EQ(vntest::WindowText(StatusText), "Error - target is the picture file.");
    EXPECT_TRUE(vntest::ReadFileBytes(folder + "\\picture.bmp") == Filler(2005, 2));
}

}  // namespace

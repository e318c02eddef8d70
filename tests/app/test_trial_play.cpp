// File > "Test Play" (F5) with the product's player stub: faults reported as
// "GO !" reports them; the puzzle built into a temporary file without the
// Target field and started; its player showing the picture; the file gone
// when that player ends; files an earlier run left removed at the next
// start while a running one's stays.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "builder_window.h"
#include "control_text.h"
#include "selection_test_util.h"

namespace {

const COLORREF Red = RGB(220, 40, 40);
const COLORREF Blue = RGB(40, 60, 220);

class TestPlayTest : public vntest::ScratchWindowTest {
protected:
    void SetUp() override
    {
        // Temporary files of this test in a folder of its own.
        temp = vntest::ScratchFolder() + "temp\\";
        CreateDirectoryA(temp.c_str(), NULL);
        SetEnvironmentVariableA("TMP", temp.c_str());
        playFolder = temp + "Vornix SDK Test Play\\";
        ScratchWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        GetCurrentDirectoryA(sizeof previousDirectory, previousDirectory);
        SetCurrentDirectoryA(folder.c_str());  // no player stub here
        lstrcpynA(ProgramFolder, VN_WIN_BIN_DIR, sizeof ProgramFolder);
        for (char* c = ProgramFolder; *c; ++c)
            if (*c == '/')
                *c = '\\';
    }

    void TearDown() override
    {
        SetCurrentDirectoryA(previousDirectory);
        ScratchWindowTest::TearDown();
        SetEnvironmentVariableA("TMP", NULL);
    }

    std::vector<std::string> PlayFiles() const
    {
        std::vector<std::string> files = vntest::FilesMatching(playFolder + "*");
        std::sort(files.begin(), files.end());
        return files;
    }

    std::string temp, playFolder;
    char previousDirectory[MAX_PATH] = "";
};

TEST_F(TestPlayTest, FromGosFaultsToAPlayerThatShowsThePictureAndLeavesNothing)
{
    // The same faults as "GO !", the same texts, a reason on the second line;
    // nothing started, nothing left.
    std::string notes = folder + "notes.bmp", picture = folder + "halves.bmp";
    ASSERT_TRUE(vntest::WriteFileBytes(notes, "no picture", 10));
    ASSERT_TRUE(vntest::WriteBmp24(picture, 60, 60, [](int x, int) { return x < 30 ? Red : Blue; }));
    SetWindowTextA(GridSizeField, "3");
    const struct {
        std::string picture;
        const char* company;
        const char* status;
        bool reason;
    } faults[] = {
        {folder + "missing.bmp", "", "Error - could not open picture file.", true},
        {notes, "", "Error - picture is not a supported image.", false},
        {picture, "A|B", "Error - the company name and web site cannot hold '|'.", false},
    };
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.status);
        SetWindowTextA(PictureFileEdit, fault.picture.c_str());
        SetWindowTextA(CompanyNameEdit, fault.company);
        SendMessageA(window, WM_COMMAND, IdMenuTestPlay, 0);
        const std::string shown = vntest::WindowText(StatusText);
        EXPECT_EQ(shown.substr(0, shown.find('\r')), fault.status);
        EXPECT_EQ(shown.find("\r\n") != std::string::npos, fault.reason);
        EXPECT_TRUE(PlayFiles().empty());
    }
    EXPECT_EQ(vntest::WaitForTopWindow("VORNIXPLAYER", NULL, 0, 300), (HWND)NULL);

    // F5 without a target: started from a temporary file, nothing written
    // beside the picture.
    SetWindowTextA(CompanyNameEdit, "");
    SetWindowTextA(TargetPathEdit, "");
    ASSERT_TRUE(vntest::PressKey(VK_F5));
    EXPECT_EQ(vntest::WindowText(StatusText), "Test play started.");
    EXPECT_EQ(vntest::WindowText(TargetPathEdit), "");
    std::vector<std::string> files = PlayFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].substr(files[0].size() - 4), ".exe");
    EXPECT_EQ(GetFileAttributesA((folder + "halves.exe").c_str()), INVALID_FILE_ATTRIBUTES);

    // Its player shows the picture, with no error box: both halves' colours.
    HWND board = vntest::WaitForTopWindow("VORNIXPLAYER", NULL, 0, 30000);
    ASSERT_NE(board, (HWND)NULL) << "no player came up";
    DWORD player = 0;
    GetWindowThreadProcessId(board, &player);
    EXPECT_EQ(vntest::WaitForTopWindow("#32770", NULL, player, 500), (HWND)NULL);
    int red = 0, blue = 0;
    EXPECT_TRUE(vntest::WaitUntil([&] {
        RECT client;
        GetClientRect(board, &client);
        MapWindowPoints(board, NULL, reinterpret_cast<POINT*>(&client), 2);
        vntest::CapturedPixels shot = vntest::CaptureScreenRect(client);
        red = static_cast<int>(std::count(shot.pixels.begin(), shot.pixels.end(), Red));
        blue = static_cast<int>(std::count(shot.pixels.begin(), shot.pixels.end(), Blue));
        return red > 1000 && blue > 1000;
    }, 10000)) << red << " red, " << blue << " blue";

    // The player ends: its file goes.
    PostMessageA(board, WM_CLOSE, 0, 0);
    EXPECT_TRUE(vntest::WaitUntil([&] { return PlayFiles().empty(); }, 20000));

    // Files an earlier run left go at the next start, except one still in
    // use (as a player that still runs holds its file) and other files.
    for (const char* name : {"Puzzle 1-1.exe", "Puzzle 1-2.exe", "kept.txt"})
        ASSERT_TRUE(vntest::WriteFileBytes(playFolder + name, "old", 3));
    HANDLE inUse = CreateFileA((playFolder + "Puzzle 1-2.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                               OPEN_EXISTING, 0, NULL);
    ASSERT_NE(inUse, INVALID_HANDLE_VALUE);
    Restart();
    CloseHandle(inUse);
    EXPECT_EQ(PlayFiles(), std::vector<std::string>({"Puzzle 1-2.exe", "kept.txt"}));
}

}  // namespace

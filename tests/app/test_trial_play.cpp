// File > "Test Play" (F5) with the product's player stub: the puzzle is
// built into a temporary file without the Target field and started; its
// player shows the picture; the file goes when that player ends. Faults are
// reported as "GO !" reports them, and files an earlier run left are
// removed at the next start while a running one's stays.
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
        picture = folder + "halves.bmp";
        ASSERT_TRUE(vntest::WriteBmp24(picture, 60, 60, [](int x, int) { return x < 30 ? Red : Blue; }));
        SetWindowTextA(PictureFileEdit, picture.c_str());
        SetWindowTextA(GridSizeField, "3");
    }

    void TearDown() override
    {
        SetCurrentDirectoryA(previousDirectory);
        ScratchWindowTest::TearDown();
        SetEnvironmentVariableA("TMP", NULL);
    }

    bool PressF5()
    {
        MSG msg = {};
        msg.hwnd = GetFocus() ? GetFocus() : window;
        msg.message = WM_KEYDOWN;
        msg.wParam = VK_F5;
        msg.lParam = 1;
        return HandleFormKeys(&msg);
    }

    std::vector<std::string> PlayFiles() const { return vntest::FilesMatching(playFolder + "*"); }

    std::string temp, playFolder, picture;
    char previousDirectory[MAX_PATH] = "";
};

TEST_F(TestPlayTest, F5StartsThePuzzleWhichGoesWhenItsPlayerEnds)
{
    SetWindowTextA(TargetPathEdit, "");
    ASSERT_TRUE(PressF5());
    EXPECT_EQ(vntest::WindowText(StatusText), "Test play started.");
    EXPECT_EQ(vntest::WindowText(TargetPathEdit), "");
    std::vector<std::string> files = PlayFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].substr(files[0].size() - 4), ".exe");
    // Nothing written beside the picture.
    EXPECT_EQ(GetFileAttributesA((folder + "halves.exe").c_str()), INVALID_FILE_ATTRIBUTES);

    // Its player shows the picture: both halves' colours on its board.
    HWND board = vntest::WaitForTopWindow("VORNIXPLAYER", NULL, 0, 30000);
    ASSERT_NE(board, (HWND)NULL) << "no player came up";
    DWORD player = 0;
    GetWindowThreadProcessId(board, &player);
    EXPECT_NE(player, GetCurrentProcessId());
    EXPECT_EQ(vntest::WaitForTopWindow("#32770", NULL, player, 500), (HWND)NULL);  // no error box
    int red = 0, blue = 0;
    vntest::WaitUntil([&] {
        RECT client;
        GetClientRect(board, &client);
        POINT origin = {0, 0};
        ClientToScreen(board, &origin);
        OffsetRect(&client, origin.x, origin.y);
        vntest::CapturedPixels shot = vntest::CaptureScreenRect(client);
        red = blue = 0;
        for (COLORREF c : shot.pixels) {
            red += c == Red;
            blue += c == Blue;
        }
        return red > 1000 && blue > 1000;
    }, 10000);
    EXPECT_GT(red, 1000);
    EXPECT_GT(blue, 1000);

    // The player ends: its file goes.
    PostMessageA(board, WM_CLOSE, 0, 0);
    EXPECT_TRUE(vntest::WaitUntil([&] { return PlayFiles().empty(); }, 20000));
}

TEST_F(TestPlayTest, FaultsAreReportedAsGoReportsThemAndNothingStays)
{
    // The same fault as "GO !", the same text; the reason on the second line.
    SetWindowTextA(PictureFileEdit, (folder + "missing.bmp").c_str());
    SendMessageA(window, WM_COMMAND, IdMenuTestPlay, 0);
    std::string shown = vntest::WindowText(StatusText);
    EXPECT_EQ(shown.substr(0, shown.find('\r')), "Error - could not open picture file.");
    EXPECT_NE(shown.find("\r\n"), std::string::npos);
    EXPECT_TRUE(PlayFiles().empty());

    std::string notes = folder + "notes.bmp";
    ASSERT_TRUE(vntest::WriteFileBytes(notes, "no picture", 10));
    SetWindowTextA(PictureFileEdit, notes.c_str());
    SendMessageA(window, WM_COMMAND, IdMenuTestPlay, 0);
    EXPECT_EQ(vntest::WindowText(StatusText), "Error - picture is not a supported image.");
    EXPECT_TRUE(PlayFiles().empty());

    SetWindowTextA(PictureFileEdit, picture.c_str());
    SetWindowTextA(CompanyNameEdit, "A|B");
    SendMessageA(window, WM_COMMAND, IdMenuTestPlay, 0);
    EXPECT_EQ(vntest::WindowText(StatusText), "Error - the company name and web site cannot hold '|'.");
    EXPECT_TRUE(PlayFiles().empty());
    EXPECT_EQ(vntest::WaitForTopWindow("VORNIXPLAYER", NULL, 0, 300), (HWND)NULL);
}

TEST_F(TestPlayTest, FilesLeftByAnEarlierRunGoAtTheNextStartUnlessInUse)
{
    CreateDirectoryA(playFolder.c_str(), NULL);
    ASSERT_TRUE(vntest::WriteFileBytes(playFolder + "Puzzle 1-1.exe", "old", 3));
    ASSERT_TRUE(vntest::WriteFileBytes(playFolder + "Puzzle 1-2.exe", "old", 3));
    ASSERT_TRUE(vntest::WriteFileBytes(playFolder + "kept.txt", "other", 5));
    // One still in use, as a player that still runs holds its file.
    HANDLE inUse = CreateFileA((playFolder + "Puzzle 1-2.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                               OPEN_EXISTING, 0, NULL);
    ASSERT_NE(inUse, INVALID_HANDLE_VALUE);
    DestroyWindow(window);
    vntest::PumpMessages();
    vntest::TakeQuitMessage();
    window = CreateMainWindow();
    ASSERT_NE(window, (HWND)NULL);
    CloseHandle(inUse);
    std::vector<std::string> left = PlayFiles();
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, std::vector<std::string>({"Puzzle 1-2.exe", "kept.txt"}));
}

}  // namespace

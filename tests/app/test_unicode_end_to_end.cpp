// Non-ASCII everywhere, through the real programs: a picture in a folder and
// under a name outside any 8-bit code page is chosen in the builder's open
// dialog, the About texts are "Café Ünïcødé ☕" and "Пазл", the target is
// "Pièce 日本.exe"; "GO !" builds it, the target started from its folder
// plays and its About box shows the texts exactly, and vornixpack.exe given
// the same paths and texts on its command line writes the same bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player_ids.h"
#include "selection_test_util.h"

namespace {

const DWORD Timeout = 30000;

std::wstring Wide(const std::string& utf8)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, NULL, 0);
    std::wstring wide(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1)
        MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], n);
    return wide;
}

std::string ProductPath(const char* name)
{
    std::string path = VN_WIN_BIN_DIR;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path + "\\" + name;
}

// A started program, ended when the test is done with it.
struct Program {
    PROCESS_INFORMATION process = {};

    ~Program()
    {
        if (!process.hProcess)
            return;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, Timeout);
        }
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }

    bool Start(const std::wstring& program, const std::wstring& arguments, const std::wstring& folder)
    {
        std::wstring line = L"\"" + program + L"\"" + arguments;
        std::vector<wchar_t> commandLine(line.begin(), line.end());
        commandLine.push_back(L'\0');
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        return CreateProcessW(program.c_str(), commandLine.data(), NULL, NULL, FALSE, 0, NULL,
                              folder.empty() ? NULL : folder.c_str(), &startup, &process) != FALSE;
    }

    long Wait()
    {
        if (WaitForSingleObject(process.hProcess, Timeout) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 1234;
        GetExitCodeProcess(process.hProcess, &code);
        return (long)code;
    }
};

std::wstring ItemText(HWND dialog, int id)
{
    wchar_t text[512] = L"";
    HWND item = GetDlgItem(dialog, id);
    if (item)
        SendMessageW(item, WM_GETTEXT, sizeof text / sizeof text[0], (LPARAM)text);
    return text;
}

std::wstring Quoted(const std::wstring& text)
{
    return L" \"" + text + L"\"";
}

class UnicodeEndToEnd : public vntest::ScratchWindowTest {};

TEST_F(UnicodeEndToEnd, PictureTextsAndTargetOutsideTheCodePageSurviveTheWholeWay)
{
    if (GetACP() != CP_UTF8)
        GTEST_SKIP() << "this system ignores the UTF-8 code page of the manifest (code page " << GetACP() << ")";

    const std::string pictureFolder = folder + "Fotos \xC3\xA9t\xC3\xA9\\";
    const std::string picture = pictureFolder + "\xE6\x97\xA5\xE6\x9C\xAC\xE3\x81\xAE\xE5\xB1\xB1.bmp";
    const std::string target = folder + "Pi\xC3\xA8" "ce \xE6\x97\xA5\xE6\x9C\xAC.exe";
    const std::string fromTool = folder + "Pi\xC3\xA8" "ce \xE6\x97\xA5\xE6\x9C\xAC (tool).exe";
    const std::wstring company = L"Caf\x00E9 \x00DCn\x00EF" L"c\x00F8" L"d\x00E9 \x2615";
    const std::wstring tagLine = L"\x041F\x0430\x0437\x043B";
    ASSERT_TRUE(CreateDirectoryW(Wide(pictureFolder).c_str(), NULL));
    ASSERT_TRUE(vntest::WriteBmp24(picture, 90, 60, [](int x, int y) {
        return RGB(40 + x * 2, 200 - y * 3, (x / 30 + y / 20) * 60);
    }));

    // The picture through the dialog, the texts typed, "GO !".
    vntest::DialogScript script;
    script.title = "Open Picture File";
    script.fileName = picture;
    vntest::RunWithDialog(window, IdPictureBrowse, script);
    ASSERT_TRUE(script.closed);
    EXPECT_EQ(vntest::WindowText(PictureFileEdit), picture);
    ASSERT_NE(PreviewBitmap, (HBITMAP)NULL);
    EXPECT_EQ(PictureWidth, 90);

    SetWindowTextA(GridSizeField, "3");
    SetWindowTextW(CompanyNameEdit, company.c_str());
    SetWindowTextW(TagLineEdit, tagLine.c_str());
    SetWindowTextA(TargetPathEdit, target.c_str());
    char here[MAX_PATH];
    GetCurrentDirectoryA(sizeof here, here);
    SetCurrentDirectoryA(folder.c_str());
    lstrcpynA(ProgramFolder, VN_WIN_BIN_DIR, sizeof ProgramFolder);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IdCreateTarget, BN_CLICKED), (LPARAM)CreateTargetButton);
    SetCurrentDirectoryA(here);
    ASSERT_EQ(vntest::WindowText(StatusText), "Done.\r\n" + target);
    std::vector<uint8_t> built = vntest::ReadFileBytes(target);
    ASSERT_FALSE(built.empty());

    // The target, started from its folder, plays.
    {
        Program player;
        ASSERT_TRUE(player.Start(Wide(target), L"", Wide(folder)));
        HWND board = vntest::WaitForTopWindow("VORNIXPLAYER", NULL, player.process.dwProcessId, Timeout);
        ASSERT_NE(board, (HWND)NULL) << "the target showed no board";
        // No message box of the player's (a damaged or unreadable puzzle).
        EXPECT_EQ(vntest::WaitForTopWindow("#32770", NULL, player.process.dwProcessId, 500), (HWND)NULL);

        // Its About box shows the texts exactly.
        PostMessageA(board, WM_COMMAND, IdHelpAbout, 0);
        HWND about = vntest::WaitForTopWindow("#32770", NULL, player.process.dwProcessId, Timeout);
        ASSERT_NE(about, (HWND)NULL);
        vntest::WaitUntil([&] { return !ItemText(about, IdAboutCompany).empty(); }, 5000);
        EXPECT_TRUE(ItemText(about, IdAboutCompany) == company);
        EXPECT_TRUE(ItemText(about, IdAboutTagLine) == tagLine);
        PostMessageA(about, WM_COMMAND, IDOK, 0);
        vntest::WaitUntil([&] { return !IsWindow(about); }, 5000);
        PostMessageA(board, WM_CLOSE, 0, 0);
        EXPECT_EQ(player.Wait(), 0);
    }

    // The command-line builder, given the same, writes the same bytes.
    Program tool;
    std::wstring arguments = L" build --picture" + Quoted(Wide(picture)) + L" --grid 3 --win-url" +
                             Quoted(L"http://") + L" --company" + Quoted(company) + L" --tagline" +
                             Quoted(tagLine) + L" --stub" + Quoted(Wide(ProductPath("vornix_distrib.exe"))) +
                             L" -o" + Quoted(Wide(fromTool));
    ASSERT_TRUE(tool.Start(Wide(ProductPath("vornixpack.exe")), arguments, Wide(folder)));
    EXPECT_EQ(tool.Wait(), 0);
    EXPECT_TRUE(vntest::ReadFileBytes(fromTool) == built);
}

}  // namespace

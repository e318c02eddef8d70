// Helpers of the tests of what is shipped: the released files' folder, other
// processes started and awaited with a timeout, texts of windows in other
// processes, a small picture, and the player driven to a solve.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "test_files.h"
#include "win_test_util.h"

namespace disttest {

// How long to wait for another process to install, show or end something:
// long enough for a busy machine; only a failure ever waits this long.
const DWORD Patience = 60000;

// A file that make-dist wrote for the tests (build/win/dist-test).
inline std::string DistPath(const std::string& relative)
{
    std::string path = std::string(VN_WIN_DIST_DIR) + "\\" + relative;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// A program started by a test and ended by it if it is still running.
class Process : public vntest::ChildProcess {
public:
    explicit Process(const std::string& commandLine, const std::string& folder = std::string())
        : ChildProcess(commandLine, folder)
    {
    }
    DWORD WaitForExit(DWORD timeoutMs = Patience) { return ChildProcess::WaitForExit(timeoutMs); }
};

// Runs a command line to its end; its exit code, STILL_ACTIVE on timeout.
inline DWORD Run(const std::string& commandLine, DWORD timeoutMs = Patience)
{
    Process process(commandLine);
    return process.WaitForExit(timeoutMs);
}

// A window's text, asked for with WM_GETTEXT (which, unlike GetWindowTextA,
// reaches the controls of another process).
inline std::string RemoteText(HWND window)
{
    char text[1024] = "";
    DWORD_PTR length = 0;
    if (!window || !SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, (LPARAM)text,
                                        SMTO_ABORTIFHUNG, 10000, &length))
        return "<no text>";
    return std::string(text, length < sizeof text ? length : 0);
}

struct ChildSearch {
    const char* className;
    std::vector<HWND> found;
};

inline BOOL CALLBACK CollectChildOfClass(HWND child, LPARAM data)
{
    ChildSearch* search = reinterpret_cast<ChildSearch*>(data);
    // A class of Common Controls 6 may carry its version: "6.0.2600.2982!Edit".
    std::string name = vntest::ClassName(child);
    name.erase(0, name.find('!') + 1);
    if (lstrcmpiA(name.c_str(), search->className) == 0)
        search->found.push_back(child);
    return TRUE;
}

// The children of a window of one class, in creation order.
inline std::vector<HWND> ChildrenOfClass(HWND parent, const char* className)
{
    ChildSearch search = {className, {}};
    EnumChildWindows(parent, CollectChildOfClass, (LPARAM)&search);
    return search.found;
}

// The text of a message box of the process; the box is closed with the
// given button (OK for plain messages, No for the player's "Play again?").
inline std::string TakeMessageBox(DWORD processId, const char* title = NULL, int button = IDOK)
{
    HWND box = vntest::WaitForTopWindow("#32770", title, processId, Patience);
    if (!box)
        return "<no message box>";
    std::string text = RemoteText(GetDlgItem(box, 0xFFFF));  // the message text control
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    vntest::WaitUntil([&] { return !IsWindow(box); }, Patience);
    return text;
}

// A 24-bit bottom-up BMP of side x side pixels in blocks of colour.
inline std::vector<uint8_t> BlockPicture(int side)
{
    return vntest::Bmp24File(side, side, [&](int x, int top, uint8_t* p) {
        const int y = side - 1 - top;  // counted from the bottom row
        p[0] = static_cast<uint8_t>(40 + 200 * (x * 3 / side) / 2);
        p[1] = static_cast<uint8_t>(40 + 200 * (y * 3 / side) / 2);
        p[2] = static_cast<uint8_t>(200 - 60 * ((x + y) * 3 / side));
    });
}

inline void Key(HWND window, WPARAM key)
{
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

// Starts an unshuffled puzzle program, waits for its window, slides one
// tile out of place and back, and returns the message it shows on the solve
// (or what went wrong). The program is closed afterwards.
inline std::string PlayTwoMovesAwayAndBack(const std::string& puzzle, const std::string& folder)
{
    Process game("\"" + puzzle + "\"", folder);
    if (!game.started)
        return "<not started>";
    HWND player = vntest::WaitForTopWindow("VORNIXPLAYER", "Vornix Puzzle", game.Id(), Patience);
    if (!player)
        return "<no player window>";
    // The gap starts bottom right. A board that starts solved counts a solve
    // only once it has been more than one slide away: Right and Down take
    // two tiles out of place, Up and Left put them back.
    Key(player, VK_RIGHT);
    Key(player, VK_DOWN);
    Key(player, VK_UP);
    Key(player, VK_LEFT);
    std::string message = TakeMessageBox(game.Id(), "Vornix Puzzle", IDNO);
    PostMessageA(player, WM_CLOSE, 0, 0);
    if (game.WaitForExit() != 0)
        return "<did not end with 0> " + message;
    return message;
}

}  // namespace disttest

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
class Process {
public:
    Process(const std::string& commandLine, const std::string& folder = std::string())
    {
        STARTUPINFOA startup;
        ZeroMemory(&startup, sizeof startup);
        startup.cb = sizeof startup;
        std::vector<char> line(commandLine.begin(), commandLine.end());
        line.push_back('\0');
        started = CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL,
                                 folder.empty() ? NULL : folder.c_str(), &startup, &info) != 0;
    }

    ~Process()
    {
        if (!started)
            return;
        if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info.hProcess, 99);
            WaitForSingleObject(info.hProcess, 10000);
        }
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }

    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    DWORD Id() const { return info.dwProcessId; }

    // The exit code, or STILL_ACTIVE when the program has not ended in time.
    DWORD WaitForExit(DWORD timeoutMs = Patience)
    {
        if (!started)
            return STILL_ACTIVE;
        vntest::WaitUntil([&] { return WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0; },
                          timeoutMs);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(info.hProcess, &code);
        return code;
    }

    bool started = false;
    PROCESS_INFORMATION info = {};
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
    const int stride = (side * 3 + 3) & ~3;
    std::vector<uint8_t> file(54 + static_cast<size_t>(stride) * side, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(side));
    put32(22, static_cast<uint32_t>(side));
    file[26] = 1;
    file[28] = 24;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            uint8_t* p = &file[54 + static_cast<size_t>(y) * stride + x * 3];
            p[0] = static_cast<uint8_t>(40 + 200 * (x * 3 / side) / 2);
            p[1] = static_cast<uint8_t>(40 + 200 * (y * 3 / side) / 2);
            p[2] = static_cast<uint8_t>(200 - 60 * ((x + y) * 3 / side));
        }
    return file;
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

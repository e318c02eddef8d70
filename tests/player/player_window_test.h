// The player's real window inside a test process: a package's contents made
// in memory are taken as the puzzle, the window is opened as the player's
// entry opens it, and the tests send it messages synchronously and read its
// pixels back from the screen.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "player_state.h"
#include "test_files.h"
#include "win_test_util.h"

namespace playerwin {

typedef std::vector<uint8_t> Bytes;

// A 24-bit BMP file of width x height whose pixel (x, y), y = 0 at the top,
// has colour(x, y).
inline Bytes BmpFile(int width, int height, const std::function<COLORREF(int, int)>& colour)
{
    return vntest::Bmp24File(width, height, [&](int x, int y, uint8_t* p) {
        COLORREF c = colour(x, y);
        p[0] = GetBValue(c);
        p[1] = GetGValue(c);
        p[2] = GetRValue(c);
    });
}

inline bool Near(COLORREF a, COLORREF b, int tolerance = 8)
{
    return abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// Answers the message boxes this process shows, from a second thread, with
// one button, and keeps their texts.
class MessageBoxAnswer {
public:
    explicit MessageBoxAnswer(int button) : button(button), worker([this] { Run(); }) {}
    ~MessageBoxAnswer()
    {
        stop = true;
        worker.join();
    }
    std::vector<std::string> Texts()
    {
        std::vector<std::string> copy;
        {
            std::lock_guard<std::mutex> hold(lock);
            copy = texts;
        }
        return copy;
    }

private:
    void Run()
    {
        while (!stop) {
            HWND box = NULL;
            EnumThreadWindowsHelper(&box);
            if (box) {
                char text[1024] = {0};
                HWND label = GetDlgItem(box, 0xFFFF);
                if (label)
                    SendMessageA(label, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
                {
                    std::lock_guard<std::mutex> hold(lock);
                    texts.push_back(text);
                }
                PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
                for (int i = 0; i < 500 && IsWindow(box); ++i)
                    Sleep(10);
            }
            Sleep(10);
        }
    }

    static BOOL CALLBACK Match(HWND window, LPARAM param)
    {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == GetCurrentProcessId() && IsWindowVisible(window) &&
            vntest::ClassName(window) == "#32770") {
            *reinterpret_cast<HWND*>(param) = window;
            return FALSE;
        }
        return TRUE;
    }

    static void EnumThreadWindowsHelper(HWND* found)
    {
        EnumWindows(Match, reinterpret_cast<LPARAM>(found));
    }

    int button;
    std::atomic<bool> stop{false};
    std::mutex lock;
    std::vector<std::string> texts;
    std::thread worker;
};

// Fixture: the puzzle is made from a picture and the record's settings, the
// window opened centred in a 1280 x 1024 work area and shown.
class PlayerWindowTest : public ::testing::Test {
protected:
    void Open(const Bytes& picture, int grid, bool shuffle = false)
    {
        PackageContents contents;
        contents.picture = picture;
        contents.record.gridSize = std::to_string(grid);
        contents.record.companyName = "Test Co";
        contents.record.webSite = " ";
        contents.record.tagLine = " ";
        contents.record.shuffle = shuffle ? "YES" : "NO";
        contents.record.winAddress = "NONE";
        contents.recordText = contents.record.gridSize + "|Test Co| | |" + contents.record.shuffle +
                              "|NONE|" + std::to_string(picture.size()) + "|END";
        PlayerInstance = GetModuleHandleA(NULL);
        PuzzleFailure failure = PuzzleDamaged;
        ASSERT_TRUE(PreparePuzzle(contents, &failure)) << PuzzleFailureText(failure);
        RECT work;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        AnimationsOn = false;
        window = OpenPlayer(work);
        ASSERT_TRUE(window != NULL);
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
    }

    void TearDown() override
    {
        if (window && IsWindow(window))
            DestroyWindow(window);
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            if (message.message != WM_QUIT)
                DispatchMessageA(&message);
        delete Board;
        Board = nullptr;
        ReleasePuzzle();
        ShowNumbers = ShowPictureToggled = ShowPictureHeld = false;
    }

    // The client area's pixels as the window shows them, after any pending
    // paint. Read from the window's own device context: the screen shows a
    // window's drawing some time later under Wine.
    vntest::CapturedPixels Client()
    {
        UpdateWindow(window);
        RECT client;
        GetClientRect(window, &client);
        HDC dc = GetDC(window);
        vntest::CapturedPixels shot = vntest::CapturePixels(dc, 0, 0, client.right, client.bottom);
        ReleaseDC(window, dc);
        return shot;
    }

public:
    vntest::CapturedPixels ClientShot() { return Client(); }

    // Saves the window as the screen shows it, once the screen has caught up
    // with the window's drawing.
    bool SaveShot(const char* fileName)
    {
        vntest::CapturedPixels drawn = Client();
        vntest::WaitUntil([&] {
            RECT client;
            GetClientRect(window, &client);
            POINT origin = {0, 0};
            ClientToScreen(window, &origin);
            OffsetRect(&client, origin.x, origin.y);
            return vntest::CaptureScreenRect(client).pixels == drawn.pixels;
        }, 10000);
        return vntest::SaveWindowShot(window, vntest::ArtifactPath(fileName).c_str());
    }

    // Client coordinates of the middle of a cell.
    POINT CellCentre(int column, int row) const
    {
        const int grid = Layout.grid;
        POINT p;
        p.x = Picture.left + (CellEdge(Picture.width, grid, column) + CellEdge(Picture.width, grid, column + 1)) / 2;
        p.y = Picture.top + (CellEdge(Picture.height, grid, row) + CellEdge(Picture.height, grid, row + 1)) / 2;
        return p;
    }

    void Command(int id) { SendMessageA(window, WM_COMMAND, id, 0); }
    void Key(WPARAM key) { SendMessageA(window, WM_KEYDOWN, key, 1); }
    void Click(int column, int row)
    {
        POINT p = CellCentre(column, row);
        SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    }

protected:
    HWND window = NULL;
};

}  // namespace playerwin

// Helpers shared by the Windows-side tests: waiting for windows with a
// timeout (never a fixed sleep), reading window texts, and saving screenshots.
#pragma once

#include <windows.h>
#include <string>
#include <vector>

namespace vntest {

// Polls until pred() is true or timeoutMs passes, pumping this thread's
// messages meanwhile. Returns the last value of pred().
template <typename Pred>
bool WaitUntil(Pred pred, DWORD timeoutMs = 10000)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (pred())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return pred();
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
    }
}

// The text of a window, as GetWindowTextA returns it.
std::string WindowText(HWND window);

// The class name of a window.
std::string ClassName(HWND window);

// Waits for a top-level window of the given class (NULL: any) and title
// (NULL: any) that belongs to the given process (0: any). Null on timeout.
HWND WaitForTopWindow(const char* className, const char* title, DWORD processId,
                      DWORD timeoutMs = 10000);

// Pixels copied out of a device context in one go, top row first.
struct CapturedPixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;

    // The colour at (x, y); CLR_INVALID outside the captured area.
    COLORREF At(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return CLR_INVALID;
        return pixels[static_cast<size_t>(y) * width + x];
    }
};

// The width x height pixels of source from (x, y) on. Empty when the size is
// not positive or the copy fails.
CapturedPixels CapturePixels(HDC source, int x, int y, int width, int height);

// The screen pixels under rect (screen coordinates).
CapturedPixels CaptureScreenRect(const RECT& rect);

// Saves the screen pixels under rect (screen coordinates) as a 24-bit BMP.
bool SaveScreenRect(const RECT& rect, const char* bmpPath);

// Saves the whole window (frame included) as a 24-bit BMP.
bool SaveWindowShot(HWND window, const char* bmpPath);

// Path of a file in the artifacts folder (build/artifacts), Windows form.
std::string ArtifactPath(const char* fileName);

// The path in double quotes, as a command line names a program.
std::string QuotedPath(const std::string& path);

// A program started by a test and ended by it if it is still running when
// the object goes.
class ChildProcess {
public:
    // Starts a command line (a program path with spaces quoted by the
    // caller) in folder, or in the test's own folder when folder is empty.
    explicit ChildProcess(const std::string& commandLine, const std::string& folder = std::string());
    // Starts the program by its wide name, in a folder with a wide name.
    ChildProcess(const std::wstring& program, const std::wstring& folder);
    ~ChildProcess();

    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    DWORD Id() const { return info.dwProcessId; }

    // The exit code, or STILL_ACTIVE when the program never started or has
    // not ended in time.
    DWORD WaitForExit(DWORD timeoutMs);

    bool started = false;
    PROCESS_INFORMATION info = {};
};

}  // namespace vntest

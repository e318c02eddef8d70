#include "win_test_util.h"

#include <cstring>
#include <vector>

#include "test_files.h"

namespace vntest {

std::string WindowText(HWND window)
{
    int length = GetWindowTextLengthA(window);
    std::vector<char> text(length + 2);
    GetWindowTextA(window, text.data(), length + 1);
    return std::string(text.data());
}

std::string ClassName(HWND window)
{
    char name[256] = {0};
    GetClassNameA(window, name, sizeof name);
    return name;
}

namespace {
struct FindRequest {
    const char* className;
    const char* title;
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchTopWindow(HWND window, LPARAM param)
{
    FindRequest* request = reinterpret_cast<FindRequest*>(param);
    if (request->processId) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != request->processId)
            return TRUE;
    }
    if (request->className && ClassName(window) != request->className)
        return TRUE;
    if (request->title && WindowText(window) != request->title)
        return TRUE;
    if (!IsWindowVisible(window))
        return TRUE;
    request->found = window;
    return FALSE;
}
}  // namespace

HWND WaitForTopWindow(const char* className, const char* title, DWORD processId, DWORD timeoutMs)
{
    FindRequest request = {className, title, processId, NULL};
    WaitUntil([&] {
        request.found = NULL;
        EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&request));
        return request.found != NULL;
    }, timeoutMs);
    return request.found;
}

CapturedPixels CapturePixels(HDC source, int x, int y, int width, int height)
{
    CapturedPixels shot;
    if (width <= 0 || height <= 0 || !source)
        return shot;
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = NULL;
    HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (memory && bitmap && bits) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        bool copied = BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY) != 0;
        GdiFlush();
        if (copied) {
            const unsigned char* p = static_cast<const unsigned char*>(bits);
            shot.width = width;
            shot.height = height;
            shot.pixels.resize(static_cast<size_t>(width) * height);
            for (size_t i = 0; i < shot.pixels.size(); ++i)
                shot.pixels[i] = RGB(p[4 * i + 2], p[4 * i + 1], p[4 * i]);
        }
        SelectObject(memory, old);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memory)
        DeleteDC(memory);
    return shot;
}

CapturedPixels CaptureScreenRect(const RECT& rect)
{
    HDC screen = GetDC(NULL);
    CapturedPixels shot =
        CapturePixels(screen, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    ReleaseDC(NULL, screen);
    return shot;
}

bool SaveScreenRect(const RECT& rect, const char* bmpPath)
{
    CapturedPixels shot = CaptureScreenRect(rect);
    if (shot.pixels.empty())
        return false;
    // A 24-bit bottom-up BMP: file header, info header, rows padded to 4 bytes.
    const size_t stride = ((static_cast<size_t>(shot.width) * 24 + 31) / 32) * 4;
    const size_t headers = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    std::vector<uint8_t> file(headers + stride * shot.height, 0);
    BITMAPFILEHEADER header;
    ZeroMemory(&header, sizeof header);
    header.bfType = 0x4D42;
    header.bfOffBits = static_cast<DWORD>(headers);
    header.bfSize = static_cast<DWORD>(file.size());
    BITMAPINFOHEADER info;
    ZeroMemory(&info, sizeof info);
    info.biSize = sizeof(BITMAPINFOHEADER);
    info.biWidth = shot.width;
    info.biHeight = shot.height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(stride * shot.height);
    memcpy(&file[0], &header, sizeof header);
    memcpy(&file[sizeof header], &info, sizeof info);
    for (int y = 0; y < shot.height; ++y) {
        uint8_t* row = &file[headers + stride * (shot.height - 1 - y)];
        for (int x = 0; x < shot.width; ++x) {
            COLORREF c = shot.At(x, y);
            row[3 * x] = GetBValue(c);
            row[3 * x + 1] = GetGValue(c);
            row[3 * x + 2] = GetRValue(c);
        }
    }
    return WriteFileBytes(bmpPath, file);
}

bool SaveWindowShot(HWND window, const char* bmpPath)
{
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return false;
    return SaveScreenRect(rect, bmpPath);
}

std::string ArtifactPath(const char* fileName)
{
    std::string path = VN_WIN_ARTIFACTS;
    path += "/";
    path += fileName;
    return path;
}

std::string QuotedPath(const std::string& path)
{
    return "\"" + path + "\"";
}

ChildProcess::ChildProcess(const std::string& commandLine, const std::string& folder)
{
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    started = CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL,
                             folder.empty() ? NULL : folder.c_str(), &startup, &info) != 0;
}

ChildProcess::ChildProcess(const std::wstring& program, const std::wstring& folder)
{
    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + program + L"\"";
    started = CreateProcessW(program.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL,
                             folder.empty() ? NULL : folder.c_str(), &startup, &info) != 0;
}

ChildProcess::~ChildProcess()
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

DWORD ChildProcess::WaitForExit(DWORD timeoutMs)
{
    if (!started)
        return STILL_ACTIVE;
    WaitUntil([&] { return WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0; }, timeoutMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info.hProcess, &code);
    return code;
}

}  // namespace vntest

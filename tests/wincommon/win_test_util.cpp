#include "win_test_util.h"

#include <cstdio>
#include <vector>

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

bool SaveScreenRect(const RECT& rect, const char* bmpPath)
{
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return false;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = NULL;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    DWORD stride = ((width * 24 + 31) / 32) * 4;
    DWORD imageSize = stride * height;
    BITMAPFILEHEADER file;
    ZeroMemory(&file, sizeof file);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageSize;
    info.bmiHeader.biSizeImage = imageSize;
    bool ok = false;
    if (FILE* out = fopen(bmpPath, "wb")) {
        ok = fwrite(&file, sizeof file, 1, out) == 1 &&
             fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
             fwrite(bits, imageSize, 1, out) == 1;
        ok = (fclose(out) == 0) && ok;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return ok;
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

}  // namespace vntest

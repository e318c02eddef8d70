// The player runs from Windows 7 on: the per-monitor DPI calls of newer
// Windows are looked up at run time, with the older calls as fallbacks. Also
// the system's settings for animation and high contrast.
#include <windows.h>

#include "player_state.h"

namespace {

#ifndef SPI_GETCLIENTAREAANIMATION
#define SPI_GETCLIENTAREAANIMATION 0x1042
#endif

typedef BOOL(WINAPI* SetContextProc)(HANDLE);
typedef BOOL(WINAPI* SetAwareProc)(void);
typedef UINT(WINAPI* DpiForWindowProc)(HWND);
typedef BOOL(WINAPI* AdjustForDpiProc)(RECT*, DWORD, BOOL, DWORD, UINT);

// An entry of user32 as a plain pointer (cast to its type by the caller), or
// null where this Windows lacks it.
void* User32Proc(const char* name)
{
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? reinterpret_cast<void*>(GetProcAddress(user32, name)) : nullptr;
}

}  // namespace

void BecomeDpiAware()
{
    // Per monitor (version 2), so that the system never stretches the
    // picture as a bitmap. Usually the manifest has done this already and the
    // call fails harmlessly.
    SetContextProc setContext =
        reinterpret_cast<SetContextProc>(User32Proc("SetProcessDpiAwarenessContext"));
    if (setContext && setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4))))
        return;
    SetAwareProc setAware = reinterpret_cast<SetAwareProc>(User32Proc("SetProcessDPIAware"));
    if (setAware)
        setAware();
}

int SystemDpi()
{
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int DpiOfWindow(HWND window)
{
    DpiForWindowProc forWindow = reinterpret_cast<DpiForWindowProc>(User32Proc("GetDpiForWindow"));
    if (forWindow && window) {
        UINT dpi = forWindow(window);
        if (dpi > 0)
            return static_cast<int>(dpi);
    }
    return SystemDpi();
}

BOOL AdjustFrameForDpi(RECT* rect, DWORD style, DWORD exStyle, int dpi)
{
    AdjustForDpiProc adjust = reinterpret_cast<AdjustForDpiProc>(User32Proc("AdjustWindowRectExForDpi"));
    if (adjust)
        return adjust(rect, style, TRUE, exStyle, static_cast<UINT>(dpi));
    return AdjustWindowRectEx(rect, style, TRUE, exStyle);
}

HFONT CreateMessageFont(int dpi)
{
    NONCLIENTMETRICSA metrics;
    ZeroMemory(&metrics, sizeof metrics);
    metrics.cbSize = sizeof metrics;
    // The message font at the system DPI, scaled to the window's.
    LOGFONTA font;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        font = metrics.lfMessageFont;
    } else {
        ZeroMemory(&font, sizeof font);
        font.lfHeight = -12;
        lstrcpynA(font.lfFaceName, "MS Shell Dlg", LF_FACESIZE);
    }
    const int systemDpi = SystemDpi();
    if (dpi != systemDpi)
        font.lfHeight = MulDiv(font.lfHeight, dpi, systemDpi);
    return CreateFontIndirectA(&font);
}

bool HighContrastOn()
{
    HIGHCONTRASTW contrast;
    ZeroMemory(&contrast, sizeof contrast);
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

bool ClientAreaAnimationOn()
{
    BOOL on = TRUE;
    if (!SystemParametersInfoA(SPI_GETCLIENTAREAANIMATION, 0, &on, 0))
        return true;  // older Windows: no such setting
    return on != FALSE;
}

// The player's main window: its status lines, its size and its procedure.
#include <windows.h>

#include <string>

#include "player_ids.h"
#include "player_state.h"

namespace {

void CreateStatusLines(HWND window)
{
    const WPARAM font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
    const DWORD style = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
    StatusText = CreateWindowExA(0, "STATIC", "", style, 8, Layout.height + 4, AreaWidth - 16,
                                 LineHeight, window, reinterpret_cast<HMENU>(IdStatusText),
                                 PlayerInstance, nullptr);
    std::string notice = GridNotice(Layout);
    NoticeText = CreateWindowExA(0, "STATIC", notice.c_str(), notice.empty() ? style & ~WS_VISIBLE : style,
                                 8, Layout.height + 4 + LineHeight, AreaWidth - 16, LineHeight,
                                 window, reinterpret_cast<HMENU>(IdNoticeText), PlayerInstance,
                                 nullptr);
    SendMessageA(StatusText, WM_SETFONT, font, FALSE);
    SendMessageA(NoticeText, WM_SETFONT, font, FALSE);
}

}  // namespace

LRESULT CALLBACK PlayerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        PlayerWindow = window;
        CreateStatusLines(window);
        if (!PuzzleInPlay())
            EnableMenuItem(GetMenu(window), IdGameShuffle, MF_BYCOMMAND | MF_GRAYED);
        UpdateStatus();
        return 0;
    case WM_PAINT:
        PaintPlayer(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the paint covers the whole client area
    case WM_CTLCOLORSTATIC:
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_LBUTTONDOWN:
        ClickCommand(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return 0;
    case WM_RBUTTONDOWN:
        SetCapture(window);
        SetShowPictureHeld(true);
        return 0;
    case WM_RBUTTONUP:
        ReleaseCapture();
        SetShowPictureHeld(false);
        return 0;
    case WM_KEYDOWN:
        KeyCommand(wParam, lParam);
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE)
            SetShowPictureHeld(false);
        return 0;
    case WM_KILLFOCUS:
        SetShowPictureHeld(false);
        return 0;
    case WM_TIMER:
        if (wParam == ClockTimer)
            TickClock();
        return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IdGameShuffle: ShuffleBoard(); return 0;
        case IdGameShowPicture: ToggleShowPictureCommand(); return 0;
        case IdGameExit: DestroyWindow(window); return 0;
        case IdHelpAbout: AboutCommand(); return 0;
        }
        break;
    case WM_DESTROY:
        StopClock();
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void PlanWindow(const RECT& work)
{
    Layout = ComputePlayerLayout(PictureWidth, PictureHeight, work.right - work.left,
                                 work.bottom - work.top, RecordGridSize(Record));
    AreaWidth = Layout.width > MinClientWidth ? Layout.width : MinClientWidth;
    PictureLeft = (AreaWidth - Layout.width) / 2;
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA metrics;
    GetTextMetricsA(screen, &metrics);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    LineHeight = metrics.tmHeight + 2;
}


HWND CreatePlayerWindow(const RECT& work)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = PlayerWndProc;
    windowClass.hInstance = PlayerInstance;
    windowClass.hIcon = LoadIconA(PlayerInstance, "ICON_APPWND");
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszMenuName = "player_menu";
    windowClass.lpszClassName = PlayerClassName;
    if (!RegisterClassA(&windowClass))
        return nullptr;

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    const int stripLines = GridNotice(Layout).empty() ? 1 : 2;
    RECT frame = {0, 0, AreaWidth, Layout.height + 8 + stripLines * LineHeight};
    AdjustWindowRect(&frame, style, TRUE);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = work.left + ((work.right - work.left) - width) / 2;
    const int top = work.top + ((work.bottom - work.top) - height) / 2;
    return CreateWindowExA(0, PlayerClassName, PlayerTitle, style, left, top, width, height,
                           nullptr, nullptr, PlayerInstance, nullptr);
}

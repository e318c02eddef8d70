// The player's main window: its opening size, the layout of the picture
// area and the status strip at any size and DPI, and its procedure, which
// routes each message to a small handler.
#include <windows.h>

#include <string>

#include "player_ids.h"
#include "player_state.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

const char PlayerClassName[] = "VORNIXPLAYER";
const char PlayerTitle[] = "Vornix Puzzle";
HWND PlayerWindow;
HWND StatusText;
HWND NoticeText;
int WindowDpi = 96;
int AreaWidth;
int AreaHeight;
PictureRect Picture;

namespace {

const DWORD PlayerStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
HFONT StatusFont;
int LineHeight;    // of the status line
int NoticeHeight;  // of the grid notice, wrapped to the window's width
int StripHeight;   // the status strip under the picture area

int Margin()
{
    return ScaleForDpi(8);
}

int Padding()
{
    return ScaleForDpi(4);
}

void MakeStatusFont()
{
    if (StatusFont)
        DeleteObject(StatusFont);
    StatusFont = CreateMessageFont(WindowDpi);
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, StatusFont ? StatusFont : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA metrics;
    GetTextMetricsA(screen, &metrics);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    LineHeight = metrics.tmHeight + 2;
    if (StatusText)
        SendMessageA(StatusText, WM_SETFONT, reinterpret_cast<WPARAM>(StatusFont), TRUE);
    if (NoticeText)
        SendMessageA(NoticeText, WM_SETFONT, reinterpret_cast<WPARAM>(StatusFont), TRUE);
}

// The strip's height for a client area clientWidth wide: the status line and
// the grid notice measured and wrapped at that width.
int MeasureStrip(int clientWidth)
{
    const std::string notice = GridNotice(Layout);
    NoticeHeight = 0;
    if (!notice.empty()) {
        int width = clientWidth - 2 * Margin();
        RECT box = {0, 0, width > 1 ? width : 1, 0};
        HDC screen = GetDC(nullptr);
        HGDIOBJ previous = SelectObject(screen, StatusFont);
        DrawTextA(screen, notice.c_str(), -1, &box, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        SelectObject(screen, previous);
        ReleaseDC(nullptr, screen);
        NoticeHeight = box.bottom - box.top;
    }
    return Padding() + LineHeight + NoticeHeight + Padding();
}

void LayoutWindow(int clientWidth, int clientHeight)
{
    StripHeight = MeasureStrip(clientWidth);
    AreaWidth = clientWidth > 1 ? clientWidth : 1;
    AreaHeight = clientHeight - StripHeight > 1 ? clientHeight - StripHeight : 1;
    const int width = clientWidth - 2 * Margin();
    MoveWindow(StatusText, Margin(), AreaHeight + Padding(), width, LineHeight, TRUE);
    MoveWindow(NoticeText, Margin(), AreaHeight + Padding() + LineHeight, width, NoticeHeight, TRUE);
    FinishAnimation();
    LayoutPicture();
    InvalidateRect(PlayerWindow, nullptr, FALSE);
}

void CreateStatusLines(HWND window)
{
    const DWORD style = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
    // The status line changes with every slide. It keeps its text in a hidden
    // control (where tools and screen readers find it) and the window draws
    // it with one call instead of a control's whole repaint.
    StatusText = CreateWindowExA(0, "STATIC", "", style & ~WS_VISIBLE, 0, 0, 1, 1, window,
                                 reinterpret_cast<HMENU>(IdStatusText), PlayerInstance, nullptr);
    const std::string notice = GridNotice(Layout);
    NoticeText = CreateWindowExA(0, "STATIC", notice.c_str(), notice.empty() ? style & ~WS_VISIBLE : style,
                                 0, 0, 1, 1, window, reinterpret_cast<HMENU>(IdNoticeText),
                                 PlayerInstance, nullptr);
    MakeStatusFont();
}

void OnCreate(HWND window)
{
    PlayerWindow = window;
    WindowDpi = DpiOfWindow(window);
    CreateStatusLines(window);
    if (!PuzzleInPlay()) {
        HMENU menu = GetMenu(window);
        for (int id : {IdGameShuffle, IdGameUndo, IdGameHint, IdGameSolve, IdGameNumbers})
            EnableMenuItem(menu, id, MF_BYCOMMAND | MF_GRAYED);
    }
    RECT client;
    GetClientRect(window, &client);
    LayoutWindow(client.right, client.bottom);
    UpdateStatus();
}

void OnSize(WPARAM kind, int width, int height)
{
    if (kind == SIZE_MINIMIZED) {
        SetPaused(GameClock::PausedMinimised, true);
        return;
    }
    SetPaused(GameClock::PausedMinimised, false);
    LayoutWindow(width, height);
}

void OnMinMaxInfo(MINMAXINFO* info)
{
    RECT frame = {0, 0, ScaleForDpi(MinClientWidth), StripHeight + ScaleForDpi(64)};
    AdjustFrameForDpi(&frame, PlayerStyle, 0, WindowDpi);
    info->ptMinTrackSize.x = frame.right - frame.left;
    info->ptMinTrackSize.y = frame.bottom - frame.top;
}

void OnDpiChanged(HWND window, int dpi, const RECT* suggested)
{
    WindowDpi = dpi > 0 ? dpi : 96;
    MakeStatusFont();
    SetWindowPos(window, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(window, &client);
    LayoutWindow(client.right, client.bottom);
}

bool OnCommand(HWND window, int id)
{
    switch (id) {
    case IdGameShuffle: ShuffleCommand(); return true;
    case IdGameUndo: UndoSlide(); return true;
    case IdGameHint: ShowHint(); return true;
    case IdGameSolve: StartSolve(); return true;
    case IdGameNumbers: ToggleNumbersCommand(); return true;
    case IdGameShowPicture: ToggleShowPictureCommand(); return true;
    case IdGameExit: DestroyWindow(window); return true;
    case IdGameBestResults: BestResultsCommand(); return true;
    case IdHelpAbout: AboutCommand(); return true;
    }
    return false;
}

void OnTimer(UINT_PTR timer)
{
    if (timer == ClockTimer)
        TickClock();
    else if (timer == AnimationTimer)
        AnimationTick();
    else if (timer == SolveTimer)
        SolveStep();
}

void OnDestroy()
{
    StopSolve();
    FinishAnimation();
    KillTimer(PlayerWindow, ClockTimer);
    ReleasePaintResources();
    if (StatusFont)
        DeleteObject(StatusFont);
    StatusFont = nullptr;
    StatusText = NoticeText = nullptr;
    PlayerWindow = nullptr;
    PostQuitMessage(0);
}

}  // namespace

void DrawStatusLine(HDC dc)
{
    if (!StatusText || !PlayerWindow)
        return;
    char text[128] = {0};
    const int length = GetWindowTextA(StatusText, text, sizeof text);
    RECT line = StatusLineRect();
    HGDIOBJ previous = SelectObject(dc, StatusFont ? StatusFont : GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    ExtTextOutA(dc, Margin(), AreaHeight + Padding(), ETO_OPAQUE | ETO_CLIPPED, &line, text,
                static_cast<UINT>(length), nullptr);
    SelectObject(dc, previous);
}

RECT StatusLineRect()
{
    RECT client;
    GetClientRect(PlayerWindow, &client);
    RECT line = {0, AreaHeight, client.right, AreaHeight + Padding() + LineHeight};
    return line;
}

int ScaleForDpi(int pixelsAt96)
{
    return MulDiv(pixelsAt96, WindowDpi, 96);
}

bool CellFromPoint(int x, int y, int* column, int* row)
{
    if (!PuzzleInPlay())
        return false;
    *column = CellAt(Picture.width, Layout.grid, x - Picture.left);
    *row = CellAt(Picture.height, Layout.grid, y - Picture.top);
    return *column >= 0 && *row >= 0;
}

LRESULT CALLBACK PlayerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        return 0;
    case WM_SIZE:
        OnSize(wParam, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_ENTERSIZEMOVE:
        LiveResizing = true;
        return 0;
    case WM_EXITSIZEMOVE:
        EndLiveResize();
        return 0;
    case WM_GETMINMAXINFO:
        OnMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(window, LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
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
        OnTimer(wParam);
        return 0;
    case WM_SETTINGCHANGE:
        AnimationsOn = ClientAreaAnimationOn();
        break;
    case WM_COMMAND:
        if (OnCommand(window, LOWORD(wParam)))
            return 0;
        break;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND OpenPlayer(const RECT& work)
{
    WindowDpi = SystemDpi();
    const int workWidth = work.right - work.left;
    const int workHeight = work.bottom - work.top;
    Layout = ComputePlayerLayout(PictureWidth, PictureHeight, workWidth, workHeight,
                                 RecordGridSize(Record));
    if (Layout.gridReduced)
        PuzzleKey += "-" + std::to_string(Layout.grid);
    delete Board;
    Board = new PuzzleBoard(Layout.grid >= 2 ? Layout.grid : 1);
    const bool scatter = PuzzleInPlay() && Record.shuffle == "YES";
    if (scatter)
        Board->Shuffle(GetTickCount() ^ (GetCurrentProcessId() << 16),
                       PuzzleBoard::ShuffleSteps(Board->Size()));
    Gate.Begin(scatter);
    Finished = Assisted = Helped = false;
    Clock.Reset();
    Best = ReadBest(PuzzleKey);

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = PlayerWndProc;
    windowClass.hInstance = PlayerInstance;
    windowClass.hIcon = LoadIconA(PlayerInstance, "ICON_APPWND");
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszMenuName = "player_menu";
    windowClass.lpszClassName = PlayerClassName;
    if (!RegisterClassA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;

    // The client area: the picture at its opening size, never narrower than
    // the minimum, with the status strip under it.
    MakeStatusFont();
    int clientWidth = Layout.width;
    if (clientWidth < ScaleForDpi(MinClientWidth))
        clientWidth = ScaleForDpi(MinClientWidth);
    const int clientHeight = Layout.height + MeasureStrip(clientWidth);
    RECT frame = {0, 0, clientWidth, clientHeight};
    AdjustFrameForDpi(&frame, PlayerStyle, 0, WindowDpi);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = work.left + (workWidth - width) / 2;
    const int top = work.top + (workHeight - height) / 2;
    return CreateWindowExA(0, PlayerClassName, PlayerTitle, PlayerStyle, left, top, width, height,
                           nullptr, nullptr, PlayerInstance, nullptr);
}

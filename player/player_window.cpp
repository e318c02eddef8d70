// The player's main window: its opening size, the layout of the picture
// area and the status strip at any size and DPI, and its procedure, which
// routes each message to a small handler.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "player_ids.h"
#include "player_state.h"
#include "vn_tr.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

const wchar_t PlayerClassName[] = L"VORNIXPLAYER";
HWND PlayerWindow;
HWND StatusText;
HWND NoticeText;
int WindowDpi = 96;
bool HighContrast;
int AreaWidth;
int AreaHeight;
PictureRect Picture;

namespace {

const DWORD PlayerStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
HFONT StatusFont;
int NoticeHeight;  // of the grid notice, wrapped to the window's width
int StripHeight;   // the notice and the status bar under the picture area

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
    for (HWND control : {StatusText, NoticeText})
        if (control)
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(StatusFont), TRUE);
}

// The status bar's height: it sets it itself from its font when it is
// sized. Before it exists: its font's line and borders.
int StatusBarHeight()
{
    if (!StatusText) {
        HDC screen = GetDC(nullptr);
        HGDIOBJ previous = SelectObject(screen, StatusFont ? StatusFont : GetStockObject(DEFAULT_GUI_FONT));
        TEXTMETRICW metrics;
        GetTextMetricsW(screen, &metrics);
        SelectObject(screen, previous);
        ReleaseDC(nullptr, screen);
        return metrics.tmHeight + ScaleForDpi(6);
    }
    SendMessageW(StatusText, WM_SIZE, 0, 0);
    RECT bar;
    GetWindowRect(StatusText, &bar);
    return bar.bottom - bar.top;
}

// The strip's height for a client area clientWidth wide: the grid notice
// measured and wrapped at that width, and the status bar.
int MeasureStrip(int clientWidth)
{
    const VnWideText notice = VnWide(GridNotice(Layout));
    NoticeHeight = 0;
    if (notice.size() > 1) {
        int width = clientWidth - 2 * Margin();
        RECT box = {0, 0, width > 1 ? width : 1, 0};
        HDC screen = GetDC(nullptr);
        HGDIOBJ previous = SelectObject(screen, StatusFont);
        DrawTextW(screen, notice.data(), -1, &box, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        SelectObject(screen, previous);
        ReleaseDC(nullptr, screen);
        NoticeHeight = box.bottom - box.top + 2 * Padding();
    }
    return NoticeHeight + StatusBarHeight();
}

void LayoutWindow(int clientWidth, int clientHeight)
{
    StripHeight = MeasureStrip(clientWidth);
    AreaWidth = clientWidth > 1 ? clientWidth : 1;
    AreaHeight = clientHeight - StripHeight > 1 ? clientHeight - StripHeight : 1;
    MoveWindow(NoticeText, Margin(), AreaHeight + Padding(), clientWidth - 2 * Margin(),
               NoticeHeight > 2 * Padding() ? NoticeHeight - 2 * Padding() : 0, TRUE);
    FinishAnimation();
    LayoutPicture();
    InvalidateRect(PlayerWindow, nullptr, FALSE);
}

void CreateStatusLines(HWND window)
{
    // A real status bar: screen readers read its text. It repaints only the
    // part whose text changed.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    StatusText = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0,
                                 0, 0, window, reinterpret_cast<HMENU>(IdStatusText), PlayerInstance,
                                 nullptr);
    const VnWideText notice = VnWide(GridNotice(Layout));
    const DWORD style = WS_CHILD | SS_LEFT | SS_NOPREFIX | (notice.size() > 1 ? WS_VISIBLE : 0);
    NoticeText = CreateWindowExW(0, L"STATIC", notice.data(), style, 0, 0, 1, 1, window,
                                 reinterpret_cast<HMENU>(IdNoticeText), PlayerInstance, nullptr);
    MakeStatusFont();
}

void OnCreate(HWND window)
{
    PlayerWindow = window;
    WindowDpi = DpiOfWindow(window);
    HighContrast = HighContrastOn();
    ResetStatus(PlayerTitle());
    CreateStatusLines(window);
    if (!PuzzleInPlay()) {
        HMENU menu = GetMenu(window);
        for (int id : {IdGameShuffle, IdGameUndo, IdGameHint, IdGameSolve, IdGameNumbers})
            EnableMenuItem(menu, id, MF_BYCOMMAND | MF_GRAYED);
    }
    RECT client;
    GetClientRect(window, &client);
    // The window was sized with the status bar's height estimated: now that
    // it exists, the picture gets exactly its opening height.
    const int wanted = Layout.height + MeasureStrip(client.right);
    if (wanted != client.bottom && !IsZoomed(window)) {
        RECT frame;
        GetWindowRect(window, &frame);
        SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left,
                     frame.bottom - frame.top + wanted - client.bottom,
                     SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
        GetClientRect(window, &client);
    }
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

// High contrast turned on or off, or colours or animation set otherwise.
void OnSettingChange()
{
    AnimationsOn = ClientAreaAnimationOn();
    HighContrast = HighContrastOn();
    RedrawBoard();
}

void OnTimer(UINT_PTR timer)
{
    if (timer == ClockTimer)
        TickClock();
    else if (timer == AnimationTimer)
        AnimationTick();
    else if (timer == SolveTimer)
        SolveStep();
    else if (timer == StatusTimer)
        ShowStatusNow();
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
    ResetStatus(std::string());
    PlayerWindow = nullptr;
    PostQuitMessage(0);
}

}  // namespace

std::string PlayerTitle()
{
    return Tr("Vornix Puzzle");
}

int PlayerMessage(const std::string& text, UINT type)
{
    ShowStatusNow();  // the window as it stands behind the message
    return MessageBoxW(PlayerWindow, VnWide(text).data(), VnWide(PlayerTitle()).data(), type);
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
        SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNTEXT));
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
        OnSettingChange();
        break;
    case WM_SYSCOLORCHANGE:
        // Common controls take the new colours only when told.
        if (StatusText) {
            SendMessageW(StatusText, WM_SYSCOLORCHANGE, wParam, lParam);
            InvalidateRect(StatusText, nullptr, TRUE);
        }
        RedrawBoard();
        break;
    case WM_COMMAND:
        if (OnCommand(window, LOWORD(wParam)))
            return 0;
        break;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
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
    HintColumn = HintRow = -1;
    Clock.Reset();
    Best = ReadBest(PuzzleKey);

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = PlayerWndProc;
    windowClass.hInstance = PlayerInstance;
    windowClass.hIcon = LoadIconW(PlayerInstance, L"ICON_APPWND");
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszMenuName = L"player_menu";
    windowClass.lpszClassName = PlayerClassName;
    if (!RegisterClassW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;

    // The client area: the picture at its opening size, never narrower than
    // the minimum, with the notice and the status bar under it (measured
    // with the font they will have; the status bar's height is that of its
    // font's line with its borders).
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
    return CreateWindowExW(0, PlayerClassName, VnWide(PlayerTitle()).data(), PlayerStyle, left, top,
                           width, height, nullptr, nullptr, PlayerInstance, nullptr);
}

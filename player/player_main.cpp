// vornix_distrib.exe: the puzzle player. It reads the package appended to its
// own file, shows the picture cut into tiles and lets the user slide them back
// into place. The builder copies this program unchanged in front of every
// package; a copy with no package says so and exits with code 1.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "package_reader.h"
#include "player_ids.h"
#include "player_layout.h"
#include "puzzle_board.h"
#include "vn_image.h"

namespace {

const char PlayerClassName[] = "VORNIXPLAYER";
const char PlayerTitle[] = "Vornix Puzzle";
const char NoPuzzleText[] = "This program holds no puzzle.";
const char DamagedText[] = "The puzzle data is damaged.";
const COLORREF SlotColour = RGB(128, 128, 128);
const COLORREF SeamColour = RGB(64, 64, 64);
const int MinClientWidth = 320;  // room for the menu bar and the status line
const UINT_PTR ClockTimer = 1;

// Player state, alive for the whole run.
HINSTANCE PlayerInstance;
HWND PlayerWindow;
HWND StatusText;
HWND NoticeText;
HBITMAP PictureBitmap;
int PictureWidth;   // source picture, pixels
int PictureHeight;
PlayerLayout Layout;
int AreaWidth;      // the picture area of the client: the picture, centred
int PictureLeft;
int LineHeight;
PuzzleBoard* Board;
PackageRecord Record;
bool ShowPictureToggled;
bool ShowPictureHeld;
bool ClockRunning;
DWORD ClockStart;
unsigned ElapsedSeconds;
bool Finished;  // solved after a move; play resumes with a shuffle

bool PuzzleInPlay()
{
    return Board != nullptr && Layout.grid >= 2;
}

std::string MovesText(unsigned moves)
{
    char text[32];
    std::snprintf(text, sizeof text, moves == 1 ? "%u move" : "%u moves", moves);
    return text;
}

void UpdateStatus()
{
    if (!PuzzleInPlay()) {
        SetWindowTextA(StatusText, "");
        return;
    }
    std::string text;
    if (Finished)
        text = "Solved in " + MovesText(Board->Moves()) + ", " + FormatElapsed(ElapsedSeconds);
    else
        text = "Moves: " + std::to_string(Board->Moves()) + "    Time: " +
               FormatElapsed(ElapsedSeconds);
    SetWindowTextA(StatusText, text.c_str());
}

void StopClock()
{
    if (ClockRunning)
        KillTimer(PlayerWindow, ClockTimer);
    ClockRunning = false;
}

void TickClock()
{
    if (!ClockRunning)
        return;
    unsigned seconds = (GetTickCount() - ClockStart) / 1000;
    if (seconds != ElapsedSeconds) {
        ElapsedSeconds = seconds;
        UpdateStatus();
    }
}

// Tiles scattered from a seed that differs from run to run.
void ScatterTiles(PuzzleBoard& board)
{
    board.Shuffle(GetTickCount() ^ (GetCurrentProcessId() << 16),
                  PuzzleBoard::ShuffleSteps(board.Size()));
}

void ShuffleBoard()
{
    if (!PuzzleInPlay())
        return;
    StopClock();
    ScatterTiles(*Board);
    ElapsedSeconds = 0;
    Finished = false;
    UpdateStatus();
    InvalidateRect(PlayerWindow, nullptr, FALSE);
}

// After a slide of movedTiles tiles: starts the clock on the first move,
// refreshes the window, and celebrates a solved board.
void AfterMove(int movedTiles)
{
    if (movedTiles <= 0)
        return;
    if (!ClockRunning && Board->Moves() == static_cast<uint32_t>(movedTiles)) {
        ClockRunning = true;
        ClockStart = GetTickCount();
        ElapsedSeconds = 0;
        SetTimer(PlayerWindow, ClockTimer, 250, nullptr);
    }
    TickClock();
    if (Board->IsSolved()) {
        StopClock();
        Finished = true;
    }
    UpdateStatus();
    InvalidateRect(PlayerWindow, nullptr, FALSE);
    UpdateWindow(PlayerWindow);
    if (!Finished)
        return;
    std::string message = "You solved the puzzle in " + MovesText(Board->Moves()) + " and " +
                          FormatElapsed(ElapsedSeconds) + ".";
    MessageBoxA(PlayerWindow, message.c_str(), PlayerTitle, MB_OK | MB_ICONINFORMATION);
    if (Record.winAddress != "NONE")
        ShellExecuteA(nullptr, "open", Record.winAddress.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool ShowingWholePicture()
{
    return !PuzzleInPlay() || ShowPictureToggled || ShowPictureHeld;
}

void SetShowPictureHeld(bool held)
{
    if (held == ShowPictureHeld)
        return;
    ShowPictureHeld = held;
    InvalidateRect(PlayerWindow, nullptr, FALSE);
}

// Draws the picture area into dc: the whole picture, or the tiles where the
// board has them with the grey slot.
void DrawPictureArea(HDC dc)
{
    RECT area = {0, 0, AreaWidth, Layout.height};
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ previousBitmap = SelectObject(source, PictureBitmap);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    if (ShowingWholePicture()) {
        StretchBlt(dc, PictureLeft, 0, Layout.width, Layout.height, source, 0, 0, PictureWidth,
                   PictureHeight, SRCCOPY);
    } else {
        const int grid = Layout.grid;
        HBRUSH slot = CreateSolidBrush(SlotColour);
        for (int row = 0; row < grid; ++row) {
            for (int column = 0; column < grid; ++column) {
                RECT cell = {PictureLeft + CellEdge(Layout.width, grid, column),
                             CellEdge(Layout.height, grid, row),
                             PictureLeft + CellEdge(Layout.width, grid, column + 1),
                             CellEdge(Layout.height, grid, row + 1)};
                int tile = Board->TileAt(column, row);
                if (tile == PuzzleBoard::EmptyCell) {
                    FillRect(dc, &cell, slot);
                    continue;
                }
                int homeColumn = tile % grid;
                int homeRow = tile / grid;
                int sourceLeft = CellEdge(PictureWidth, grid, homeColumn);
                int sourceTop = CellEdge(PictureHeight, grid, homeRow);
                StretchBlt(dc, cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top,
                           source, sourceLeft, sourceTop,
                           CellEdge(PictureWidth, grid, homeColumn + 1) - sourceLeft,
                           CellEdge(PictureHeight, grid, homeRow + 1) - sourceTop, SRCCOPY);
            }
        }
        DeleteObject(slot);
        // Seams between the cells, so that neighbouring tiles can be told apart.
        HBRUSH seam = CreateSolidBrush(SeamColour);
        for (int i = 1; i < grid; ++i) {
            RECT vertical = {PictureLeft + CellEdge(Layout.width, grid, i), 0, 0, Layout.height};
            vertical.right = vertical.left + 1;
            FillRect(dc, &vertical, seam);
            RECT horizontal = {PictureLeft, CellEdge(Layout.height, grid, i),
                               PictureLeft + Layout.width, 0};
            horizontal.bottom = horizontal.top + 1;
            FillRect(dc, &horizontal, seam);
        }
        DeleteObject(seam);
    }
    SelectObject(source, previousBitmap);
    DeleteDC(source);
}

void PaintPlayer(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    // Drawn off screen first, so that a slide does not flicker.
    HDC buffer = CreateCompatibleDC(dc);
    HBITMAP canvas = CreateCompatibleBitmap(dc, AreaWidth, Layout.height);
    HGDIOBJ previous = SelectObject(buffer, canvas);
    DrawPictureArea(buffer);
    BitBlt(dc, 0, 0, AreaWidth, Layout.height, buffer, 0, 0, SRCCOPY);
    RECT client;
    GetClientRect(window, &client);
    RECT strip = {0, Layout.height, client.right, client.bottom};
    FillRect(dc, &strip, GetSysColorBrush(COLOR_BTNFACE));
    SelectObject(buffer, previous);
    DeleteObject(canvas);
    DeleteDC(buffer);
    EndPaint(window, &paint);
}

void ClickCommand(int x, int y)
{
    if (ShowingWholePicture() || Finished)
        return;
    int column = CellAt(Layout.width, Layout.grid, x - PictureLeft);
    int row = CellAt(Layout.height, Layout.grid, y);
    if (column < 0 || row < 0)
        return;
    AfterMove(Board->SlideFrom(column, row));
}

void KeyCommand(WPARAM key, LPARAM flags)
{
    if (key == VK_SPACE) {
        if (!(flags & (1 << 30)))  // not an auto-repeat
            SetShowPictureHeld(true);
        return;
    }
    if (key == VK_F2) {
        ShuffleBoard();
        return;
    }
    if (ShowingWholePicture() || Finished)
        return;
    PuzzleBoard::Direction direction;
    switch (key) {
    case VK_LEFT: direction = PuzzleBoard::MoveLeft; break;
    case VK_RIGHT: direction = PuzzleBoard::MoveRight; break;
    case VK_UP: direction = PuzzleBoard::MoveUp; break;
    case VK_DOWN: direction = PuzzleBoard::MoveDown; break;
    default: return;
    }
    AfterMove(Board->Move(direction) ? 1 : 0);
}

void ToggleShowPictureCommand()
{
    ShowPictureToggled = !ShowPictureToggled;
    CheckMenuItem(GetMenu(PlayerWindow), IdGameShowPicture,
                  MF_BYCOMMAND | (ShowPictureToggled ? MF_CHECKED : MF_UNCHECKED));
    InvalidateRect(PlayerWindow, nullptr, FALSE);
}

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(dialog, IdAboutCompany, RecordDisplayText(Record.companyName).c_str());
        SetDlgItemTextA(dialog, IdAboutWebSite, RecordDisplayText(Record.webSite).c_str());
        SetDlgItemTextA(dialog, IdAboutTagLine, RecordDisplayText(Record.tagLine).c_str());
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

void AboutCommand()
{
    DialogBoxParamA(PlayerInstance, "about_dlg", PlayerWindow, AboutDlgProc, 0);
}

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

void ShowFailure(const char* text)
{
    MessageBoxA(nullptr, text, PlayerTitle, MB_OK | MB_ICONERROR);
}

// Reads the package of this program's own file and turns the picture into a
// device bitmap. Returns 0 when the puzzle is ready, else the exit code after
// the message has been shown.
int LoadPuzzle()
{
    char path[MAX_PATH + 1] = {0};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        ShowFailure(DamagedText);
        return 1;
    }
    PackageContents contents;
    PackageStatus status = ReadPackageFile(path, contents);
    if (status == PackageMissing) {
        ShowFailure(NoPuzzleText);
        return 1;
    }
    if (status != PackageOk || contents.picture.empty()) {
        ShowFailure(DamagedText);
        return 1;
    }
    Record = contents.record;
    {
        VnImage image(contents.picture.data(), static_cast<uint32_t>(contents.picture.size()),
                      ImageTypeBmp);
        contents.picture.clear();
        contents.picture.shrink_to_fit();
        if (image.dibBlock) {
            HDC screen = GetDC(nullptr);
            PictureBitmap = image.ToDeviceBitmap(screen);
            ReleaseDC(nullptr, screen);
            PictureWidth = image.header.biWidth;
            PictureHeight = image.header.biHeight;
        }
    }
    if (!PictureBitmap || PictureWidth < 1 || PictureHeight < 1) {
        ShowFailure(DamagedText);
        return 1;
    }
    return 0;
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

}  // namespace

// The program is linked statically. The C++ library's default terminate
// handler would bring in its name demangler (over 40 KB) only to print a
// message that a GUI program has nowhere to show; this one just ends.
namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    std::abort();
}
}  // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    PlayerInstance = instance;
    int failure = LoadPuzzle();
    if (failure)
        return failure;

    RECT work;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        SetRect(&work, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    PlanWindow(work);
    PuzzleBoard board(Layout.grid >= 2 ? Layout.grid : 1);
    Board = &board;
    if (PuzzleInPlay() && Record.shuffle == "YES")
        ScatterTiles(board);

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = PlayerWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, "ICON_APPWND");
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszMenuName = "player_menu";
    windowClass.lpszClassName = PlayerClassName;
    if (!RegisterClassA(&windowClass))
        return 1;

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    const int stripLines = GridNotice(Layout).empty() ? 1 : 2;
    RECT frame = {0, 0, AreaWidth, Layout.height + 8 + stripLines * LineHeight};
    AdjustWindowRect(&frame, style, TRUE);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = work.left + ((work.right - work.left) - width) / 2;
    const int top = work.top + ((work.bottom - work.top) - height) / 2;
    HWND window = CreateWindowExA(0, PlayerClassName, PlayerTitle, style, left, top, width, height,
                                  nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    Board = nullptr;
    DeleteObject(PictureBitmap);
    return static_cast<int>(msg.wParam);
}

// The builder's shell: start-up, the main window class and procedure, command
// routing, teardown, and the Exit and About commands.
#include "app.h"
#include "vn_image.h"

// Shell state, alive for the whole run. Everything starts out empty.
HINSTANCE AppInstance;
HWND MainWindow;
HBRUSH BackgroundBrush;
short BaseUnitX, BaseUnitY;
HWND PicturePropertiesGroup, PictureFileLabel, PictureFileEdit, PictureBrowseButton,
    PreviewFrame, GridSizeLabel, GridSizeField, ShuffleCheckBox, WinUrlLabel, WinUrlEdit;
HWND AboutBoxGroup, CompanyNameLabel, CompanyNameEdit, WebSiteLabel, WebSiteEdit,
    TagLineLabel, TagLineEdit, TargetLabel, TargetPathEdit, TargetBrowseButton, StatusText,
    CreateTargetButton;
HFONT StatusFont;
VnImage* PreviewImage;
HBITMAP PreviewBitmap;
BITMAP PreviewBitmapInfo;
HBITMAP PreviewComposition;
int PreviewCompositionGrid = -1;
bool PreviewHighContrast;
int PictureWidth, PictureHeight;
std::string PreviewPicturePath;
int GridSize;
char ProgramFolder[MAX_PATH];
std::string ConfirmedTargetPath;
OPENFILENAMEA FileDialogRecord;
FileDialogFunction OpenFileDialog = GetOpenFileNameA;
FileDialogFunction SaveFileDialog = GetSaveFileNameA;
char FileNameBuffer[256];
DLGPROC AboutProcedure;
HACCEL Accelerators;

const char* const MainWindowClassName = "VORNIXS";
const COLORREF FormColour = RGB(212, 208, 200);
const char* const MainWindowTitle = "Vornix SDK";

int VornixMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int showCommand)
{
    // The command line is ignored: the tool takes no arguments.
    AppInstance = instance;
    if (!previous && !RegisterMainWindowClass())
        return 0;
    HWND window = CreateMainWindow();
    if (!window)
        return 0;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return RunMessageLoop();
}

bool RegisterMainWindowClass()
{
    WNDCLASSA existing;
    if (GetClassInfoA(AppInstance, MainWindowClassName, &existing)) {
        if (BackgroundBrush)
            return true;
        // An earlier window's teardown released the class brush: register the
        // class again with a fresh one.
        UnregisterClassA(MainWindowClassName, AppInstance);
    }

    WNDCLASSA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = AppInstance;
    windowClass.hIcon = LoadIconA(AppInstance, "ICON_APPWND");
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    BackgroundBrush = CreateSolidBrush(FormColour);
    windowClass.hbrBackground = BackgroundBrush;
    windowClass.lpszMenuName = "main_menu";
    windowClass.lpszClassName = MainWindowClassName;
    if (!RegisterClassA(&windowClass)) {
        DeleteObject(BackgroundBrush);
        BackgroundBrush = NULL;
        return false;
    }
    return true;
}

HWND CreateMainWindow()
{
    // A window created after an earlier one was torn down needs the class
    // brush back.
    if (!BackgroundBrush && !RegisterMainWindowClass())
        return NULL;
    // WM_CREATE builds the form and gives the window its final size.
    MainWindow = CreateWindowExA(0, MainWindowClassName, MainWindowTitle,
                                 WS_OVERLAPPED | WS_SYSMENU | WS_MINIMIZEBOX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, 400, 300,
                                 NULL, NULL, AppInstance, NULL);
    return MainWindow;
}

int RunMessageLoop()
{
    MSG message;
    ZeroMemory(&message, sizeof message);
    // GetMessageA returns -1 on failure; stop there too rather than spin.
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        if (HandleFormKeys(&message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return message.message == WM_QUIT ? (int)message.wParam : 0;
}

// The button that Enter presses: the push button that has the focus,
// "Search..." in the search phrase field, else "GO !".
static int DefaultButtonId()
{
    HWND focus = GetFocus();
    if (focus && GetParent(focus) == MainWindow &&
        (SendMessageA(focus, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON))
        return GetDlgCtrlID(focus);
    if (focus && focus == GetDlgItem(MainWindow, IdSearchPhrase))
        return IdSearch;
    return IdCreateTarget;
}

// WM_NEXTDLGCTL, which the dialog manager sends when Alt with a label's
// letter is pressed: lParam nonzero puts the focus on the control wParam,
// otherwise it goes to the next (wParam 0) or previous tab stop. An edit
// reached this way has its text selected, as Tab does.
static void MoveFocus(WPARAM wParam, LPARAM lParam)
{
    HWND target = LOWORD(lParam) ? (HWND)wParam
                                  : GetNextDlgTabItem(MainWindow, GetFocus(), wParam != 0);
    if (!target)
        return;
    if (!LOWORD(lParam) && (SendMessageA(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL))
        SendMessageA(target, EM_SETSEL, 0, -1);
    SetFocus(target);
}

bool HandleFormKeys(MSG* message)
{
    if (!MainWindow || !IsWindow(MainWindow))
        return false;
    if (Accelerators && TranslateAcceleratorA(MainWindow, Accelerators, message))
        return true;
    return IsDialogMessageA(MainWindow, message) != FALSE;
}

// Releases what the window holds, once: the handles are reset so that a
// second WM_DESTROY (Exit sends one before the window really goes) finds
// nothing left to free.
static void TearDownMainWindow()
{
    // The form's values are kept for the next start while its controls live.
    if (StatusText && IsWindow(StatusText))
        SaveFormMemory();
    RevokePictureDrop(MainWindow);
    EndTestPlays();
    if (PreviewImage) {
        delete PreviewImage;
        PreviewImage = NULL;
    }
    if (PreviewBitmap) {
        DeleteObject(PreviewBitmap);
        PreviewBitmap = NULL;
    }
    ReleasePreviewComposition();
    if (BackgroundBrush) {
        DeleteObject(BackgroundBrush);
        BackgroundBrush = NULL;
    }
    if (StatusFont) {
        // The status line is destroyed with the window, after this message.
        if (StatusText && IsWindow(StatusText))
            SendMessageA(StatusText, WM_SETFONT, 0, FALSE);
        DeleteObject(StatusFont);
        StatusFont = NULL;
    }
    KillTimer(MainWindow, IdPictureTypingTimer);
    KillTimer(MainWindow, IdTestPlayTimer);
    PictureWidth = PictureHeight = 0;
    PreviewPicturePath.clear();
    ConfirmedTargetPath.clear();
    PostQuitMessage(0);
}

// Runs the command whose identifier is the whole wParam, so that a control
// notification (nonzero high word) never triggers one. The picture field has
// identifier 0 and is told apart by its handle.
static void RouteCommand(WPARAM wParam, LPARAM lParam)
{
    if (lParam && (HWND)lParam == PictureFileEdit) {
        PictureFieldChanged(HIWORD(wParam));
        return;
    }
    // A menu key (main_keys) comes with 1 in the high word and no control;
    // every other command runs only with 0 there.
    const WORD id = LOWORD(wParam);
    const bool byKey = lParam == 0 && HIWORD(wParam) == 1 && id >= IdMenuNew && id <= IdMenuTestPlay;
    if (byKey)
        wParam = id;
    if (wParam >= IdMenuRecentFirst && wParam < static_cast<WPARAM>(IdMenuRecentFirst + MaxRecentPictures)) {
        RecentPictureCommand(static_cast<int>(wParam - IdMenuRecentFirst));
        return;
    }
    switch (wParam) {
    case IdPictureBrowse:
        PictureBrowseCommand();
        break;
    case IdTargetBrowse:
        TargetBrowseCommand();
        break;
    case IdCreateTarget:
        CreateTargetCommand();
        break;
    case IdSearch:
        SearchCommand();
        break;
    case IdMenuExit:
        ExitCommand();
        break;
    case IdMenuAbout:
        AboutCommand();
        break;
    case IdMenuNew:
        NewFormCommand();
        break;
    case IdMenuOpenPicture:
        PictureBrowseCommand();
        break;
    case IdMenuPastePicture:
        PastePictureCommand(byKey);
        break;
    case IdMenuTestPlay:
        TestPlayCommand();
        break;
    default:
        break;
    }
    if (LOWORD(wParam) == IdGridSize && HIWORD(wParam) == EN_CHANGE)
        UpdateGridSize();
    else if (HIWORD(wParam) == EN_CHANGE)
        KeepFieldWithinLimit((HWND)lParam);
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        BuildForm(window);
        FollowSystemColours();
        return 0;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
        FollowSystemColours();
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_PAINT:
        PaintPreview(window);
        return 0;
    case WM_DESTROY:
        TearDownMainWindow();
        return 0;
    case WM_COMMAND:
        RouteCommand(wParam, lParam);
        return 0;
    case WM_TIMER:
        if (wParam == IdPictureTypingTimer)
            RefreshTypedPicture();
        else if (wParam == IdTestPlayTimer)
            TestPlayTick();
        return 0;
    case WM_ENDSESSION:
        // Windows is ending this session: the window gets no WM_DESTROY, so
        // the form is kept now.
        if (wParam)
            SaveFormMemory();
        return 0;
    case WM_NEXTDLGCTL:
        MoveFocus(wParam, lParam);
        return 0;
    case WM_CTLCOLORSTATIC:
        // Labels, the check box, the group boxes and the status line on the
        // form's own colour rather than the system's face colour.
        SetBkColor((HDC)wParam, FormColour);
        return (LRESULT)BackgroundBrush;
    case DM_GETDEFID:
        return MAKELRESULT(DefaultButtonId(), DC_HASDEFID);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void ExitCommand()
{
    // Runs the teardown, which posts the quit message that ends the loop.
    SendMessageA(MainWindow, WM_DESTROY, 0, 0);
}

void NewFormCommand()
{
    ResetForm();
}

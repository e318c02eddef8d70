// The properties form: the 26 child controls of the main window, laid out in
// the dialog base units the system reports, the service list, the grid-size
// field's updates, and the window size that fits the form.
#include "app.h"
#include "search_address.h"
#include "vn_tr.h"

#include <cstdlib>
#include <cstring>
#include <ctime>

// k times a base unit, truncated toward zero.
static int Scaled(double k, int unit)
{
    return (int)(k * unit);
}

// The form's controls in creation order, their texts in English (shown in the
// user's language). Every style also has WS_CHILD and
// WS_VISIBLE. Rows 11 to 14 (the search controls) are reached by identifier,
// so their handles are not kept. Every field and button is a tab stop; each
// label's underlined letter (Alt+letter) moves to the field after it. The
// letters leave F and H to the menu bar.
struct FormControl {
    const char* className;
    const char* text;
    DWORD style;
    int id;
    HWND* handle;
};

static const FormControl FormControls[FormControlCount] = {
    {"button", N_("Picture Properties"), BS_GROUPBOX, 0, &PicturePropertiesGroup},
    {"static", N_("F&ile : "), SS_LEFT, 0, &PictureFileLabel},
    {"edit", "", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, &PictureFileEdit},
    {"button", N_("Browse..."), WS_TABSTOP | BS_PUSHBUTTON, IdPictureBrowse, &PictureBrowseButton},
    {"static", "SAMPLE", SS_BLACKFRAME, IdPreviewFrame, &PreviewFrame},
    {"static", N_("&Grid Size : "), SS_LEFT, 0, &GridSizeLabel},
    {"edit", "4", WS_TABSTOP | WS_BORDER | ES_NUMBER | ES_AUTOHSCROLL, IdGridSize, &GridSizeField},
    {"button", N_("&Shuffle on Launch? "), WS_TABSTOP | BS_AUTOCHECKBOX | BS_LEFTTEXT, IdShuffle, &ShuffleCheckBox},
    {"static", N_("Surf on Win &URL : "), SS_LEFT, 0, &WinUrlLabel},
    {"edit", "http://", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, IdWinUrl, &WinUrlEdit},
    {"static", N_("&Web Image Search:"), SS_LEFT, 0, NULL},
    {"edit", "", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, IdSearchPhrase, NULL},
    {"button", N_("Search..."), WS_TABSTOP | BS_PUSHBUTTON, IdSearch, NULL},
    {"combobox", "", WS_TABSTOP | CBS_DROPDOWNLIST | CBS_NOINTEGRALHEIGHT, IdSearchService, NULL},
    {"button", N_("About Box Customization"), BS_GROUPBOX, 0, &AboutBoxGroup},
    {"static", N_("&Company Name : "), SS_LEFT, 0, &CompanyNameLabel},
    {"edit", "", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, IdAboutText, &CompanyNameEdit},
    {"static", N_("Web Sit&e : "), SS_LEFT, 0, &WebSiteLabel},
    {"edit", "", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, IdAboutText, &WebSiteEdit},
    {"static", N_("Tag &Line : "), SS_LEFT, 0, &TagLineLabel},
    {"edit", "", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, IdAboutText, &TagLineEdit},
    {"static", N_("T&arget "), SS_LEFT, 0, &TargetLabel},
    {"edit", "", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, &TargetPathEdit},
    {"button", N_("Browse..."), WS_TABSTOP | BS_PUSHBUTTON, IdTargetBrowse, &TargetBrowseButton},
    {"static", N_("Idle"), SS_LEFT, 0, &StatusText},
    {"button", N_("GO !"), WS_TABSTOP | BS_DEFPUSHBUTTON, IdCreateTarget, &CreateTargetButton},
};

// Index of the first control after the service list is filled.
static const int AboutBoxGroupIndex = 14;
// The search controls (label, phrase, button, list), created after the
// shuffle and address rows but placed beside the preview, above them.
static const int SearchControlCount = 4;
// Longest grid size the field takes: three digits.
static const int GridSizeDigits = 3;

// Heights and rows are placed in Y, the group boxes, the preview and the
// rows below it in X: they stay apart while Y is about twice X, as it is for
// the system font on Windows at any DPI. Some systems report a taller Y at
// high DPI (Wine: 14 x 36 at 144 DPI), which would push the rows into each
// other and out of their groups, so the form is laid out with rows of at
// most 2·X (and the dialog font where the system font's line is taller).
int FormRowUnit(int X, int Y)
{
    return Y < 2 * X ? Y : 2 * X;
}

FormPlace FormControlPlace(int index, int X, int Y)
{
    const int gridRow = 20 * X - Scaled(1.25, Y);
    const int searchRow = Scaled(5.25, Y);
    const int targetRow = Scaled(11.5, Y);
    switch (index) {
    case 0: return {X / 2, Y / 2, 45 * X, 29 * X};          // PicturePropertiesGroup
    case 1: return {2 * X, 2 * Y, 7 * X, Y};                // PictureFileLabel
    case 2: return {7 * X, 2 * Y, 25 * X, Y};               // PictureFileEdit
    case 3: return {33 * X, 2 * Y, 10 * X, Y};              // PictureBrowseButton
    case 4: return {2 * X, 4 * Y, 20 * X, 20 * X};          // PreviewFrame
    case 5: return {24 * X, gridRow, 12 * X, Y};            // GridSizeLabel
    case 6: return {33 * X, gridRow, 3 * X, Y};             // GridSizeField, room for 3 digits
    case 7: return {24 * X, 20 * X, 18 * X, Y};             // ShuffleCheckBox
    case 8: return {24 * X, 20 * X + 2 * Y, 18 * X, Y};     // WinUrlLabel
    case 9: return {24 * X, 20 * X + 3 * Y, 18 * X, Y};     // WinUrlEdit
    case 10: return {23 * X, 4 * Y, 18 * X, Y};             // SearchLabel
    case 11: return {23 * X, searchRow, 12 * X, Y};         // SearchPhraseEdit
    case 12: return {Scaled(35.5, X), searchRow, 9 * X, Y}; // SearchButton
    case 13: return {23 * X, Scaled(6.5, Y), 18 * X, 5 * Y}; // SearchServiceCombo, list dropped
    case 14: return {47 * X, Y / 2, 45 * X, 21 * X};        // AboutBoxGroup
    case 15: return {48 * X, 2 * Y, 15 * X, Y};             // CompanyNameLabel
    case 16: return {48 * X, Scaled(3.25, Y), 25 * X, Y};   // CompanyNameEdit
    case 17: return {48 * X, 5 * Y, 15 * X, Y};             // WebSiteLabel
    case 18: return {48 * X, Scaled(6.25, Y), 25 * X, Y};   // WebSiteEdit
    case 19: return {48 * X, 8 * Y, 15 * X, Y};             // TagLineLabel
    case 20: return {48 * X, Scaled(9.25, Y), 25 * X, Y};   // TagLineEdit
    case 21: return {47 * X, targetRow, 7 * X, Y};          // TargetLabel
    case 22: return {53 * X, targetRow, 28 * X, Y};         // TargetPathEdit
    case 23: return {82 * X, targetRow, 10 * X, Y};         // TargetBrowseButton
    case 24: return {47 * X, 13 * Y, 34 * X, Scaled(1.75, Y)}; // StatusText, two lines
    case 25: return {82 * X, 13 * Y, 10 * X, Scaled(1.75, Y)}; // CreateTargetButton
    default: return {0, 0, 0, 0};
    }
}

// The controls' font: the system font, as the base units are measured in;
// where its line is taller than a form row (see FormRowUnit), the dialog
// font, which fits the row. Null for the system font.
static HFONT FormFont()
{
    if (BaseUnitY <= FormRowUnit(BaseUnitX, BaseUnitY))
        return NULL;
    return (HFONT)GetStockObject(DEFAULT_GUI_FONT);
}

static void CreateFormControls(HWND window, int first, int end, HWND* created)
{
    HFONT font = FormFont();
    for (int i = first; i < end; ++i) {
        const FormControl& control = FormControls[i];
        FormPlace place = FormControlPlace(i, BaseUnitX, FormRowUnit(BaseUnitX, BaseUnitY));
        // Labels, buttons and groups in the user's language; values as they are.
        const std::string text = VnTranslated(control.text);
        HWND handle = CreateWindowExA(0, control.className, text.c_str(),
                                      WS_CHILD | WS_VISIBLE | control.style,
                                      place.x, place.y, place.width, place.height,
                                      window, (HMENU)(INT_PTR)control.id, AppInstance, NULL);
        if (font && handle)
            SendMessageA(handle, WM_SETFONT, (WPARAM)font, FALSE);
        if (control.handle)
            *control.handle = handle;
        created[i] = handle;
    }
}

// Tab order is the controls' stacking order, which starts as the creation
// order. Moves the search controls right after the preview frame so that Tab
// goes through the form in reading order: the picture row, the search beside
// the preview, the grid, shuffle and address rows below, then the right half.
static void PutTabOrderInReadingOrder(HWND* created)
{
    HWND after = created[4];  // PreviewFrame
    for (int i = SearchLabelIndex; i < SearchLabelIndex + SearchControlCount; ++i) {
        if (!after || !created[i])
            return;
        SetWindowPos(created[i], after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = created[i];
    }
}

// The status line's font: the dialog font (DEFAULT_GUI_FONT), made smaller
// only where two of its lines would not fit the line's height of 1.75·Y, so
// every status text shows whole.
static HFONT MakeStatusFont(HWND window, int Y)
{
    LOGFONTA font;
    ZeroMemory(&font, sizeof font);
    HGDIOBJ guiFont = GetStockObject(DEFAULT_GUI_FONT);
    if (!guiFont || !GetObjectA(guiFont, sizeof font, &font))
        lstrcpyA(font.lfFaceName, "MS Shell Dlg");
    const int lineRoom = Scaled(1.75, Y) / 2;
    int lineHeight = lineRoom + 1;
    if (guiFont) {
        HDC context = GetDC(window);
        HGDIOBJ previous = SelectObject(context, guiFont);
        TEXTMETRICA metrics;
        if (GetTextMetricsA(context, &metrics))
            lineHeight = metrics.tmHeight;
        SelectObject(context, previous);
        ReleaseDC(window, context);
    }
    if (lineHeight > lineRoom) {
        font.lfHeight = lineRoom;  // positive: the cell height of one line
        font.lfWidth = 0;
    }
    return CreateFontIndirectA(&font);
}

// Fills the service list in its fixed order and preselects one entry at random.
static void FillServiceList(HWND window)
{
    HWND combo = GetDlgItem(window, IdSearchService);
    for (int i = 0; i < SearchServiceCount; ++i)
        SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)SearchServiceNames[i]);
    srand((unsigned)time(NULL));
    SendMessageA(combo, CB_SETCURSEL, (WPARAM)(rand() % SearchServiceCount), 0);
}

// Gives the window a client area of 93·X by 31·X, keeping its top-left
// corner, or taller where a row below the groups would end within Y/2 of
// the bottom (the controls as they stand, grown for longer texts).
static void FitWindowToForm(HWND window, const HWND* created, int X, int Y)
{
    int clientHeight = 31 * X;
    for (int i = 0; i < FormControlCount; ++i) {
        FormPlace place = FormControlPlace(i, X, Y);
        RECT rect;
        if (created[i] && GetWindowRect(created[i], &rect)) {
            MapWindowPoints(NULL, window, reinterpret_cast<POINT*>(&rect), 2);
            place.y = rect.top;
            place.height = rect.bottom - rect.top;
        }
        // The service list's height is that of its dropped list.
        int bottom = place.y + (i == SearchLabelIndex + 3 ? Y : place.height) + Y / 2;
        if (bottom > clientHeight)
            clientHeight = bottom;
    }
    RECT windowRect, clientRect;
    GetWindowRect(window, &windowRect);
    GetClientRect(window, &clientRect);
    int width = 93 * X + (windowRect.right - windowRect.left) - clientRect.right;
    int height = clientHeight + (windowRect.bottom - windowRect.top) - clientRect.bottom;
    MoveWindow(window, windowRect.left, windowRect.top, width, height, TRUE);
}

// The folder of the running program, where the player stub is looked for
// when the current folder has none.
static void RememberProgramFolder()
{
    ProgramFolder[0] = '\0';
    DWORD length = GetModuleFileNameA(NULL, ProgramFolder, sizeof ProgramFolder);
    if (length == 0 || length >= sizeof ProgramFolder) {
        ProgramFolder[0] = '\0';
        return;
    }
    char* slash = strrchr(ProgramFolder, '\\');
    if (slash)
        *slash = '\0';
    else
        ProgramFolder[0] = '\0';
}

// The grid size the field holds: its first three digits (0 when empty).
static int GridFieldValue()
{
    // The field takes three digits; reading four bytes (terminator included)
    // is room enough.
    char text[5] = {0};
    GetWindowTextA(GridSizeField, text, sizeof text);
    return atoi(text);
}

void BuildForm(HWND window)
{
    MainWindow = window;
    PreviewBitmap = NULL;
    GridSize = 0;
    PreviewImage = NULL;

    BaseUnitX = (short)LOWORD(GetDialogBaseUnits());
    BaseUnitY = (short)HIWORD(GetDialogBaseUnits());
    AboutProcedure = AboutDlgProc;

    HWND created[FormControlCount] = {};
    CreateFormControls(window, 0, AboutBoxGroupIndex, created);
    FillServiceList(window);
    CreateFormControls(window, AboutBoxGroupIndex, FormControlCount, created);
    PutTabOrderInReadingOrder(created);
    SendMessageA(GridSizeField, EM_LIMITTEXT, GridSizeDigits, 0);
    LimitFormFields();
    GridSize = GridFieldValue();
    if (StatusFont)
        DeleteObject(StatusFont);
    StatusFont = MakeStatusFont(window, FormRowUnit(BaseUnitX, BaseUnitY));
    if (StatusFont)
        SendMessageA(StatusText, WM_SETFONT, (WPARAM)StatusFont, FALSE);
    FitFormToTexts(created);
    FitWindowToForm(window, created, BaseUnitX, FormRowUnit(BaseUnitX, BaseUnitY));
    RememberProgramFolder();
    UpdateRecentPicturesMenu();
    LoadFormMemory();
    Accelerators = LoadAcceleratorsA(AppInstance, "main_keys");
    RegisterPictureDrop(window);
    RemoveTestPlayLeftovers();
}

void UpdateGridSize()
{
    GridSize = GridFieldValue();
    InvalidatePreview();
}

// The builder's shared state and handlers: one main window, its form, and the
// commands that the window procedure routes to.
#pragma once

#include <windows.h>
#include <commdlg.h>

class VnImage;

// Control and command identifiers.
enum {
    IdPictureBrowse = 101,
    IdPreviewFrame = 102,
    IdGridSize = 103,
    IdShuffle = 104,
    IdWinUrl = 105,
    IdAboutText = 106,
    IdTargetBrowse = 107,
    IdCreateTarget = 108,
    IdSearchPhrase = 109,
    IdSearch = 110,
    IdSearchService = 111,
    IdMenuExit = 200,
    IdMenuAbout = 201,
    IdAboutOk = 900,
    IdAboutIcon = 998,
};

// Shell state, alive for the whole run.
extern HINSTANCE AppInstance;
extern HWND MainWindow;
extern HBRUSH BackgroundBrush;
extern short BaseUnitX;
extern short BaseUnitY;

// Handles of the form's controls (rows 1-10 and 15-26 of the form).
extern HWND PicturePropertiesGroup, PictureFileLabel, PictureFileEdit, PictureBrowseButton,
    PreviewFrame, GridSizeLabel, GridSizeField, ShuffleCheckBox, WinUrlLabel, WinUrlEdit;
extern HWND AboutBoxGroup, CompanyNameLabel, CompanyNameEdit, WebSiteLabel, WebSiteEdit,
    TagLineLabel, TagLineEdit, TargetLabel, TargetPathEdit, TargetBrowseButton, StatusText,
    CreateTargetButton;

extern VnImage* PreviewImage;
extern HBITMAP PreviewBitmap;
extern BITMAP PreviewBitmapInfo;
extern int GridSize;
extern OPENFILENAMEA FileDialogRecord;
extern char FileNameBuffer[256];

// The About dialog's procedure, recorded when the form is built.
extern DLGPROC AboutProcedure;

// Display names of the three web image search services, in the order of the
// service list (index 0, 1, 2).
extern const char* const SearchServiceNames[3];

// Start-up pieces, split so tests can create the window without the loop.
// VornixMain: the builder's main function; returns the process exit code.
// RegisterMainWindowClass: registers "VORNIXS" (again, with a fresh class
//   brush, when an earlier window's teardown released it); true on success.
// CreateMainWindow: creates the main window, hidden, with its form and final
//   size, and stores it in MainWindow. Null on failure.
// RunMessageLoop: runs until WM_QUIT and returns its exit code.
// Destroying the window runs the teardown, which posts WM_QUIT.
int VornixMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);
bool RegisterMainWindowClass();
HWND CreateMainWindow();
int RunMessageLoop();

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Form.
void BuildForm(HWND window);
void UpdateGridSize();

// Place of the form's control number index (0 to 25, in creation order) in
// the main window's client area, for the dialog base units X and Y.
const int FormControlCount = 26;
struct FormPlace {
    int x, y, width, height;
};
FormPlace FormControlPlace(int index, int X, int Y);

// Preview.
void PaintPreview(HWND window);

// Commands.
void PictureBrowseCommand();
void TargetBrowseCommand();
void CreateTargetCommand();
void SearchCommand();

// Picture and target selection, split for the tests: the file dialogs' record
// for each dialog (filled afresh into FileDialogRecord), and the loading of a
// chosen picture into PreviewBitmap (a picture that cannot be read or decoded
// leaves no bitmap and an empty preview).
void FillOpenDialogRecord();
void FillSaveDialogRecord();
void LoadPreviewPicture(const char* path);
void AboutCommand();
void ExitCommand();

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

// Start-up pieces, split so tests can create the window without the loop.
int VornixMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);
bool RegisterMainWindowClass();
HWND CreateMainWindow();
int RunMessageLoop();

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Form.
void BuildForm(HWND window);
void UpdateGridSize();

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

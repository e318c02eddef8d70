// The builder's shared state and handlers: one main window, its form, and the
// commands that the window procedure routes to.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "vn_text.h"

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
    IdPictureTypingTimer = 150,
    IdTestPlayTimer = 151,
    IdMenuExit = 200,
    IdMenuAbout = 201,
    IdMenuNew = 202,
    IdMenuOpenPicture = 203,
    IdMenuPastePicture = 204,
    IdMenuTestPlay = 205,
    IdMenuRecentFirst = 210,  // to 217: the recent pictures, most recent first
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

extern HFONT StatusFont;

// The preview: PreviewImage holds a picture only while it is decoded;
// PreviewBitmap is the picture already scaled to the preview frame's inner
// area (described by PreviewBitmapInfo), so a repaint is one plain copy;
// PictureWidth and PictureHeight are the picture's own size (0 without one);
// PreviewPicturePath is the path last loaded, so a typed path that has not
// changed is not loaded again.
extern VnImage* PreviewImage;
extern HBITMAP PreviewBitmap;
extern BITMAP PreviewBitmapInfo;
// PreviewComposition: the frame's inner area as last painted, the picture
// with the grid for PreviewCompositionGrid over it (none before a paint).
extern HBITMAP PreviewComposition;
extern int PreviewCompositionGrid;
// The system's high-contrast setting as last read: the preview's grid is
// then drawn in the system's text colour instead of grey.
extern bool PreviewHighContrast;
extern int PictureWidth;
extern int PictureHeight;
extern std::string PreviewPicturePath;
extern int GridSize;
extern OPENFILENAMEA FileDialogRecord;
extern char FileNameBuffer[256];
// The system's file dialogs as the two Browse commands call them
// (GetOpenFileNameA and GetSaveFileNameA); tests put stand-ins here that
// behave as the dialogs of other systems do.
typedef BOOL(WINAPI* FileDialogFunction)(LPOPENFILENAMEA record);
extern FileDialogFunction OpenFileDialog;
extern FileDialogFunction SaveFileDialog;

// Folder of the running program (no trailing backslash), where "GO !" looks
// for the player stub when the current folder has none. Set with the form.
extern char ProgramFolder[MAX_PATH];
// The target the user agreed to replace (chosen in the save dialog, or built
// by an earlier "GO !"): "GO !" asks before replacing any other existing file.
extern std::string ConfirmedTargetPath;

// The File menu's keys (Ctrl+N, Ctrl+O, Ctrl+V, F5), loaded with the form.
extern HACCEL Accelerators;

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
// The form's keyboard interface for one queued message: Tab and Shift+Tab,
// Enter for "GO !", Alt with a label's underlined letter. True when the
// message was handled (and dispatched) there.
bool HandleFormKeys(MSG* message);

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Form.
void BuildForm(HWND window);
void UpdateGridSize();
// The text fields' limits: set on the controls when the form is built; a
// record field whose text changes is cut back to what the record keeps.
void LimitFormFields();
void KeepFieldWithinLimit(HWND field);

// Place of the form's control number index (0 to 25, in creation order) in
// the main window's client area, for the dialog base units X and Y.
const int FormControlCount = 26;
struct FormPlace {
    int x, y, width, height;
};
FormPlace FormControlPlace(int index, int X, int Y);
// The height of a form row for base units X and Y: Y, but never more than 2·X.
int FormRowUnit(int X, int Y);
// The search label's place among the form's controls (in creation order).
const int SearchLabelIndex = 10;
// Makes room for texts wider than their controls in the user's language
// (form_fit.cpp); created: the controls in creation order.
void FitFormToTexts(const HWND* created);

// Preview.
void PaintPreview(HWND window);
// Requests a repaint of the preview frame's area alone.
void InvalidatePreview();
// Drops the composed preview, when the picture changes or the window goes.
void ReleasePreviewComposition();
// Reads the high-contrast setting again (at the start, and when the system's
// settings or colours change) and draws the preview anew.
void FollowSystemColours();

// The status line: a text alone, or followed on the second line by the
// system's reason for a failure, or by the path of the file written (its
// middle left out where it is too wide for the line). The text is given in
// English (written N_("...") where it is typed, or as the package reports
// it) and shown in the user's language.
void ShowStatus(const char* text);
void ShowStatusWithReason(const char* text, const std::string& reason);
void ShowStatusWithPath(const char* text, const std::string& path);

// The form that remembers (HKCU, under SettingsKeyPath, which tests point
// elsewhere): LoadFormMemory fills the form from what the last run saved
// (nothing for a new user), SaveFormMemory saves it, at exit. ResetForm
// brings the form back to its first-start state (File > "New").
extern const char* SettingsKeyPath;
extern std::string LastPictureFolder;
extern std::string LastTargetFolder;
void LoadFormMemory();
void SaveFormMemory();
void ResetForm();

// File > "Recent Pictures": at most MaxRecentPictures paths, most recent first.
const int MaxRecentPictures = 8;
const std::vector<std::string>& RecentPictures();
void SetRecentPictures(const std::vector<std::string>& paths);
// A picture was shown: it goes first in the list, and its folder is where
// the picture dialog opens next.
void NotePictureUsed(const std::string& path);
void UpdateRecentPicturesMenu();
void RecentPictureCommand(int index);

// A picture arrives. UsePicture (the dialog's choice): into the File field
// and the preview, which stays empty when it does not decode. TakePicture
// (a drop, a paste, the recent list): only when it decodes; otherwise the
// picture shown stays and the status line says so. True when it was taken.
void UsePicture(const std::string& path);
bool TakePicture(const std::string& path);

// Paths: resolved against the current folder, their folder part, and
// whether they name an existing file (not a folder).
std::string FullPathOf(const std::string& path);
std::string FolderOf(const std::string& path);
bool IsExistingFile(const std::string& path);

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
// Shows the picture in the preview only when it decodes; false, with the
// preview as it was, when it does not.
bool TakePreviewPicture(const char* path);
// The picture path typed into the File field: loaded into the preview when
// the field loses focus or typing pauses, unless it is the one shown.
void PictureFieldChanged(WORD notification);
void RefreshTypedPicture();
// Where "GO !" takes the player stub from: "vornix_distrib.exe" in the
// current folder when it is there, else the one in ProgramFolder.
std::string LocateStub();
void AboutCommand();
void ExitCommand();
void NewFormCommand();
// File > "Paste Picture"; byKey: Ctrl+V, which in a text field pastes text
// when the clipboard holds some.
void PastePictureCommand(bool byKey);
// File > "Test Play": builds the form's puzzle into a temporary file and
// starts it; the file goes when that player ends (TestPlayTick polls), and
// files left over by an earlier run go at the next start (RemoveTestPlayLeftovers).
void TestPlayCommand();
void TestPlayTick();
void RemoveTestPlayLeftovers();
void EndTestPlays();

// Drops on the main window (an OLE drop target): registered with the form,
// revoked at teardown. BuilderDropTarget is the window's drop target.
struct IDropTarget;
extern IDropTarget* BuilderDropTarget;
void RegisterPictureDrop(HWND window);
void RevokePictureDrop(HWND window);

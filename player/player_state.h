// State of the running player, shared by its window procedure, painting,
// game and command code: plain globals that live for the whole run, and the
// functions each of the player's files offers the others.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "package_reader.h"
#include "picture_scale.h"
#include "player_clock.h"
#include "player_layout.h"
#include "score_texts.h"
#include "puzzle_board.h"

extern const wchar_t PlayerClassName[];
const int MinClientWidth = 320;  // at 96 DPI: room for the menu bar and the status bar
const UINT_PTR ClockTimer = 1;
const UINT_PTR AnimationTimer = 2;
const UINT_PTR SolveTimer = 3;
const UINT_PTR StatusTimer = 4;

// The puzzle, from the package (player_load.cpp).
extern HINSTANCE PlayerInstance;
extern PackageRecord Record;
extern std::string PuzzleKey;     // names its best results
extern PixelRows SourcePixels;    // the decoded picture, 24-bit
extern int PictureWidth;          // its natural size
extern int PictureHeight;
extern PlayerLayout Layout;       // opening size and grid in play
extern PuzzleBoard* Board;

// The window and where things lie in it, in physical pixels (player_window.cpp).
extern HWND PlayerWindow;
extern HWND StatusText;           // the status bar (msctls_statusbar32)
extern HWND NoticeText;
extern int WindowDpi;
extern bool HighContrast;         // the system's high-contrast setting, as last read
extern int AreaWidth;             // the picture area: the client above the notice and status bar
extern int AreaHeight;
extern PictureRect Picture;       // the picture's place in that area

// The game (player_game.cpp).
extern GameClock Clock;
extern SolveGate Gate;
extern BestResult Best;
extern bool Finished;             // solved; play resumes with a shuffle
extern bool Assisted;             // the game was finished by Solve
extern bool Helped;               // Hint or Solve was used: the game sets no best result
extern bool ShowNumbers;
extern bool ShowPictureToggled;
extern bool ShowPictureHeld;
extern int HintColumn;            // the cell the hint points at; -1 none
extern int HintRow;

// player_load.cpp: reads the package of this program's own file. 0 when the
// puzzle is ready, else the exit code after the failure has been shown.
int LoadPuzzle();
enum PuzzleFailure { PuzzleMissing, PuzzleDamaged, PuzzleTooLarge };
// "This program holds no puzzle." and the others, in the user's language.
std::string PuzzleFailureText(PuzzleFailure failure);
// Takes a package's contents as the puzzle: decodes the picture (releasing
// the package's copy of it) and names its best results. false when the
// picture does not decode.
bool PreparePuzzle(PackageContents& contents, PuzzleFailure* failure);
void ReleasePuzzle();

// player_window.cpp
// The player's name in the user's language: the window's title and the
// caption of its messages.
std::string PlayerTitle();
// Shows a message box owned by the player's window (none before it exists).
int PlayerMessage(const std::string& text, UINT type);
LRESULT CALLBACK PlayerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Plans the opening size, makes the board, registers the class and creates
// the window centred in the work area (not yet shown).
HWND OpenPlayer(const RECT& work);
int ScaleForDpi(int pixelsAt96);
// The cell under a client point, false outside the board.
bool CellFromPoint(int x, int y, int* column, int* row);

// player_status.cpp: the status bar's text, and the window's title after a
// move ("Vornix Puzzle - 7 of 15 tiles in place"), each set only when it
// changes and at most every 100 ms (the last text always).
void SetStatusText(const std::string& text);
void SetTitleText(const std::string& text);
// Shows the texts set so far now (before a message, say).
void ShowStatusNow();
// A new window: nothing shown in its status bar, title its title.
void ResetStatus(const std::string& title);

// player_dpi.cpp: newer system calls reached through GetProcAddress, and the
// system settings the player follows.
void BecomeDpiAware();
int DpiOfWindow(HWND window);
int SystemDpi();
BOOL AdjustFrameForDpi(RECT* rect, DWORD style, DWORD exStyle, int dpi);
HFONT CreateMessageFont(int dpi);
bool ClientAreaAnimationOn();
bool HighContrastOn();

// player_picture.cpp: the picture at its size on screen, in ScaledDc.
extern HDC ScaledDc;
extern int ScaledWidth;
extern int ScaledHeight;
extern bool ScaledIsRough;  // stretched during a drag, to be made again with the filter
// Scales the decoded picture to width x height with the player's filter.
bool ScalePicture(int width, int height);
// Stretches the current copy to width x height without filtering (fast).
bool StretchScaledPicture(int width, int height);
void ReleaseScaledPicture();

// player_paint.cpp
// Fits the picture into the current area, rescales it when its size changed
// and redraws the whole board off screen.
void LayoutPicture();
// Set while the user drags the window's frame; EndLiveResize makes the
// filtered copy for the size the drag ended at.
extern bool LiveResizing;
void EndLiveResize();
void RedrawBoard();
// Redraws the cells between two cells of one row or column.
void RedrawCells(int column1, int row1, int column2, int row2);
void PaintPlayer(HWND window);
void ReleasePaintResources();
bool ShowingWholePicture();

// player_animation.cpp
extern bool AnimationsOn;
// After a slide whose tiles went from the gap's old cell towards the cell
// that is now the gap: draws it moving over durationMs, or at once.
void AnimateSlide(int oldGapColumn, int oldGapRow, int durationMs);
void FinishAnimation();
void AnimationTick();
// The offset, in pixels, at which a tile now in (column, row) is drawn.
bool TileOffset(int column, int row, int* dx, int* dy);

// player_game.cpp
bool PuzzleInPlay();
void NewGame(bool scatter);
void UpdateStatus();
void TickClock();
void SetPaused(GameClock::PauseReason reason, bool paused);
// Slides from a cell (a click, a key or a step of Solve); false when nothing moved.
bool SlideFromCell(int column, int row, int durationMs);
void UndoSlide();
void ShowHint();
void StartSolve();
void StopSolve();
void SolveStep();
void SetShowPictureHeld(bool held);

// player_best.cpp: best results in HKCU\Software\Vornix SDK\Puzzles\<key>.
BestResult ReadBest(const std::string& key);
bool WriteBest(const std::string& key, const BestResult& best);

// player_commands.cpp
void ClickCommand(int x, int y);
void KeyCommand(WPARAM key, LPARAM flags);
void ShuffleCommand();
void ToggleShowPictureCommand();
void ToggleNumbersCommand();
void BestResultsCommand();
void AboutCommand();

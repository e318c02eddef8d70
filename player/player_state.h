// State of the running player, shared by its window procedure, painting,
// game and command code. Plain globals that live for the whole run.
#pragma once

#include <windows.h>

#include <string>

#include "package_reader.h"
#include "player_layout.h"
#include "puzzle_board.h"

extern const char PlayerClassName[];
extern const char PlayerTitle[];
extern const int MinClientWidth;  // room for the menu bar and the status line
extern const UINT_PTR ClockTimer;

extern HINSTANCE PlayerInstance;
extern HWND PlayerWindow;
extern HWND StatusText;
extern HWND NoticeText;
extern HBITMAP PictureBitmap;
extern int PictureWidth;  // source picture, pixels
extern int PictureHeight;
extern PlayerLayout Layout;
extern int AreaWidth;  // the picture area of the client: the picture, centred
extern int PictureLeft;
extern int LineHeight;
extern PuzzleBoard* Board;
extern PackageRecord Record;
extern bool ShowPictureToggled;
extern bool ShowPictureHeld;
extern bool ClockRunning;
extern DWORD ClockStart;
extern unsigned ElapsedSeconds;
extern bool Finished;  // solved after a move; play resumes with a shuffle

// Game (player_game.cpp).
bool PuzzleInPlay();
void UpdateStatus();
void StopClock();
void TickClock();
void ScatterTiles(PuzzleBoard& board);
void ShuffleBoard();
void AfterMove(int movedTiles);
bool ShowingWholePicture();
void SetShowPictureHeld(bool held);

// Painting (player_paint.cpp).
void PaintPlayer(HWND window);

// Commands (player_commands.cpp).
void ClickCommand(int x, int y);
void KeyCommand(WPARAM key, LPARAM flags);
void ToggleShowPictureCommand();
void AboutCommand();

// Loading (player_load.cpp): 0 when the puzzle is ready, else the exit code
// after the failure has been shown.
int LoadPuzzle();

// Window (player_window.cpp).
LRESULT CALLBACK PlayerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PlanWindow(const RECT& work);
HWND CreatePlayerWindow(const RECT& work);

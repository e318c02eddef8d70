// The game: the clock, the status line, shuffling, and what follows a move.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "player_state.h"

namespace {

std::string MovesText(unsigned moves)
{
    char text[32];
    std::snprintf(text, sizeof text, moves == 1 ? "%u move" : "%u moves", moves);
    return text;
}

}  // namespace

bool PuzzleInPlay()
{
    return Board != nullptr && Layout.grid >= 2;
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


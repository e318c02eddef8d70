// The game: new games, slides and what follows them (the clock, the status
// line, a solve and its results), undo, hints and Solve's playback.
#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <string>
#include <utility>
#include <vector>

#include "player_state.h"
#include "puzzle_solver.h"
#include "vn_tr.h"

GameClock Clock;
SolveGate Gate;
BestResult Best;
bool Finished;
bool Assisted;
bool Helped;
bool ShowNumbers;
bool ShowPictureToggled;
bool ShowPictureHeld;
int HintColumn = -1;
int HintRow = -1;

namespace {

const int SlideMs = 100;

std::vector<std::pair<int, int>> Solution;  // the rest of Solve's playback
size_t SolutionStep;
bool Solving;
int SolveStepMs;
size_t SlidesPerStep;  // more than one on long solutions, drawn without motion

void ClearHint()
{
    if (HintColumn < 0)
        return;
    int column = HintColumn;
    int row = HintRow;
    HintColumn = HintRow = -1;
    RedrawCells(column, row, column, row);
}

void StartClock()
{
    Clock.Start(GetTickCount());
    SetTimer(PlayerWindow, ClockTimer, 250, nullptr);
}

void StopClock()
{
    Clock.Stop(GetTickCount());
    KillTimer(PlayerWindow, ClockTimer);
}

// Ends a game that was solved: the slot fills with its tile, the sound, the
// results kept and shown, the win address, and the offer of another game.
void FinishGame()
{
    StopSolve();
    StopClock();
    Finished = true;
    HintColumn = HintRow = -1;
    const uint32_t moves = Board->Moves();
    const uint32_t seconds = Clock.ElapsedSeconds(GetTickCount());
    if (SolveSetsBest(Gate, Board->IsSolved(), Helped)) {
        Best = MergeBest(ReadBest(PuzzleKey), moves, seconds);
        WriteBest(PuzzleKey, Best);
    }
    UpdateStatus();
    RedrawBoard();
    UpdateWindow(PlayerWindow);
    PlaySoundA("SystemAsterisk", nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT);
    if (Assisted)
        return;
    const int answer = PlayerMessage(FinishMessage(moves, seconds, Helped, Best),
                                     MB_YESNO | MB_ICONINFORMATION);
    if (Record.winAddress != "NONE")
        ShellExecuteA(nullptr, "open", Record.winAddress.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    if (answer == IDYES)
        NewGame(true);
}

// After the board changed by a slide (or an undo) that left the gap where
// it was at (oldGapColumn, oldGapRow).
void AfterSlide(int oldGapColumn, int oldGapRow, int durationMs)
{
    ClearHint();
    if (!Clock.Running())
        StartClock();
    AnimateSlide(oldGapColumn, oldGapRow, durationMs);
    Gate.AfterSlide(Board->ManhattanDistance());
    if (Board->IsSolved()) {
        if (Gate.Counts(true)) {
            FinishAnimation();
            FinishGame();
            return;
        }
        // Back at the start of a board that was never scattered: no game yet.
        Board->Reset();
        StopClock();
        Clock.Reset();
    }
    UpdateStatus();
}

// The title after a move: how many tiles are home, for screen readers,
// which announce a window's title when it changes.
std::string TitleText()
{
    const std::string title = PlayerTitle();
    if (!PuzzleInPlay() || (Board->Moves() == 0 && !Finished))
        return title;
    const int grid = Board->Size();
    const unsigned tiles = static_cast<unsigned>(grid * grid - 1);
    unsigned home = 0;
    for (int row = 0; row < grid; ++row)
        for (int column = 0; column < grid; ++column)
            home += Board->TileAt(column, row) == row * grid + column;
    return title + " - " + VnFormat(TrN("%d of %d tile in place", "%d of %d tiles in place", tiles),
                                    {home, tiles});
}

}  // namespace

bool PuzzleInPlay()
{
    return Board != nullptr && Layout.grid >= 2;
}

void UpdateStatus()
{
    if (!StatusText)
        return;
    std::string text;
    if (!PuzzleInPlay())
        text.clear();
    else if (Finished && Assisted)
        text = Tr("Solved by Game > Solve");
    else
        text = StatusLine(!Gate.Armed() && Board->Moves() == 0, Finished, Helped, Board->Moves(),
                          Clock.ElapsedSeconds(GetTickCount()));
    SetStatusText(text);
    SetTitleText(TitleText());
}

void TickClock()
{
    static uint32_t shown = ~0u;
    const uint32_t seconds = Clock.ElapsedSeconds(GetTickCount());
    if (seconds != shown) {
        shown = seconds;
        UpdateStatus();
    }
}

void SetPaused(GameClock::PauseReason reason, bool paused)
{
    Clock.SetPaused(reason, paused, GetTickCount());
}

void NewGame(bool scatter)
{
    if (!PuzzleInPlay())
        return;
    StopSolve();
    FinishAnimation();
    StopClock();
    Clock.Reset();
    if (scatter)
        Board->Shuffle(GetTickCount() ^ (GetCurrentProcessId() << 16),
                       PuzzleBoard::ShuffleSteps(Board->Size()));
    else
        Board->Reset();
    Gate.Begin(scatter);
    Finished = false;
    Assisted = false;
    Helped = false;
    HintColumn = HintRow = -1;
    UpdateStatus();
    RedrawBoard();
}

bool SlideFromCell(int column, int row, int durationMs)
{
    if (!PuzzleInPlay() || Finished || ShowingWholePicture())
        return false;
    const int gapColumn = Board->GapColumn();
    const int gapRow = Board->GapRow();
    if (Board->SlideFrom(column, row) <= 0)
        return false;
    AfterSlide(gapColumn, gapRow, durationMs < 0 ? SlideMs : durationMs);
    return true;
}

void UndoSlide()
{
    StopSolve();
    if (!PuzzleInPlay() || Finished || ShowingWholePicture())
        return;
    const int gapColumn = Board->GapColumn();
    const int gapRow = Board->GapRow();
    if (!Board->Undo())
        return;
    AfterSlide(gapColumn, gapRow, SlideMs);
}

void ShowHint()
{
    StopSolve();
    if (!PuzzleInPlay() || Finished || ShowingWholePicture())
        return;
    int column = -1;
    int row = -1;
    if (!PuzzleHint(*Board, &column, &row))
        return;
    ClearHint();
    Helped = true;
    HintColumn = column;
    HintRow = row;
    RedrawCells(column, row, column, row);
}

void StartSolve()
{
    StopSolve();
    if (!PuzzleInPlay() || Finished || ShowingWholePicture() || Board->IsSolved())
        return;
    Solution = PuzzleSolution(*Board);
    if (Solution.empty())
        return;
    SolutionStep = 0;
    Solving = true;
    Assisted = true;
    Helped = true;
    Gate.Begin(true);  // the playback's solve ends the game
    // About 100 ms a slide, faster for long solutions so that Solve ends in
    // about ten seconds: down to 20 ms a step, then several slides a step.
    SolveStepMs = static_cast<int>(10000 / Solution.size());
    if (SolveStepMs > 120)
        SolveStepMs = 120;
    if (SolveStepMs < 20)
        SolveStepMs = 20;
    SlidesPerStep = (Solution.size() + 499) / 500;
    SetTimer(PlayerWindow, SolveTimer, SolveStepMs, nullptr);
}

void StopSolve()
{
    if (!Solving)
        return;
    Solving = false;
    KillTimer(PlayerWindow, SolveTimer);
    std::vector<std::pair<int, int>>().swap(Solution);
}

void SolveStep()
{
    if (!Solving)
        return;
    if (SolutionStep >= Solution.size() || Finished) {
        StopSolve();
        return;
    }
    for (size_t i = 0; i < SlidesPerStep && Solving && SolutionStep < Solution.size(); ++i) {
        const std::pair<int, int> cell = Solution[SolutionStep++];
        const int gapColumn = Board->GapColumn();
        const int gapRow = Board->GapRow();
        if (Board->SlideFrom(cell.first, cell.second) <= 0) {
            StopSolve();  // the board is not where the solution expects
            return;
        }
        AfterSlide(gapColumn, gapRow, SlidesPerStep == 1 ? SolveStepMs * 8 / 10 : 0);
    }
}

void SetShowPictureHeld(bool held)
{
    if (held == ShowPictureHeld)
        return;
    FinishAnimation();
    ShowPictureHeld = held;
    SetPaused(GameClock::PausedPicture, ShowPictureHeld || ShowPictureToggled);
    RedrawBoard();
}

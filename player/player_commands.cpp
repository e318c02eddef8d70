// The player's commands: clicks, keys, menu items and the About box.
#include <windows.h>

#include <string>

#include "player_ids.h"
#include "player_state.h"
#include "vn_tr.h"

namespace {

// Shows a record text in a dialog's control. The record carries UTF-8; one
// written by an older builder may hold the bytes of its ANSI code page
// instead, which are not valid UTF-8 and are read as such.
void SetRecordText(HWND dialog, int id, const std::string& field)
{
    const std::string text = RecordDisplayText(field);
    // A record field holds at most MaxRecordLength bytes, each at most one
    // UTF-16 unit.
    static wchar_t wide[MaxRecordLength + 1];
    int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.c_str(), -1, wide, MaxRecordLength + 1);
    if (length <= 0)
        length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, MaxRecordLength + 1);
    if (length <= 0)
        return;
    SetDlgItemTextW(dialog, id, wide);
}

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SetRecordText(dialog, IdAboutCompany, Record.companyName);
        SetRecordText(dialog, IdAboutWebSite, Record.webSite);
        SetRecordText(dialog, IdAboutTagLine, Record.tagLine);
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

bool GameInProgress()
{
    return PuzzleInPlay() && !Finished && Clock.Running() && Board->Moves() > 0;
}

}  // namespace

void ClickCommand(int x, int y)
{
    StopSolve();
    int column = 0;
    int row = 0;
    if (CellFromPoint(x, y, &column, &row))
        SlideFromCell(column, row, -1);
}

void KeyCommand(WPARAM key, LPARAM flags)
{
    if (key == VK_SPACE) {
        if (!(flags & (1 << 30)))  // not an auto-repeat
            SetShowPictureHeld(true);
        return;
    }
    if (!PuzzleInPlay())
        return;
    // An arrow moves the tile on that side of the gap into it: Left takes the
    // tile right of the gap.
    int column = Board->GapColumn();
    int row = Board->GapRow();
    switch (key) {
    case VK_LEFT: ++column; break;
    case VK_RIGHT: --column; break;
    case VK_UP: ++row; break;
    case VK_DOWN: --row; break;
    default: return;
    }
    StopSolve();
    if (column >= 0 && row >= 0 && column < Board->Size() && row < Board->Size())
        SlideFromCell(column, row, -1);
}

void ShuffleCommand()
{
    if (!PuzzleInPlay())
        return;
    if (GameInProgress()) {
        SetPaused(GameClock::PausedDialog, true);
        int answer = PlayerMessage(Tr("Discard the game in progress and shuffle?"),
                                   MB_YESNO | MB_ICONQUESTION);
        SetPaused(GameClock::PausedDialog, false);
        if (answer != IDYES)
            return;
    }
    NewGame(true);
}

void ToggleShowPictureCommand()
{
    FinishAnimation();
    ShowPictureToggled = !ShowPictureToggled;
    CheckMenuItem(GetMenu(PlayerWindow), IdGameShowPicture,
                  MF_BYCOMMAND | (ShowPictureToggled ? MF_CHECKED : MF_UNCHECKED));
    SetPaused(GameClock::PausedPicture, ShowPictureHeld || ShowPictureToggled);
    RedrawBoard();
}

void ToggleNumbersCommand()
{
    FinishAnimation();
    ShowNumbers = !ShowNumbers;
    CheckMenuItem(GetMenu(PlayerWindow), IdGameNumbers,
                  MF_BYCOMMAND | (ShowNumbers ? MF_CHECKED : MF_UNCHECKED));
    RedrawBoard();
}

void BestResultsCommand()
{
    SetPaused(GameClock::PausedDialog, true);
    PlayerMessage(BestResultsText(Best), MB_OK | MB_ICONINFORMATION);
    SetPaused(GameClock::PausedDialog, false);
}

void AboutCommand()
{
    SetPaused(GameClock::PausedDialog, true);
    DialogBoxParamW(PlayerInstance, L"about_dlg", PlayerWindow, AboutDlgProc, 0);
    SetPaused(GameClock::PausedDialog, false);
}

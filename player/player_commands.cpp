// The player's commands: clicks, keys, menu items and the About box.
#include <windows.h>

#include "player_ids.h"
#include "player_state.h"

void ClickCommand(int x, int y)
{
    if (ShowingWholePicture() || Finished)
        return;
    int column = CellAt(Layout.width, Layout.grid, x - PictureLeft);
    int row = CellAt(Layout.height, Layout.grid, y);
    if (column < 0 || row < 0)
        return;
    AfterMove(Board->SlideFrom(column, row));
}

void KeyCommand(WPARAM key, LPARAM flags)
{
    if (key == VK_SPACE) {
        if (!(flags & (1 << 30)))  // not an auto-repeat
            SetShowPictureHeld(true);
        return;
    }
    if (key == VK_F2) {
        ShuffleBoard();
        return;
    }
    if (ShowingWholePicture() || Finished)
        return;
    PuzzleBoard::Direction direction;
    switch (key) {
    case VK_LEFT: direction = PuzzleBoard::MoveLeft; break;
    case VK_RIGHT: direction = PuzzleBoard::MoveRight; break;
    case VK_UP: direction = PuzzleBoard::MoveUp; break;
    case VK_DOWN: direction = PuzzleBoard::MoveDown; break;
    default: return;
    }
    AfterMove(Board->Move(direction) ? 1 : 0);
}

void ToggleShowPictureCommand()
{
    ShowPictureToggled = !ShowPictureToggled;
    CheckMenuItem(GetMenu(PlayerWindow), IdGameShowPicture,
                  MF_BYCOMMAND | (ShowPictureToggled ? MF_CHECKED : MF_UNCHECKED));
    InvalidateRect(PlayerWindow, nullptr, FALSE);
}

namespace {

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(dialog, IdAboutCompany, RecordDisplayText(Record.companyName).c_str());
        SetDlgItemTextA(dialog, IdAboutWebSite, RecordDisplayText(Record.webSite).c_str());
        SetDlgItemTextA(dialog, IdAboutTagLine, RecordDisplayText(Record.tagLine).c_str());
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

}  // namespace

void AboutCommand()
{
    DialogBoxParamA(PlayerInstance, "about_dlg", PlayerWindow, AboutDlgProc, 0);
}


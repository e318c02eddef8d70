// The status bar's text and the window's title. A slide changes both, but a
// status bar repaints itself whole on every change (6 to 9 ms under Wine's
// theme, far more than the slide), and nobody reads ten texts a second: the
// texts are shown at once after a pause, and otherwise at most every
// StatusInterval, the last one always.
#include <windows.h>
#include <commctrl.h>

#include "player_state.h"
#include "vn_text.h"

namespace {

const DWORD StatusInterval = 100;  // ms

VnWideText ShownStatus;
VnWideText ShownTitle;
VnWideText WantedStatus;
VnWideText WantedTitle;
DWORD LastShown;
bool Waiting;  // StatusTimer runs

void Schedule()
{
    if (Waiting || !PlayerWindow)
        return;
    const DWORD since = GetTickCount() - LastShown;
    if (since >= StatusInterval) {
        ShowStatusNow();
        return;
    }
    Waiting = SetTimer(PlayerWindow, StatusTimer, StatusInterval - since, nullptr) != 0;
    if (!Waiting)
        ShowStatusNow();
}

}  // namespace

void SetStatusText(const std::string& text)
{
    WantedStatus = VnWide(text);
    Schedule();
}

void SetTitleText(const std::string& text)
{
    WantedTitle = VnWide(text);
    Schedule();
}

void ShowStatusNow()
{
    if (Waiting && PlayerWindow)
        KillTimer(PlayerWindow, StatusTimer);
    Waiting = false;
    LastShown = GetTickCount();
    if (StatusText && !WantedStatus.empty() && WantedStatus != ShownStatus) {
        ShownStatus = WantedStatus;
        SendMessageW(StatusText, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(ShownStatus.data()));
    }
    if (PlayerWindow && !WantedTitle.empty() && WantedTitle != ShownTitle) {
        ShownTitle = WantedTitle;
        SetWindowTextW(PlayerWindow, ShownTitle.data());
    }
}

void ResetStatus(const std::string& title)
{
    if (Waiting && PlayerWindow)
        KillTimer(PlayerWindow, StatusTimer);
    Waiting = false;
    LastShown = GetTickCount() - StatusInterval;
    ShownStatus.clear();
    WantedStatus.clear();
    ShownTitle = VnWide(title);
    WantedTitle = ShownTitle;
}

// The About dialog: a modal dialog from the "about_dlg" template that only its
// OK button (by click or Enter) ends; Escape and the close box leave it open.
// Where a line of text is wider than the dialog in the user's language, the
// dialog grows to it, its lines with it and its button kept in the middle;
// in English the template is as it is.
#include "app.h"

namespace {

int TextWidth(HWND control)
{
    wchar_t text[256] = {0};
    const int length = GetWindowTextW(control, text, 256);
    HDC context = GetDC(control);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    HGDIOBJ previous = SelectObject(context, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    SIZE size = {0, 0};
    GetTextExtentPoint32W(context, text, length, &size);
    SelectObject(context, previous);
    ReleaseDC(control, context);
    return size.cx;
}

void GrowToTexts(HWND dialog)
{
    RECT client;
    GetClientRect(dialog, &client);
    int grow = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        GetClientRect(child, &rect);
        const int needed = TextWidth(child) + 2 * GetSystemMetrics(SM_CXEDGE);
        if (rect.right == client.right && needed - rect.right > grow)
            grow = needed - rect.right;
    }
    if (grow <= 0)
        return;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(NULL, dialog, reinterpret_cast<POINT*>(&rect), 2);
        if (rect.right - rect.left == client.right)
            MoveWindow(child, rect.left, rect.top, rect.right - rect.left + grow, rect.bottom - rect.top, FALSE);
        else if (GetDlgCtrlID(child) == IdAboutOk)
            MoveWindow(child, rect.left + grow / 2, rect.top, rect.right - rect.left, rect.bottom - rect.top, FALSE);
    }
    RECT frame;
    GetWindowRect(dialog, &frame);
    SetWindowPos(dialog, NULL, 0, 0, frame.right - frame.left + grow, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        GrowToTexts(dialog);
        return TRUE;  // let the dialog manager focus the OK button
    case WM_COMMAND:
        if (wParam == IdAboutOk) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void AboutCommand()
{
    DLGPROC procedure = AboutProcedure ? AboutProcedure : AboutDlgProc;
    DialogBoxParamA(AppInstance, "about_dlg", MainWindow, procedure, 0);
}

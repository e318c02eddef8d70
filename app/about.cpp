// The About dialog: a modal dialog from the "about_dlg" template that only its
// OK button (by click or Enter) ends; Escape and the close box leave it open.
#include "app.h"

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
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

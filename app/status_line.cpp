// The status line: one text, or a text with a second line saying why a step
// failed or which file was written. A path too wide for the line is shown
// with its middle left out, so that its folder's start and its name show.
#include <shlwapi.h>

#include <string>
#include <vector>

#include "app.h"
#include "control_text.h"
#include "vn_tr.h"

namespace {

const char LineBreak[] = "\r\n";

// The path as it fits one line of the status line in its font.
std::string FitPathToLine(const std::string& path)
{
    RECT client;
    if (!StatusText || !GetClientRect(StatusText, &client) || client.right <= 0)
        return path;
    std::wstring wide = WideFromAcp(path);
    // PathCompactPathW works in a buffer of MAX_PATH characters.
    if (wide.empty() || wide.size() >= MAX_PATH)
        return path;
    wchar_t fitted[MAX_PATH] = {0};
    wide.copy(fitted, wide.size());
    HDC context = GetDC(StatusText);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(StatusText, WM_GETFONT, 0, 0));
    HGDIOBJ previous = SelectObject(context, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    SIZE size = {0, 0};
    bool fits = GetTextExtentPoint32W(context, fitted, static_cast<int>(wide.size()), &size) &&
                size.cx <= client.right;
    // Even where the name alone is too wide (it returns false then), the
    // path comes back shortened, as "...\name".
    if (!fits)
        PathCompactPathW(context, fitted, static_cast<UINT>(client.right));
    SelectObject(context, previous);
    ReleaseDC(StatusText, context);
    return fits ? path : AcpFromWide(fitted);
}

}  // namespace

void ShowStatus(const char* text)
{
    SetWindowTextA(StatusText, VnTranslated(text).c_str());
}

void ShowStatusWithReason(const char* text, const std::string& reason)
{
    if (reason.empty()) {
        ShowStatus(text);
        return;
    }
    // The reason is the system's, in the user's language already.
    SetWindowTextA(StatusText, (VnTranslated(text) + LineBreak + reason).c_str());
}

void ShowStatusWithPath(const char* text, const std::string& path)
{
    SetWindowTextA(StatusText, (VnTranslated(text) + LineBreak + FitPathToLine(path)).c_str());
}

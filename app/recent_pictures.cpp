// File > "Recent Pictures": the last pictures used (by the dialog, a drop, a
// paste or typing), most recent first, each with its Alt-key number; a
// picture that is gone leaves the list when it is chosen.
#include <shlwapi.h>

#include <string>
#include <vector>

#include "app.h"
#include "control_text.h"

namespace {

std::vector<std::string> Recent;

// The menu's text for a path: "&" doubled, so it shows, and a long path
// with its middle left out.
std::wstring MenuPathText(const std::string& path)
{
    const UINT MaxShownCharacters = 60;
    std::wstring wide = WideFromAcp(path);
    wchar_t shown[MAX_PATH] = {0};
    if (wide.size() >= MAX_PATH || !PathCompactPathExW(shown, wide.c_str(), MaxShownCharacters, 0))
        lstrcpynW(shown, wide.c_str(), MaxShownCharacters);
    std::wstring text;
    for (const wchar_t* c = shown; *c; ++c) {
        if (*c == L'&')
            text += L'&';
        text += *c;
    }
    return text;
}

// The "Recent Pictures" popup: the File menu's submenu.
HMENU RecentMenu()
{
    HMENU bar = MainWindow ? GetMenu(MainWindow) : NULL;
    HMENU file = bar ? GetSubMenu(bar, 0) : NULL;
    if (!file)
        return NULL;
    for (int i = 0; i < GetMenuItemCount(file); ++i)
        if (HMENU popup = GetSubMenu(file, i))
            return popup;
    return NULL;
}

// Where the popup stands in the File menu, to grey it while the list is empty.
int RecentMenuPosition(HMENU file, HMENU popup)
{
    for (int i = 0; i < GetMenuItemCount(file); ++i)
        if (GetSubMenu(file, i) == popup)
            return i;
    return -1;
}

}  // namespace

const std::vector<std::string>& RecentPictures()
{
    return Recent;
}

void SetRecentPictures(const std::vector<std::string>& paths)
{
    Recent.clear();
    for (const std::string& path : paths) {
        bool seen = false;
        for (const std::string& kept : Recent)
            seen = seen || lstrcmpiA(kept.c_str(), path.c_str()) == 0;
        if (!seen && !path.empty() && static_cast<int>(Recent.size()) < MaxRecentPictures)
            Recent.push_back(path);
    }
    UpdateRecentPicturesMenu();
}

void NotePictureUsed(const std::string& path)
{
    if (path.empty())
        return;
    const std::string full = FullPathOf(path);
    std::vector<std::string> paths(1, full);
    paths.insert(paths.end(), Recent.begin(), Recent.end());
    SetRecentPictures(paths);
    LastPictureFolder = FolderOf(full);
}

void UpdateRecentPicturesMenu()
{
    HMENU popup = RecentMenu();
    if (!popup)
        return;
    while (GetMenuItemCount(popup) > 0)
        DeleteMenu(popup, 0, MF_BYPOSITION);
    for (size_t i = 0; i < Recent.size(); ++i) {
        std::wstring text = L"&" + std::to_wstring(i + 1) + L" " + MenuPathText(Recent[i]);
        AppendMenuW(popup, MF_STRING, IdMenuRecentFirst + i, text.c_str());
    }
    HMENU file = GetSubMenu(GetMenu(MainWindow), 0);
    int position = RecentMenuPosition(file, popup);
    if (position >= 0)
        EnableMenuItem(file, position, MF_BYPOSITION | (Recent.empty() ? MF_GRAYED : MF_ENABLED));
}

void RecentPictureCommand(int index)
{
    if (index < 0 || index >= static_cast<int>(Recent.size()))
        return;
    const std::string path = Recent[index];
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        Recent.erase(Recent.begin() + index);
        UpdateRecentPicturesMenu();
        ShowStatus(N_("Error - could not open picture file."));
        return;
    }
    TakePicture(path);
}

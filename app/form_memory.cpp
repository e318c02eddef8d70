// The form that remembers: the values a user types for every puzzle of a
// campaign (grid size, shuffle, win address, the three About texts, the
// search service) and the folders last used for pictures and targets are
// kept under HKCU\Software\Vornix SDK\Builder when the builder exits and
// given back at its next start. Texts are stored as UTF-16 REG_SZ, numbers
// as REG_DWORD. Everything read back is checked: a value of the wrong type
// or size is left out, and the form keeps its first-start value for it.
#include <string>
#include <vector>

#include "app.h"
#include "control_text.h"
#include "search_address.h"

const char* SettingsKeyPath = "Software\\Vornix SDK\\Builder";
std::string LastPictureFolder;
std::string LastTargetFolder;

namespace {

// Longest text read back, in UTF-16 units: more than any field keeps.
const DWORD MaxStoredText = 4096;

const wchar_t GridSizeValue[] = L"Grid Size";
const wchar_t ShuffleValue[] = L"Shuffle";
const wchar_t WinAddressValue[] = L"Win Address";
const wchar_t CompanyNameValue[] = L"Company Name";
const wchar_t WebSiteValue[] = L"Web Site";
const wchar_t TagLineValue[] = L"Tag Line";
const wchar_t SearchServiceValue[] = L"Search Service";
const wchar_t PictureFolderValue[] = L"Picture Folder";
const wchar_t TargetFolderValue[] = L"Target Folder";

std::wstring WideKeyPath()
{
    return WideFromAcp(SettingsKeyPath ? SettingsKeyPath : "");
}

// A REG_SZ value, if there is one of a sane size.
bool ReadText(HKEY key, const wchar_t* name, std::wstring* text)
{
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(key, name, NULL, &type, NULL, &bytes) != ERROR_SUCCESS || type != REG_SZ ||
        bytes > MaxStoredText * sizeof(wchar_t))
        return false;
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key, name, NULL, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    // The stored text need not end in a terminator; the buffer has one more.
    buffer[bytes / sizeof(wchar_t)] = L'\0';
    *text = buffer.data();
    return true;
}

bool ReadNumber(HKEY key, const wchar_t* name, DWORD* number)
{
    DWORD type = 0, bytes = sizeof *number;
    return RegQueryValueExW(key, name, NULL, &type, reinterpret_cast<BYTE*>(number), &bytes) == ERROR_SUCCESS &&
           type == REG_DWORD && bytes == sizeof *number;
}

void WriteText(HKEY key, const wchar_t* name, const std::wstring& text)
{
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void WriteNumber(HKEY key, const wchar_t* name, DWORD number)
{
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
}

std::wstring FieldText(HWND field)
{
    int length = GetWindowTextLengthW(field);
    if (length <= 0)
        return std::wstring();
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(field, text.data(), length + 1);
    return text.data();
}

void RestoreField(HKEY key, const wchar_t* name, HWND field)
{
    std::wstring text;
    if (ReadText(key, name, &text))
        SetWindowTextW(field, text.c_str());
}

// A grid size as the field holds it: one to three digits.
bool IsGridText(const std::wstring& text)
{
    if (text.empty() || text.size() > 3)
        return false;
    for (wchar_t c : text)
        if (c < L'0' || c > L'9')
            return false;
    return true;
}

// The recent pictures' value names: "Recent Picture 1" to "Recent Picture 8".
std::wstring RecentValueName(int index)
{
    return L"Recent Picture " + std::to_wstring(index + 1);
}

}  // namespace

void ResetForm()
{
    SetWindowTextA(PictureFileEdit, "");
    LoadPreviewPicture(NULL);
    SetWindowTextA(GridSizeField, "4");
    SendMessageA(ShuffleCheckBox, BM_SETCHECK, BST_UNCHECKED, 0);
    SetWindowTextA(WinUrlEdit, "http://");
    SetDlgItemTextA(MainWindow, IdSearchPhrase, "");
    SendDlgItemMessageA(MainWindow, IdSearchService, CB_SETCURSEL, (WPARAM)(rand() % SearchServiceCount), 0);
    SetWindowTextA(CompanyNameEdit, "");
    SetWindowTextA(WebSiteEdit, "");
    SetWindowTextA(TagLineEdit, "");
    SetWindowTextA(TargetPathEdit, "");
    ShowStatus(N_("Idle"));
    ConfirmedTargetPath.clear();
    UpdateGridSize();
}

void LoadFormMemory()
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, WideKeyPath().c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;  // a new user: the form as it starts
    std::wstring text;
    if (ReadText(key, GridSizeValue, &text) && IsGridText(text))
        SetWindowTextW(GridSizeField, text.c_str());
    DWORD number = 0;
    if (ReadNumber(key, ShuffleValue, &number))
        SendMessageA(ShuffleCheckBox, BM_SETCHECK, number ? BST_CHECKED : BST_UNCHECKED, 0);
    RestoreField(key, WinAddressValue, WinUrlEdit);
    RestoreField(key, CompanyNameValue, CompanyNameEdit);
    RestoreField(key, WebSiteValue, WebSiteEdit);
    RestoreField(key, TagLineValue, TagLineEdit);
    if (ReadNumber(key, SearchServiceValue, &number) && number < static_cast<DWORD>(SearchServiceCount))
        SendDlgItemMessageA(MainWindow, IdSearchService, CB_SETCURSEL, number, 0);
    if (ReadText(key, PictureFolderValue, &text))
        LastPictureFolder = AcpFromWide(text);
    if (ReadText(key, TargetFolderValue, &text))
        LastTargetFolder = AcpFromWide(text);
    std::vector<std::string> recent;
    for (int i = 0; i < MaxRecentPictures; ++i)
        if (ReadText(key, RecentValueName(i).c_str(), &text) && !text.empty())
            recent.push_back(AcpFromWide(text));
    RegCloseKey(key);
    SetRecentPictures(recent);
    UpdateGridSize();
}

void SaveFormMemory()
{
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, WideKeyPath().c_str(), 0, NULL, 0, KEY_WRITE, NULL, &key, NULL) !=
        ERROR_SUCCESS)
        return;
    WriteText(key, GridSizeValue, FieldText(GridSizeField));
    WriteNumber(key, ShuffleValue, IsDlgButtonChecked(MainWindow, IdShuffle) == BST_CHECKED ? 1 : 0);
    WriteText(key, WinAddressValue, FieldText(WinUrlEdit));
    WriteText(key, CompanyNameValue, FieldText(CompanyNameEdit));
    WriteText(key, WebSiteValue, FieldText(WebSiteEdit));
    WriteText(key, TagLineValue, FieldText(TagLineEdit));
    LRESULT service = SendDlgItemMessageA(MainWindow, IdSearchService, CB_GETCURSEL, 0, 0);
    if (service >= 0 && service < SearchServiceCount)
        WriteNumber(key, SearchServiceValue, static_cast<DWORD>(service));
    WriteText(key, PictureFolderValue, WideFromAcp(LastPictureFolder));
    WriteText(key, TargetFolderValue, WideFromAcp(LastTargetFolder));
    const std::vector<std::string>& recent = RecentPictures();
    for (int i = 0; i < MaxRecentPictures; ++i) {
        if (i < static_cast<int>(recent.size()))
            WriteText(key, RecentValueName(i).c_str(), WideFromAcp(recent[i]));
        else
            RegDeleteValueW(key, RecentValueName(i).c_str());
    }
    RegCloseKey(key);
}

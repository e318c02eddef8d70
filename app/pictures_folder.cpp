// %LOCALAPPDATA%\Vornix SDK\Pictures\: where a picture that arrives without a
// file of its own (dragged out of a web page, pasted as an image) is written,
// so that the form, the recent list and "GO !" have a file to name. A new
// file never replaces an old one: a name already taken gets " (2)", " (3)" ...
#include <shlobj.h>

#include <string>
#include <vector>

#include "app.h"
#include "control_text.h"
#include "picture_data.h"

namespace {

// The longest path the form takes, in bytes of the process's code page.
const size_t MaxPathBytes = sizeof FileNameBuffer - 1;
// Tries of " (2)", " (3)" ... before giving up.
const int MaxNumberedNames = 999;

std::wstring LocalAppDataFolder()
{
    wchar_t folder[MAX_PATH] = {0};
    DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", folder, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        return folder;
    if (SUCCEEDED(SHGetFolderPathW(NULL, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, NULL, 0, folder)))
        return folder;
    return std::wstring();
}

bool IsReservedDeviceName(const std::wstring& stem)
{
    static const wchar_t* const devices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"COM1", L"COM2", L"COM3",
                                             L"COM4", L"COM5", L"COM6", L"COM7", L"COM8", L"COM9",
                                             L"LPT1", L"LPT2", L"LPT3", L"LPT4", L"LPT5", L"LPT6",
                                             L"LPT7", L"LPT8", L"LPT9"};
    for (const wchar_t* device : devices)
        if (lstrcmpiW(stem.c_str(), device) == 0)
            return true;
    return false;
}

// The name and its extension (from the last dot, dot included).
void SplitName(const std::wstring& name, std::wstring* stem, std::wstring* extension)
{
    std::wstring::size_type dot = name.rfind(L'.');
    if (dot == std::wstring::npos || dot == 0) {
        *stem = name;
        extension->clear();
    } else {
        *stem = name.substr(0, dot);
        *extension = name.substr(dot);
    }
}

}  // namespace

std::wstring SafeFileName(const std::wstring& offered, const std::wstring& fallback)
{
    // Only the last part of whatever path was offered.
    std::wstring::size_type slash = offered.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? offered : offered.substr(slash + 1);
    for (wchar_t& c : name)
        if (c < 32 || wcschr(L"<>:\"|?*", c))
            c = L'_';
    while (!name.empty() && (name.back() == L'.' || name.back() == L' '))
        name.pop_back();
    while (!name.empty() && name.front() == L' ')
        name.erase(0, 1);
    std::wstring stem, extension;
    SplitName(name, &stem, &extension);
    if (stem.empty())
        stem = fallback;
    else if (IsReservedDeviceName(stem))
        stem = fallback + L" " + stem;
    // Keep the name short enough for any folder the form can take.
    const size_t MaxStem = 80, MaxExtension = 10;
    if (stem.size() > MaxStem)
        stem.resize(MaxStem);
    if (extension.size() > MaxExtension)
        extension.clear();
    return stem + extension;
}

std::wstring PicturesFolder()
{
    std::wstring base = LocalAppDataFolder();
    if (base.empty())
        return std::wstring();
    if (base.back() != L'\\')
        base += L'\\';
    std::wstring product = base + L"Vornix SDK";
    std::wstring pictures = product + L"\\Pictures";
    CreateDirectoryW(product.c_str(), NULL);
    CreateDirectoryW(pictures.c_str(), NULL);
    DWORD attributes = GetFileAttributesW(pictures.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::wstring();
    return pictures + L"\\";
}

bool SavePictureBytes(const std::wstring& name, const void* data, size_t size, std::string* path)
{
    const std::wstring folder = PicturesFolder();
    if (folder.empty() || size > 0xFFFFFFFFu)
        return false;
    std::wstring stem, extension;
    SplitName(name, &stem, &extension);
    for (int number = 1; number <= MaxNumberedNames; ++number) {
        std::wstring candidate = folder + stem + (number > 1 ? L" (" + std::to_wstring(number) + L")" : L"") + extension;
        const std::string narrow = AcpFromWide(candidate);
        if (narrow.size() > MaxPathBytes || WideFromAcp(narrow) != candidate)
            return false;  // a path the form could not take
        HANDLE file = CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS)
                continue;
            return false;
        }
        DWORD written = 0;
        const bool whole = WriteFile(file, data, static_cast<DWORD>(size), &written, NULL) && written == size;
        const bool closed = CloseHandle(file) != FALSE;
        if (!whole || !closed) {
            DeleteFileW(candidate.c_str());
            return false;
        }
        *path = narrow;
        return true;
    }
    return false;
}

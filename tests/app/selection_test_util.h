// Helpers for the selection, preview and search tests: test pictures written
// as BMP files, a fixture with the builder's window and a scratch folder, and a driver that answers the modal file
// dialogs from a second thread (find the dialog, type the file name, press its
// button, answer the replace question), always with timeouts.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "builder_window.h"
#include "test_files.h"
#include "win_test_util.h"

namespace vntest {

// A scratch folder of this process in the temp folder, ending in a backslash.
inline std::string ScratchFolder()
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + "vn_select_" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), NULL);
    return folder;
}

// The names of the files (not folders) that match pattern, a folder with
// the final backslash and a wildcard name ("C:\\x\\*", "C:\\x\\Pasted *").
inline std::vector<std::string> FilesMatching(const std::string& pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(pattern.c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(entry.cFileName);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return names;
}

// Points %LOCALAPPDATA% of this process at a folder inside folder (made
// here), so that pictures the builder saves stay inside the test's own
// folder; returns where they go (the pictures folder, with the backslash).
inline std::string PrivateLocalAppData(const std::string& folder)
{
    const std::string appData = folder + "local app data";
    CreateDirectoryA(appData.c_str(), NULL);
    SetEnvironmentVariableA("LOCALAPPDATA", appData.c_str());
    return appData + "\\Vornix SDK\\Pictures\\";
}

// Removes a folder made by ScratchFolder with everything in it. An empty
// name is refused: it would mean the files of the current folder.
inline void RemoveFolder(const std::string& folder)
{
    if (folder.empty())
        return;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolder(folder + name + "\\");
            else
                DeleteFileA((folder + name).c_str());
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

// Writes a 24-bit bottom-up BMP whose pixel (x, y), y = 0 at the top, has the
// colour colourAt(x, y).
template <typename ColourAt>
bool WriteBmp24(const std::string& path, int width, int height, ColourAt colourAt)
{
    int stride = (width * 3 + 3) & ~3;
    std::vector<unsigned char> file(54 + static_cast<size_t>(stride) * height, 0);
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;
    header.bfSize = static_cast<DWORD>(file.size());
    header.bfOffBits = 54;
    BITMAPINFOHEADER info = {};
    info.biSize = 40;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    memcpy(&file[0], &header, 14);
    memcpy(&file[14], &info, 40);
    for (int y = 0; y < height; ++y) {
        unsigned char* row = &file[54 + static_cast<size_t>(height - 1 - y) * stride];
        for (int x = 0; x < width; ++x) {
            COLORREF c = colourAt(x, y);
            row[3 * x] = GetBValue(c);
            row[3 * x + 1] = GetGValue(c);
            row[3 * x + 2] = GetRValue(c);
        }
    }
    return WriteFileBytes(path, file);
}

namespace detail {

inline uint32_t Crc32(const unsigned char* data, size_t size, uint32_t crc = 0)
{
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

inline void PutBig32(std::vector<unsigned char>& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(value >> shift));
}

inline void PutChunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data)
{
    PutBig32(out, static_cast<uint32_t>(data.size()));
    std::vector<unsigned char> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    PutBig32(out, Crc32(typed.data(), typed.size()));
}

}  // namespace detail

// Writes an 8-bit RGB PNG, its pixel data in stored (uncompressed) deflate
// blocks, whose pixel (x, y), y = 0 at the top, has the colour colourAt(x, y).
template <typename ColourAt>
bool WritePngRgb(const std::string& path, int width, int height, ColourAt colourAt)
{
    std::vector<unsigned char> raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < width; ++x) {
            COLORREF c = colourAt(x, y);
            raw.push_back(GetRValue(c));
            raw.push_back(GetGValue(c));
            raw.push_back(GetBValue(c));
        }
    }
    std::vector<unsigned char> zlib = {0x78, 0x01};
    for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        size_t n = raw.size() - at < 65535 ? raw.size() - at : 65535;
        zlib.push_back(at + n >= raw.size() ? 1 : 0);
        zlib.push_back(static_cast<unsigned char>(n));
        zlib.push_back(static_cast<unsigned char>(n >> 8));
        zlib.push_back(static_cast<unsigned char>(~n));
        zlib.push_back(static_cast<unsigned char>(~n >> 8));
        zlib.insert(zlib.end(), raw.begin() + at, raw.begin() + at + n);
        if (raw.empty())
            break;
    }
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    detail::PutBig32(zlib, (b << 16) | a);

    std::vector<unsigned char> file = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<unsigned char> header;
    detail::PutBig32(header, static_cast<uint32_t>(width));
    detail::PutBig32(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});
    detail::PutChunk(file, "IHDR", header);
    detail::PutChunk(file, "IDAT", zlib);
    detail::PutChunk(file, "IEND", {});
    return WriteFileBytes(path, file);
}

// Fixture: a fresh builder window and a scratch folder (folder, ending in a
// backslash), both gone after the test.
class ScratchWindowTest : public BuilderWindowTest {
protected:
    void SetUp() override
    {
        BuilderWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        folder = ScratchFolder();
    }

    void TearDown() override
    {
        BuilderWindowTest::TearDown();
        RemoveFolder(folder);
    }

    std::string folder;
};

// What the driver does with a file dialog, and what it saw.
struct DialogScript {
    const char* title = "";        // the dialog's title, to find it
    std::string fileName;          // typed into the file name box
    bool cancel = false;           // press Cancel instead of OK
    int replaceAnswer = 0;         // IDYES or IDNO for the replace question; 0: none expected
    int filterIndex = 0;           // 1-based filter chosen before OK; 0: left as it opened
    std::string moveCurrentFolderTo; // made the current folder while the dialog is open, as a
                                   // dialog that ignores OFN_NOCHANGEDIR does; empty: left alone

    bool dialogFound = false;
    std::string initialFileName;   // the file name box when the dialog appeared
    bool replaceAsked = false;
    std::string replaceText;
    bool closed = false;           // the dialog went away
    volatile LONG commandDone = 0; // set when the command has returned
};

// Control ids of the file name box (cmb13) and the file type list (cmb1)
// of the explorer-style dialogs.
const int FileNameBoxId = 0x47C;
const int FileTypeBoxId = 0x470;

namespace detail {

struct OtherDialog {
    HWND except;
    HWND found;
};

inline BOOL CALLBACK FindOtherDialog(HWND window, LPARAM param)
{
    OtherDialog* request = reinterpret_cast<OtherDialog*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (window == request->except || owner != GetCurrentProcessId() || !IsWindowVisible(window) ||
        ClassName(window) != "#32770")
        return TRUE;
    request->found = window;
    return FALSE;
}

// A visible dialog of this process other than except (a message box over it).
inline HWND WaitForOtherDialog(HWND except, DWORD timeoutMs)
{
    OtherDialog request = {except, NULL};
    WaitUntil([&] {
        request.found = NULL;
        EnumWindows(FindOtherDialog, reinterpret_cast<LPARAM>(&request));
        return request.found != NULL || !IsWindow(except) || !IsWindowVisible(except);
    }, timeoutMs);
    return request.found;
}

inline std::string ChildText(HWND dialog, int id)
{
    HWND child = GetDlgItem(dialog, id);
    return child ? WindowText(child) : std::string();
}

inline DWORD DriveDialogSteps(DialogScript* script)
{
    // The first dialog in a fresh Wine prefix can take long to appear; wait
    // until it does or until the command has returned without one.
    HWND dialog = NULL;
    WaitUntil([&] {
        dialog = WaitForTopWindow("#32770", script->title, GetCurrentProcessId(), 0);
        return dialog != NULL || script->commandDone != 0;
    }, 180000);
    if (!dialog)
        return 1;
    script->dialogFound = true;
    // The file name box is filled while the dialog initialises; wait for its
    // buttons to exist before reading it.
    WaitUntil([&] { return GetDlgItem(dialog, IDCANCEL) != NULL; }, 5000);
    script->initialFileName = ChildText(dialog, FileNameBoxId);

    if (script->cancel) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), (LPARAM)GetDlgItem(dialog, IDCANCEL));
    } else {
        if (!script->moveCurrentFolderTo.empty())
            SetCurrentDirectoryA(script->moveCurrentFolderTo.c_str());
        if (script->filterIndex > 0) {
            // The file type list (cmb1), as a user picks an entry in it.
            HWND types = GetDlgItem(dialog, FileTypeBoxId);
            SendMessageA(types, CB_SETCURSEL, script->filterIndex - 1, 0);
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(FileTypeBoxId, CBN_SELCHANGE), (LPARAM)types);
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(FileTypeBoxId, CBN_SELENDOK), (LPARAM)types);
        }
        SendMessageA(GetDlgItem(dialog, FileNameBoxId), WM_SETTEXT, 0, (LPARAM)script->fileName.c_str());
        // Posted, not sent: the replace question runs inside the click's handling.
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(dialog, IDOK));
        HWND question = WaitForOtherDialog(dialog, script->replaceAnswer ? 10000 : 2000);
        if (question) {
            script->replaceAsked = true;
            script->replaceText = ChildText(question, 0xFFFF);
            int answer = script->replaceAnswer ? script->replaceAnswer : IDNO;
            PostMessageA(question, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
            // Without an expected question, leave the dialog rather than hang.
            if (!script->replaceAnswer || answer == IDNO) {
                WaitUntil([&] { return !IsWindow(question); }, 5000);
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            }
        }
    }
    script->closed = WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 15000);
    if (!script->closed) {
        // Unblock the test: close whatever is open over the dialog, then the dialog.
        while (HWND other = WaitForOtherDialog(dialog, 500))
            PostMessageA(other, WM_COMMAND, IDCANCEL, 0);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        WaitUntil([&] { return !IsWindow(dialog); }, 5000);
    }
    return 0;
}

// Runs the script, then waits for the command to return. The test's thread
// is inside the command until then; if it never returns (a dialog that
// could not be closed, a command that hangs), the program ends here with a
// message instead of at the test runner's timeout.
inline DWORD WINAPI DriveDialog(void* param)
{
    DialogScript* script = static_cast<DialogScript*>(param);
    DWORD result = DriveDialogSteps(script);
    if (!WaitUntil([&] { return script->commandDone != 0; }, 60000)) {
        fprintf(stderr, "The command behind the dialog \"%s\" did not return within 60 s "
                        "after the dialog was driven (dialog found: %s); giving up.\n",
                script->title, script->dialogFound ? "yes" : "no");
        fflush(stdout);
        fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
    }
    return result;
}

}  // namespace detail

// Sends the command to the main window, which shows a modal file dialog, and
// drives that dialog by the script from a second thread.
inline void RunWithDialog(HWND mainWindow, WPARAM command, DialogScript& script)
{
    HANDLE driver = CreateThread(NULL, 0, detail::DriveDialog, &script, 0, NULL);
    SendMessageA(mainWindow, WM_COMMAND, command, 0);
    InterlockedExchange(&script.commandDone, 1);
    // The driver ends on its own timeouts; it must not outlive the script.
    WaitForSingleObject(driver, INFINITE);
    CloseHandle(driver);
}

}  // namespace vntest

// File > "Test Play" (F5): the form's puzzle built into a temporary file,
// by the same steps and checks as "GO !" but without the Target field, and
// started at once. Each file is removed when its player ends (a timer looks
// at the players while any runs); files that outlive the builder, still in
// use when it ended, are removed at its next start.
#include <string>
#include <vector>

#include "app.h"
#include "control_text.h"
#include "form_build.h"
#include "system_error.h"

namespace {

struct TestPlay {
    HANDLE process;
    std::wstring path;
};

std::vector<TestPlay> RunningPlays;
int TestPlayCount;

// How often the timer looks whether a player has ended.
const UINT TestPlayPollMs = 250;
// Most puzzles one builder names before it gives up looking for a free name.
const int MaxTestPlayNames = 1000;

// %TEMP%\Vornix SDK Test Play\ (with the final backslash), created when
// missing; empty when there is none.
std::wstring TestPlayFolder()
{
    wchar_t temp[MAX_PATH + 1] = {0};
    DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH)
        return std::wstring();
    std::wstring folder = std::wstring(temp) + L"Vornix SDK Test Play\\";
    CreateDirectoryW(folder.c_str(), NULL);
    DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::wstring();
    return folder;
}

// A new empty file in the folder whose name no other build has taken, so
// that two builders never write the same one.
bool ReserveTestPlayFile(const std::wstring& folder, std::wstring* path)
{
    for (int tries = 0; tries < MaxTestPlayNames; ++tries) {
        std::wstring candidate = folder + L"Puzzle " + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                 std::to_wstring(++TestPlayCount) + L".exe";
        HANDLE file = CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            *path = candidate;
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

HANDLE StartPlayer(const std::wstring& path, const std::wstring& folder)
{
    std::wstring commandLine = L"\"" + path + L"\"";
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(path.c_str(), line.data(), NULL, NULL, FALSE, 0, NULL, folder.c_str(), &startup, &started))
        return NULL;
    CloseHandle(started.hThread);
    return started.hProcess;
}

}  // namespace

void TestPlayCommand()
{
    TargetBuildRequest request;
    if (!FormBuildRequest(&request))
        return;
    const std::wstring folder = TestPlayFolder();
    std::wstring path;
    if (folder.empty() || !ReserveTestPlayFile(folder, &path)) {
        ShowStatusWithReason(N_("Error - could not create target."), LastSystemErrorText());
        return;
    }
    request.targetPath = AcpFromWide(path);
    std::string lastStatus;
    if (!BuildWithStatus(request, &lastStatus)) {
        DeleteFileW(path.c_str());
        return;
    }
    HANDLE process = StartPlayer(path, folder);
    if (!process) {
        DeleteFileW(path.c_str());
        ShowStatus(N_("Error - could not start the test play."));
        return;
    }
    RunningPlays.push_back({process, path});
    SetTimer(MainWindow, IdTestPlayTimer, TestPlayPollMs, NULL);
    ShowStatus(N_("Test play started."));
}

void TestPlayTick()
{
    for (size_t i = 0; i < RunningPlays.size();) {
        TestPlay& play = RunningPlays[i];
        if (play.process && WaitForSingleObject(play.process, 0) == WAIT_OBJECT_0) {
            CloseHandle(play.process);
            play.process = NULL;
        }
        // The system may hold the file for a moment after its process ends.
        if (!play.process && (DeleteFileW(play.path.c_str()) || GetFileAttributesW(play.path.c_str()) == INVALID_FILE_ATTRIBUTES)) {
            RunningPlays.erase(RunningPlays.begin() + i);
            continue;
        }
        ++i;
    }
    if (RunningPlays.empty())
        KillTimer(MainWindow, IdTestPlayTimer);
}

void EndTestPlays()
{
    // Players still running keep their files; the next start removes them.
    for (TestPlay& play : RunningPlays) {
        if (play.process)
            CloseHandle(play.process);
        DeleteFileW(play.path.c_str());
    }
    RunningPlays.clear();
}

void RemoveTestPlayLeftovers()
{
    const std::wstring folder = TestPlayFolder();
    if (folder.empty())
        return;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((folder + L"*.exe").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        // A file in use (a player that still runs) stays.
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileW((folder + entry.cFileName).c_str());
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

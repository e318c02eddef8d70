// A test program's checks at several DPIs: the screen's DPI is read when a
// process starts, so the program sets it in the registry (HKCU\Control
// Panel\Desktop, LogPixels: under Wine, the build tree's own prefix's),
// starts itself once per DPI with an environment variable naming it, and
// puts the setting back.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace vntest {

const char DesktopKey[] = "Control Panel\\Desktop";

inline int ScreenDpi()
{
    HDC screen = GetDC(NULL);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(NULL, screen);
    return dpi;
}

// The DPI this run was started to check (in the environment variable
// named variable), or 0 in the parent run.
inline int RequestedDpi(const char* variable)
{
    char text[16] = "";
    if (!GetEnvironmentVariableA(variable, text, sizeof text))
        return 0;
    return atoi(text);
}

inline bool ReadLogPixels(DWORD* value)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, DesktopKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0, size = sizeof *value;
    LONG result = RegQueryValueExA(key, "LogPixels", NULL, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_DWORD;
}

inline bool WriteLogPixels(const DWORD* value)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, DesktopKey, 0, NULL, 0, KEY_WRITE, NULL, &key, NULL) != ERROR_SUCCESS)
        return false;
    LONG result = value ? RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(value),
                                         sizeof *value)
                        : RegDeleteValueA(key, "LogPixels");
    RegCloseKey(key);
    return result == ERROR_SUCCESS || (!value && result == ERROR_FILE_NOT_FOUND);
}

// Runs this program's tests matching filter in a new process with the
// variable set to dpi (the LogPixels set first by the caller); its exit code, or
// -1 when it could not be started or did not end.
inline long RunAtDpi(int dpi, const char* filter, const char* variable)
{
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof self);
    std::string line = std::string("\"") + self + "\" --gtest_filter=" + filter;
    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.push_back('\0');
    SetEnvironmentVariableA(variable, std::to_string(dpi).c_str());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    BOOL started = CreateProcessA(self, commandLine.data(), NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process);
    SetEnvironmentVariableA(variable, NULL);
    if (!started)
        return -1;
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return (long)code;
}

}  // namespace vntest

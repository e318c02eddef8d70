#include "url_recorder.h"

#include <windows.h>

#include <cstdio>

#include "win_test_util.h"

namespace vntest {

std::string RecorderProgramPath()
{
    return std::string(VN_WIN_TEST_BIN_DIR) + "/vn_recorder.exe";
}

namespace {

bool SetOpenCommand(const char* scheme, const std::string& command)
{
    std::string keyPath = std::string("Software\\Classes\\") + scheme + "\\shell\\open\\command";
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, NULL, 0, KEY_WRITE, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExA(key, NULL, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                                 static_cast<DWORD>(command.size() + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

}  // namespace

bool SetUrlOpenCommand(const std::string& command)
{
    return SetOpenCommand("http", command) && SetOpenCommand("https", command);
}

bool InstallUrlRecorder(const std::string& logPath)
{
    std::string program = RecorderProgramPath();
    for (char& c : program)
        if (c == '/')
            c = '\\';
    if (!SetUrlOpenCommand("\"" + program + "\" \"%1\""))
        return false;
    if (FILE* log = fopen(logPath.c_str(), "wb"))
        fclose(log);
    return SetEnvironmentVariableA("VN_RECORDER_LOG", logPath.c_str()) != 0;
}

std::vector<std::string> RecordedUrls(const std::string& logPath)
{
    std::vector<std::string> urls;
    FILE* log = fopen(logPath.c_str(), "rb");
    if (!log)
        return urls;
    std::string line;
    int c;
    while ((c = fgetc(log)) != EOF) {
        if (c == '\n') {
            urls.push_back(line);
            line.clear();
        } else {
            line += static_cast<char>(c);
        }
    }
    fclose(log);
    return urls;
}

std::vector<std::string> WaitForRecordedUrls(const std::string& logPath, size_t count,
                                             unsigned timeoutMs)
{
    std::vector<std::string> urls;
    WaitUntil([&] {
        urls = RecordedUrls(logPath);
        return urls.size() >= count;
    }, timeoutMs);
    return urls;
}

}  // namespace vntest

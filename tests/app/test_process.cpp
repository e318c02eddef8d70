// The builder as its own process: started with or without arguments it shows
// the same window, and File, Exit and the close box each end it with exit
// code 0. Also the version record that the file's properties show.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vornix_version.h"
#include "win_test_util.h"

namespace {

const DWORD Timeout = 20000;

std::string BuilderPath()
{
    return std::string(VN_WIN_BIN_DIR) + "/vornix.exe";
}

// A started builder process and its main window.
struct Builder {
    PROCESS_INFORMATION process = {};
    HWND window = NULL;

    ~Builder()
    {
        if (process.hProcess) {
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(process.hProcess, 1);
                WaitForSingleObject(process.hProcess, Timeout);
            }
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
    }

    // Starts the builder with the given command-line tail and waits for its
    // window. showCommand < 0: no show command in the start-up information.
    bool Start(const std::string& arguments, int showCommand = -1)
    {
        std::string commandLine = "\"" + BuilderPath() + "\"" + arguments;
        std::vector<char> line(commandLine.begin(), commandLine.end());
        line.push_back('\0');
        STARTUPINFOA startup;
        ZeroMemory(&startup, sizeof startup);
        startup.cb = sizeof startup;
        if (showCommand >= 0) {
            startup.dwFlags = STARTF_USESHOWWINDOW;
            startup.wShowWindow = (WORD)showCommand;
        }
        if (!CreateProcessA(BuilderPath().c_str(), line.data(), NULL, NULL, FALSE, 0, NULL, NULL,
                            &startup, &process))
            return false;
        window = vntest::WaitForTopWindow("VORNIXS", NULL, process.dwProcessId, Timeout);
        return window != NULL;
    }

    // Waits for the process to end; its exit code, or -1 on timeout.
    long ExitCode()
    {
        if (WaitForSingleObject(process.hProcess, Timeout) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 1234;
        GetExitCodeProcess(process.hProcess, &code);
        return (long)code;
    }
};

// What the builder's window looks like from outside.
struct WindowLook {
    std::string title;
    int width, height, clientWidth, clientHeight, children;
    DWORD style;
};

WindowLook LookAt(HWND window)
{
    WindowLook look;
    look.title = vntest::WindowText(window);
    RECT rect, client;
    GetWindowRect(window, &rect);
    GetClientRect(window, &client);
    look.width = rect.right - rect.left;
    look.height = rect.bottom - rect.top;
    look.clientWidth = client.right;
    look.clientHeight = client.bottom;
    look.children = 0;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ++look.children;
    look.style = (DWORD)GetWindowLongA(window, GWL_STYLE);
    return look;
}

TEST(BuilderProcess, ArgumentsChangeNothingAndExitEndsWithCodeZero)
{
    Builder plain;
    ASSERT_TRUE(plain.Start("")) << BuilderPath();
    WindowLook without = LookAt(plain.window);
    EXPECT_EQ(without.title, "Vornix SDK");
    EXPECT_EQ(without.children, 26);
    int X = (short)LOWORD(GetDialogBaseUnits());
    EXPECT_EQ(without.clientWidth, 93 * X);
    EXPECT_EQ(without.clientHeight, 31 * X);

    Builder withArguments;
    ASSERT_TRUE(withArguments.Start(" picture.bmp -x \"two words\" /?"));
    WindowLook with = LookAt(withArguments.window);
    EXPECT_EQ(with.title, without.title);
    EXPECT_EQ(with.width, without.width);
    EXPECT_EQ(with.height, without.height);
    EXPECT_EQ(with.clientWidth, without.clientWidth);
    EXPECT_EQ(with.clientHeight, without.clientHeight);
    EXPECT_EQ(with.children, without.children);
    EXPECT_EQ(with.style, without.style);

    // File, Exit.
    PostMessageA(plain.window, WM_COMMAND, 200, 0);
    EXPECT_EQ(plain.ExitCode(), 0);
    PostMessageA(withArguments.window, WM_COMMAND, 200, 0);
    EXPECT_EQ(withArguments.ExitCode(), 0);
}

TEST(BuilderProcess, CloseBoxEndsWithCodeZero)
{
    Builder builder;
    ASSERT_TRUE(builder.Start(""));
    PostMessageA(builder.window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(builder.ExitCode(), 0);
}

TEST(BuilderProcess, CloseMessageEndsWithCodeZero)
{
    Builder builder;
    ASSERT_TRUE(builder.Start(""));
    PostMessageA(builder.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(builder.ExitCode(), 0);
}

TEST(BuilderProcess, ShowsTheWindowAsTheStartupInformationAsks)
{
    Builder normal;
    ASSERT_TRUE(normal.Start(""));
    EXPECT_TRUE(IsWindowVisible(normal.window));
    EXPECT_FALSE(IsIconic(normal.window));

    Builder minimized;
    ASSERT_TRUE(minimized.Start("", SW_SHOWMINNOACTIVE));
    EXPECT_TRUE(vntest::WaitUntil([&] { return IsIconic(minimized.window) != FALSE; }, Timeout));

    PostMessageA(normal.window, WM_COMMAND, 200, 0);
    EXPECT_EQ(normal.ExitCode(), 0);
    PostMessageA(minimized.window, WM_COMMAND, 200, 0);
    EXPECT_EQ(minimized.ExitCode(), 0);
}

std::string VersionString(const std::vector<char>& record, const char* name)
{
    std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
    char* value = NULL;
    UINT length = 0;
    if (!VerQueryValueA(record.data(), path.c_str(), (void**)&value, &length) || !value)
        return "(missing)";
    return std::string(value);
}

TEST(BuilderFile, CarriesItsVersionRecord)
{
    std::string path = BuilderPath();
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u) << path;
    std::vector<char> record(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, record.data()));

    VS_FIXEDFILEINFO* fixed = NULL;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(record.data(), "\\", (void**)&fixed, &length));
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    const DWORD high = (VORNIX_VERSION_MAJOR << 16) | VORNIX_VERSION_MINOR;
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileType, (DWORD)VFT_APP);

    EXPECT_EQ(VersionString(record, "ProductName"), "Vornix SDK");
    EXPECT_EQ(VersionString(record, "ProductVersion"), VORNIX_VERSION_STRING);
    EXPECT_EQ(VersionString(record, "FileVersion"), VORNIX_VERSION_STRING);
    EXPECT_EQ(VersionString(record, "OriginalFilename"), "vornix.exe");
}

}  // namespace

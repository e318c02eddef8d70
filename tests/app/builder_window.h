// Creates the builder's real main window inside a test process, the way the
// builder's main function does, but without its message loop.
#pragma once

#include <gtest/gtest.h>

#include <shlwapi.h>

#include <string>

#include "app.h"
#include "win_test_util.h"

namespace vntest {

// Takes a pending WM_QUIT off this thread's queue (the window's teardown
// posts one). Returns whether there was one; its exit code goes to *exitCode.
inline bool TakeQuitMessage(WPARAM* exitCode = nullptr)
{
    MSG message;
    if (!PeekMessageA(&message, NULL, WM_QUIT, WM_QUIT, PM_REMOVE))
        return false;
    if (exitCode)
        *exitCode = message.wParam;
    return true;
}

// Lets the window and its controls handle everything queued for them.
inline void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Keep the quit for the test to see.
            PostQuitMessage((int)message.wParam);
            break;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The registry key where the builder windows of this test process keep
// the form's values: one per process, so that every window starts as a new
// user's and no test sees what another left.
inline const char* TestSettingsKey()
{
    static std::string key = "Software\\Vornix SDK Tests\\Builder " + std::to_string(GetCurrentProcessId());
    return key.c_str();
}

inline void ForgetTestSettings()
{
    SHDeleteKeyA(HKEY_CURRENT_USER, TestSettingsKey());
}

// Fixture: each test gets a fresh main window, as a new user sees it, and
// destroys it afterwards.
class BuilderWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SettingsKeyPath = TestSettingsKey();
        ForgetTestSettings();
        AppInstance = GetModuleHandleA(NULL);
        ASSERT_TRUE(RegisterMainWindowClass());
        window = CreateMainWindow();
        ASSERT_NE(window, (HWND)NULL);
    }

    void TearDown() override
    {
        if (window && IsWindow(window))
            DestroyWindow(window);
        PumpMessages();
        TakeQuitMessage();
        MainWindow = NULL;
        ForgetTestSettings();
        SetRecentPictures({});
        LastPictureFolder.clear();
        LastTargetFolder.clear();
    }

    HWND window = NULL;
};

}  // namespace vntest

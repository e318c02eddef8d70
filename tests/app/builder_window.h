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

// A key pressed on the focus (else the main window) as the builder's message
// loop takes it off the queue, with Ctrl held when control is set. Returns
// whether the form's keys (the menu keys, the dialog keys) took it.
inline bool PressKey(WPARAM key, bool control = false)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    SetKeyboardState(keys);
    MSG message = {};
    message.hwnd = GetFocus() ? GetFocus() : MainWindow;
    message.message = WM_KEYDOWN;
    message.wParam = key;
    message.lParam = 1;
    const bool taken = HandleFormKeys(&message);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    return taken;
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
        EndWindow();
        ForgetTestSettings();
    }

    // Ends the window as the builder ends (its teardown saves the form) and
    // forgets what this run held in memory.
    void EndWindow()
    {
        if (window && IsWindow(window))
            DestroyWindow(window);
        PumpMessages();
        TakeQuitMessage();
        MainWindow = NULL;
        SetRecentPictures({});
        LastPictureFolder.clear();
        LastTargetFolder.clear();
    }

    // The builder's next start: this window ended, then a new one. Between
    // the two, betweenRuns may change what is stored or left behind.
    template <typename BetweenRuns>
    void Restart(BetweenRuns betweenRuns)
    {
        EndWindow();
        betweenRuns();
        window = CreateMainWindow();
        ASSERT_NE(window, (HWND)NULL);
    }
    void Restart() { Restart([] {}); }

    HWND window = NULL;
};

}  // namespace vntest

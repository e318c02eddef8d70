// The About dialog, opened by the Help menu's About command over the real
// main window. The modal dialog is driven from a timer that its own message
// loop dispatches; each step runs only after everything the previous step
// posted was handled, since timer messages come after posted ones.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "builder_window.h"
#include "vornix_version.h"

namespace {

using vntest::BuilderWindowTest;

// One About session: the steps to run, one per timer tick once the dialog
// is up, and what was seen.
struct AboutSession {
    std::vector<std::function<void(HWND)>> steps;
    size_t nextStep = 0;
    std::vector<bool> openBeforeStep;  // was the dialog still up before each step
    int ticks = 0;
    bool forced = false;
    HWND dialog = NULL;
};

AboutSession* Session;

// The About dialog: a dialog window of this thread owned by the main window.
HWND FindAboutDialog()
{
    struct Finder {
        static BOOL CALLBACK Match(HWND top, LPARAM param)
        {
            if (vntest::ClassName(top) == "#32770" && GetWindow(top, GW_OWNER) == MainWindow) {
                *reinterpret_cast<HWND*>(param) = top;
                return FALSE;
            }
            return TRUE;
        }
    };
    HWND found = NULL;
    EnumThreadWindows(GetCurrentThreadId(), Finder::Match, (LPARAM)&found);
    return found;
}

// About 20 s of 50 ms ticks: then the dialog is ended by force, so that a
// fault fails the test instead of hanging it.
const int MaxTicks = 400;

void CALLBACK DriveAboutDialog(HWND, UINT, UINT_PTR, DWORD)
{
    AboutSession& session = *Session;
    HWND dialog = FindAboutDialog();
    if (++session.ticks > MaxTicks) {
        if (dialog) {
            session.forced = true;
            EndDialog(dialog, 77);
        }
        return;
    }
    if (session.nextStep == 0) {
        if (!dialog || !IsWindowVisible(dialog))
            return;  // not up yet
        session.dialog = dialog;
    }
    if (session.nextStep < session.steps.size()) {
        session.openBeforeStep.push_back(dialog != NULL);
        if (dialog)
            session.steps[session.nextStep++](dialog);
    }
}

// Last resort when the modal loop never hands the timer a turn: end the
// test program with a message instead of waiting for the ctest timeout.
DWORD WINAPI Watchdog(void* finished)
{
    if (WaitForSingleObject((HANDLE)finished, 60000) == WAIT_TIMEOUT) {
        fprintf(stderr, "The About dialog did not end within 60 s; giving up.\n");
        fflush(stderr);
        ExitProcess(3);
    }
    return 0;
}

// Runs the About command with the given steps; returns when the dialog ended.
void RunAbout(HWND window, AboutSession& session)
{
    Session = &session;
    HANDLE finished = CreateEventA(NULL, TRUE, FALSE, NULL);
    HANDLE watchdog = CreateThread(NULL, 0, Watchdog, finished, 0, NULL);
    UINT_PTR timer = SetTimer(NULL, 0, 50, DriveAboutDialog);
    SendMessageA(window, WM_COMMAND, 201, 0);
    KillTimer(NULL, timer);
    SetEvent(finished);
    WaitForSingleObject(watchdog, INFINITE);
    CloseHandle(watchdog);
    CloseHandle(finished);
    Session = nullptr;
}

// Presses a key in the dialog the way the keyboard would: to the focused
// control, where the dialog manager sees it.
void PressKey(HWND dialog, WPARAM key)
{
    HWND focus = GetFocus();
    HWND target = (focus && IsChild(dialog, focus)) ? focus : dialog;
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

using AboutTest = BuilderWindowTest;

TEST_F(AboutTest, EscapeAndCloseBoxLeaveItOpenAndOkClickEndsIt)
{
    AboutSession session;
    session.steps = {
        [](HWND dialog) { PressKey(dialog, VK_ESCAPE); },
        [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); },
        [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); },
        [](HWND dialog) { SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0); },
        [](HWND dialog) { SendMessageA(GetDlgItem(dialog, 900), BM_CLICK, 0, 0); },
    };
    RunAbout(window, session);
    ASSERT_NE(session.dialog, (HWND)NULL) << "the About dialog did not open";
    ASSERT_EQ(session.openBeforeStep.size(), 5u);
    EXPECT_TRUE(session.openBeforeStep[1]) << "closed by Escape";
    EXPECT_TRUE(session.openBeforeStep[2]) << "closed by WM_CLOSE";
    EXPECT_TRUE(session.openBeforeStep[3]) << "closed by the close box";
    EXPECT_TRUE(session.openBeforeStep[4]) << "closed by IDCANCEL";
    EXPECT_FALSE(session.forced) << "OK did not close it";
    EXPECT_FALSE(IsWindow(session.dialog));
}

TEST_F(AboutTest, EnterTriggersTheDefaultOkButton)
{
    AboutSession session;
    session.steps = {
        [](HWND dialog) { EXPECT_EQ(LOWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0)), 900); },
        [](HWND dialog) { PressKey(dialog, VK_RETURN); },
    };
    RunAbout(window, session);
    ASSERT_NE(session.dialog, (HWND)NULL) << "the About dialog did not open";
    EXPECT_FALSE(session.forced) << "Enter did not close it";
    EXPECT_FALSE(IsWindow(session.dialog));
}

TEST_F(AboutTest, OtherCommandsLeaveItOpen)
{
    AboutSession session;
    session.steps = {
        // A notification from the OK button other than a click.
        [](HWND dialog) { SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(900, BN_SETFOCUS), 0); },
        [](HWND dialog) { SendMessageA(dialog, WM_COMMAND, IDOK, 0); },
        [](HWND dialog) { SendMessageA(dialog, WM_COMMAND, 900, 0); },
    };
    RunAbout(window, session);
    ASSERT_EQ(session.openBeforeStep.size(), 3u);
    EXPECT_TRUE(session.openBeforeStep[1]) << "closed by a BN_SETFOCUS notification";
    EXPECT_TRUE(session.openBeforeStep[2]) << "closed by IDOK";
    EXPECT_FALSE(session.forced);
}

// The dialog's template, as the running dialog shows it.
struct ExpectedItem {
    const char* className;
    const char* text;  // null: not compared (the icon)
    DWORD style;       // beyond WS_CHILD | WS_VISIBLE
    int id;
    RECT units;  // x, y, width, height in dialog units
};

void CheckTemplate(HWND dialog, HWND owner)
{
    EXPECT_EQ(vntest::WindowText(dialog), "");
    DWORD style = (DWORD)GetWindowLongA(dialog, GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU), (DWORD)(WS_POPUP | WS_CAPTION | WS_SYSMENU));
    EXPECT_EQ(style & DS_SETFONT, 0u);
    EXPECT_EQ(SendMessageA(dialog, WM_GETFONT, 0, 0), 0);  // the system font

    // At (20, 20) from the owner's client origin, 160 x 116 units of client area.
    RECT place = {20, 20, 180, 136};
    MapDialogRect(dialog, &place);
    POINT ownerOrigin = {0, 0}, dialogOrigin = {0, 0};
    ClientToScreen(owner, &ownerOrigin);
    ClientToScreen(dialog, &dialogOrigin);
    EXPECT_EQ(dialogOrigin.x - ownerOrigin.x, place.left);
    EXPECT_EQ(dialogOrigin.y - ownerOrigin.y, place.top);
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, place.right - place.left);
    EXPECT_EQ(client.bottom, place.bottom - place.top);

    const ExpectedItem items[] = {
        {"static", "Vornix SDK", WS_GROUP | SS_CENTER, -1, {0, 8, 160, 8}},
        {"static", "Version " VORNIX_VERSION_SHORT, WS_GROUP | SS_CENTER, -1, {0, 20, 160, 8}},
        {"static", "", WS_GROUP | SS_CENTER, -1, {0, 32, 160, 8}},
        {"static", nullptr, SS_ICON, 998, {8, 8, 0, 0}},
        {"static", nullptr, WS_GROUP | SS_CENTER, -1, {0, 60, 160, 8}},
        {"static", nullptr, WS_GROUP | SS_CENTER, -1, {0, 72, 160, 8}},
        {"button", "OK", WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 900, {64, 96, 32, 14}},
    };
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    ASSERT_EQ(children.size(), 7u);
    for (size_t i = 0; i < children.size(); ++i) {
        const ExpectedItem& want = items[i];
        HWND item = children[i];
        SCOPED_TRACE("control " + std::to_string(i + 1));
        std::string className = vntest::ClassName(item);
        for (char& c : className)
            c = (char)tolower((unsigned char)c);
        EXPECT_EQ(className, want.className);
        if (want.text) {
            EXPECT_EQ(vntest::WindowText(item), want.text);
        }
        EXPECT_EQ((short)GetDlgCtrlID(item), want.id);
        DWORD itemStyle = (DWORD)GetWindowLongA(item, GWL_STYLE);
        DWORD bits = WS_CHILD | WS_VISIBLE | want.style;
        EXPECT_EQ(itemStyle & bits, bits);
        RECT units = {want.units.left, want.units.top, want.units.left + want.units.right,
                      want.units.top + want.units.bottom};
        MapDialogRect(dialog, &units);
        RECT rect;
        GetWindowRect(item, &rect);
        MapWindowPoints(NULL, dialog, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, units.left);
        EXPECT_EQ(rect.top, units.top);
        if (want.id == 998) {
            // The icon takes its natural size.
            EXPECT_NE(SendMessageA(item, STM_GETICON, 0, 0), 0);
            EXPECT_EQ(rect.right - rect.left, GetSystemMetrics(SM_CXICON));
        } else {
            EXPECT_EQ(rect.right, units.right);
            EXPECT_EQ(rect.bottom, units.bottom);
        }
    }
    // The two credit lines are ours to choose, but not empty.
    EXPECT_NE(vntest::WindowText(children[4]), "");
    EXPECT_NE(vntest::WindowText(children[5]), "");
    EXPECT_EQ(GetFocus(), children[6]);
}

TEST_F(AboutTest, ShowsTheTemplateOverTheMainWindow)
{
    ShowWindow(window, SW_SHOWNORMAL);
    AboutSession session;
    HWND owner = window;
    session.steps = {
        [owner](HWND dialog) { CheckTemplate(dialog, owner); },
        [](HWND dialog) { SendMessageA(dialog, WM_COMMAND, 900, 0); },
    };
    RunAbout(window, session);
    ASSERT_NE(session.dialog, (HWND)NULL) << "the About dialog did not open";
    EXPECT_FALSE(session.forced);
}

}  // namespace

// The builder's shell inside the test process: the window class, the main
// window, the resources, command routing and the teardown.
#include <gtest/gtest.h>

#include <string>

#include "builder_window.h"
#include "vn_image.h"

namespace {

using vntest::BuilderWindowTest;
using vntest::TakeQuitMessage;

using ShellTest = BuilderWindowTest;

TEST_F(ShellTest, ClassHasTheTabledFields)
{
    WNDCLASSA info;
    ASSERT_TRUE(GetClassInfoA(AppInstance, "VORNIXS", &info));
    EXPECT_EQ(info.style, (UINT)(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(info.lpfnWndProc, MainWndProc);
    EXPECT_EQ(info.cbClsExtra, 0);
    EXPECT_EQ(info.cbWndExtra, 0);
    EXPECT_EQ(info.hInstance, AppInstance);
    EXPECT_NE(info.hIcon, (HICON)NULL);
    EXPECT_EQ(info.hCursor, LoadCursorA(NULL, IDC_ARROW));
    EXPECT_EQ(info.hbrBackground, BackgroundBrush);
    ASSERT_NE(info.lpszMenuName, nullptr);
    EXPECT_STREQ(info.lpszMenuName, "main_menu");
}

TEST_F(ShellTest, BackgroundIsASolidBrushOfTheFormColour)
{
    LOGBRUSH brush;
    ASSERT_EQ(GetObjectA(BackgroundBrush, sizeof brush, &brush), (int)sizeof brush);
    EXPECT_EQ(brush.lbStyle, (UINT)BS_SOLID);
    EXPECT_EQ(brush.lbColor, RGB(212, 208, 200));
}

TEST_F(ShellTest, MainWindowHasItsStyleTitleAndMenu)
{
    EXPECT_EQ(MainWindow, window);
    EXPECT_EQ(vntest::WindowText(window), "Vornix SDK");
    EXPECT_EQ(GetParent(window), (HWND)NULL);
    DWORD style = (DWORD)GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_CAPTION), (DWORD)(WS_SYSMENU | WS_MINIMIZEBOX | WS_CAPTION));
    EXPECT_EQ(style & (WS_POPUP | WS_CHILD), 0u);
    EXPECT_EQ(style & WS_THICKFRAME, 0u);  // the user cannot resize it
    EXPECT_EQ(style & WS_MAXIMIZEBOX, 0u);
    // The platform may add the window edge to any overlapped window.
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
    EXPECT_FALSE(IsWindowVisible(window));  // shown by the main function, not on creation
}

std::string MenuText(HMENU menu, UINT item, UINT flags)
{
    char text[64] = {0};
    GetMenuStringA(menu, item, text, sizeof text, flags);
    return text;
}

TEST_F(ShellTest, MenuBarHasTheFileMenuAndHelpAbout)
{
    HMENU bar = GetMenu(window);
    ASSERT_NE(bar, (HMENU)NULL);
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_EQ(MenuText(bar, 0, MF_BYPOSITION), "&File");
    EXPECT_EQ(MenuText(bar, 1, MF_BYPOSITION), "&Help");
    HMENU file = GetSubMenu(bar, 0);
    HMENU help = GetSubMenu(bar, 1);
    // In order, each with its key (the keys are pressed in the tests of
    // their commands); "Recent Pictures" a popup (-1), then a separator (0).
    const struct {
        const char* text;
        UINT id;
    } entries[] = {
        {"&New\tCtrl+N", 202}, {"&Open Picture...\tCtrl+O", 203}, {"&Paste Picture\tCtrl+V", 204},
        {"&Recent Pictures", (UINT)-1}, {"&Test Play\tF5", 205}, {"", 0}, {"E&xit", 200},
    };
    ASSERT_EQ(GetMenuItemCount(file), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(MenuText(file, i, MF_BYPOSITION), entries[i].text) << i;
        EXPECT_EQ(GetMenuItemID(file, i), entries[i].id) << i;
    }
    // A new user has no recent pictures: the entry is greyed.
    EXPECT_EQ(GetMenuState(file, 3, MF_BYPOSITION) & MF_GRAYED, (UINT)MF_GRAYED);
    ASSERT_EQ(GetMenuItemCount(help), 1);
    EXPECT_EQ(GetMenuItemID(help, 0), 201u);
    EXPECT_EQ(MenuText(help, 0, MF_BYPOSITION), "&About");
}

TEST(ShellResources, IconIsOne32By32ImageIn16Colours)
{
    HMODULE module = GetModuleHandleA(NULL);
    HRSRC group = FindResourceA(module, "ICON_APPWND", MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    ASSERT_NE(group, (HRSRC)NULL);
    // The group directory: reserved, type, count, then 14-byte entries.
    const BYTE* directory = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
    ASSERT_NE(directory, nullptr);
    ASSERT_GE(SizeofResource(module, group), 6u + 14u);
    EXPECT_EQ(directory[4] | (directory[5] << 8), 1);  // one image
    const BYTE* entry = directory + 6;
    EXPECT_EQ(entry[0], 32);  // width
    EXPECT_EQ(entry[1], 32);  // height
    EXPECT_EQ(entry[2], 16);  // colours
    EXPECT_EQ(entry[6] | (entry[7] << 8), 4);  // bits per pixel

    HICON icon = (HICON)LoadImageA(module, "ICON_APPWND", IMAGE_ICON, 32, 32, 0);
    ASSERT_NE(icon, (HICON)NULL);
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour;
    ASSERT_NE(GetObjectA(info.hbmColor, sizeof colour, &colour), 0);
    EXPECT_EQ(colour.bmWidth, 32);
    EXPECT_EQ(colour.bmHeight, 32);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
}

TEST(ShellResources, MenuAndAboutTemplateArePresent)
{
    HMODULE module = GetModuleHandleA(NULL);
    EXPECT_NE(FindResourceA(module, "main_menu", MAKEINTRESOURCEA(4)), (HRSRC)NULL);   // RT_MENU
    EXPECT_NE(FindResourceA(module, "about_dlg", MAKEINTRESOURCEA(5)), (HRSRC)NULL);   // RT_DIALOG
    EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16)), (HRSRC)NULL);  // RT_VERSION
}

// Ends (and counts) any dialog that a command opens while a test runs: a
// routing fault must fail the test, not hang it in a modal loop.
int DialogsEnded;

BOOL CALLBACK EndDialogsOfThread(HWND top, LPARAM)
{
    if (IsWindowVisible(top) && vntest::ClassName(top) == "#32770") {
        ++DialogsEnded;
        EndDialog(top, IDCANCEL);
    }
    return TRUE;
}

void CALLBACK DialogGuard(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), EndDialogsOfThread, 0);
}

TEST_F(ShellTest, CommandWithNotificationCodeRunsNothing)
{
    DialogsEnded = 0;
    UINT_PTR guard = SetTimer(NULL, 0, 100, DialogGuard);
    const WORD commands[] = {101, 107, 108, 110, 200, 201, 202, 203, 204, 205, 210};
    for (WORD id : commands) {
        SCOPED_TRACE(id);
        // The menu keys' commands (202 to 205) come with 1 and no control;
        // from a control, 1 is a notification.
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, 1), id >= 202 ? (LPARAM)GridSizeField : 0);
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_DOUBLECLICKED), 0);
        vntest::PumpMessages();
        EXPECT_EQ(DialogsEnded, 0);
        EXPECT_TRUE(IsWindow(window));
        EXPECT_NE(BackgroundBrush, (HBRUSH)NULL);  // no teardown
        EXPECT_FALSE(TakeQuitMessage());
        EXPECT_EQ(vntest::WindowText(StatusText), "Idle");  // no build
    }
    KillTimer(NULL, guard);
}

TEST_F(ShellTest, UnknownCommandsDoNothing)
{
    SendMessageA(window, WM_COMMAND, 0, 0);
    SendMessageA(window, WM_COMMAND, 102, 0);
    SendMessageA(window, WM_COMMAND, 299, 0);
    SendMessageA(window, WM_COMMAND, 900, 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_NE(BackgroundBrush, (HBRUSH)NULL);
    EXPECT_FALSE(TakeQuitMessage());
}

TEST_F(ShellTest, ExitTearsDownAndQuitsWithCodeZero)
{
    HBRUSH brush = BackgroundBrush;
    PreviewBitmap = CreateBitmap(4, 4, 1, 1, NULL);
    HBITMAP bitmap = PreviewBitmap;
    SendMessageA(window, WM_COMMAND, 200, 0);
    WPARAM exitCode = 99;
    EXPECT_TRUE(TakeQuitMessage(&exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(GetObjectType(brush), 0u);  // deleted
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    EXPECT_EQ(BackgroundBrush, (HBRUSH)NULL);
    EXPECT_EQ(PreviewBitmap, (HBITMAP)NULL);
}

TEST_F(ShellTest, CloseBoxDestroysTheWindowAndQuitsWithCodeZero)
{
    HBRUSH brush = BackgroundBrush;
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(window));
    WPARAM exitCode = 99;
    EXPECT_TRUE(TakeQuitMessage(&exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(GetObjectType(brush), 0u);
}

TEST_F(ShellTest, TeardownWithoutPictureSkipsTheImageAndBitmap)
{
    ASSERT_EQ(PreviewImage, nullptr);
    ASSERT_EQ(PreviewBitmap, (HBITMAP)NULL);
    DestroyWindow(window);
    EXPECT_TRUE(TakeQuitMessage());
    EXPECT_EQ(PreviewImage, nullptr);
    EXPECT_EQ(PreviewBitmap, (HBITMAP)NULL);
}

TEST_F(ShellTest, ExitThenDestroyReleasesEverythingOnce)
{
    PreviewBitmap = CreateBitmap(4, 4, 1, 1, NULL);
    SendMessageA(window, WM_COMMAND, 200, 0);
    EXPECT_TRUE(TakeQuitMessage());
    // Objects made after the first teardown may reuse the released handles;
    // the window's real destruction must not delete them.
    HBRUSH laterBrush = CreateSolidBrush(RGB(1, 2, 3));
    HBITMAP laterBitmap = CreateBitmap(4, 4, 1, 1, NULL);
    DestroyWindow(window);
    EXPECT_TRUE(TakeQuitMessage());
    EXPECT_EQ(GetObjectType(laterBrush), (DWORD)OBJ_BRUSH);
    EXPECT_EQ(GetObjectType(laterBitmap), (DWORD)OBJ_BITMAP);
    DeleteObject(laterBrush);
    DeleteObject(laterBitmap);
}

// An image that counts its destructions.
int ImagesDestroyed;
struct CountedImage : VnImage {
    CountedImage() : VnImage(8, 8, 24, ImageTypeBmp) {}
    ~CountedImage() override { ++ImagesDestroyed; }
};

TEST_F(ShellTest, TeardownReleasesThePreviewImageOnce)
{
    ImagesDestroyed = 0;
    PreviewImage = new CountedImage;
    SendMessageA(window, WM_COMMAND, 200, 0);  // Exit: the first teardown
    EXPECT_EQ(ImagesDestroyed, 1);
    EXPECT_EQ(PreviewImage, nullptr);
    DestroyWindow(window);  // the second one, when the window really goes
    EXPECT_EQ(ImagesDestroyed, 1);
}

TEST_F(ShellTest, WindowAfterAnEarlierTeardownGetsALiveBrush)
{
    DestroyWindow(window);
    TakeQuitMessage();
    ASSERT_EQ(BackgroundBrush, (HBRUSH)NULL);

    window = CreateMainWindow();
    ASSERT_NE(window, (HWND)NULL);
    ASSERT_NE(BackgroundBrush, (HBRUSH)NULL);
    EXPECT_EQ(GetObjectType(BackgroundBrush), (DWORD)OBJ_BRUSH);
    EXPECT_EQ((HBRUSH)GetClassLongPtrA(window, GCLP_HBRBACKGROUND), BackgroundBrush);
}

TEST_F(ShellTest, RegisteringAgainKeepsTheLiveClass)
{
    HBRUSH brush = BackgroundBrush;
    EXPECT_TRUE(RegisterMainWindowClass());
    EXPECT_EQ(BackgroundBrush, brush);
}

TEST_F(ShellTest, PaintAndCreationMessagesReturnZero)
{
    ShowWindow(window, SW_SHOWNOACTIVATE);
    EXPECT_EQ(SendMessageA(window, WM_PAINT, 0, 0), 0);
    EXPECT_EQ(SendMessageA(window, WM_COMMAND, 0, 0), 0);
}

}  // namespace

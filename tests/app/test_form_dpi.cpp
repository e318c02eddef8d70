// The form at 96, 120 and 144 DPI. The screen's DPI is read when a process
// starts, so this program sets it in the registry (HKCU\Control Panel\Desktop,
// LogPixels: in this build tree's own Wine prefix under Wine), starts itself
// once per DPI to check the form there, and puts the setting back. In each
// run the 26 controls stand where the base units of that DPI put them, every
// label's text fits its control, and the preview frame lies whole inside the
// client area and its group. At 144 DPI the builder's picture is saved as
// build/artifacts/builder-144dpi.bmp.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "builder_window.h"
#include "dpi_runs.h"

namespace {

const char DpiVariable[] = "VN_FORM_DPI";

int RequestedDpi()
{
    return vntest::RequestedDpi(DpiVariable);
}

long RunAtDpi(int dpi)
{
    return vntest::RunAtDpi(dpi, "FormAtDpi.*", DpiVariable);
}

TEST(FormDpi, FormStaysWholeAt96And120And144Dpi)
{
    if (RequestedDpi())
        GTEST_SKIP() << "the check of one DPI runs in FormAtDpi";
    DWORD saved = 0;
    bool hadValue = vntest::ReadLogPixels(&saved);
    for (DWORD dpi : {96u, 120u, 144u}) {
        SCOPED_TRACE(dpi);
        ASSERT_TRUE(vntest::WriteLogPixels(&dpi));
        EXPECT_EQ(RunAtDpi((int)dpi), 0) << "the form's check at this DPI failed (its output is above)";
    }
    EXPECT_TRUE(vntest::WriteLogPixels(hadValue ? &saved : nullptr));
}

class FormAtDpi : public vntest::BuilderWindowTest {
protected:
    void SetUp() override
    {
        if (!RequestedDpi())
            GTEST_SKIP() << "started by FormDpi with the DPI to check";
        BuilderWindowTest::SetUp();
    }
};

// The extent of a control's text in the font it draws with, without the
// underline marker of its letter.
SIZE TextExtent(HWND control)
{
    std::string text;
    for (char c : vntest::WindowText(control))
        if (c != '&')
            text += c;
    HDC context = GetDC(control);
    HFONT font = (HFONT)SendMessageA(control, WM_GETFONT, 0, 0);
    HGDIOBJ previous = SelectObject(context, font ? (HGDIOBJ)font : GetStockObject(SYSTEM_FONT));
    SIZE size = {0, 0};
    GetTextExtentPoint32A(context, text.c_str(), (int)text.size(), &size);
    SelectObject(context, previous);
    ReleaseDC(control, context);
    return size;
}

RECT PlaceIn(HWND window, HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(NULL, window, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST_F(FormAtDpi, ControlsKeepTheirBaseUnitGeometryAndShowWhole)
{
    const int dpi = RequestedDpi();
    ASSERT_EQ(vntest::ScreenDpi(), dpi) << "the system did not take the DPI from the registry";
    const int X = (short)LOWORD(GetDialogBaseUnits());
    const int Y = (short)HIWORD(GetDialogBaseUnits());
    printf("[ MEASURE  ] %d DPI: dialog base units %d x %d, screen %d x %d, largest window %d x %d\n", dpi, X, Y,
           GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), GetSystemMetrics(SM_CXMAXTRACK),
           GetSystemMetrics(SM_CYMAXTRACK));
    // The units follow the DPI: the system font grows with it.
    if (dpi >= 144) {
        EXPECT_GE(Y, 20);
    }

    std::vector<HWND> controls;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        controls.push_back(child);
    ASSERT_EQ(controls.size(), (size_t)FormControlCount);

    // The client area is 93·X wide (or as wide as the screen lets a window
    // be: every control still ends by 92·X) and at least 31·X high.
    RECT client;
    GetClientRect(window, &client);
    EXPECT_GE(client.right, 92 * X);
    EXPECT_LE(client.right, 93 * X);
    EXPECT_GE(client.bottom, 31 * X);

    // Every control at its place for these units, found among the children.
    for (int i = 0; i < FormControlCount; ++i) {
        SCOPED_TRACE(i);
        FormPlace place = FormControlPlace(i, X, FormRowUnit(X, Y));
        bool found = false;
        for (HWND control : controls) {
            RECT r = PlaceIn(window, control);
            if (r.left == place.x && r.top == place.y && r.right - r.left == place.width)
                found = true;
        }
        EXPECT_TRUE(found);
        // Inside the client area, every control whole.
        EXPECT_GE(place.x, 0);
        EXPECT_GE(place.y, 0);
        EXPECT_LE(place.x + place.width, client.right);
        if (i != 13) {  // the service list's height includes its dropped list
            EXPECT_LE(place.y + place.height, client.bottom);
        }
    }

    // Labels, buttons and the check box show their whole text on one line.
    for (HWND label : {PictureFileLabel, GridSizeLabel, WinUrlLabel, CompanyNameLabel, WebSiteLabel,
                       TagLineLabel, TargetLabel, PictureBrowseButton, TargetBrowseButton,
                       CreateTargetButton, ShuffleCheckBox}) {
        SCOPED_TRACE(vntest::WindowText(label));
        RECT inside;
        GetClientRect(label, &inside);
        SIZE text = TextExtent(label);
        EXPECT_LE(text.cx, inside.right);
        EXPECT_LE(text.cy, inside.bottom);
    }
    // The edits are tall enough for a line of their font.
    for (HWND edit : {PictureFileEdit, GridSizeField, WinUrlEdit, CompanyNameEdit, TargetPathEdit}) {
        HDC context = GetDC(edit);
        HFONT font = (HFONT)SendMessageA(edit, WM_GETFONT, 0, 0);
        HGDIOBJ previous = SelectObject(context, font ? (HGDIOBJ)font : GetStockObject(SYSTEM_FONT));
        TEXTMETRICA metrics;
        GetTextMetricsA(context, &metrics);
        SelectObject(context, previous);
        ReleaseDC(edit, context);
        RECT inside;
        GetClientRect(edit, &inside);
        EXPECT_LE(metrics.tmHeight, PlaceIn(window, edit).bottom - PlaceIn(window, edit).top);
    }

    // The rows stay apart and inside their groups: the service list closes
    // above the grid-size row, and every field lies inside its group box.
    RECT service = PlaceIn(window, GetDlgItem(window, IdSearchService));
    EXPECT_LE(service.bottom, PlaceIn(window, GridSizeLabel).top);
    EXPECT_LE(PlaceIn(window, WinUrlEdit).bottom, PlaceIn(window, PicturePropertiesGroup).bottom);
    RECT aboutGroup = PlaceIn(window, AboutBoxGroup);
    for (HWND field : {CompanyNameLabel, CompanyNameEdit, WebSiteLabel, WebSiteEdit, TagLineLabel,
                       TagLineEdit}) {
        SCOPED_TRACE(vntest::WindowText(field));
        RECT r = PlaceIn(window, field);
        EXPECT_GE(r.top, aboutGroup.top);
        EXPECT_LE(r.bottom, aboutGroup.bottom);
    }

    // The preview frame: a square inside the picture group and the window.
    RECT frame = PlaceIn(window, PreviewFrame), group = PlaceIn(window, PicturePropertiesGroup);
    EXPECT_EQ(frame.right - frame.left, frame.bottom - frame.top);
    EXPECT_GE(frame.left, group.left);
    EXPECT_LE(frame.right, group.right);
    EXPECT_LE(frame.bottom, group.bottom);
    EXPECT_LE(group.bottom, client.bottom);

    if (dpi == 144) {
        ShowWindow(window, SW_SHOWNORMAL);
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
        RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        // The display shows the pixels a little later: take the shot once
        // several captures in a row agree and show more than one colour.
        // The part of the window on the screen (at this DPI the form may be
        // wider than the test display).
        RECT windowRect, screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, area;
        GetWindowRect(window, &windowRect);
        IntersectRect(&area, &windowRect, &screen);
        vntest::CapturedPixels last;
        int agreeing = 0;
        EXPECT_TRUE(vntest::WaitUntil([&] {
            vntest::CapturedPixels now = vntest::CaptureScreenRect(area);
            bool drawn = !now.pixels.empty() &&
                         std::count(now.pixels.begin(), now.pixels.end(), now.pixels.front()) <
                             (long)now.pixels.size();
            agreeing = (drawn && now.pixels == last.pixels) ? agreeing + 1 : 0;
            last = now;
            return agreeing >= 5;
        }, 10000)) << "the builder's pixels never settled";
        std::string path = vntest::ArtifactPath("builder-144dpi.bmp");
        EXPECT_TRUE(vntest::SaveScreenRect(area, path.c_str())) << path;
    }
}

}  // namespace

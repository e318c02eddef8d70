// The properties form: the 26 controls in creation order with their classes,
// texts, styles, identifiers and places from the reported dialog base units,
// the service list, the grid-size field and the window size.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "builder_window.h"
#include "control_text.h"

namespace {

using vntest::BuilderWindowTest;

std::string Lower(std::string text)
{
    for (char& c : text)
        c = (char)std::tolower((unsigned char)c);
    return text;
}

// What the form must hold, independent of how the form code describes it.
struct ExpectedControl {
    const char* name;
    const char* className;
    const char* text;
    DWORD style;  // beyond WS_CHILD | WS_VISIBLE
    int id;
    HWND* handle;  // the shell global that keeps it, or null
    RECT place;    // x, y, width, height (stored in left, top, right, bottom)
};

int Trunc(double k, int unit)
{
    return (int)(k * unit);
}

std::vector<ExpectedControl> ExpectedForm(int X, int Y)
{
    const int gridRow = 20 * X - Trunc(1.25, Y);
    return {
        {"PicturePropertiesGroup", "button", "Picture Properties", BS_GROUPBOX, 0,
         &PicturePropertiesGroup, {X / 2, Y / 2, 45 * X, 29 * X}},
        {"PictureFileLabel", "static", "F&ile : ", SS_LEFT, 0, &PictureFileLabel, {2 * X, 2 * Y, 7 * X, Y}},
        {"PictureFileEdit", "edit", "", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, &PictureFileEdit,
         {7 * X, 2 * Y, 25 * X, Y}},
        {"PictureBrowseButton", "button", "Browse...", WS_TABSTOP | BS_PUSHBUTTON, 101, &PictureBrowseButton,
         {33 * X, 2 * Y, 10 * X, Y}},
        {"PreviewFrame", "static", "SAMPLE", SS_BLACKFRAME, 102, &PreviewFrame, {2 * X, 4 * Y, 20 * X, 20 * X}},
        {"GridSizeLabel", "static", "&Grid Size : ", SS_LEFT, 0, &GridSizeLabel, {24 * X, gridRow, 12 * X, Y}},
        {"GridSizeField", "edit", "4", WS_TABSTOP | WS_BORDER | ES_NUMBER | ES_AUTOHSCROLL, 103, &GridSizeField, {33 * X, gridRow, 3 * X, Y}},
        {"ShuffleCheckBox", "button", "&Shuffle on Launch? ", WS_TABSTOP | BS_AUTOCHECKBOX | BS_LEFTTEXT, 104,
         &ShuffleCheckBox, {24 * X, 20 * X, 18 * X, Y}},
        {"WinUrlLabel", "static", "Surf on Win &URL : ", SS_LEFT, 0, &WinUrlLabel,
         {24 * X, 20 * X + 2 * Y, 18 * X, Y}},
        {"WinUrlEdit", "edit", "http://", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 105, &WinUrlEdit,
         {24 * X, 20 * X + 3 * Y, 18 * X, Y}},
        {"SearchLabel", "static", "&Web Image Search:", SS_LEFT, 0, nullptr, {23 * X, 4 * Y, 18 * X, Y}},
        {"SearchPhraseEdit", "edit", "", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 109, nullptr,
         {23 * X, Trunc(5.25, Y), 12 * X, Y}},
        {"SearchButton", "button", "Search...", WS_TABSTOP | BS_PUSHBUTTON, 110, nullptr,
         {Trunc(35.5, X), Trunc(5.25, Y), 9 * X, Y}},
        {"SearchServiceCombo", "combobox", "", WS_TABSTOP | CBS_DROPDOWNLIST | CBS_NOINTEGRALHEIGHT, 111, nullptr,
         {23 * X, Trunc(6.5, Y), 18 * X, 5 * Y}},
        {"AboutBoxGroup", "button", "About Box Customization", BS_GROUPBOX, 0, &AboutBoxGroup,
         {47 * X, Y / 2, 45 * X, 21 * X}},
        {"CompanyNameLabel", "static", "&Company Name : ", SS_LEFT, 0, &CompanyNameLabel,
         {48 * X, 2 * Y, 15 * X, Y}},
        {"CompanyNameEdit", "edit", "", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 106, &CompanyNameEdit,
         {48 * X, Trunc(3.25, Y), 25 * X, Y}},
        {"WebSiteLabel", "static", "Web Sit&e : ", SS_LEFT, 0, &WebSiteLabel, {48 * X, 5 * Y, 15 * X, Y}},
        {"WebSiteEdit", "edit", "", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 106, &WebSiteEdit,
         {48 * X, Trunc(6.25, Y), 25 * X, Y}},
        {"TagLineLabel", "static", "Tag &Line : ", SS_LEFT, 0, &TagLineLabel, {48 * X, 8 * Y, 15 * X, Y}},
        {"TagLineEdit", "edit", "", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 106, &TagLineEdit,
         {48 * X, Trunc(9.25, Y), 25 * X, Y}},
        {"TargetLabel", "static", "T&arget ", SS_LEFT, 0, &TargetLabel, {47 * X, Trunc(11.5, Y), 7 * X, Y}},
        {"TargetPathEdit", "edit", "", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, &TargetPathEdit,
         {53 * X, Trunc(11.5, Y), 28 * X, Y}},
        {"TargetBrowseButton", "button", "Browse...", WS_TABSTOP | BS_PUSHBUTTON, 107, &TargetBrowseButton,
         {82 * X, Trunc(11.5, Y), 10 * X, Y}},
        {"StatusText", "static", "Idle", SS_LEFT, 0, &StatusText, {47 * X, 13 * Y, 34 * X, Trunc(1.75, Y)}},
        {"CreateTargetButton", "button", "GO !", WS_TABSTOP | BS_DEFPUSHBUTTON, 108, &CreateTargetButton,
         {82 * X, 13 * Y, 10 * X, Trunc(1.75, Y)}},
    };
}

int ReportedBaseUnitX()
{
    return (short)LOWORD(GetDialogBaseUnits());
}

int ReportedBaseUnitY()
{
    return (short)HIWORD(GetDialogBaseUnits());
}

// The height the form's rows are laid out with: the reported Y, but never
// more than 2·X, as a system font whose line is tall for its width (Wine with
// browser fonts installed: 7 x 16) would push the rows into each other.
int ExpectedRowUnit()
{
    int X = ReportedBaseUnitX(), Y = ReportedBaseUnitY();
    return Y < 2 * X ? Y : 2 * X;
}

// How wide the text is in the control's font, in pixels.
int TextWidth(HWND control, const char* text)
{
    HDC context = GetDC(control);
    HFONT font = (HFONT)SendMessageA(control, WM_GETFONT, 0, 0);
    HGDIOBJ previous = SelectObject(context, font ? (HGDIOBJ)font : GetStockObject(SYSTEM_FONT));
    SIZE size = {0, 0};
    GetTextExtentPoint32A(context, text, (int)strlen(text), &size);
    SelectObject(context, previous);
    ReleaseDC(control, context);
    return size.cx;
}

// Every window creation request of this thread while the main window is
// made, as CreateWindowExA received it.
struct CreationRequest {
    std::string className;
    std::string text;
    DWORD style;
    int id;
    HWND parent;
    HWND created;
    int x, y, width, height;
};

std::vector<CreationRequest>* Requests;

LRESULT CALLBACK RecordCreation(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && Requests) {
        const CREATESTRUCTA* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        CreationRequest request;
        if (HIWORD((ULONG_PTR)create->lpszClass))
            request.className = create->lpszClass;
        // With visual styles Wine hands the hook the class name as redirected
        // by the manifest ("6.0.2600.2982!Button"), for the form's "button";
        // class names are case-blind.
        size_t version = request.className.find('!');
        if (version != std::string::npos) {
            request.className.erase(0, version + 1);
            for (char& c : request.className)
                c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        }
        request.text = create->lpszName ? create->lpszName : "";
        request.style = (DWORD)create->style;
        request.id = (int)(INT_PTR)create->hMenu;
        request.parent = create->hwndParent;
        request.created = (HWND)wParam;
        request.x = create->x;
        request.y = create->y;
        request.width = create->cx;
        request.height = create->cy;
        Requests->push_back(request);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

class FormTest : public BuilderWindowTest {
protected:
    void SetUp() override
    {
        // Record the creation of the window and its form.
        Requests = &requests;
        HHOOK hook = SetWindowsHookExA(WH_CBT, RecordCreation, NULL, GetCurrentThreadId());
        BuilderWindowTest::SetUp();
        UnhookWindowsHookEx(hook);
        Requests = nullptr;
    }

    // The controls that were created as direct children of the main window.
    std::vector<CreationRequest> ChildRequests() const
    {
        std::vector<CreationRequest> children;
        for (const CreationRequest& request : requests)
            if (request.parent == window)
                children.push_back(request);
        return children;
    }

    // The live controls in creation order.
    std::vector<HWND> LiveChildren() const
    {
        std::vector<HWND> children;
        for (const CreationRequest& request : ChildRequests())
            if (IsWindow(request.created))
                children.push_back(request.created);
        return children;
    }

    // The children in stacking order, which is the order Tab goes through.
    std::vector<HWND> StackingOrder() const
    {
        std::vector<HWND> children;
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            children.push_back(child);
        return children;
    }

    HWND Combo() const { return GetDlgItem(window, 111); }

    std::vector<CreationRequest> requests;
};

TEST_F(FormTest, BaseUnitsAreTheReportedOnes)
{
    EXPECT_EQ(BaseUnitX, ReportedBaseUnitX());
    EXPECT_EQ(BaseUnitY, ReportedBaseUnitY());
}

TEST_F(FormTest, ControlsAreCreatedInOrderWithExactArguments)
{
    std::vector<ExpectedControl> expected = ExpectedForm(ReportedBaseUnitX(), ExpectedRowUnit());
    std::vector<CreationRequest> created = ChildRequests();
    ASSERT_EQ(created.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const ExpectedControl& want = expected[i];
        const CreationRequest& got = created[i];
        SCOPED_TRACE(want.name);
        EXPECT_EQ(got.className, want.className);
        EXPECT_EQ(got.text, want.text);
        EXPECT_EQ(got.style, WS_CHILD | WS_VISIBLE | want.style);
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(got.x, want.place.left);
        EXPECT_EQ(got.y, want.place.top);
        EXPECT_EQ(got.width, want.place.right);
        EXPECT_EQ(got.height, want.place.bottom);
        if (want.handle) {
            EXPECT_EQ(*want.handle, got.created);
        }
    }
}

TEST_F(FormTest, LiveControlsMatchTheForm)
{
    std::vector<ExpectedControl> expected = ExpectedForm(ReportedBaseUnitX(), ExpectedRowUnit());
    std::vector<HWND> children = LiveChildren();
    ASSERT_EQ(children.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const ExpectedControl& want = expected[i];
        HWND control = children[i];
        SCOPED_TRACE(want.name);
        EXPECT_EQ(Lower(vntest::ClassName(control)), want.className);
        if (std::string(want.className) != "combobox") {
            EXPECT_EQ(vntest::WindowText(control), want.text);
        }
        EXPECT_EQ(GetDlgCtrlID(control), want.id);
        // The platform may turn an edit's WS_BORDER into a border of its own.
        DWORD style = (DWORD)GetWindowLongA(control, GWL_STYLE);
        DWORD kept = WS_CHILD | WS_VISIBLE | (want.style & ~WS_BORDER);
        EXPECT_EQ(style & kept, kept);

        RECT rect;
        GetWindowRect(control, &rect);
        MapWindowPoints(NULL, window, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, want.place.left);
        EXPECT_EQ(rect.top, want.place.top);
        EXPECT_EQ(rect.right - rect.left, want.place.right);
        if (std::string(want.className) == "combobox") {
            // The height given at creation (checked exactly by the creation test) is that
            // of the control with its list dropped down; the platform fits
            // the list below the field within it.
            SendMessageA(control, CB_SHOWDROPDOWN, TRUE, 0);
            COMBOBOXINFO parts;
            ZeroMemory(&parts, sizeof parts);
            parts.cbSize = sizeof parts;
            ASSERT_TRUE(GetComboBoxInfo(control, &parts));
            RECT list, closed;
            GetWindowRect(parts.hwndList, &list);
            GetWindowRect(control, &closed);
            EXPECT_GT(list.bottom, closed.bottom);
            EXPECT_LE(list.bottom - closed.top, want.place.bottom);
            SendMessageA(control, CB_SHOWDROPDOWN, FALSE, 0);
        } else {
            EXPECT_EQ(rect.bottom - rect.top, want.place.bottom);
        }
        if (want.handle) {
            EXPECT_EQ(*want.handle, control);
        }
    }
}

TEST_F(FormTest, ClientAreaIs93By31HorizontalUnits)
{
    int X = ReportedBaseUnitX();
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 93 * X);
    EXPECT_EQ(client.bottom, 31 * X);
}

TEST_F(FormTest, ServiceListHoldsTheThreeServicesWithOneSelected)
{
    HWND combo = Combo();
    ASSERT_NE(combo, (HWND)NULL);
    ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 3);
    for (int i = 0; i < 3; ++i) {
        char name[256] = {0};
        SendMessageA(combo, CB_GETLBTEXT, i, (LPARAM)name);
        EXPECT_STREQ(name, SearchServiceNames[i]) << "entry " << i;
    }
    LRESULT selected = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    EXPECT_GE(selected, 0);
    EXPECT_LE(selected, 2);
    EXPECT_EQ(GetWindowLongA(combo, GWL_STYLE) & CBS_SORT, 0);

    // Every name shows whole in the closed list's field and in the list.
    COMBOBOXINFO parts = {};
    parts.cbSize = sizeof parts;
    ASSERT_TRUE(GetComboBoxInfo(combo, &parts));
    for (const char* name : SearchServiceNames)
        EXPECT_LE(TextWidth(combo, name), parts.rcItem.right - parts.rcItem.left) << name;
}

TEST_F(FormTest, StartsIdleWithNoPictureAndAGridOfFour)
{
    EXPECT_EQ(MainWindow, window);
    EXPECT_EQ(GridSize, 4);
    EXPECT_EQ(PreviewBitmap, (HBITMAP)NULL);
    EXPECT_EQ(PreviewImage, nullptr);
    EXPECT_EQ(IsDlgButtonChecked(window, 104), (UINT)BST_UNCHECKED);
    EXPECT_EQ(vntest::WindowText(StatusText), "Idle");
}

// Every text the status line can show, the longest ones included.
const char* const StatusTexts[] = {
    "Idle", "Creating stub...", "Done.", "Open Picture File..", "Generating About Box...",
    "Appending File Info...", "Appending Picture...",
    "Error - could not open stub.", "Error - could not open picture file.",
    "Error - could not read stub.", "Error - could not read picture file.",
    "Error - could not write target.", "Error - not enough memory.",
    "Error - target is the picture file.", "Error - target is the stub.",
    "Error - could not create target.", "Error - target path is too long.",
    "Error - picture path is too long.", "Error - picture is not a supported image.",
    "Error - the company name and web site cannot hold '|'.",
    "Error - the target must end in .exe or .html.", "Error - could not open the web browser.",
    "Error - save the picture first, then drop the file.", "Error - the clipboard holds no picture.",
    "Error - could not save the picture.", "Test play started.", "Error - could not start the test play.",
    // A failure's reason and the path written go on the second line.
    "Error - could not create target.\r\nAccess denied",
    "Done.\r\nC:\\users\\Someone\\Pictures\\Summer 2024\\beach.exe",
};

TEST_F(FormTest, StatusLineShowsEveryStatusWhole)
{
    RECT client;
    GetClientRect(StatusText, &client);
    HDC context = GetDC(StatusText);
    HFONT font = (HFONT)SendMessageA(StatusText, WM_GETFONT, 0, 0);
    HGDIOBJ previous = SelectObject(context, font ? (HGDIOBJ)font : GetStockObject(SYSTEM_FONT));
    for (const char* text : StatusTexts) {
        SCOPED_TRACE(text);
        // The static control wraps at word breaks, as DrawText does here.
        RECT needed = {0, 0, client.right, 0};
        DrawTextA(context, text, -1, &needed, DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
        EXPECT_LE(needed.right, client.right);
        EXPECT_LE(needed.bottom, client.bottom);
    }
    SelectObject(context, previous);
    ReleaseDC(StatusText, context);
    // Nothing else stands where the second line goes.
    RECT status, other;
    GetWindowRect(StatusText, &status);
    for (HWND control : {TargetPathEdit, TargetBrowseButton, CreateTargetButton, AboutBoxGroup}) {
        GetWindowRect(control, &other);
        RECT overlap;
        EXPECT_FALSE(IntersectRect(&overlap, &status, &other)) << vntest::WindowText(control);
    }
}

TEST_F(FormTest, LabelsAndStatusLineStandOnTheFormsColour)
{
    ShowWindow(window, SW_SHOWNORMAL);
    RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const COLORREF form = RGB(212, 208, 200);
    // Labels whose right end no field covers.
    for (HWND label : {CompanyNameLabel, WebSiteLabel, TagLineLabel, WinUrlLabel, StatusText}) {
        SCOPED_TRACE(vntest::WindowText(label));
        RECT inside;
        GetClientRect(label, &inside);
        HDC context = GetDC(label);
        // The bottom-right corner lies beyond the text.
        vntest::CapturedPixels corner = vntest::CapturePixels(context, inside.right - 2, inside.bottom - 2, 1, 1);
        ReleaseDC(label, context);
        ASSERT_EQ(corner.pixels.size(), 1u);
        EXPECT_EQ(corner.pixels[0], form);
    }
}

// Sets the grid-size field's text and sends the change notification the
// field itself would send.
void ChangeGridText(HWND window, const char* text)
{
    SetWindowTextA(GridSizeField, text);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(103, EN_CHANGE), (LPARAM)GridSizeField);
}

TEST_F(FormTest, GridSizeFollowsTheFirstFourCharactersOfTheField)
{
    ChangeGridText(window, "7");
    EXPECT_EQ(GridSize, 7);
    ChangeGridText(window, "12345");
    EXPECT_EQ(GridSize, 1234);
    ChangeGridText(window, "");
    EXPECT_EQ(GridSize, 0);
}

TEST_F(FormTest, GridSizeIgnoresOtherNotificationsAndControls)
{
    ChangeGridText(window, "5");
    ASSERT_EQ(GridSize, 5);
    SetWindowTextA(GridSizeField, "9");
    GridSize = 5;
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(103, EN_UPDATE), (LPARAM)GridSizeField);
    EXPECT_EQ(GridSize, 5);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(105, EN_CHANGE), (LPARAM)WinUrlEdit);
    EXPECT_EQ(GridSize, 5);
}

TEST_F(FormTest, GridSizeChangeRepaintsTheWindow)
{
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    ValidateRect(window, NULL);
    ChangeGridText(window, "3");
    RECT update;
    ASSERT_TRUE(GetUpdateRect(window, &update, FALSE));
    RECT client;
    GetClientRect(window, &client);
    EXPECT_TRUE(EqualRect(&update, &client));
}

TEST_F(FormTest, TypedDigitsReachGridSizeAndOtherKeysDoNot)
{
    SetWindowTextA(GridSizeField, "");
    SendMessageA(GridSizeField, WM_CHAR, 'x', 0);
    SendMessageA(GridSizeField, WM_CHAR, '-', 0);
    EXPECT_EQ(vntest::WindowText(GridSizeField), "");
    SendMessageA(GridSizeField, WM_CHAR, '7', 0);
    EXPECT_EQ(vntest::WindowText(GridSizeField), "7");
    EXPECT_EQ(GridSize, 7);
}

TEST_F(FormTest, TextFieldsTakeNoMoreThanTheRecordKeeps)
{
    const struct {
        HWND field;
        int limit;
    } fields[] = {
        {PictureFileEdit, 255}, {TargetPathEdit, 255}, {WinUrlEdit, 1023}, {CompanyNameEdit, 254},
        {WebSiteEdit, 254},     {TagLineEdit, 254},    {GetDlgItem(window, IdSearchPhrase), 1023},
    };
    for (const auto& f : fields) {
        SCOPED_TRACE(GetDlgCtrlID(f.field));
        // Typed to the limit and one more: the last is refused.
        SetWindowTextA(f.field, std::string(f.limit - 1, 'a').c_str());
        SendMessageA(f.field, EM_SETSEL, f.limit, f.limit);
        SendMessageA(f.field, WM_CHAR, 'b', 0);
        SendMessageA(f.field, WM_CHAR, 'c', 0);
        EXPECT_EQ(vntest::WindowText(f.field), std::string(f.limit - 1, 'a') + "b");
    }
    // Characters of two UTF-8 bytes: the record texts stop at their bytes,
    // between characters, and no later cut can split one.
    for (HWND field : {CompanyNameEdit, WinUrlEdit}) {
        size_t limit = field == WinUrlEdit ? 1023 : 254;
        SetWindowTextW(field, std::wstring(limit / 2 - 1, L'\x00E9').c_str());
        SendMessageA(field, EM_SETSEL, limit, limit);
        SendMessageW(field, WM_CHAR, 0x00E9, 0);
        SendMessageW(field, WM_CHAR, 0x00E9, 0);
        std::string kept = TextToUtf8(vntest::WindowText(field));
        EXPECT_LE(kept.size(), limit);
        EXPECT_GE(kept.size(), limit - 1);
        EXPECT_EQ(kept.substr(kept.size() - 2), "\xC3\xA9");
    }
}

TEST_F(FormTest, GridSizeFieldTakesThreeDigits)
{
    // "12" is a grid of 12, not of 1 with the second digit refused.
    SetWindowTextA(GridSizeField, "");
    SendMessageA(GridSizeField, WM_CHAR, '1', 0);
    SendMessageA(GridSizeField, WM_CHAR, '2', 0);
    EXPECT_EQ(vntest::WindowText(GridSizeField), "12");
    EXPECT_EQ(GridSize, 12);
    for (int i = 0; i < 5; ++i)
        SendMessageA(GridSizeField, WM_CHAR, '8', 0);
    EXPECT_EQ(vntest::WindowText(GridSizeField), "128");
    EXPECT_EQ(GridSize, 128);

    // Two digits show whole (the widest ones), inside the field's margins,
    // none scrolled out of view.
    SetWindowTextA(GridSizeField, "");
    SendMessageA(GridSizeField, WM_CHAR, '8', 0);
    SendMessageA(GridSizeField, WM_CHAR, '8', 0);
    RECT inside;
    SendMessageA(GridSizeField, EM_GETRECT, 0, (LPARAM)&inside);
    EXPECT_LE(TextWidth(GridSizeField, "88"), inside.right - inside.left);
    EXPECT_EQ(LOWORD(SendMessageA(GridSizeField, EM_POSFROMCHAR, 0, 0)), inside.left);
}

// The layout for fixed base units, without a window.
TEST(FormLayout, UnitsEightAndSixteen)
{
    FormPlace preview = FormControlPlace(4, 8, 16);
    EXPECT_EQ(preview.x, 16);
    EXPECT_EQ(preview.y, 64);
    EXPECT_EQ(preview.width, 160);
    EXPECT_EQ(preview.height, 160);
    EXPECT_EQ(FormControlPlace(5, 8, 16).y, 140);  // grid-size label
    EXPECT_EQ(FormControlPlace(6, 8, 16).y, 140);  // grid-size field
    FormPlace go = FormControlPlace(25, 8, 16);
    EXPECT_EQ(go.x, 656);
    EXPECT_EQ(go.y, 208);
    EXPECT_EQ(go.width, 80);
    EXPECT_EQ(go.height, 28);
}

TEST(FormLayout, FractionalProductsAreTruncated)
{
    // Y = 13: 1.25·Y = 16.25 and 5.25·Y = 68.25; X = 7: 35.5·X = 248.5.
    EXPECT_EQ(FormControlPlace(5, 8, 13).y, 160 - 16);
    EXPECT_EQ(FormControlPlace(11, 8, 13).y, 68);
    EXPECT_EQ(FormControlPlace(12, 7, 13).x, 248);
    EXPECT_EQ(FormControlPlace(25, 8, 13).height, 22);  // 1.75·13 = 22.75
    // X/2 and Y/2 are integer halves.
    EXPECT_EQ(FormControlPlace(0, 7, 13).x, 3);
    EXPECT_EQ(FormControlPlace(0, 7, 13).y, 6);
}

TEST(FormLayout, RowsAreNeverTallerThanTwoX)
{
    EXPECT_EQ(FormRowUnit(8, 16), 16);   // the system font on Windows at 96 DPI
    EXPECT_EQ(FormRowUnit(9, 16), 16);   // Wine at 96 DPI
    EXPECT_EQ(FormRowUnit(7, 16), 14);   // Wine at 96 DPI with browser fonts installed
    EXPECT_EQ(FormRowUnit(12, 24), 24);  // Windows at 144 DPI
    EXPECT_EQ(FormRowUnit(14, 36), 28);  // Wine at 144 DPI
}

TEST(FormLayout, EveryPlaceMatchesTheExpectedForm)
{
    const int units[][2] = {{8, 16}, {9, 16}, {7, 13}, {6, 13}, {10, 20}};
    for (const auto& unit : units) {
        std::vector<ExpectedControl> expected = ExpectedForm(unit[0], unit[1]);
        for (int i = 0; i < FormControlCount; ++i) {
            SCOPED_TRACE(std::string(expected[i].name) + " with X=" + std::to_string(unit[0]) +
                         ", Y=" + std::to_string(unit[1]));
            FormPlace place = FormControlPlace(i, unit[0], unit[1]);
            EXPECT_EQ(place.x, expected[i].place.left);
            EXPECT_EQ(place.y, expected[i].place.top);
            EXPECT_EQ(place.width, expected[i].place.right);
            EXPECT_EQ(place.height, expected[i].place.bottom);
        }
    }
}

// A picture of the form for people to look at: build/artifacts/builder.png
// (converted from the BMP saved here by the next ctest step).
TEST_F(FormTest, SavesAScreenshot)
{
    ShowWindow(window, SW_SHOWNORMAL);
    SetWindowPos(window, HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE);
    UpdateWindow(window);
    vntest::PumpMessages();
    RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    vntest::PumpMessages();
    std::string path = vntest::ArtifactPath("builder.bmp");
    EXPECT_TRUE(vntest::SaveWindowShot(window, path.c_str())) << path;
}

}  // namespace

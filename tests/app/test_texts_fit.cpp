// The builder's texts fit their controls in every language of the catalogue
// and in the pseudo-language (every text 40 % longer), at 96 and at 144 DPI:
// the program starts itself once per DPI (the DPI is read when a process
// starts) and, in each run, builds the form in each language in turn and
// measures every label, button, check box, group caption, list entry and
// status text against its control with the control's own font, then the
// About dialog of each language's resources. A translation that does not fit
// is shortened in its PO file, never cut by the form.
//
// Started with VN_EXPECT_LANGUAGE (LANG=fr_FR.UTF-8 or ja_JP.UTF-8 under
// Wine), BuilderLanguage checks that the form shows the user's language and
// saves build/artifacts/builder-<tag>.bmp.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "builder_window.h"
#include "dpi_runs.h"
#include "vn_catalogue.h"
#include "vn_text.h"

namespace {

const char DpiVariable[] = "VN_FIT_DPI";

std::string Utf8(const wchar_t* wide)
{
    char text[2048] = {0};
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, NULL, NULL);
    return text;
}

std::wstring ControlText(HWND control)
{
    wchar_t text[1024] = {0};
    GetWindowTextW(control, text, 1024);
    return text;
}

// The text as drawn: "&&" is "&", a single "&" marks the next letter, and
// spaces at its end take no room.
std::wstring Shown(const std::wstring& text)
{
    std::wstring shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size())
            ++i;
        shown += text[i];
    }
    while (!shown.empty() && shown.back() == L' ')
        shown.pop_back();
    return shown;
}

// The statuses that can be followed on the second line by the system's
// reason for a failure or by the path written.
bool TakesASecondLine(const std::string& english)
{
    for (const char* text : {"Done.", "Error - could not write target.", "Error - could not open picture file.",
                             "Error - could not read picture file.", "Error - not enough memory.",
                             "Error - could not read stub.", "Error - could not open stub.",
                             "Error - the player program is not valid.", "Error - could not create target.",
                             "Error - picture is not a supported image.",
                             "Error - could not convert the picture for the web page."})
        if (english == text)
            return true;
    return false;
}

// Width and height of text on one line, and its height wrapped at width, in
// the font the control draws with.
struct Measure {
    SIZE line = {0, 0};
    int wrappedHeight = 0;
    int wrappedWidth = 0;
};

Measure MeasureIn(HWND control, const std::wstring& text, int width)
{
    HDC context = GetDC(control);
    HFONT font = (HFONT)SendMessageW(control, WM_GETFONT, 0, 0);
    HGDIOBJ previous = SelectObject(context, font ? (HGDIOBJ)font : GetStockObject(SYSTEM_FONT));
    Measure measure;
    GetTextExtentPoint32W(context, text.c_str(), (int)text.size(), &measure.line);
    RECT wrapped = {0, 0, width, 0};
    DrawTextW(context, text.c_str(), -1, &wrapped, DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
    measure.wrappedHeight = wrapped.bottom;
    measure.wrappedWidth = wrapped.right;
    SelectObject(context, previous);
    ReleaseDC(control, context);
    return measure;
}

RECT PlaceIn(HWND window, HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(NULL, window, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The width a control's text may take: its own, and for a label no more than
// up to the control that follows it on its row.
int RoomFor(HWND window, HWND control)
{
    RECT place = PlaceIn(window, control);
    int room = place.right - place.left;
    for (HWND other = GetWindow(window, GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT)) {
        RECT r = PlaceIn(window, other);
        const bool sameRow = r.top < place.bottom && r.bottom > place.top;
        if (other != control && sameRow && r.left > place.left && r.left < place.left + room)
            room = r.left - place.left;
    }
    return room;
}

class TextsFit : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!vntest::RequestedDpi(DpiVariable))
            GTEST_SKIP() << "started by TextsFitDpi with the DPI to check";
        SettingsKeyPath = vntest::TestSettingsKey();
        AppInstance = GetModuleHandleA(NULL);
    }

    void TearDown() override { VnUseCatalogueLanguage(nullptr, nullptr); }

    HWND OpenIn(const char* tag)
    {
        VnUseCatalogueLanguage(&VnProgramCatalogue, tag);
        vntest::ForgetTestSettings();
        if (!RegisterMainWindowClass())
            return NULL;
        return CreateMainWindow();
    }

    void Close(HWND window)
    {
        DestroyWindow(window);
        vntest::PumpMessages();
        vntest::TakeQuitMessage();
        MainWindow = NULL;
        vntest::ForgetTestSettings();
    }

    void CheckForm(HWND window, const char* tag)
    {
        const int X = BaseUnitX;
        const int edge = GetSystemMetrics(SM_CXEDGE);
        for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
            char className[32] = {0};
            GetClassNameA(control, className, sizeof className);
            const LONG style = GetWindowLongA(control, GWL_STYLE);
            const std::wstring text = Shown(ControlText(control));
            if (text.empty() || (lstrcmpiA(className, "static") == 0 && (style & SS_TYPEMASK) == SS_BLACKFRAME))
                continue;
            SCOPED_TRACE(std::string(tag) + ": " + className + " \"" + Utf8(text.c_str()) + "\"");
            RECT client;
            GetClientRect(control, &client);
            const Measure measure = MeasureIn(control, text, client.right);
            ++measured;
            if (lstrcmpiA(className, "static") == 0) {
                if (control == StatusText)
                    continue;  // the statuses are measured on their own
                EXPECT_LE(measure.line.cx, RoomFor(window, control));
                EXPECT_LE(measure.line.cy, client.bottom);
            } else if (lstrcmpiA(className, "button") == 0) {
                const LONG type = style & BS_TYPEMASK;
                if (type == BS_GROUPBOX) {
                    // The caption sits in the top edge, half a character in.
                    EXPECT_LE(measure.line.cx + X, client.right);
                } else if (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX) {
                    const int box = GetSystemMetrics(SM_CXMENUCHECK) + 2 * edge;
                    if (style & BS_MULTILINE) {  // made two lines high for a long text
                        EXPECT_LE(MeasureIn(control, text, client.right - box).wrappedHeight, client.bottom);
                        EXPECT_LE(MeasureIn(control, text, client.right - box).wrappedWidth, client.right - box);
                    } else {
                        EXPECT_LE(measure.line.cx + box, client.right);
                    }
                } else {
                    EXPECT_LE(measure.line.cx + 4 * edge, client.right);
                    EXPECT_LE(measure.line.cy, client.bottom);
                }
            }
        }
        // Every status the line can show: whole on its two lines; those that
        // can be followed by a reason or the path written, on no more lines
        // than the English takes.
        RECT status;
        GetClientRect(StatusText, &status);
        const VnCatalogueLanguage* language = VnCatalogueFindLanguage(VnProgramCatalogue, tag);
        for (int i = 0; i < VnProgramCatalogue.entryCount; ++i) {
            const VnCatalogueEntry& entry = VnProgramCatalogue.entries[i];
            if (entry.kind != VnTextByEnglish || entry.plural)
                continue;
            const std::string english = entry.msgid;
            std::vector<wchar_t> wide(english.size() * 2 + 64);
            MultiByteToWideChar(CP_UTF8, 0, language->texts[entry.slot], -1, wide.data(), (int)wide.size());
            const std::wstring text = Shown(wide.data());
            SCOPED_TRACE(std::string(tag) + ": status \"" + language->texts[entry.slot] + "\"");
            const Measure measure = MeasureIn(StatusText, text, status.right);
            ++measured;
            EXPECT_LE(measure.wrappedWidth, status.right);
            EXPECT_LE(measure.wrappedHeight, status.bottom);
            if (TakesASecondLine(english)) {
                std::vector<wchar_t> source(english.size() + 1);
                MultiByteToWideChar(CP_UTF8, 0, english.c_str(), -1, source.data(), (int)source.size());
                const int englishHeight = MeasureIn(StatusText, source.data(), status.right).wrappedHeight;
                EXPECT_TRUE(measure.wrappedHeight <= englishHeight ||
                            measure.wrappedHeight + measure.line.cy <= status.bottom)
                    << "no room for the reason or path after it: " << measure.wrappedHeight << " high, the English "
                    << englishHeight << ", the line " << status.bottom;
            }
        }
    }

    // The About dialog of the language's own resources, made invisibly with
    // the builder's own procedure (which widens it for longer lines).
    void CheckAboutDialog(HWND window, const VnCatalogueLanguage& language)
    {
        HMODULE module = GetModuleHandleA(NULL);
        HRSRC found = FindResourceExW(module, MAKEINTRESOURCEW(5) /* RT_DIALOG */, L"ABOUT_DLG", language.langId);
        ASSERT_TRUE(found != NULL) << language.tag;
        const DLGTEMPLATE* dialogTemplate = (const DLGTEMPLATE*)LockResource(LoadResource(module, found));
        HWND dialog = CreateDialogIndirectParamW(module, dialogTemplate, window, AboutDlgProc, 0);
        ASSERT_TRUE(dialog != NULL) << language.tag;
        int texts = 0;
        for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
            const std::wstring text = Shown(ControlText(control));
            if (text.empty() || (GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                continue;
            SCOPED_TRACE(std::string(language.tag) + ": About \"" + Utf8(text.c_str()) + "\"");
            RECT client;
            GetClientRect(control, &client);
            const Measure measure = MeasureIn(control, text, client.right);
            EXPECT_LE(measure.line.cx, client.right);
            EXPECT_LE(measure.line.cy, client.bottom);
            ++texts;
            ++measured;
        }
        EXPECT_GE(texts, 5) << language.tag;
        DestroyWindow(dialog);
    }

    int measured = 0;
};

TEST(TextsFitDpi, EveryLanguageFitsAt96And144Dpi)
{
    if (vntest::RequestedDpi(DpiVariable))
        GTEST_SKIP() << "the check of one DPI runs in TextsFit";
    DWORD saved = 0;
    bool hadValue = vntest::ReadLogPixels(&saved);
    for (DWORD dpi : {96u, 144u}) {
        SCOPED_TRACE(dpi);
        ASSERT_TRUE(vntest::WriteLogPixels(&dpi));
        EXPECT_EQ(vntest::RunAtDpi((int)dpi, "TextsFit.*", DpiVariable), 0)
            << "the texts' check at this DPI failed (its output is above)";
    }
    EXPECT_TRUE(vntest::WriteLogPixels(hadValue ? &saved : nullptr));
}

TEST_F(TextsFit, EveryLabelButtonEntryAndStatusFitsInEveryLanguage)
{
    ASSERT_EQ(vntest::ScreenDpi(), vntest::RequestedDpi(DpiVariable));
    ASSERT_GE(VnProgramCatalogue.languageCount, 14);
    for (int i = 0; i < VnProgramCatalogue.languageCount; ++i) {
        const VnCatalogueLanguage& language = VnProgramCatalogue.languages[i];
        HWND window = OpenIn(language.tag);
        ASSERT_TRUE(window != NULL) << language.tag;
        CheckForm(window, language.tag);
        CheckAboutDialog(window, language);
        Close(window);
    }
    // Each language: about 22 form texts, 45 statuses, 6 About texts.
    EXPECT_GE(measured, 14 * 60);
    printf("[ MEASURE  ] %d DPI: %d texts measured in %d languages\n", vntest::ScreenDpi(), measured,
           VnProgramCatalogue.languageCount);
}

// Under LANG: the form in the user's language, from the resources Windows'
// loader picked, and its picture.
TEST(BuilderLanguage, TheFormShowsTheUsersLanguage)
{
    const char* expected = std::getenv("VN_EXPECT_LANGUAGE");
    if (!expected)
        GTEST_SKIP() << "run with LANG and VN_EXPECT_LANGUAGE set";
    EXPECT_EQ(expected, VnSystemText(1));
    SettingsKeyPath = vntest::TestSettingsKey();
    vntest::ForgetTestSettings();
    AppInstance = GetModuleHandleA(NULL);
    ASSERT_TRUE(RegisterMainWindowClass());
    HWND window = CreateMainWindow();
    ASSERT_TRUE(window != NULL);
    const struct {
        HWND control;
        const char* msgid;
    } shown[] = {{PictureFileLabel, "F&ile : "}, {CreateTargetButton, "GO !"}, {StatusText, "Idle"},
                 {AboutBoxGroup, "About Box Customization"}, {ShuffleCheckBox, "&Shuffle on Launch? "}};
    for (const auto& item : shown)
        EXPECT_EQ(VnCatalogueText(VnProgramCatalogue, expected, item.msgid), Utf8(ControlText(item.control).c_str()));
    wchar_t menu[128] = {0};
    GetMenuStringW(GetMenu(window), 0, menu, 128, MF_BYPOSITION);
    EXPECT_EQ(VnCatalogueText(VnProgramCatalogue, expected, "&File"), Utf8(menu));

    ShowWindow(window, SW_SHOWNORMAL);
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
    RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT area;
    GetWindowRect(window, &area);
    vntest::CapturedPixels last;
    int agreeing = 0;
    EXPECT_TRUE(vntest::WaitUntil([&] {
        vntest::PumpMessages();
        vntest::CapturedPixels now = vntest::CaptureScreenRect(area);
        agreeing = (!now.pixels.empty() && now.pixels == last.pixels) ? agreeing + 1 : 0;
        last = now;
        return agreeing >= 5;
    }, 10000));
    const std::string path = vntest::ArtifactPath(("builder-" + std::string(expected) + ".bmp").c_str());
    EXPECT_TRUE(vntest::SaveScreenRect(area, path.c_str())) << path;
    DestroyWindow(window);
    vntest::PumpMessages();
    vntest::TakeQuitMessage();
    MainWindow = NULL;
    vntest::ForgetTestSettings();
}

}  // namespace

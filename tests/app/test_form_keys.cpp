// The form's keyboard interface, through the same filter the message loop
// uses: Tab and Shift+Tab in reading order, Enter pressing "GO !" (or the
// focused button), Alt with a label's underlined letter moving to its field.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builder_window.h"

namespace {

class FormKeysTest : public vntest::BuilderWindowTest {
protected:
    void SetUp() override
    {
        BuilderWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        UpdateWindow(window);
        SetShift(false);
    }

    void TearDown() override
    {
        SetShift(false);
        BuilderWindowTest::TearDown();
    }

    // This thread's view of the Shift key, as the dialog manager reads it.
    static void SetShift(bool down)
    {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }

    // A key as the message loop would take it off the queue, for the focus.
    static bool Press(UINT message, WPARAM key, LPARAM flags = 0)
    {
        MSG msg = {};
        msg.hwnd = GetFocus();
        msg.message = message;
        msg.wParam = key;
        msg.lParam = flags | 1;
        return HandleFormKeys(&msg);
    }

    static HWND Item(int id) { return GetDlgItem(MainWindow, id); }
};

TEST_F(FormKeysTest, TabVisitsTheFieldsInReadingOrderAndShiftTabGoesBack)
{
    const std::vector<HWND> order = {
        PictureFileEdit, PictureBrowseButton, Item(IdSearchPhrase), Item(IdSearch),
        Item(IdSearchService), GridSizeField, ShuffleCheckBox, WinUrlEdit,
        CompanyNameEdit, WebSiteEdit, TagLineEdit, TargetPathEdit, TargetBrowseButton,
        CreateTargetButton,
    };
    SetFocus(order[0]);
    ASSERT_EQ(GetFocus(), order[0]);
    for (size_t i = 1; i <= order.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(Press(WM_KEYDOWN, VK_TAB));
        // After the last field Tab wraps round to the first.
        EXPECT_EQ(GetFocus(), order[i % order.size()]);
    }
    SetShift(true);
    for (size_t i = order.size(); i > 0; --i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(Press(WM_KEYDOWN, VK_TAB));
        EXPECT_EQ(GetFocus(), order[i - 1]);
    }
}

TEST_F(FormKeysTest, EnterInAFieldPressesGo)
{
    // A target path that does not fit makes "GO !" say so at once, without
    // opening anything: proof that the build command ran.
    SetWindowTextA(TargetPathEdit, (std::string("C:\\") + std::string(300, 't') + ".exe").c_str());
    SetFocus(CompanyNameEdit);
    EXPECT_TRUE(Press(WM_KEYDOWN, VK_RETURN));
    EXPECT_EQ(vntest::WindowText(StatusText), "Error - target path is too long.");
    EXPECT_EQ(GetWindowLongA(CreateTargetButton, GWL_STYLE) & BS_TYPEMASK, (LONG)BS_DEFPUSHBUTTON);
}

TEST_F(FormKeysTest, EnterOnAnotherFocusedButtonPressesThatButton)
{
    SetWindowTextA(TargetPathEdit, (std::string("C:\\") + std::string(300, 't') + ".exe").c_str());
    // The search button with the focus: Enter searches rather than builds.
    // Its address goes to the shell; only the status line is watched here.
    SetFocus(Item(IdSearch));
    EXPECT_EQ(SendMessageA(MainWindow, DM_GETDEFID, 0, 0), MAKELRESULT(IdSearch, DC_HASDEFID));
    SetFocus(WinUrlEdit);
    EXPECT_EQ(SendMessageA(MainWindow, DM_GETDEFID, 0, 0), MAKELRESULT(IdCreateTarget, DC_HASDEFID));
    EXPECT_EQ(vntest::WindowText(StatusText), "Idle");
}

TEST_F(FormKeysTest, AltWithALabelsLetterMovesToItsField)
{
    const struct {
        char letter;
        HWND* field;
    } mnemonics[] = {
        {'i', &PictureFileEdit}, {'g', &GridSizeField},   {'u', &WinUrlEdit},
        {'c', &CompanyNameEdit}, {'e', &WebSiteEdit},     {'l', &TagLineEdit},
        {'a', &TargetPathEdit},
    };
    SetFocus(CreateTargetButton);
    for (const auto& m : mnemonics) {
        SCOPED_TRACE(m.letter);
        EXPECT_TRUE(Press(WM_SYSCHAR, m.letter, 1 << 29));
        EXPECT_EQ(GetFocus(), *m.field);
    }
    EXPECT_TRUE(Press(WM_SYSCHAR, 'w', 1 << 29));
    EXPECT_EQ(GetFocus(), GetDlgItem(MainWindow, IdSearchPhrase));
    // The shuffle box's own letter toggles it.
    EXPECT_TRUE(Press(WM_SYSCHAR, 's', 1 << 29));
    EXPECT_EQ(IsDlgButtonChecked(MainWindow, IdShuffle), (UINT)BST_CHECKED);
}

}  // namespace

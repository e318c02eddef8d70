// The form that remembers, across two starts of the builder's window with a
// private registry key: the values saved at exit and given back, stored as
// UTF-16 REG_SZ texts; File > "New"; File > "Recent Pictures"; the folders the
// file dialogs open in; and stored values that are not what the builder
// wrote, which a start leaves out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builder_window.h"
#include "control_text.h"
#include "selection_test_util.h"

namespace {

std::string InitialFolderSeen;

// A file dialog that records the folder it was to open in, and is cancelled.
BOOL WINAPI RecordingDialog(LPOPENFILENAMEA record)
{
    InitialFolderSeen = record->lpstrInitialDir ? record->lpstrInitialDir : "<none>";
    return FALSE;
}

class FormMemoryTest : public vntest::ScratchWindowTest {
protected:
    void TearDown() override
    {
        OpenFileDialog = GetOpenFileNameA;
        SaveFileDialog = GetSaveFileNameA;
        ScratchWindowTest::TearDown();
    }

    // A stored value's type and bytes.
    std::vector<uint8_t> Stored(const wchar_t* name, DWORD* type) const
    {
        std::vector<uint8_t> bytes(256);
        DWORD size = static_cast<DWORD>(bytes.size());
        if (SHGetValueW(HKEY_CURRENT_USER, WideFromAcp(vntest::TestSettingsKey()).c_str(), name, type, bytes.data(),
                        &size) != ERROR_SUCCESS)
            size = 0;
        bytes.resize(size);
        return bytes;
    }

    void Store(const wchar_t* name, DWORD type, const void* data, DWORD size) const
    {
        SHSetValueW(HKEY_CURRENT_USER, WideFromAcp(vntest::TestSettingsKey()).c_str(), name, type, data, size);
    }

    HMENU RecentMenu() const { return GetSubMenu(GetSubMenu(GetMenu(window), 0), 3); }

    std::string RecentItem(int position) const
    {
        char text[512] = {0};
        GetMenuStringA(RecentMenu(), position, text, sizeof text, MF_BYPOSITION);
        return text;
    }

    // The form as a new user finds it.
    void ExpectFirstStartState()
    {
        EXPECT_EQ(vntest::WindowText(GridSizeField), "4");
        EXPECT_EQ(GridSize, 4);
        EXPECT_EQ(IsDlgButtonChecked(window, IdShuffle), (UINT)BST_UNCHECKED);
        EXPECT_EQ(vntest::WindowText(WinUrlEdit), "http://");
        for (HWND field : {CompanyNameEdit, WebSiteEdit, TagLineEdit, PictureFileEdit, TargetPathEdit,
                           GetDlgItem(window, IdSearchPhrase)})
            EXPECT_EQ(vntest::WindowText(field), "") << GetDlgCtrlID(field);
        EXPECT_EQ(vntest::WindowText(StatusText), "Idle");
        EXPECT_EQ(PreviewBitmap, (HBITMAP)NULL);
        LRESULT service = SendDlgItemMessageA(window, IdSearchService, CB_GETCURSEL, 0, 0);
        EXPECT_TRUE(service >= 0 && service < 3) << service;
    }
};

TEST_F(FormMemoryTest, ValuesTypedForACampaignComeBackAtTheNextStart)
{
    ExpectFirstStartState();
    const std::wstring company = L"Caf\x00E9 \x65E5\x672C Ltd";
    SetWindowTextA(GridSizeField, "7");
    SendMessageA(ShuffleCheckBox, BM_SETCHECK, BST_CHECKED, 0);
    SetWindowTextA(WinUrlEdit, "https://acme.example/won");
    SetWindowTextW(CompanyNameEdit, company.c_str());
    SetWindowTextA(WebSiteEdit, "acme.example");
    SetWindowTextA(TagLineEdit, "Slide & win");
    SendDlgItemMessageA(window, IdSearchService, CB_SETCURSEL, 1, 0);
    // What is not kept: the picture, the target, the phrase.
    SetWindowTextA(TargetPathEdit, "C:\\out\\x.exe");
    SetDlgItemTextA(window, IdSearchPhrase, "lake");
    Restart();

    EXPECT_EQ(vntest::WindowText(GridSizeField), "7");
    EXPECT_EQ(GridSize, 7);
    EXPECT_EQ(IsDlgButtonChecked(window, IdShuffle), (UINT)BST_CHECKED);
    EXPECT_EQ(vntest::WindowText(WinUrlEdit), "https://acme.example/won");
    wchar_t shown[64] = {0};
    GetWindowTextW(CompanyNameEdit, shown, 64);
    EXPECT_TRUE(company == shown);
    EXPECT_EQ(vntest::WindowText(WebSiteEdit), "acme.example");
    EXPECT_EQ(vntest::WindowText(TagLineEdit), "Slide & win");
    EXPECT_EQ(SendDlgItemMessageA(window, IdSearchService, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(vntest::WindowText(TargetPathEdit), "");
    EXPECT_EQ(vntest::WindowText(GetDlgItem(window, IdSearchPhrase)), "");

    // Stored as UTF-16 texts (whatever the code page), numbers as numbers.
    DWORD type = 0;
    std::vector<uint8_t> stored = Stored(L"Company Name", &type);
    EXPECT_EQ(type, (DWORD)REG_SZ);
    const uint8_t* text = reinterpret_cast<const uint8_t*>(company.c_str());
    EXPECT_TRUE(stored == std::vector<uint8_t>(text, text + (company.size() + 1) * sizeof(wchar_t)));
    EXPECT_TRUE(Stored(L"Shuffle", &type) == std::vector<uint8_t>({1, 0, 0, 0}));
    EXPECT_EQ(type, (DWORD)REG_DWORD);

    // Kept too when the session ends, which destroys no window.
    SetWindowTextA(WebSiteEdit, "shop");
    SendMessageA(window, WM_ENDSESSION, TRUE, 0);
    EXPECT_TRUE(Stored(L"Web Site", &type) == std::vector<uint8_t>({'s', 0, 'h', 0, 'o', 0, 'p', 0, 0, 0}));

    // File > "New" (Ctrl+N) brings back the first-start state, which the
    // next start then keeps; the recent pictures are no part of the form.
    std::string picture = folder + "p.bmp";
    ASSERT_TRUE(vntest::WriteBmp24(picture, 8, 8, [](int, int) { return RGB(1, 2, 3); }));
    UsePicture(picture);
    SetWindowTextA(StatusText, "Done.");
    SetFocus(TagLineEdit);
    EXPECT_TRUE(vntest::PressKey('N', true));
    ExpectFirstStartState();
    EXPECT_EQ(RecentPictures().size(), 1u);
    Restart();
    ExpectFirstStartState();
}

TEST_F(FormMemoryTest, RecentPicturesMostRecentFirstWithTheirNumbersAcrossStarts)
{
    std::vector<std::string> paths;
    for (int i = 0; i < 10; ++i) {
        // One name holds "&", which the menu shows as it is.
        paths.push_back(folder + (i == 9 ? "sea & sky.bmp" : "picture " + std::to_string(i) + ".bmp"));
        ASSERT_TRUE(vntest::WriteBmp24(paths.back(), 4 + i, 4, [](int, int) { return RGB(9, 9, 9); }));
        UsePicture(paths.back());
    }
    // The last eight, most recent first.
    ASSERT_EQ(RecentPictures().size(), 8u);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(RecentPictures()[i], paths[9 - i]) << i;
    ASSERT_EQ(GetMenuItemCount(RecentMenu()), 8);
    EXPECT_EQ(RecentItem(0), "&1 " + folder + "sea && sky.bmp");
    EXPECT_EQ(RecentItem(7), "&8 " + paths[2]);
    EXPECT_EQ(GetMenuState(GetSubMenu(GetMenu(window), 0), 3, MF_BYPOSITION) & MF_GRAYED, 0u);

    // Choosing one takes it and puts it first; the same picture is listed once.
    SendMessageA(window, WM_COMMAND, IdMenuRecentFirst + 3, 0);
    EXPECT_EQ(vntest::WindowText(PictureFileEdit), paths[6]);
    EXPECT_EQ(PictureWidth, 10);
    EXPECT_EQ(RecentPictures()[0], paths[6]);
    EXPECT_EQ(RecentPictures()[1], paths[9]);
    EXPECT_EQ(RecentPictures().size(), 8u);

    // Kept across a start, in the same order.
    const std::vector<std::string> before = RecentPictures();
    Restart();
    EXPECT_TRUE(RecentPictures() == before);
    EXPECT_EQ(GetMenuItemCount(RecentMenu()), 8);

    // A picture that is gone leaves the list, and says so.
    DeleteFileA(paths[9].c_str());
    SendMessageA(window, WM_COMMAND, IdMenuRecentFirst + 1, 0);
    EXPECT_EQ(vntest::WindowText(StatusText), "Error - could not open picture file.");
    EXPECT_EQ(vntest::WindowText(PictureFileEdit), "");
    EXPECT_EQ(RecentPictures().size(), 7u);
    EXPECT_EQ(GetMenuItemCount(RecentMenu()), 7);
    EXPECT_EQ(RecentItem(1), "&2 " + paths[8]);
    Restart();
    EXPECT_EQ(RecentPictures().size(), 7u);
}

TEST_F(FormMemoryTest, TheDialogsOpenInTheFoldersLastUsed)
{
    OpenFileDialog = RecordingDialog;
    SaveFileDialog = RecordingDialog;
    std::string pictures = folder + "pictures", targets = folder + "targets";
    CreateDirectoryA(pictures.c_str(), NULL);
    CreateDirectoryA(targets.c_str(), NULL);
    std::string picture = pictures + "\\cat.bmp";
    ASSERT_TRUE(vntest::WriteBmp24(picture, 8, 8, [](int, int) { return RGB(1, 2, 3); }));

    // A new user: no folder of its own (File > "Open Picture...", Ctrl+O),
    // and the target beside the picture.
    EXPECT_TRUE(vntest::PressKey('O', true));
    EXPECT_EQ(InitialFolderSeen, "<none>");
    UsePicture(picture);
    SendMessageA(window, WM_COMMAND, IdPictureBrowse, 0);
    EXPECT_EQ(InitialFolderSeen, pictures);
    SendMessageA(window, WM_COMMAND, IdTargetBrowse, 0);
    EXPECT_EQ(InitialFolderSeen, pictures);

    // A target written elsewhere: the target dialog opens there next, at
    // the next start too.
    SetCurrentDirectoryA(VN_WIN_BIN_DIR);
    SetWindowTextA(TargetPathEdit, (targets + "\\cat.exe").c_str());
    SendMessageA(window, WM_COMMAND, IdCreateTarget, 0);
    ASSERT_EQ(vntest::WindowText(StatusText), "Done.\r\n" + targets + "\\cat.exe");
    SetWindowTextA(TargetPathEdit, "");
    SendMessageA(window, WM_COMMAND, IdTargetBrowse, 0);
    EXPECT_EQ(InitialFolderSeen, targets);
    Restart();
    SendMessageA(window, WM_COMMAND, IdTargetBrowse, 0);
    EXPECT_EQ(InitialFolderSeen, targets);
    SendMessageA(window, WM_COMMAND, IdMenuOpenPicture, 0);
    EXPECT_EQ(InitialFolderSeen, pictures);
}

TEST_F(FormMemoryTest, StoredValuesThatAreNotTheBuildersAreLeftOut)
{
    const std::wstring huge(100000, L'x'), longer(3000, L'y');
    const DWORD five = 5, three = 3;
    const struct {
        const wchar_t* name;
        DWORD type;
        const void* data;
        DWORD size;
    } stored[] = {
        {L"Company Name", REG_SZ, huge.c_str(), static_cast<DWORD>((huge.size() + 1) * sizeof(wchar_t))},
        {L"Web Site", REG_DWORD, &five, sizeof five},
        {L"Grid Size", REG_SZ, L"4x", 6},
        {L"Search Service", REG_DWORD, &three, sizeof three},
        {L"Shuffle", REG_SZ, L"1", 4},
        // A text without its terminator, and one of odd length, are read whole.
        {L"Tag Line", REG_SZ, L"Win!", 8},
        {L"Win Address", REG_SZ, L"http://a.example", 33},
        {L"Recent Picture 1", REG_BINARY, "C:\\x", 5},
    };
    Restart([&] {
        for (const auto& value : stored)
            Store(value.name, value.type, value.data, value.size);
    });
    EXPECT_EQ(vntest::WindowText(CompanyNameEdit), "");
    EXPECT_EQ(vntest::WindowText(WebSiteEdit), "");
    EXPECT_EQ(vntest::WindowText(GridSizeField), "4");
    EXPECT_EQ(IsDlgButtonChecked(window, IdShuffle), (UINT)BST_UNCHECKED);
    LRESULT service = SendDlgItemMessageA(window, IdSearchService, CB_GETCURSEL, 0, 0);
    EXPECT_TRUE(service >= 0 && service < 3) << service;
    EXPECT_EQ(vntest::WindowText(TagLineEdit), "Win!");
    EXPECT_EQ(vntest::WindowText(WinUrlEdit), "http://a.example");
    EXPECT_TRUE(RecentPictures().empty());

    // A long text within the reading bound is cut to what the field keeps.
    Restart([&] { Store(L"Company Name", REG_SZ, longer.c_str(), static_cast<DWORD>((longer.size() + 1) * 2)); });
    EXPECT_EQ(vntest::WindowText(CompanyNameEdit), std::string(254, 'y'));
}

}  // namespace

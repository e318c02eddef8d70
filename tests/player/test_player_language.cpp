// The player in the user's display language, as Windows' resource loader
// picks it: run by ctest under LANG=de_DE.UTF-8, ja_JP.UTF-8 and sv_SE.UTF-8
// (a language the catalogue lacks: English), with VN_EXPECT_LANGUAGE the
// catalogue's tag that must be shown. Menus, the status bar, the title, a
// message and the About box are compared with the catalogue's data, and
// player-<tag>.png is saved for de and ja.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>

#include "player_ids.h"
#include "player_window_test.h"
#include "vn_catalogue.h"
#include "vn_text.h"

#include <commctrl.h>

namespace {

using playerwin::BmpFile;
using playerwin::MessageBoxAnswer;

std::string Utf8(const wchar_t* wide)
{
    char text[1024] = {0};
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, NULL, NULL);
    return text;
}

class PlayerLanguage : public playerwin::PlayerWindowTest {
protected:
    void SetUp() override
    {
        const char* expected = std::getenv("VN_EXPECT_LANGUAGE");
        tag = expected ? expected : "en";
        language = VnCatalogueFindLanguage(VnProgramCatalogue, tag.c_str());
        ASSERT_TRUE(language != nullptr) << tag;
    }

    // The catalogue's text in the expected language.
    std::string Catalogue(const char* msgid, int form = 0)
    {
        const char* text = VnCatalogueText(VnProgramCatalogue, tag.c_str(), msgid, form);
        EXPECT_TRUE(text != nullptr) << msgid;
        return text ? text : "";
    }

    // The form of a text with plural forms for n, by the language's rule.
    std::string CataloguePlural(const char* msgid, unsigned long n)
    {
        return Catalogue(msgid, VnPluralForm(language->pluralRule, n));
    }

    std::string StatusBarText()
    {
        ShowStatusNow();
        wchar_t wide[512] = {0};
        SendMessageW(StatusText, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(wide));
        return Utf8(wide);
    }

    std::string MenuText(HMENU menu, UINT item, UINT flags)
    {
        wchar_t wide[256] = {0};
        GetMenuStringW(menu, item, wide, 256, flags);
        return Utf8(wide);
    }

    std::string tag;
    const VnCatalogueLanguage* language = nullptr;
};

TEST_F(PlayerLanguage, TheResourceLoaderPicksTheUsersLanguageFromLang)
{
    // String 1 of each language's table is its tag: what the loader picked.
    EXPECT_EQ(tag, VnSystemText(1));
    const LANGID ui = GetUserDefaultUILanguage();
    if (tag != "en") {
        EXPECT_EQ(PRIMARYLANGID(language->langId), PRIMARYLANGID(ui)) << std::hex << ui;
    }
    EXPECT_EQ(language->pluralRule, VnSystemPluralRule());
}

TEST_F(PlayerLanguage, MenusStatusTitleMessagesAndAboutComeFromTheCatalogue)
{
    Open(BmpFile(160, 120, [](int x, int y) { return RGB(x, y, 200); }), 4);
    HMENU menu = GetMenu(window);
    EXPECT_EQ(Catalogue("&Game"), MenuText(menu, 0, MF_BYPOSITION));
    EXPECT_EQ(Catalogue("&Help"), MenuText(menu, 1, MF_BYPOSITION));
    const struct {
        int id;
        const char* msgid;
    } items[] = {{IdGameShuffle, "&Shuffle\tF2"},    {IdGameUndo, "&Undo\tCtrl+Z"},
                 {IdGameHint, "&Hint\tH"},           {IdGameSolve, "S&olve\tF9"},
                 {IdGameNumbers, "Show &Numbers\tN"}, {IdGameShowPicture, "Show &Picture\tP"},
                 {IdGameBestResults, "&Best Results"}, {IdGameExit, "E&xit\tAlt+F4"},
                 {IdHelpAbout, "&About\tF1"}};
    for (const auto& item : items)
        EXPECT_EQ(Catalogue(item.msgid), MenuText(menu, item.id, MF_BYCOMMAND)) << item.msgid;

    const std::string title = Catalogue("Vornix Puzzle");
    EXPECT_EQ(Catalogue("Press F2 to shuffle"), StatusBarText());
    wchar_t caption[256] = {0};
    GetWindowTextW(window, caption, 256);
    EXPECT_EQ(title, Utf8(caption));

    {
        MessageBoxAnswer answer(IDNO);
        Key(VK_RIGHT);
        Key(VK_DOWN);
        EXPECT_EQ(VnFormat(Catalogue("Moves: %d    Time: %s"), {2, "0:00"}), StatusBarText());
        ShowStatusNow();
        GetWindowTextW(window, caption, 256);
        EXPECT_EQ(title + " - " + VnFormat(CataloguePlural("%d of %d tile in place", 15), {13, 15}),
                  Utf8(caption));
        Key(VK_UP);
        Key(VK_LEFT);
        ASSERT_TRUE(Finished);
        ASSERT_EQ(1u, answer.Texts().size());
        // Up to the time, which may have turned a second.
        auto start = [](const std::string& pattern, int moves) {
            return VnFormat(pattern.substr(0, pattern.find("%s")), {moves});
        };
        const std::string message = answer.Texts()[0];
        EXPECT_EQ(0u, message.find(start(CataloguePlural("You solved the puzzle in %d move and %s.", 4), 4)))
            << message;
        EXPECT_NE(std::string::npos, message.find(Catalogue("Play again?"))) << message;
        EXPECT_EQ(0u, StatusBarText().find(start(CataloguePlural("Solved in %d move, %s", 4), 4)))
            << StatusBarText();
    }

    // The About box: its caption and button.
    std::string aboutCaption, okText;
    std::thread reader([&] {
        HWND about = vntest::WaitForTopWindow("#32770", NULL, GetCurrentProcessId(), 30000);
        if (!about)
            return;
        wchar_t text[256] = {0};
        GetWindowTextW(about, text, 256);
        aboutCaption = Utf8(text);
        GetDlgItemTextW(about, IDOK, text, 256);
        okText = Utf8(text);
        PostMessageA(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    Command(IdHelpAbout);
    reader.join();
    EXPECT_EQ(Catalogue("About"), aboutCaption);
    EXPECT_EQ(Catalogue("OK"), okText);

    if (tag != "en") {
        NewGame(true);
        Key(VK_RIGHT);
        Command(IdGameNumbers);
        EXPECT_TRUE(SaveShot(("player-" + tag + ".bmp").c_str()));
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, ("Software\\Vornix SDK\\Puzzles\\" + PuzzleKey).c_str());
}

}  // namespace

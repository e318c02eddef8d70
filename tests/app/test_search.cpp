// The web image search opens exactly the expected address, seen through a
// stand-in browser registered for http and https in this test's Wine prefix.
// A default build opens the services' own search pages.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "builder_window.h"
#include "selection_test_util.h"
#include "control_text.h"
#include "search_address.h"
#include "url_recorder.h"

namespace {

// The address each service's own search page takes for an encoded phrase
// (spaces already as the site writes them).
std::string Expected(int service, const std::string& phrase)
{
    switch (service) {
    case 0: return "https://unsplash.com/s/photos/" + phrase;
    case 1: return "https://pixabay.com/images/search/" + phrase + "/";
    default:
        return "https://commons.wikimedia.org/w/index.php?search=" + phrase + "&title=Special:MediaSearch&type=image";
    }
}

class SearchTest : public vntest::ScratchWindowTest {
protected:
    void SetUp() override
    {
        ScratchWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        if (ConfiguredSearchRedirect())
            GTEST_SKIP() << "this build opens the partner redirect; its layout is tested natively";
        log = folder + "opened.log";
        ASSERT_TRUE(vntest::InstallUrlRecorder(log));
    }

    // Types the phrase, selects the service (-1: none), presses Search and
    // returns the address the browser was started with.
    std::string Search(const std::string& phrase, int service)
    {
        SetDlgItemTextA(window, IdSearchPhrase, phrase.c_str());
        return Press(service);
    }

    // Selects the service (-1: none), presses Search and returns the address
    // opened for the phrase already in the field.
    std::string Press(int service)
    {
        SendDlgItemMessageA(window, IdSearchService, CB_SETCURSEL, (WPARAM)service, 0);
        size_t before = vntest::RecordedUrls(log).size();
        SendMessageA(window, WM_COMMAND, IdSearch, 0);
        std::vector<std::string> urls = vntest::WaitForRecordedUrls(log, before + 1);
        return urls.size() == before + 1 ? urls.back() : "<nothing opened>";
    }

    std::string log;
};

TEST_F(SearchTest, EachServiceWithAnEmptyPhrase)
{
    for (int service = 0; service < 3; ++service)
        EXPECT_EQ(Search("", service), Expected(service, "")) << service;
}

TEST_F(SearchTest, SpacesAreWrittenAsEachSiteExpects)
{
    EXPECT_EQ(Search("red car", 0), Expected(0, "red-car"));
    EXPECT_EQ(Search(" old  mill ", 1), Expected(1, "%20old%20%20mill%20"));
    EXPECT_EQ(Search("sea shore", 2), Expected(2, "sea+shore"));
}

TEST_F(SearchTest, PhraseCannotChangeTheAddress)
{
    EXPECT_EQ(Search("salt & pepper", 0), Expected(0, "salt-%26-pepper"));
    EXPECT_EQ(Search("#1 pick/2", 1), Expected(1, "%231%20pick%2F2"));
    EXPECT_EQ(Search("100% a=b?c+d", 2), Expected(2, "100%25+a%3Db%3Fc%2Bd"));
}

TEST_F(SearchTest, NonAsciiPhrasesGoOutAsPercentEncodedUtf8)
{
    // Typed as the user sees them; whatever the process's code page, the
    // sites receive the characters' UTF-8 bytes.
    SetWindowTextW(GetDlgItem(window, IdSearchPhrase), L"caf\x00E9");
    EXPECT_EQ(Press(2), Expected(2, "caf%C3%A9"));
    if (GetACP() == CP_UTF8 || GetACP() == 932) {
        // Japanese text survives only code pages that hold it.
        SetWindowTextW(GetDlgItem(window, IdSearchPhrase), L"\x65E5\x672C");
        EXPECT_EQ(Press(1), Expected(1, "%E6%97%A5%E6%9C%AC"));
    }
    // Bytes of the process's code page are converted, not passed on raw.
    EXPECT_EQ(TextToUtf8("caf\xE9", 1252), "caf\xC3\xA9");
    EXPECT_EQ(TextToUtf8("caf\xC3\xA9", CP_UTF8), "caf\xC3\xA9");
}

// The 1023-character bound of the phrase is checked natively
// (EncodeSearchPhrase): Wine's ShellExecute stops answering when the handler's
// command line passes 1024 characters, which a phrase of that length does.

TEST_F(SearchTest, EnterInThePhraseFieldSearchesAndNoBrowserThatStartsIsReported)
{
    ASSERT_TRUE(vntest::SetUrlOpenCommand("\"C:\\no such folder\\browser.exe\" \"%1\""));
    SetDlgItemTextA(window, IdSearchPhrase, "harbour");
    SendDlgItemMessageA(window, IdSearchService, CB_SETCURSEL, 1, 0);
    // Enter presses "Search...", not "GO !" (which would say why it
    // cannot create the target).
    SetFocus(GetDlgItem(window, IdSearchPhrase));
    EXPECT_TRUE(vntest::PressKey(VK_RETURN));
    EXPECT_EQ(vntest::WindowText(StatusText), "Error - could not open the web browser.");
    EXPECT_TRUE(vntest::RecordedUrls(log).empty());
}

TEST_F(SearchTest, WithoutSelectionOneOfTheThreeIsChosen)
{
    std::set<std::string> allowed = {Expected(0, "sky"), Expected(1, "sky"), Expected(2, "sky")};
    std::set<std::string> seen;
    srand(20240601);
    for (int i = 0; i < 9; ++i) {
        std::string address = Search("sky", -1);
        EXPECT_EQ(SendDlgItemMessageA(window, IdSearchService, CB_GETCURSEL, 0, 0), CB_ERR);
        EXPECT_EQ(allowed.count(address), 1u) << address;
        seen.insert(address);
    }
    // Not always the same service (the seed above gives more than one).
    EXPECT_GT(seen.size(), 1u);
}

}  // namespace

// A web page made by the builder's "GO !" with a .html target, for the
// browser scenario: the builder's real window in this process, its form
// filled through the controls' handles and GO pressed, with no player stub
// anywhere (a web page needs none). scripts/test-web runs it under Wine and
// the browsers then play the page.
//
//   web_builder_page.exe PICTURE TARGET GRID SHUFFLE(0|1) WIN-URL COMPANY SITE TAGLINE
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app.h"
#include "selection_test_util.h"
#include "test_files.h"
#include "win_test_util.h"

namespace {

std::vector<std::string> Arguments;

class BuilderWebPage : public vntest::ScratchWindowTest {
protected:
    void SetUp() override
    {
        ScratchWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        char here[MAX_PATH];
        GetCurrentDirectoryA(sizeof here, here);
        previousFolder = here;
        ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
        lstrcpyA(ProgramFolder, folder.c_str());
    }

    void TearDown() override
    {
        SetCurrentDirectoryA(previousFolder.c_str());
        ScratchWindowTest::TearDown();
    }

    std::string previousFolder;
};

TEST_F(BuilderWebPage, GoWithAnHtmlTargetWritesOnePageThatHoldsEverything)
{
    ASSERT_EQ(8u, Arguments.size()) << "PICTURE TARGET GRID SHUFFLE WIN-URL COMPANY SITE TAGLINE";
    const std::string& picture = Arguments[0];
    const std::string& target = Arguments[1];
    DeleteFileA(target.c_str());
    SetWindowTextA(PictureFileEdit, picture.c_str());
    SetWindowTextA(GridSizeField, Arguments[2].c_str());
    SendMessageA(ShuffleCheckBox, BM_SETCHECK, Arguments[3] == "1" ? BST_CHECKED : BST_UNCHECKED, 0);
    SetWindowTextA(WinUrlEdit, Arguments[4].c_str());
    SetWindowTextA(CompanyNameEdit, Arguments[5].c_str());
    SetWindowTextA(WebSiteEdit, Arguments[6].c_str());
    SetWindowTextA(TagLineEdit, Arguments[7].c_str());
    SetWindowTextA(TargetPathEdit, target.c_str());
    SendMessageA(window, WM_COMMAND, IdCreateTarget, 0);
    EXPECT_EQ("Done.\r\n" + target, vntest::WindowText(StatusText));  // the path written on the second line

    // One file: the page, its picture inside, and no stub beside it.
    const std::vector<unsigned char> page = vntest::ReadFileBytes(target);
    const std::vector<unsigned char> pictureBytes = vntest::ReadFileBytes(picture);
    ASSERT_FALSE(page.empty());
    ASSERT_FALSE(pictureBytes.empty());
    const std::string text(page.begin(), page.end());
    EXPECT_EQ(0u, text.find("<!DOCTYPE html>"));
    EXPECT_EQ(std::string::npos, text.find("@VORNIX_"));
    EXPECT_LE(page.size(), pictureBytes.size() * 4 / 3 + 4 + 64 * 1024);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder + "\\vornix_distrib.exe").c_str()));
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    Arguments.assign(argv + 1, argv + argc);
    return RUN_ALL_TESTS();
}

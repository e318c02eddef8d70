// File > "Paste Picture" and Ctrl+V with the real clipboard: a copied file,
// the "PNG" image a browser copies, device-independent bitmaps, text while a
// field has the focus, and a clipboard without a picture.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builder_window.h"
#include "control_text.h"
#include "picture_data_object.h"
#include "selection_test_util.h"

namespace {

const COLORREF Leaf = RGB(40, 150, 60);
const COLORREF Bark = RGB(120, 80, 40);

class PastePictureTest : public vntest::ScratchWindowTest {
protected:
    void SetUp() override
    {
        ScratchWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        pictures = vntest::PrivateLocalAppData(folder);
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
    }

    void TearDown() override
    {
        if (OpenClipboard(window)) {
            EmptyClipboard();
            CloseClipboard();
        }
        SetEnvironmentVariableW(L"LOCALAPPDATA", NULL);
        SetControl(false);
        ScratchWindowTest::TearDown();
    }

    // Puts the formats on the clipboard, replacing what was there.
    void Copy(const std::vector<std::pair<UINT, std::vector<uint8_t>>>& formats)
    {
        ASSERT_TRUE(OpenClipboard(window));
        EmptyClipboard();
        for (const auto& format : formats)
            EXPECT_NE(SetClipboardData(format.first, vntest::PictureDataObject::GlobalBytes(format.second)),
                      (HANDLE)NULL);
        CloseClipboard();
    }

    static UINT PngFormat() { return RegisterClipboardFormatA("PNG"); }

    static void SetControl(bool down)
    {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }

    // Ctrl+V as the message loop takes it off the queue for the focus.
    static bool PressControlV()
    {
        SetControl(true);
        MSG msg = {};
        msg.hwnd = GetFocus();
        msg.message = WM_KEYDOWN;
        msg.wParam = 'V';
        msg.lParam = 1;
        bool handled = HandleFormKeys(&msg);
        SetControl(false);
        return handled;
    }

    void PasteFromMenu() { SendMessageA(window, WM_COMMAND, IdMenuPastePicture, 0); }

    // The files in the pictures folder whose names start "Pasted picture ".
    std::vector<std::string> PastedFiles() const { return vntest::FilesMatching(pictures + "Pasted picture *"); }

    std::vector<uint8_t> PngBytes(int width, int height)
    {
        std::string png = folder + "copied.png";
        EXPECT_TRUE(vntest::WritePngRgb(png, width, height, [](int, int y) { return y % 6 < 3 ? Leaf : Bark; }));
        std::vector<uint8_t> bytes = vntest::ReadFileBytes(png);
        DeleteFileA(png.c_str());
        return bytes;
    }

    std::string pictures;
};

TEST_F(PastePictureTest, ACopiedFileAndACopiedPngImage)
{
    // A file copied in Explorer: taken where it is.
    std::string tree = folder + "tree.bmp";
    ASSERT_TRUE(vntest::WriteBmp24(tree, 30, 60, [](int, int y) { return y < 40 ? Leaf : Bark; }));
    Copy({{CF_HDROP, vntest::PictureDataObject::DropFiles({WideFromAcp(tree)})}});
    PasteFromMenu();
    EXPECT_EQ(vntest::WindowText(PictureFileEdit), tree);
    EXPECT_EQ(PictureWidth, 30);
    EXPECT_EQ(RecentPictures()[0], tree);
    EXPECT_TRUE(PastedFiles().empty());

    // An image copied in a browser: "PNG" (with a bitmap beside it, which
    // is not taken), written as it is to "Pasted picture <date> <time>.png".
    const std::vector<uint8_t> png = PngBytes(24, 12);
    Copy({{PngFormat(), png}, {CF_DIB, std::vector<uint8_t>(60, 0)}});
    SYSTEMTIME before;
    GetLocalTime(&before);
    EXPECT_TRUE(PressControlV());  // with the focus on no text field
    std::vector<std::string> pasted = PastedFiles();
    ASSERT_EQ(pasted.size(), 1u);
    // "Pasted picture YYYY-MM-DD HHMMSS.png"
    const std::string& name = pasted[0];
    ASSERT_EQ(name.size(), std::string("Pasted picture 2024-06-01 120000.png").size()) << name;
    char year[8];
    snprintf(year, sizeof year, "%04u-", before.wYear);
    EXPECT_EQ(name.substr(15, 5), year);
    EXPECT_EQ(name[22], '-');
    EXPECT_EQ(name[25], ' ');
    EXPECT_EQ(name.substr(32), ".png");
    EXPECT_TRUE(vntest::ReadFileBytes(pictures + name) == png);
    EXPECT_EQ(vntest::WindowText(PictureFileEdit), pictures + name);
    EXPECT_EQ(PictureWidth, 24);
    EXPECT_EQ(PictureHeight, 12);
    EXPECT_EQ(RecentPictures()[0], pictures + name);
    EXPECT_EQ(RecentPictures()[1], tree);
}

TEST_F(PastePictureTest, ControlVInAFieldPastesTextAndWithoutTextTakesThePicture)
{
    Copy({{CF_TEXT, std::vector<uint8_t>({'A', 'c', 'm', 'e', 0})}});
    SetFocus(CompanyNameEdit);
    EXPECT_TRUE(PressControlV());
    EXPECT_EQ(vntest::WindowText(CompanyNameEdit), "Acme");
    EXPECT_TRUE(vntest::WindowText(PictureFileEdit).empty());
    EXPECT_TRUE(PastedFiles().empty());

    // No text on the clipboard: the same key in the same field takes the picture.
    Copy({{PngFormat(), PngBytes(16, 16)}});
    SetFocus(CompanyNameEdit);
    EXPECT_TRUE(PressControlV());
    EXPECT_EQ(vntest::WindowText(CompanyNameEdit), "Acme");
    EXPECT_EQ(PastedFiles().size(), 1u);
    EXPECT_EQ(PictureWidth, 16);

    // From the menu, the picture is taken even with text beside it.
    Copy({{CF_TEXT, std::vector<uint8_t>({'x', 0})}, {PngFormat(), PngBytes(20, 10)}});
    SetFocus(TagLineEdit);
    PasteFromMenu();
    EXPECT_TRUE(vntest::WindowText(TagLineEdit).empty());
    EXPECT_EQ(PictureWidth, 20);
}

TEST_F(PastePictureTest, AClipboardWithoutAPictureSaysSo)
{
    std::string tree = folder + "tree.bmp";
    ASSERT_TRUE(vntest::WriteBmp24(tree, 30, 60, [](int, int) { return Leaf; }));
    UsePicture(tree);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        if (round == 0)
            Copy({});
        else if (round == 1)
            Copy({{CF_TEXT, std::vector<uint8_t>({'h', 'i', 0})}});
        else
            Copy({{PngFormat(), std::vector<uint8_t>(100, 0x42)}});  // no PNG inside
        SetWindowTextA(StatusText, "Idle");
        PasteFromMenu();
        EXPECT_EQ(vntest::WindowText(StatusText), round == 2 ? "Error - picture is not a supported image."
                                                             : "Error - the clipboard holds no picture.");
        EXPECT_EQ(vntest::WindowText(PictureFileEdit), tree);
        EXPECT_EQ(PictureWidth, 30);
    }
    // Nothing written for bytes that are no picture.
    EXPECT_TRUE(PastedFiles().empty());
}

}  // namespace

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
#include "vn_image.h"

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

// A device-independent bitmap as the clipboard holds one: a BITMAPV5HEADER
// (124 bytes) with 32-bit pixels and colour masks, top row first, or a
// BITMAPINFOHEADER (40 bytes) with 24-bit rows, bottom row first. Leaf above
// row 4, bark below.
std::vector<uint8_t> Dib(bool version5, int width, int height)
{
    const int headerSize = version5 ? 124 : 40, bits = version5 ? 32 : 24;
    const int stride = (width * bits / 8 + 3) / 4 * 4;
    std::vector<uint8_t> dib(headerSize + static_cast<size_t>(stride) * height, 0);
    BITMAPV5HEADER header = {};
    header.bV5Size = headerSize;
    header.bV5Width = width;
    header.bV5Height = version5 ? -height : height;
    header.bV5Planes = 1;
    header.bV5BitCount = static_cast<WORD>(bits);
    header.bV5Compression = version5 ? BI_BITFIELDS : BI_RGB;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;
    header.bV5CSType = 0x73524742;  // LCS_sRGB
    memcpy(dib.data(), &header, headerSize);
    for (int row = 0; row < height; ++row) {
        const int top = version5 ? row : height - 1 - row;  // the picture's row from the top
        const COLORREF c = top < 4 ? Leaf : Bark;
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &dib[headerSize + static_cast<size_t>(row) * stride + x * bits / 8];
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
            if (version5)
                p[3] = 0xFF;
        }
    }
    return dib;
}

TEST_F(PastePictureTest, BitmapsWithoutAFileAreSavedAsPng)
{
    for (bool version5 : {true, false}) {
        SCOPED_TRACE(version5 ? "CF_DIBV5" : "CF_DIB");
        Copy({{static_cast<UINT>(version5 ? CF_DIBV5 : CF_DIB), Dib(version5, 13, 9)}});
        PasteFromMenu();
        ASSERT_EQ(PictureWidth, 13) << vntest::WindowText(StatusText);
        EXPECT_EQ(PictureHeight, 9);
        const std::string path = vntest::WindowText(PictureFileEdit);
        ASSERT_EQ(path.substr(0, pictures.size()), pictures);
        EXPECT_EQ(path.substr(path.size() - 4), ".png");
        // A PNG file with the bitmap's pixels, the right way up.
        std::vector<uint8_t> png = vntest::ReadFileBytes(path);
        ASSERT_GT(png.size(), 8u);
        EXPECT_EQ(memcmp(png.data(), "\x89PNG\r\n\x1A\n", 8), 0);
        VnImage decoded(png.data(), static_cast<uint32_t>(png.size()), ImageTypeBmp);
        ASSERT_NE(decoded.dibBlock, nullptr);
        const RGBQUAD top = decoded.PixelColorAt(6, 8), bottom = decoded.PixelColorAt(6, 0);
        EXPECT_EQ(RGB(top.rgbRed, top.rgbGreen, top.rgbBlue), Leaf);
        EXPECT_EQ(RGB(bottom.rgbRed, bottom.rgbGreen, bottom.rgbBlue), Bark);
        DeleteFileA(path.c_str());
    }
    // A bitmap that does not decode is said to be no picture.
    std::vector<uint8_t> broken = Dib(false, 13, 9);
    memset(&broken[4], 0, 4);  // no width
    Copy({{CF_DIB, broken}});
    SetWindowTextA(StatusText, "Idle");
    PasteFromMenu();
    EXPECT_EQ(vntest::WindowText(StatusText), "Error - picture is not a supported image.");
    EXPECT_TRUE(PastedFiles().empty());
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

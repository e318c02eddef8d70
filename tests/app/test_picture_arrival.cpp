// Pictures that arrive without the file dialog. Dropped on the builder's
// window, handed to the window's own drop target in the test process: files
// as Explorer drops them, a virtual file as a web browser drops an image
// dragged out of a page, an address alone, data without a picture. Pasted
// from the real clipboard: a copied file, the "PNG" image a browser copies,
// CF_DIBV5 and CF_DIB bitmaps, text while a field has the focus, a clipboard
// without a picture. Leaves build/artifacts/builder-wide-picture (the
// builder after a 2:1 picture was dropped on it).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "builder_window.h"
#include "control_text.h"
#include "picture_data_object.h"
#include "selection_test_util.h"
#include "vn_image.h"

namespace {

typedef std::vector<uint8_t> Bytes;
typedef vntest::PictureDataObject Data;

const COLORREF Sky = RGB(70, 130, 220);
const COLORREF Sand = RGB(230, 200, 120);
const char NotAnImage[] = "Error - picture is not a supported image.";

class PictureArrivalTest : public vntest::ScratchWindowTest {
protected:
    void SetUp() override
    {
        ScratchWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        // Pictures without a file go under this test's own folder.
        pictures = vntest::PrivateLocalAppData(folder);
        wide = folder + "beach.bmp";
        ASSERT_TRUE(vntest::WriteBmp24(wide, 80, 40, [](int x, int y) {
            return (x - 60) * (x - 60) + (y - 10) * (y - 10) < 36 ? RGB(250, 220, 40) : y < 24 ? Sky : Sand;
        }));
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
        ScratchWindowTest::TearDown();
    }

    // Drags the data over the window and drops it; the effects each step
    // answered go to enterEffect and dropEffect.
    void Drop(Data& data)
    {
        ASSERT_NE(BuilderDropTarget, nullptr);
        POINTL point = {100, 100};
        enterEffect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
        ASSERT_EQ(BuilderDropTarget->DragEnter(&data, MK_LBUTTON, point, &enterEffect), S_OK);
        DWORD over = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
        ASSERT_EQ(BuilderDropTarget->DragOver(MK_LBUTTON, point, &over), S_OK);
        EXPECT_EQ(over, enterEffect);
        dropEffect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
        ASSERT_EQ(BuilderDropTarget->Drop(&data, 0, point, &dropEffect), S_OK);
        // Nothing of the source is kept once the drop is over.
        EXPECT_EQ(data.references, 1);
    }

    // Puts the formats on the clipboard, replacing what was there.
    void Copy(const std::vector<std::pair<UINT, Bytes>>& formats)
    {
        ASSERT_TRUE(OpenClipboard(window));
        EmptyClipboard();
        for (const auto& format : formats)
            EXPECT_NE(SetClipboardData(format.first, Data::GlobalBytes(format.second)), (HANDLE)NULL);
        CloseClipboard();
    }

    // A PNG file's bytes: sky above row 4, sand below.
    Bytes PngBytes(int width, int height)
    {
        std::string png = folder + "made.png";
        EXPECT_TRUE(vntest::WritePngRgb(png, width, height, [](int, int y) { return y < 4 ? Sky : Sand; }));
        Bytes bytes = vntest::ReadFileBytes(png);
        DeleteFileA(png.c_str());
        return bytes;
    }

    std::string pictures, wide;
    DWORD enterEffect = 0, dropEffect = 0;
};

TEST_F(PictureArrivalTest, DropsOfFilesVirtualFilesAndAddresses)
{
    // The window is registered: a second registration is refused.
    EXPECT_EQ(RegisterDragDrop(window, BuilderDropTarget), DRAGDROP_E_ALREADYREGISTERED);
    const std::string other = folder + "other.bmp", notes = folder + "notes.png";
    ASSERT_TRUE(vntest::WriteBmp24(other, 10, 10, [](int, int) { return Sand; }));
    ASSERT_TRUE(vntest::WriteFileBytes(notes, "not a picture", 13));
    const Bytes sunset = PngBytes(48, 24), again = PngBytes(30, 30);
    const DWORD Copied = DROPEFFECT_COPY, None = DROPEFFECT_NONE;
    struct {
        Data data;
        DWORD enterEffect, dropEffect;
        std::string field;   // the File field afterwards
        int width;           // the picture's width afterwards
        const char* status;  // the status line afterwards
    } rows[] = {
        // Explorer's files: the first of several, taken as if chosen.
        {Data().AddFiles({WideFromAcp(wide), WideFromAcp(other)}), Copied, Copied, wide, 80, "Idle"},
        // A file that is no picture leaves the picture as it was.
        {Data().AddFiles({WideFromAcp(notes)}), Copied, None, wide, 80, NotAnImage},
        // Text, or an image without a file (which a paste takes), is no drop.
        {Data().Add(CF_TEXT, {'s', 'e', 'a', 0}).Add("PNG", sunset), None, None, wide, 80, "Idle"},
        {Data().AddAddress(L"https://example.com/photos/beach.jpg"), Copied, None, wide, 80,
         "Error - save the picture first, then drop the file."},
        // A browser's virtual file: written to the pictures folder under its
        // own name, a name already taken numbered, the first file kept.
        {Data().AddVirtualFile(L"sunset.png", sunset), Copied, Copied, pictures + "sunset.png", 48, "Idle"},
        {Data().AddVirtualFile(L"sunset.png", again), Copied, Copied, pictures + "sunset (2).png", 30, "Idle"},
        {Data().AddVirtualFile(L"sunset.png", again), Copied, Copied, pictures + "sunset (3).png", 30, "Idle"},
        // A name that tries to leave the folder or holds what names cannot:
        // its last part only, made a name.
        {Data().AddVirtualFile(L"..\\..\\a<b>:c\"d|e?f*.png", sunset), Copied, Copied,
         pictures + "a_b__c_d_e_f_.png", 48, "Idle"},
        {Data().AddVirtualFile(L"CON.png", sunset), Copied, Copied, pictures + "Dropped picture CON.png", 48, "Idle"},
        // Bytes that are no picture: refused, and no file left behind.
        {Data().AddVirtualFile(L"broken.jpg", Bytes(500, 0xFF)), Copied, None, pictures + "Dropped picture CON.png",
         48, NotAnImage},
        // The first picture again: listed once among the recent pictures.
        {Data().AddFiles({WideFromAcp(wide)}), Copied, Copied, wide, 80, "Idle"},
    };
    for (size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        SCOPED_TRACE("drop " + std::to_string(i));
        SetWindowTextA(StatusText, "Idle");
        Drop(rows[i].data);
        EXPECT_EQ(enterEffect, rows[i].enterEffect);
        EXPECT_EQ(dropEffect, rows[i].dropEffect);
        EXPECT_EQ(vntest::WindowText(PictureFileEdit), rows[i].field);
        EXPECT_NE(PreviewBitmap, (HBITMAP)NULL);
        EXPECT_EQ(PictureWidth, rows[i].width);
        EXPECT_EQ(vntest::WindowText(StatusText), rows[i].status);
    }
    std::vector<std::string> saved = vntest::FilesMatching(pictures + "*");
    std::sort(saved.begin(), saved.end());
    EXPECT_EQ(saved, std::vector<std::string>({"Dropped picture CON.png", "a_b__c_d_e_f_.png", "sunset (2).png",
                                               "sunset (3).png", "sunset.png"}));
    EXPECT_TRUE(vntest::ReadFileBytes(pictures + "sunset.png") == sunset);
    EXPECT_TRUE(vntest::ReadFileBytes(pictures + "sunset (2).png") == again);
    ASSERT_EQ(RecentPictures().size(), 6u);
    EXPECT_EQ(RecentPictures()[1], pictures + "Dropped picture CON.png");
    EXPECT_EQ(LastPictureFolder + "\\", folder);

    // A source that only allows moving or linking gets no copy.
    Data files;
    files.AddFiles({WideFromAcp(other)});
    POINTL point = {10, 10};
    DWORD effect = DROPEFFECT_LINK | DROPEFFECT_MOVE;
    EXPECT_EQ(BuilderDropTarget->DragEnter(&files, 0, point, &effect), S_OK);
    EXPECT_EQ(effect, (DWORD)DROPEFFECT_NONE);
    EXPECT_EQ(BuilderDropTarget->DragLeave(), S_OK);

    // "GO !" takes the dropped picture as it takes a chosen one; a bare
    // target goes beside it.
    SetCurrentDirectoryA(VN_WIN_BIN_DIR);
    SetWindowTextA(TargetPathEdit, "beach puzzle");
    SendMessageA(window, WM_COMMAND, IdCreateTarget, 0);
    EXPECT_EQ(vntest::WindowText(StatusText), "Done.\r\n" + folder + "beach puzzle.exe");

    // The builder after a 2:1 picture was dropped on it, with its grid.
    SetDlgItemTextA(window, IdSearchPhrase, "beach");
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    vntest::WaitUntil([] { return false; }, 300);
    std::string shot = vntest::ArtifactPath("builder-wide-picture.bmp");
    EXPECT_TRUE(vntest::SaveWindowShot(window, shot.c_str())) << shot;
}

// A device-independent bitmap as the clipboard holds one: a BITMAPV5HEADER
// (124 bytes) with 32-bit pixels and colour masks, top row first, or a
// BITMAPINFOHEADER (40 bytes) with 24-bit rows, bottom row first. Sky above
// row 4, sand below.
Bytes Dib(bool version5, int width, int height)
{
    const int headerSize = version5 ? 124 : 40, pixelBytes = version5 ? 4 : 3;
    const int stride = (width * pixelBytes + 3) / 4 * 4;
    Bytes dib(headerSize + static_cast<size_t>(stride) * height, 0xFF);
    BITMAPV5HEADER header = {};
    header.bV5Size = headerSize;
    header.bV5Width = width;
    header.bV5Height = version5 ? -height : height;
    header.bV5Planes = 1;
    header.bV5BitCount = static_cast<WORD>(8 * pixelBytes);
    header.bV5Compression = version5 ? BI_BITFIELDS : BI_RGB;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;
    header.bV5CSType = 0x73524742;  // LCS_sRGB
    memcpy(dib.data(), &header, headerSize);
    for (int row = 0; row < height; ++row) {
        const COLORREF c = (version5 ? row : height - 1 - row) < 4 ? Sky : Sand;
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &dib[headerSize + static_cast<size_t>(row) * stride + x * pixelBytes];
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    }
    return dib;
}

TEST_F(PictureArrivalTest, PastesOfAFileAnImageOrNoPicture)
{
    const UINT Png = RegisterClipboardFormatA("PNG");
    Bytes broken = Dib(false, 13, 9);
    memset(&broken[4], 0, 4);  // no width
    const struct {
        std::vector<std::pair<UINT, Bytes>> clipboard;
        bool saved;          // taken from a new "Pasted picture" PNG file
        int width;           // the picture's width afterwards
        const char* status;  // the status line afterwards
    } rows[] = {
        // A file copied in Explorer: taken where it is.
        {{{CF_HDROP, Data::DropFiles({WideFromAcp(wide)})}}, false, 80, "Idle"},
        // An image copied in a browser: "PNG" written as it is (the bitmap
        // beside it not taken); bitmaps without a file made PNG files.
        {{{Png, PngBytes(24, 12)}, {CF_DIB, Bytes(60, 0)}}, true, 24, "Idle"},
        {{{CF_DIBV5, Dib(true, 13, 9)}}, true, 13, "Idle"},
        {{{CF_DIB, Dib(false, 11, 9)}}, true, 11, "Idle"},
        // Nothing that is a picture: the picture shown stays, nothing written.
        {{{CF_DIB, broken}}, false, 11, NotAnImage},
        {{{Png, Bytes(100, 0x42)}}, false, 11, NotAnImage},
        {{}, false, 11, "Error - the clipboard holds no picture."},
        {{{CF_TEXT, {'h', 'i', 0}}}, false, 11, "Error - the clipboard holds no picture."},
    };
    std::string field;
    for (size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        SCOPED_TRACE("paste " + std::to_string(i));
        Copy(rows[i].clipboard);
        SetWindowTextA(StatusText, "Idle");
        EXPECT_TRUE(vntest::PressKey('V', true));  // with the focus on no text field
        EXPECT_EQ(vntest::WindowText(StatusText), rows[i].status);
        EXPECT_EQ(PictureWidth, rows[i].width);
        const std::vector<std::string> pasted = vntest::FilesMatching(pictures + "Pasted picture *");
        ASSERT_EQ(pasted.size(), rows[i].saved ? 1u : 0u);
        if (rows[i].saved) {
            field = pictures + pasted[0];
            std::string shape = pasted[0];
            for (char& c : shape)
                c = isdigit(static_cast<unsigned char>(c)) ? '9' : c;
            EXPECT_EQ(shape, "Pasted picture 9999-99-99 999999.png");
            // A PNG file with the picture's pixels, the right way up.
            const Bytes png = vntest::ReadFileBytes(field);
            EXPECT_TRUE(rows[i].clipboard[0].first != Png || png == rows[i].clipboard[0].second);
            ASSERT_EQ(memcmp(png.data(), "\x89PNG\r\n\x1A\n", 8), 0);
            VnImage decoded(png.data(), static_cast<uint32_t>(png.size()), ImageTypeBmp);
            ASSERT_NE(decoded.dibBlock, nullptr);
            const RGBQUAD top = decoded.PixelColorAt(6, decoded.header.biHeight - 1);
            const RGBQUAD bottom = decoded.PixelColorAt(6, 0);
            EXPECT_EQ(RGB(top.rgbRed, top.rgbGreen, top.rgbBlue), Sky);
            EXPECT_EQ(RGB(bottom.rgbRed, bottom.rgbGreen, bottom.rgbBlue), Sand);
            DeleteFileA(field.c_str());
        } else if (i == 0) {
            field = wide;
        }
        EXPECT_EQ(vntest::WindowText(PictureFileEdit), field);
        EXPECT_EQ(RecentPictures()[0], field);
    }
}

TEST_F(PictureArrivalTest, ControlVInAFieldPastesTextAndWithoutTextTakesThePicture)
{
    Copy({{CF_TEXT, {'A', 'c', 'm', 'e', 0}}});
    SetFocus(CompanyNameEdit);
    EXPECT_TRUE(vntest::PressKey('V', true));
    EXPECT_EQ(vntest::WindowText(CompanyNameEdit), "Acme");
    EXPECT_EQ(vntest::WindowText(PictureFileEdit), "");

    // No text on the clipboard: the same key in the same field takes the picture.
    const UINT Png = RegisterClipboardFormatA("PNG");
    Copy({{Png, PngBytes(16, 16)}});
    SetFocus(CompanyNameEdit);
    EXPECT_TRUE(vntest::PressKey('V', true));
    EXPECT_EQ(vntest::WindowText(CompanyNameEdit), "Acme");
    EXPECT_EQ(PictureWidth, 16);

    // From the menu, the picture is taken even with text beside it.
    Copy({{CF_TEXT, {'x', 0}}, {Png, PngBytes(20, 10)}});
    SetFocus(TagLineEdit);
    SendMessageA(window, WM_COMMAND, IdMenuPastePicture, 0);
    EXPECT_EQ(vntest::WindowText(TagLineEdit), "");
    EXPECT_EQ(PictureWidth, 20);
}

}  // namespace

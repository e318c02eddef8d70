// Pictures dropped on the builder's window, handed to the window's own drop
// target in the test process: files as Explorer drops them, a virtual file
// as a web browser drops an image dragged out of a page, an address alone,
// and data that holds no picture. Leaves build/artifacts/builder-wide-picture
// (the builder after a 2:1 picture was dropped on it).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builder_window.h"
#include "control_text.h"
#include "picture_data_object.h"
#include "selection_test_util.h"

namespace {

const COLORREF Sky = RGB(70, 130, 220);
const COLORREF Sand = RGB(230, 200, 120);
const COLORREF Sun = RGB(250, 220, 40);

class PictureDropTest : public vntest::ScratchWindowTest {
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
            if ((x - 60) * (x - 60) + (y - 10) * (y - 10) < 36)
                return Sun;
            return y < 24 ? Sky : Sand;
        }));
    }

    void TearDown() override
    {
        SetEnvironmentVariableW(L"LOCALAPPDATA", NULL);
        ScratchWindowTest::TearDown();
    }

    // Drags the data over the window and drops it; the effects each step
    // answered go to enterEffect and dropEffect.
    void Drop(vntest::PictureDataObject& data)
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

    std::vector<uint8_t> PngBytes(int width, int height)
    {
        std::string png = folder + "made.png";
        EXPECT_TRUE(vntest::WritePngRgb(png, width, height, [](int x, int) { return x % 8 < 4 ? Sky : Sand; }));
        std::vector<uint8_t> bytes = vntest::ReadFileBytes(png);
        DeleteFileA(png.c_str());
        return bytes;
    }

    std::string pictures, wide;
    DWORD enterEffect = 0, dropEffect = 0;
};

TEST_F(PictureDropTest, ExplorersFilesAreTakenAsIfChosenTheFirstOfSeveral)
{
    // The window is registered: a second registration is refused.
    vntest::PictureDataObject unused;
    EXPECT_EQ(RegisterDragDrop(window, BuilderDropTarget), DRAGDROP_E_ALREADYREGISTERED);

    std::string other = folder + "other.bmp";
    ASSERT_TRUE(vntest::WriteBmp24(other, 10, 10, [](int, int) { return Sand; }));
    vntest::PictureDataObject files;
    files.AddFiles({WideFromAcp(wide), WideFromAcp(other)});
    Drop(files);
    EXPECT_EQ(enterEffect, (DWORD)DROPEFFECT_COPY);
    EXPECT_EQ(dropEffect, (DWORD)DROPEFFECT_COPY);
    EXPECT_EQ(vntest::WindowText(PictureFileEdit), wide);
    ASSERT_NE(PreviewBitmap, (HBITMAP)NULL);
    EXPECT_EQ(PictureWidth, 80);
    EXPECT_EQ(PictureHeight, 40);
    ASSERT_FALSE(RecentPictures().empty());
    EXPECT_EQ(RecentPictures()[0], wide);
    EXPECT_EQ(LastPictureFolder + "\\", folder);
    // "GO !" takes it as it takes a chosen picture.
    SetCurrentDirectoryA(VN_WIN_BIN_DIR);
    SetWindowTextA(TargetPathEdit, "beach puzzle");
    SendMessageA(window, WM_COMMAND, IdCreateTarget, 0);
    EXPECT_EQ(vntest::WindowText(StatusText), "Done.\r\n" + folder + "beach puzzle.exe");

    // The builder after a 2:1 picture was dropped on it, with its grid.
    SetWindowTextA(GridSizeField, "4");
    SetDlgItemTextA(window, IdSearchPhrase, "beach");
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    vntest::WaitUntil([] { return false; }, 300);
    std::string shot = vntest::ArtifactPath("builder-wide-picture.bmp");
    EXPECT_TRUE(vntest::SaveWindowShot(window, shot.c_str())) << shot;

    // A file that is no picture leaves the picture shown as it was.
    std::string notes = folder + "notes.png";
    ASSERT_TRUE(vntest::WriteFileBytes(notes, "not a picture", 13));
    vntest::PictureDataObject text;
    text.AddFiles({WideFromAcp(notes)});
    Drop(text);
    EXPECT_EQ(dropEffect, (DWORD)DROPEFFECT_NONE);
    EXPECT_EQ(vntest::WindowText(StatusText), "Error - picture is not a supported image.");
    EXPECT_EQ(vntest::WindowText(PictureFileEdit), wide);
    EXPECT_NE(PreviewBitmap, (HBITMAP)NULL);
    EXPECT_EQ(PictureWidth, 80);
    EXPECT_EQ(RecentPictures().size(), 1u);
}

TEST_F(PictureDropTest, ABrowsersVirtualFileIsWrittenToThePicturesFolderUnderItsOwnName)
{
    const std::vector<uint8_t> png = PngBytes(48, 24);
    vntest::PictureDataObject image;
    image.AddVirtualFile(L"sunset.png", png);
    Drop(image);
    EXPECT_EQ(enterEffect, (DWORD)DROPEFFECT_COPY);
    EXPECT_EQ(dropEffect, (DWORD)DROPEFFECT_COPY);
    const std::string first = pictures + "sunset.png";
    EXPECT_EQ(vntest::WindowText(PictureFileEdit), first);
    EXPECT_TRUE(vntest::ReadFileBytes(first) == png);
    EXPECT_EQ(PictureWidth, 48);
    EXPECT_EQ(RecentPictures()[0], first);

    // The same name again: a new file beside the first, which stays.
    vntest::PictureDataObject again;
    again.AddVirtualFile(L"sunset.png", PngBytes(30, 30));
    Drop(again);
    EXPECT_EQ(vntest::WindowText(PictureFileEdit), pictures + "sunset (2).png");
    EXPECT_EQ(PictureWidth, 30);
    EXPECT_TRUE(vntest::ReadFileBytes(first) == png);
    Drop(again);
    EXPECT_EQ(vntest::WindowText(PictureFileEdit), pictures + "sunset (3).png");

    // A name that tries to leave the folder or holds what names cannot:
    // its last part only, made a name.
    vntest::PictureDataObject hostile;
    hostile.AddVirtualFile(L"..\\..\\a<b>:c\"d|e?f*.png", png);
    Drop(hostile);
    EXPECT_EQ(vntest::WindowText(PictureFileEdit), pictures + "a_b__c_d_e_f_.png");
    vntest::PictureDataObject device;
    device.AddVirtualFile(L"CON.png", png);
    Drop(device);
    EXPECT_EQ(vntest::WindowText(PictureFileEdit), pictures + "Dropped picture CON.png");
    EXPECT_EQ(GetFileAttributesA((folder + "a_b__c_d_e_f_.png").c_str()), INVALID_FILE_ATTRIBUTES);

    // Bytes that are no picture: refused, and no file left behind.
    vntest::PictureDataObject broken;
    broken.AddVirtualFile(L"broken.jpg", std::vector<uint8_t>(500, 0xFF));
    Drop(broken);
    EXPECT_EQ(vntest::WindowText(StatusText), "Error - picture is not a supported image.");
    EXPECT_EQ(GetFileAttributesA((pictures + "broken.jpg").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(vntest::WindowText(PictureFileEdit), pictures + "Dropped picture CON.png");
}

TEST_F(PictureDropTest, AnAddressAloneAsksForTheFileAndOtherDataIsNotTaken)
{
    UsePicture(wide);
    vntest::PictureDataObject link;
    link.AddAddress(L"https://example.com/photos/beach.jpg");
    Drop(link);
    EXPECT_EQ(enterEffect, (DWORD)DROPEFFECT_COPY);
    EXPECT_EQ(dropEffect, (DWORD)DROPEFFECT_NONE);
    EXPECT_EQ(vntest::WindowText(StatusText), "Error - save the picture first, then drop the file.");
    EXPECT_EQ(vntest::WindowText(PictureFileEdit), wide);

    // Text alone, or an image without a file (which a paste takes, not a
    // drop), is no drop for this window.
    SetWindowTextA(StatusText, "Idle");
    vntest::PictureDataObject text;
    const char words[] = "beach";
    text.Add(CF_TEXT, std::vector<uint8_t>(words, words + sizeof words));
    text.Add("PNG", PngBytes(8, 8));
    Drop(text);
    EXPECT_EQ(enterEffect, (DWORD)DROPEFFECT_NONE);
    EXPECT_EQ(dropEffect, (DWORD)DROPEFFECT_NONE);
    EXPECT_EQ(vntest::WindowText(StatusText), "Idle");
    EXPECT_EQ(vntest::WindowText(PictureFileEdit), wide);
    EXPECT_EQ(GetFileAttributesA(pictures.c_str()), INVALID_FILE_ATTRIBUTES);

    // A source that only allows moving or linking gets no copy.
    vntest::PictureDataObject files;
    files.AddFiles({WideFromAcp(wide)});
    POINTL point = {10, 10};
    DWORD effect = DROPEFFECT_LINK;
    EXPECT_EQ(BuilderDropTarget->DragEnter(&files, 0, point, &effect), S_OK);
    EXPECT_EQ(effect, (DWORD)DROPEFFECT_NONE);
    EXPECT_EQ(BuilderDropTarget->DragLeave(), S_OK);
}

}  // namespace

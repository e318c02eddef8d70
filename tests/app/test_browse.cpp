// Choosing the picture and the target with the standard file dialogs: the
// dialog records, the dialogs driven for real from a second thread (file name
// typed, button pressed, replace question answered), what lands in the form,
// the preview bitmap, and the current directory afterwards.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "builder_window.h"
#include "selection_test_util.h"

namespace {

using vntest::DialogScript;
using vntest::RunWithDialog;
using vntest::WindowText;

std::string CurrentDirectory()
{
    char path[MAX_PATH] = {0};
    GetCurrentDirectoryA(sizeof path, path);
    return path;
}

COLORREF Quadrants(int x, int y)
{
    return x < 8 ? (y < 4 ? RGB(200, 30, 30) : RGB(40, 60, 200)) : RGB(30, 160, 40);
}

class BrowseTest : public vntest::ScratchWindowTest {
protected:
    void SetUp() override
    {
        ScratchWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        pictureFolder = folder + "pictures\\";
        CreateDirectoryA(pictureFolder.c_str(), NULL);
        picture = pictureFolder + "quadrants.bmp";
        ASSERT_TRUE(vntest::WriteBmp24(picture, 16, 8, Quadrants));
        // The dialogs start somewhere else than the pictures, and must leave
        // the current directory where it was.
        startDirectory = CurrentDirectory();
        SetCurrentDirectoryA(folder.c_str());
    }

    void TearDown() override
    {
        OpenFileDialog = GetOpenFileNameA;
        SaveFileDialog = GetSaveFileNameA;
        SetCurrentDirectoryA(startDirectory.c_str());
        ScratchWindowTest::TearDown();
    }

    // Chooses a picture through the open dialog.
    DialogScript ChoosePicture(const std::string& path)
    {
        DialogScript script;
        script.title = "Open Picture File";
        script.fileName = path;
        RunWithDialog(window, IdPictureBrowse, script);
        return script;
    }

    std::string pictureFolder, picture, startDirectory;
};

// The record as both dialogs get it, apart from filter, title, flags and
// default extension.
void ExpectDialogRecord(HWND owner, const char* filter, size_t filterSize, const char* title, DWORD flags,
                        const char* defaultExtension)
{
    const OPENFILENAMEA& r = FileDialogRecord;
    EXPECT_EQ(r.lStructSize, 76u);
    EXPECT_EQ(r.hwndOwner, MainWindow);
    EXPECT_EQ(r.hwndOwner, owner);
    EXPECT_EQ(r.hInstance, AppInstance);
    ASSERT_NE(r.lpstrFilter, nullptr);
    EXPECT_EQ(memcmp(r.lpstrFilter, filter, filterSize), 0);
    EXPECT_EQ(r.lpstrCustomFilter, nullptr);
    EXPECT_EQ(r.nMaxCustFilter, 0u);
    EXPECT_EQ(r.nFilterIndex, 1u);
    EXPECT_EQ(r.lpstrFile, FileNameBuffer);
    EXPECT_EQ(r.nMaxFile, 256u);
    EXPECT_EQ(r.lpstrFileTitle, nullptr);
    EXPECT_EQ(r.nMaxFileTitle, 0u);
    EXPECT_EQ(r.lpstrInitialDir, nullptr);
    EXPECT_STREQ(r.lpstrTitle, title);
    EXPECT_EQ(r.Flags, flags);
    EXPECT_EQ(r.nFileOffset, 0);
    EXPECT_EQ(r.nFileExtension, 0);
    EXPECT_STREQ(r.lpstrDefExt, defaultExtension);
    EXPECT_EQ(r.lCustData, 0);
    EXPECT_EQ(r.lpfnHook, nullptr);
    EXPECT_EQ(r.lpTemplateName, nullptr);
}

TEST_F(BrowseTest, DialogRecordsAreRefilledFromZero)
{
    // Leftovers of an earlier use must not survive the refill.
    memset(&FileDialogRecord, 0x5A, sizeof FileDialogRecord);
    FillOpenDialogRecord();
    // One pair of strings ended by an empty string: a double NUL at the end.
    // Two pairs of strings ended by an empty string: the picture formats
    // first, then the bitmaps alone.
    const char pictures[] = "Pictures (*.bmp;*.png;*.jpg;*.jpeg;*.gif;*.tif;*.tiff)\0"
                            "*.bmp;*.png;*.jpg;*.jpeg;*.gif;*.tif;*.tiff\0"
                            "Bitmap Files\0*.BMP\0";
    ExpectDialogRecord(window, pictures, sizeof pictures, "Open Picture File", 0x201808, "BMP");

    memset(&FileDialogRecord, 0x5A, sizeof FileDialogRecord);
    FillSaveDialogRecord();
    const char targets[] = "Puzzle program (*.exe)\0*.exe\0Web page (*.html)\0*.html\0";
    ExpectDialogRecord(window, targets, sizeof targets, "Create Target Application", 0x20080A, "exe");
}

TEST_F(BrowseTest, ChoosingAPictureFillsThePictureEditAndMakesTheBitmap)
{
    strcpy(FileNameBuffer, "left over from before.bmp");
    SetWindowTextA(TargetPathEdit, "C:\\target.exe");

    DialogScript script = ChoosePicture(picture);
    ASSERT_TRUE(script.dialogFound);
    EXPECT_TRUE(script.closed);
    EXPECT_EQ(script.initialFileName, "");
    EXPECT_FALSE(script.replaceAsked);

    EXPECT_STRCASEEQ(WindowText(PictureFileEdit).c_str(), picture.c_str());
    EXPECT_EQ(WindowText(TargetPathEdit), "C:\\target.exe");
    ASSERT_NE(PreviewBitmap, (HBITMAP)NULL);
    EXPECT_EQ(PictureWidth, 16);
    EXPECT_EQ(PictureHeight, 8);
    EXPECT_EQ(PreviewImage, nullptr);
    EXPECT_EQ(CurrentDirectory() + "\\", folder);
    // The most recent of the recent pictures.
    EXPECT_STRCASEEQ(RecentPictures().empty() ? "" : RecentPictures()[0].c_str(), picture.c_str());
}

TEST_F(BrowseTest, SecondPictureReplacesTheFirst)
{
    std::string wide = pictureFolder + "wide.bmp";
    ASSERT_TRUE(vntest::WriteBmp24(wide, 30, 5, Quadrants));
    ChoosePicture(picture);
    HBITMAP first = PreviewBitmap;
    ASSERT_NE(first, (HBITMAP)NULL);
    ASSERT_EQ(GetObjectType(first), (DWORD)OBJ_BITMAP);
    ChoosePicture(wide);
    EXPECT_STRCASEEQ(WindowText(PictureFileEdit).c_str(), wide.c_str());
    ASSERT_NE(PreviewBitmap, (HBITMAP)NULL);
    EXPECT_EQ(PictureWidth, 30);
    EXPECT_EQ(PictureHeight, 5);
    // The first picture's bitmap is gone, not left behind.
    EXPECT_EQ(GetObjectType(first), 0u);
}

TEST_F(BrowseTest, CancellingTheOpenDialogChangesNothing)
{
    ChoosePicture(picture);
    HBITMAP before = PreviewBitmap;
    ASSERT_NE(before, (HBITMAP)NULL);
    SetWindowTextA(TargetPathEdit, "C:\\target.exe");

    DialogScript script;
    script.title = "Open Picture File";
    script.cancel = true;
    RunWithDialog(window, IdPictureBrowse, script);
    ASSERT_TRUE(script.dialogFound);
    EXPECT_TRUE(script.closed);
    EXPECT_EQ(script.initialFileName, "");
    EXPECT_STRCASEEQ(WindowText(PictureFileEdit).c_str(), picture.c_str());
    EXPECT_EQ(WindowText(TargetPathEdit), "C:\\target.exe");
    EXPECT_EQ(PreviewBitmap, before);
    EXPECT_EQ(PictureWidth, 16);
    EXPECT_EQ(CurrentDirectory() + "\\", folder);
}

TEST_F(BrowseTest, AFileThatIsNotABitmapKeepsItsPathAndEmptiesThePreview)
{
    ChoosePicture(picture);
    ASSERT_NE(PreviewBitmap, (HBITMAP)NULL);
    std::string text = pictureFolder + "notes.bmp";
    const char notes[] = "not a picture at all\r\n";
    ASSERT_TRUE(vntest::WriteFileBytes(text, notes, sizeof notes - 1));

    ChoosePicture(text);
    EXPECT_STRCASEEQ(WindowText(PictureFileEdit).c_str(), text.c_str());
    EXPECT_EQ(PreviewBitmap, (HBITMAP)NULL);
    EXPECT_EQ(PreviewImage, nullptr);

    // An empty file is no picture either.
    std::string empty = pictureFolder + "empty.bmp";
    ASSERT_TRUE(vntest::WriteFileBytes(empty, "", 0));
    ChoosePicture(picture);
    ChoosePicture(empty);
    EXPECT_STRCASEEQ(WindowText(PictureFileEdit).c_str(), empty.c_str());
    EXPECT_EQ(PreviewBitmap, (HBITMAP)NULL);
}

TEST_F(BrowseTest, APictureThatCannotBeReadKeepsItsPathAndEmptiesThePreview)
{
    std::string locked = pictureFolder + "locked.bmp";
    ASSERT_TRUE(vntest::WriteBmp24(locked, 4, 4, Quadrants));
    ChoosePicture(picture);
    ASSERT_NE(PreviewBitmap, (HBITMAP)NULL);

    // Another holder keeps the file open without sharing: the dialog accepts
    // it (it exists), but it cannot be opened for reading.
    HANDLE holder = CreateFileA(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    DialogScript script = ChoosePicture(locked);
    CloseHandle(holder);

    EXPECT_TRUE(script.closed);
    EXPECT_STRCASEEQ(WindowText(PictureFileEdit).c_str(), locked.c_str());
    EXPECT_EQ(PreviewBitmap, (HBITMAP)NULL);
    EXPECT_EQ(PreviewImage, nullptr);

    // The form stays usable: the next picture loads.
    ChoosePicture(picture);
    EXPECT_NE(PreviewBitmap, (HBITMAP)NULL);
}

TEST_F(BrowseTest, TargetNameWithoutExtensionGetsExe)
{
    SetWindowTextA(PictureFileEdit, "C:\\picture.bmp");
    strcpy(FileNameBuffer, "left over.exe");
    DialogScript script;
    script.title = "Create Target Application";
    script.fileName = pictureFolder + "puzzle";
    RunWithDialog(window, IdTargetBrowse, script);

    ASSERT_TRUE(script.dialogFound);
    EXPECT_TRUE(script.closed);
    EXPECT_EQ(script.initialFileName, "picture.exe");
    EXPECT_FALSE(script.replaceAsked);
    EXPECT_STRCASEEQ(WindowText(TargetPathEdit).c_str(), (pictureFolder + "puzzle.EXE").c_str());
    // The dialog appends the extension of the chosen filter ("*.EXE"); Wine's
    // dialog lower-cases it, so its case is not checked.
    std::string path = WindowText(TargetPathEdit);
    ASSERT_GT(path.size(), 4u);
    EXPECT_STRCASEEQ(path.substr(path.size() - 4).c_str(), ".EXE");
    EXPECT_EQ(WindowText(PictureFileEdit), "C:\\picture.bmp");
    // Choosing a target creates nothing.
    EXPECT_EQ(GetFileAttributesA((pictureFolder + "puzzle.EXE").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(CurrentDirectory() + "\\", folder);
}

TEST_F(BrowseTest, TheFilterChosenSetsTheTargetsExtension)
{
    // A bare name takes the chosen filter's extension; a web page in the
    // field opens the dialog with its filter, which a bare name then takes.
    SetWindowTextA(PictureFileEdit, "C:\\picture.bmp");
    const struct {
        int filter;         // chosen in the dialog; 0: as it opened
        const char* typed;
        const char* field;  // the Target field afterwards, in the picture folder
    } rows[] = {{1, "program", "program.exe"}, {2, "page", "page.html"}, {0, "second", "second.html"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.field);
        DialogScript script;
        script.title = "Create Target Application";
        script.fileName = pictureFolder + row.typed;
        script.filterIndex = row.filter;
        RunWithDialog(window, IdTargetBrowse, script);
        ASSERT_TRUE(script.closed);
        EXPECT_STRCASEEQ(WindowText(TargetPathEdit).c_str(), (pictureFolder + row.field).c_str());
    }
}

TEST_F(BrowseTest, AnExistingTargetBringsTheReplaceQuestion)
{
    std::string existing = pictureFolder + "old.exe";
    ASSERT_TRUE(vntest::WriteFileBytes(existing, "MZ", 2));

    // Answering No keeps the dialog open; the test then cancels it.
    DialogScript refuse;
    refuse.title = "Create Target Application";
    refuse.fileName = existing;
    refuse.replaceAnswer = IDNO;
    RunWithDialog(window, IdTargetBrowse, refuse);
    EXPECT_TRUE(refuse.replaceAsked);
    EXPECT_TRUE(refuse.closed);
    EXPECT_EQ(WindowText(TargetPathEdit), "");

    DialogScript accept;
    accept.title = "Create Target Application";
    accept.fileName = existing;
    accept.replaceAnswer = IDYES;
    RunWithDialog(window, IdTargetBrowse, accept);
    EXPECT_TRUE(accept.replaceAsked);
    EXPECT_NE(accept.replaceText, "");
    EXPECT_TRUE(accept.closed);
    EXPECT_STRCASEEQ(WindowText(TargetPathEdit).c_str(), existing.c_str());
    // The question only asks; the file is untouched.
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExA(existing.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, 2u);
    EXPECT_EQ(CurrentDirectory() + "\\", folder);
}

TEST_F(BrowseTest, CancellingTheSaveDialogChangesNothing)
{
    SetWindowTextA(TargetPathEdit, "C:\\kept.exe");
    DialogScript script;
    script.title = "Create Target Application";
    script.cancel = true;
    RunWithDialog(window, IdTargetBrowse, script);
    ASSERT_TRUE(script.dialogFound);
    EXPECT_TRUE(script.closed);
    EXPECT_EQ(script.initialFileName, "");
    EXPECT_EQ(WindowText(TargetPathEdit), "C:\\kept.exe");
    EXPECT_EQ(WindowText(PictureFileEdit), "");
    EXPECT_EQ(CurrentDirectory() + "\\", folder);
}

TEST_F(BrowseTest, AnEmptyTargetIsProposedAsThePictureNameInItsFolder)
{
    ChoosePicture(picture);
    DialogScript script;
    script.title = "Create Target Application";
    script.fileName = "quadrants.exe";  // the proposal, taken as it is
    RunWithDialog(window, IdTargetBrowse, script);
    ASSERT_TRUE(script.dialogFound);
    EXPECT_EQ(script.initialFileName, "quadrants.exe");
    EXPECT_STRCASEEQ(WindowText(TargetPathEdit).c_str(), (pictureFolder + "quadrants.exe").c_str());
    EXPECT_EQ(CurrentDirectory() + "\\", folder);

    // With a target already there, the dialog starts empty.
    script = DialogScript();
    script.title = "Create Target Application";
    script.cancel = true;
    RunWithDialog(window, IdTargetBrowse, script);
    EXPECT_EQ(script.initialFileName, "");
}

// A dialog as the open dialog of systems that ignore OFN_NOCHANGEDIR
// behaves: it leaves the current folder where the chosen file is.
std::string StandInChoice;

BOOL WINAPI DialogThatMovesTheCurrentFolder(LPOPENFILENAMEA record)
{
    std::string folder = StandInChoice.substr(0, StandInChoice.find_last_of('\\'));
    SetCurrentDirectoryA(folder.c_str());
    lstrcpynA(record->lpstrFile, StandInChoice.c_str(), record->nMaxFile);
    return TRUE;
}

TEST_F(BrowseTest, ACurrentFolderMovedByTheDialogIsPutBack)
{
    StandInChoice = picture;
    OpenFileDialog = DialogThatMovesTheCurrentFolder;
    SaveFileDialog = DialogThatMovesTheCurrentFolder;
    SendMessageA(window, WM_COMMAND, IdPictureBrowse, 0);
    EXPECT_EQ(CurrentDirectory() + "\\", folder);
    EXPECT_NE(PreviewBitmap, (HBITMAP)NULL);
    StandInChoice = pictureFolder + "puzzle.exe";
    SendMessageA(window, WM_COMMAND, IdTargetBrowse, 0);
    EXPECT_EQ(CurrentDirectory() + "\\", folder);
    EXPECT_STRCASEEQ(WindowText(TargetPathEdit).c_str(), StandInChoice.c_str());
}

TEST_F(BrowseTest, EachDialogPutsBackACurrentFolderThatMovedWhileItWasOpen)
{
    // The real dialogs, with the folder moved from inside them while open.
    DialogScript open;
    open.title = "Open Picture File";
    open.fileName = picture;
    open.moveCurrentFolderTo = pictureFolder;
    RunWithDialog(window, IdPictureBrowse, open);
    ASSERT_TRUE(open.closed);
    EXPECT_NE(PreviewBitmap, (HBITMAP)NULL);
    EXPECT_EQ(CurrentDirectory() + "\\", folder);

    DialogScript save;
    save.title = "Create Target Application";
    save.fileName = pictureFolder + "puzzle.exe";
    save.moveCurrentFolderTo = pictureFolder;
    RunWithDialog(window, IdTargetBrowse, save);
    ASSERT_TRUE(save.closed);
    EXPECT_EQ(CurrentDirectory() + "\\", folder);

    DialogScript cancelled;
    cancelled.title = "Open Picture File";
    cancelled.cancel = true;
    cancelled.moveCurrentFolderTo = pictureFolder;
    RunWithDialog(window, IdPictureBrowse, cancelled);
    EXPECT_EQ(CurrentDirectory() + "\\", folder);
}

TEST_F(BrowseTest, ATypedPictureLoadsWhenTheFieldLosesFocus)
{
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(PictureFileEdit);
    SetWindowTextA(PictureFileEdit, picture.c_str());
    SetFocus(GridSizeField);
    ASSERT_NE(PreviewBitmap, (HBITMAP)NULL);
    EXPECT_EQ(PictureWidth, 16);
    EXPECT_EQ(PictureHeight, 8);

    // Leaving the field again with the same path loads nothing again.
    HBITMAP loaded = PreviewBitmap;
    SetFocus(PictureFileEdit);
    SetFocus(GridSizeField);
    EXPECT_EQ(PreviewBitmap, loaded);

    // A path that names no picture empties the preview, as Browse does.
    SetFocus(PictureFileEdit);
    SetWindowTextA(PictureFileEdit, (pictureFolder + "missing.bmp").c_str());
    SetFocus(GridSizeField);
    EXPECT_EQ(PreviewBitmap, (HBITMAP)NULL);
    // Only the picture is a recent picture.
    EXPECT_EQ(RecentPictures(), std::vector<std::string>(1, picture));
}

TEST_F(BrowseTest, ATypedPictureLoadsWhenTypingPauses)
{
    // Pasted, with the focus staying in the field.
    SetWindowTextA(PictureFileEdit, picture.c_str());
    EXPECT_EQ(PreviewBitmap, (HBITMAP)NULL);
    EXPECT_TRUE(vntest::WaitUntil([] { return PreviewBitmap != NULL; }, 5000));
    EXPECT_EQ(PictureWidth, 16);
}

}  // namespace

// Picture and target selection with the standard file dialogs, and the loading
// of the chosen picture into the preview bitmap.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "app.h"
#include "measure_file.h"
#include "vn_image.h"

namespace {

// Both records share everything but filter, title, flags and default
// extension. The 76-byte size is the record without the three fields that
// later platform versions appended.
void FillDialogRecord(const char* filter, const char* title, DWORD flags, const char* defaultExtension)
{
    ZeroMemory(&FileDialogRecord, sizeof FileDialogRecord);
    FileDialogRecord.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    FileDialogRecord.hwndOwner = MainWindow;
    FileDialogRecord.hInstance = AppInstance;
    FileDialogRecord.lpstrFilter = filter;
    FileDialogRecord.nFilterIndex = 1;
    FileDialogRecord.lpstrFile = FileNameBuffer;
    FileDialogRecord.nMaxFile = sizeof FileNameBuffer;
    FileDialogRecord.lpstrTitle = title;
    FileDialogRecord.Flags = flags;
    FileDialogRecord.lpstrDefExt = defaultExtension;
}

// Reads a whole file into a new heap buffer (free() it). Null when the file
// cannot be opened, measured or read in full, when it is empty, or when the
// buffer cannot be allocated.
uint8_t* ReadPictureFile(const char* path, uint32_t* size)
{
    FILE* file = fopen(path, "rb");
    if (!file)
        return NULL;
    uint8_t* buffer = NULL;
    long length = MeasureFile(file);
    if (length > 0) {
        buffer = static_cast<uint8_t*>(malloc(static_cast<size_t>(length)));
        if (buffer && fread(buffer, 1, static_cast<size_t>(length), file) != static_cast<size_t>(length)) {
            free(buffer);
            buffer = NULL;
        }
    }
    fclose(file);
    if (buffer)
        *size = static_cast<uint32_t>(length);
    return buffer;
}

}  // namespace

void FillOpenDialogRecord()
{
    FillDialogRecord("Bitmap Files\0*.BMP\0", "Open Picture File",
                     OFN_LONGNAMES | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR, "BMP");
}

void FillSaveDialogRecord()
{
    FillDialogRecord("Windows Applications\0*.EXE\0", "Create Target Application",
                     OFN_LONGNAMES | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_OVERWRITEPROMPT, "EXE");
}

void LoadPreviewPicture(const char* path)
{
    // Decode the file, if it can be read at all; a file that cannot be read
    // is treated like one that does not decode.
    uint32_t size = 0;
    uint8_t* pictureBuffer = ReadPictureFile(path, &size);
    delete PreviewImage;
    PreviewImage = NULL;
    if (pictureBuffer) {
        PreviewImage = new (std::nothrow) VnImage(pictureBuffer, size, ImageTypeBmp);
        free(pictureBuffer);
    }

    // The old bitmap goes before the new one is made, so at most one exists.
    HDC windowContext = GetDC(MainWindow);
    if (PreviewBitmap) {
        DeleteObject(PreviewBitmap);
        PreviewBitmap = NULL;
    }
    if (PreviewImage)
        PreviewBitmap = PreviewImage->ToDeviceBitmap(windowContext);
    ReleaseDC(MainWindow, windowContext);

    delete PreviewImage;
    PreviewImage = NULL;

    if (!PreviewBitmap || !GetObjectA(PreviewBitmap, sizeof PreviewBitmapInfo, &PreviewBitmapInfo))
        ZeroMemory(&PreviewBitmapInfo, sizeof PreviewBitmapInfo);
    InvalidateRect(MainWindow, NULL, TRUE);
}

void PictureBrowseCommand()
{
    ZeroMemory(FileNameBuffer, sizeof FileNameBuffer);
    FillOpenDialogRecord();
    if (!GetOpenFileNameA(&FileDialogRecord))
        return;
    SetWindowTextA(PictureFileEdit, FileNameBuffer);
    LoadPreviewPicture(FileNameBuffer);
}

void TargetBrowseCommand()
{
    ZeroMemory(FileNameBuffer, sizeof FileNameBuffer);
    FillSaveDialogRecord();
    if (!GetSaveFileNameA(&FileDialogRecord))
        return;
    SetWindowTextA(TargetPathEdit, FileNameBuffer);
}

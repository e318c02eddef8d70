// Loading a picture into the preview: the file is decoded once and scaled
// once to its place in the preview frame's inner area (reading a few pixels
// per preview pixel), so that every later repaint (a new grid size, an
// uncovered window) is one plain copy of a small bitmap.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "app.h"
#include "control_text.h"
#include "measure_file.h"
#include "preview_place.h"
#include "preview_scale.h"
#include "vn_image.h"

namespace {

// Reads a whole file into a new heap buffer (free() it). Null when the file
// cannot be opened, measured or read in full, when it is empty or larger than
// the image library takes, or when the buffer cannot be allocated.
uint8_t* ReadPictureFile(const char* path, uint32_t* size)
{
    FILE* file = fopen(path, "rb");
    if (!file)
        return NULL;
    uint8_t* buffer = NULL;
    long length = MeasureFile(file);
    if (length > 0 && static_cast<uint64_t>(length) <= VnImageMaxBlockSize) {
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

// The decoded picture scaled into a new device bitmap of its place in the
// frame's inner area, compatible with the window's context.
HBITMAP ScaledPreviewBitmap(const VnImage& image, int width, int height, HDC windowContext)
{
    RECT client = {0, 0, 0, 0};
    if (PreviewFrame)
        GetClientRect(PreviewFrame, &client);
    PreviewPlace place = FitPictureInArea(client.right - 4, client.bottom - 4, width, height);
    PreviewPixels pixels = ScaleForPreview(image, place.width, place.height);
    if (pixels.bgr.empty())
        return NULL;
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBitmap(windowContext, &info.bmiHeader, CBM_INIT, pixels.bgr.data(), &info, DIB_RGB_COLORS);
}

// A picture file made ready for the preview: its own size and its bitmap.
struct PreparedPicture {
    HBITMAP bitmap = NULL;
    int width = 0;
    int height = 0;
};

// Reads and decodes the file (into PreviewImage while it is decoded) and
// scales it for the preview. No bitmap when the file cannot be read or does
// not decode.
PreparedPicture PreparePicture(const char* path)
{
    PreparedPicture prepared;
    uint32_t size = 0;
    uint8_t* pictureBuffer = path ? ReadPictureFile(path, &size) : NULL;
    delete PreviewImage;
    PreviewImage = NULL;
    if (pictureBuffer) {
        PreviewImage = new (std::nothrow) VnImage(pictureBuffer, size, ImageTypeBmp);
        free(pictureBuffer);
    }
    if (PreviewImage && PreviewImage->dibBlock) {
        const int width = PreviewImage->header.biWidth;
        const int height = PreviewImage->header.biHeight < 0 ? -PreviewImage->header.biHeight
                                                             : PreviewImage->header.biHeight;
        HDC windowContext = GetDC(MainWindow);
        prepared.bitmap = ScaledPreviewBitmap(*PreviewImage, width, height, windowContext);
        ReleaseDC(MainWindow, windowContext);
        if (prepared.bitmap) {
            prepared.width = width;
            prepared.height = height;
        }
    }
    delete PreviewImage;
    PreviewImage = NULL;
    return prepared;
}

// Makes the prepared picture (or none) the one the preview shows.
void ShowPreparedPicture(const char* path, const PreparedPicture& prepared)
{
    PreviewPicturePath = path ? path : "";
    if (PreviewBitmap)
        DeleteObject(PreviewBitmap);
    PreviewBitmap = prepared.bitmap;
    ReleasePreviewComposition();
    PictureWidth = prepared.width;
    PictureHeight = prepared.height;
    if (!PreviewBitmap || !GetObjectA(PreviewBitmap, sizeof PreviewBitmapInfo, &PreviewBitmapInfo))
        ZeroMemory(&PreviewBitmapInfo, sizeof PreviewBitmapInfo);
    // A new picture covers the frame's inside whole; without one the
    // window's background is painted again there.
    InvalidatePreview();
}

}  // namespace

void LoadPreviewPicture(const char* path)
{
    // A file that cannot be read is treated like one that does not decode:
    // the preview is left empty.
    ShowPreparedPicture(path, PreparePicture(path));
}

bool TakePreviewPicture(const char* path)
{
    PreparedPicture prepared = PreparePicture(path);
    if (!prepared.bitmap)
        return false;
    ShowPreparedPicture(path, prepared);
    return true;
}

void RefreshTypedPicture()
{
    KillTimer(MainWindow, IdPictureTypingTimer);
    std::string typed = ReadControlText(PictureFileEdit);
    if (typed == PreviewPicturePath)
        return;
    LoadPreviewPicture(typed.c_str());
    if (PreviewBitmap)
        NotePictureUsed(typed);
}
void PictureFieldChanged(WORD notification)
{
    // Typing pauses for this long before the typed path is loaded.
    const UINT TypingPauseMs = 700;
    if (notification == EN_CHANGE)
        SetTimer(MainWindow, IdPictureTypingTimer, TypingPauseMs, NULL);
    else if (notification == EN_KILLFOCUS)
        RefreshTypedPicture();
}

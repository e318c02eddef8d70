// The builder's preview speed, in the real main window: choosing a
// 4000x3000 picture until its preview is on screen, against decoding the same
// file; dropping a 4000x3000 JPEG on the window until its preview is on
// screen, against decoding that JPEG; and a repaint after typing a grid size,
// against a plain BitBlt of the preview frame. All in one run; the ratios are
// printed with their goals.
// The repaint of the whole picture stretched on every paint, as the preview
// once did, is measured beside them for comparison.
#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app.h"
#include "bench_photo.h"
#include "picture_data_object.h"
#include "preview_scale.h"
#include "test_files.h"
#include "vn_image.h"
#include "win_bench.h"

namespace {

// A 24-bit bottom-up BMP with a smooth pattern, written once.
bool WriteLargeBmp(const std::string& path, int width, int height)
{
    std::vector<uint8_t> file = vntest::Bmp24File(width, height, [&](int x, int top, uint8_t* p) {
        const int y = height - 1 - top;  // counted from the bottom row
        p[0] = static_cast<uint8_t>(x / 16);
        p[1] = static_cast<uint8_t>(y / 12);
        p[2] = static_cast<uint8_t>((x + y) / 28);
    });
    return vntest::WriteFileBytes(path, file);
}

// Reads the file and decodes it, as the preview does before scaling.
void DecodeOnly(const std::string& path)
{
    std::vector<uint8_t> bytes = vntest::ReadFileBytes(path);
    VnImage image(bytes.data(), static_cast<uint32_t>(bytes.size()), ImageTypeBmp);
    if (!image.dibBlock)
        std::printf("decode failed: %s\n", image.imageInfo.lastError);
}

// Drawing reaches the display some time after the call returns; reading a
// pixel back waits until it has.
void WaitForDisplay(HDC context)
{
    GdiFlush();
    GetPixel(context, 3, 3);
}

// A window of the preview frame's size whose paint is one plain BitBlt of a
// frame-sized bitmap: the least any repaint of the preview can cost.
HDC PlainSource;
int PlainWidth, PlainHeight;

LRESULT CALLBACK PlainPaintProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC context = BeginPaint(window, &paint);
        BitBlt(context, 2, 2, PlainWidth, PlainHeight, PlainSource, 0, 0, SRCCOPY);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreatePlainPaintWindow(const RECT& frame)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = PlainPaintProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = "VnPlainPaint";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "VnPlainPaint", "", WS_POPUP | WS_VISIBLE, 600, 500, frame.right,
                                  frame.bottom, NULL, NULL, GetModuleHandleA(NULL), NULL);
    UpdateWindow(window);
    return window;
}

}  // namespace

int main(int argc, char** argv)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string picture = argc > 1 ? argv[1] : std::string(temp) + "vn_bench_preview_4000x3000.bmp";
    if (argc <= 1 && !WriteLargeBmp(picture, 4000, 3000)) {
        std::printf("cannot write %s\n", picture.c_str());
        return 1;
    }

    // The form's values of this run are kept apart from the user's own.
    const char* const benchKey = "Software\\Vornix SDK Benchmarks\\Builder";
    SettingsKeyPath = benchKey;
    AppInstance = GetModuleHandleA(NULL);
    if (!RegisterMainWindowClass() || !CreateMainWindow()) {
        std::printf("cannot create the builder's window\n");
        return 1;
    }
    ShowWindow(MainWindow, SW_SHOW);
    UpdateWindow(MainWindow);

    const int runs = 7;
    winbench::Result decode = winbench::Measure([&] { DecodeOnly(picture); }, runs);
    winbench::Result choose = winbench::Measure([&] {
        LoadPreviewPicture(picture.c_str());
        UpdateWindow(MainWindow);
        HDC frameContext = GetDC(PreviewFrame);
        WaitForDisplay(frameContext);
        ReleaseDC(PreviewFrame, frameContext);
    }, runs);
    if (!PreviewBitmap) {
        std::printf("the preview did not load %s\n", picture.c_str());
        return 1;
    }

    // A 4000x3000 photo as a JPEG file, dropped on the window as Explorer
    // drops it, until its preview is on screen; against decoding it alone.
    const std::string photo = std::string(temp) + "vn_bench_drop_4000x3000.jpg";
    std::vector<uint8_t> scene = winbench::ScenePixels();
    if (!winbench::WritePhotoJpeg(photo, scene)) {
        std::printf("cannot write %s\n", photo.c_str());
        return 1;
    }
    std::vector<uint8_t>().swap(scene);
    winbench::Result decodeJpeg = winbench::Measure([&] { DecodeOnly(photo); }, runs);
    vntest::PictureDataObject dropped;
    dropped.AddFiles({std::wstring(photo.begin(), photo.end())});
    winbench::Result drop = winbench::Measure([&] {
        POINTL point = {100, 100};
        DWORD effect = DROPEFFECT_COPY;
        BuilderDropTarget->DragEnter(&dropped, MK_LBUTTON, point, &effect);
        effect = DROPEFFECT_COPY;
        BuilderDropTarget->Drop(&dropped, 0, point, &effect);
        UpdateWindow(MainWindow);
        HDC frameContext = GetDC(PreviewFrame);
        WaitForDisplay(frameContext);
        ReleaseDC(PreviewFrame, frameContext);
    }, runs);
    if (PictureWidth != winbench::PhotoWidth) {
        std::printf("the drop did not show %s\n", photo.c_str());
        return 1;
    }
    DeleteFileA(photo.c_str());
    LoadPreviewPicture(picture.c_str());

    // A plain copy of a frame-sized bitmap onto the preview frame.
    RECT frame;
    GetClientRect(PreviewFrame, &frame);
    HDC frameContext = GetDC(PreviewFrame);
    HDC memory = CreateCompatibleDC(frameContext);
    HBITMAP plain = CreateCompatibleBitmap(frameContext, frame.right - 4, frame.bottom - 4);
    HGDIOBJ previous = SelectObject(memory, plain);
    PatBlt(memory, 0, 0, frame.right - 4, frame.bottom - 4, WHITENESS);
    winbench::Result bitBlt = winbench::Measure([&] {
        BitBlt(frameContext, 2, 2, frame.right - 4, frame.bottom - 4, memory, 0, 0, SRCCOPY);
        WaitForDisplay(frameContext);
    }, 50);

    // The same copy as a window's whole repaint.
    PlainSource = memory;
    PlainWidth = frame.right - 4;
    PlainHeight = frame.bottom - 4;
    HWND plainWindow = CreatePlainPaintWindow(frame);
    HDC plainContext = GetDC(plainWindow);
    winbench::Result plainRepaint = winbench::Measure([&] {
        InvalidateRect(plainWindow, NULL, FALSE);
        UpdateWindow(plainWindow);
        WaitForDisplay(plainContext);
    }, 50);
    ReleaseDC(plainWindow, plainContext);
    DestroyWindow(plainWindow);

    // Typing a grid size: the field's change and the repaint it asks for.
    int typed = 0;
    winbench::Result repaint = winbench::Measure([&] {
        SetWindowTextA(GridSizeField, (typed++ & 1) ? "4" : "5");
        UpdateWindow(MainWindow);
        WaitForDisplay(frameContext);
    }, 50);

    // The repaint alone, as any uncovering of the window asks for it.
    winbench::Result paint = winbench::Measure([&] {
        InvalidatePreview();
        UpdateWindow(MainWindow);
        WaitForDisplay(frameContext);
    }, 50);

    // The one scaling of the decoded picture to the preview's size.
    std::vector<uint8_t> pictureBytes = vntest::ReadFileBytes(picture);
    VnImage decoded(pictureBytes.data(), static_cast<uint32_t>(pictureBytes.size()), ImageTypeBmp);
    winbench::Result scale = winbench::Measure([&] {
        PreviewPixels pixels = ScaleForPreview(decoded, frame.right - 4, frame.bottom - 4);
        if (pixels.bgr.empty())
            std::printf("scaling failed\n");
    }, runs);

    // For comparison: the whole picture as a device bitmap, stretched onto
    // the frame on every paint.
    std::vector<uint8_t> bytes = vntest::ReadFileBytes(picture);
    VnImage image(bytes.data(), static_cast<uint32_t>(bytes.size()), ImageTypeBmp);
    HBITMAP whole = image.ToDeviceBitmap(frameContext);
    SelectObject(memory, whole);
    winbench::Result stretch = winbench::Measure([&] {
        StretchBlt(frameContext, 2, 2, frame.right - 4, frame.bottom - 4, memory, 0, 0,
                   image.header.biWidth, image.header.biHeight, SRCCOPY);
        WaitForDisplay(frameContext);
    }, 5);
    SelectObject(memory, previous);
    DeleteObject(whole);
    DeleteObject(plain);
    DeleteDC(memory);
    ReleaseDC(PreviewFrame, frameContext);

    std::printf("picture: %s (%d x %d), preview frame %ld x %ld\n", picture.c_str(), PictureWidth,
                PictureHeight, frame.right, frame.bottom);
    winbench::Report("decode (read + VnImage)", decode);
    winbench::Report("choose picture until the preview is painted", choose);
    winbench::Report("scaling the decoded picture to the preview", scale);
    winbench::Report("plain BitBlt of the preview frame", bitBlt);
    winbench::Report("repaint that is one plain BitBlt", plainRepaint);
    winbench::Report("grid size typed, preview repainted", repaint);
    winbench::Report("preview repainted", paint);
    winbench::Report("whole picture stretched onto the frame", stretch);
    winbench::Report("decode of the 4000x3000 JPEG (read + VnImage)", decodeJpeg);
    winbench::Report("JPEG dropped until the preview is painted", drop);
    winbench::Ratio("choose / decode", choose, decode, "<= 1.5");
    winbench::Ratio("drop / decode, JPEG", drop, decodeJpeg, "<= 1.5");
    winbench::Ratio("grid size typed, repaint / plain BitBlt", repaint, bitBlt, "<= 1.2");
    winbench::Ratio("repaint alone / plain BitBlt", paint, bitBlt, "<= 1.2");
    winbench::Ratio("grid size typed / repaint of one BitBlt", repaint, plainRepaint, "<= 1.2");
    winbench::Ratio("repaint alone / repaint of one BitBlt", paint, plainRepaint, "<= 1.2");
    winbench::Ratio("whole-picture stretch / plain BitBlt", stretch, bitBlt, "for comparison");

    DestroyWindow(MainWindow);
    SHDeleteKeyA(HKEY_CURRENT_USER, benchKey);
    if (argc <= 1)
        DeleteFileA(picture.c_str());
    return 0;
}

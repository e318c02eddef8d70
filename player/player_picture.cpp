// The picture at its size on screen: made once per size with the player's
// own filter, kept in the screen's format for the tiles to be copied from.
#include <windows.h>

#include "player_state.h"

HDC ScaledDc;
int ScaledWidth;
int ScaledHeight;
bool ScaledIsRough;

namespace {

HBITMAP ScaledBitmap;
HGDIOBJ ScaledPrevious;

}  // namespace

void ReleaseScaledPicture()
{
    if (ScaledDc) {
        SelectObject(ScaledDc, ScaledPrevious);
        DeleteDC(ScaledDc);
    }
    if (ScaledBitmap)
        DeleteObject(ScaledBitmap);
    ScaledDc = nullptr;
    ScaledBitmap = nullptr;
    ScaledWidth = ScaledHeight = 0;
    ScaledIsRough = false;
}

// The picture at width x height, made with the player's own filter (the
// system's HALFTONE is not everywhere as good) in a 24-bit section, then kept
// in the screen's own format so that tiles are copied without conversion.
bool ScalePicture(int width, int height)
{
    ReleaseScaledPicture();
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section)
        return false;
    PixelRows target;
    target.data = static_cast<uint8_t*>(bits);
    target.width = width;
    target.height = height;
    target.stride = (width * 3 + 3) & ~3;
    bool scaled = ScalePixels(SourcePixels, target);
    HDC screen = GetDC(PlayerWindow);
    ScaledBitmap = scaled ? CreateCompatibleBitmap(screen, width, height) : nullptr;
    ScaledDc = ScaledBitmap ? CreateCompatibleDC(screen) : nullptr;
    ReleaseDC(PlayerWindow, screen);
    if (ScaledDc) {
        ScaledPrevious = SelectObject(ScaledDc, ScaledBitmap);
        SetDIBitsToDevice(ScaledDc, 0, 0, width, height, 0, 0, 0, height, bits, &info, DIB_RGB_COLORS);
        ScaledWidth = width;
        ScaledHeight = height;
    }
    DeleteObject(section);
    if (!ScaledDc) {
        ReleaseScaledPicture();
        return false;
    }
    return true;
}

// The current copy stretched to width x height without filtering.
bool StretchScaledPicture(int width, int height)
{
    if (!ScaledDc)
        return false;
    HDC screen = GetDC(PlayerWindow);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HDC dc = bitmap ? CreateCompatibleDC(screen) : nullptr;
    ReleaseDC(PlayerWindow, screen);
    if (!dc) {
        if (bitmap)
            DeleteObject(bitmap);
        return false;
    }
    HGDIOBJ previous = SelectObject(dc, bitmap);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, width, height, ScaledDc, 0, 0, ScaledWidth, ScaledHeight, SRCCOPY);
    ReleaseScaledPicture();
    ScaledDc = dc;
    ScaledBitmap = bitmap;
    ScaledPrevious = previous;
    ScaledWidth = width;
    ScaledHeight = height;
    ScaledIsRough = true;
    return true;
}


// Copying, aliasing, and single palette entries and pixels.
#include <stdlib.h>
#include <string.h>

#include "vn_image.h"

VnImage::VnImage(const VnImage& source, bool withPixels, bool withSelection, bool withAlpha)
{
    InitEmpty(source.imageInfo.imageType);
    CopyFrom(source, withPixels, withSelection, withAlpha);
}

namespace {

// A copy of one optional plane, or null when there is none to copy or no
// memory for it (the copy then simply has no such plane).
uint8_t* CopyPlane(const uint8_t* plane, const BITMAPINFOHEADER& header)
{
    if (!plane || header.biWidth <= 0 || header.biHeight <= 0)
        return nullptr;
    size_t bytes = static_cast<size_t>(header.biWidth) * static_cast<size_t>(header.biHeight);
    uint8_t* copy = static_cast<uint8_t*>(malloc(bytes));
    if (copy)
        memcpy(copy, plane, bytes);
    return copy;
}

}  // namespace

void VnImage::CopyFrom(const VnImage& source, bool withPixels, bool withSelection, bool withAlpha)
{
    if (&source == this)
        return;
    VnImage* keepParent = imageInfo.parent;
    imageInfo = source.imageInfo;
    imageInfo.parent = keepParent;
    imageInfo.pixels = dibBlock ? imageInfo.pixels : nullptr;
    Allocate(source.header.biWidth, source.header.biHeight, source.header.biBitCount,
             source.imageInfo.imageType);
    if (dibBlock && source.dibBlock && withPixels && BlockSize() == source.BlockSize()) {
        memcpy(dibBlock, source.dibBlock, BlockSize());
    } else if (dibBlock) {
        LoadPalette(source.PaletteEntries(), 256);
        // The copy never shows memory nobody wrote.
        memset(imageInfo.pixels, 0, header.biSizeImage);
    }
    if (withSelection && source.selectionPlane) {
        free(selectionPlane);
        selectionPlane = CopyPlane(source.selectionPlane, header);
    }
    if (withAlpha && source.alphaPlane) {
        free(alphaPlane);
        alphaPlane = CopyPlane(source.alphaPlane, header);
        if (!alphaPlane && header.biBitCount == 24)
            imageInfo.colorKind = ColorKindRgb;
    }
}

void VnImage::ShareFrom(VnImage* parentImage)
{
    if (!parentImage || parentImage == this)
        return;
    header = parentImage->header;
    imageInfo = parentImage->imageInfo;
    dibBlock = parentImage->dibBlock;
    selectionPlane = parentImage->selectionPlane;
    alphaPlane = parentImage->alphaPlane;
    imageInfo.parent = parentImage;
}

RGBQUAD VnImage::PaletteEntry(uint8_t index) const
{
    RGBQUAD entry = {0, 0, 0, 0};
    const RGBQUAD* palette = PaletteEntries();
    if (palette && index < header.biClrUsed)
        entry = palette[index];
    return entry;
}

void VnImage::SetPaletteEntry(uint8_t index, uint8_t red, uint8_t green, uint8_t blue,
                              uint8_t reserved)
{
    RGBQUAD* palette = PaletteEntries();
    if (!palette || index >= header.biClrUsed)
        return;
    palette[index].rgbBlue = blue;
    palette[index].rgbGreen = green;
    palette[index].rgbRed = red;
    palette[index].rgbReserved = reserved;
}

void VnImage::SetPaletteEntry(uint8_t index, RGBQUAD colour)
{
    RGBQUAD* palette = PaletteEntries();
    if (palette && index < header.biClrUsed)
        palette[index] = colour;
}

void VnImage::SetPaletteEntry(uint8_t index, COLORREF colour)
{
    SetPaletteEntry(index, static_cast<uint8_t>(colour & 0xFF),
                    static_cast<uint8_t>((colour >> 8) & 0xFF),
                    static_cast<uint8_t>((colour >> 16) & 0xFF), 0);
}

void VnImage::LoadPalette(const RGBQUAD* entries, uint32_t count)
{
    RGBQUAD* palette = PaletteEntries();
    if (!entries || !palette)
        return;
    uint64_t bytes = static_cast<uint64_t>(count) * sizeof(RGBQUAD);
    if (bytes > PaletteBytes())
        bytes = PaletteBytes();
    memcpy(palette, entries, static_cast<size_t>(bytes));
}

void VnImage::FillGreyPalette()
{
    RGBQUAD* palette = PaletteEntries();
    if (!palette || header.biClrUsed < 2)
        return;
    uint32_t step = 255 / (header.biClrUsed - 1);
    for (uint32_t i = 0; i < header.biClrUsed; ++i) {
        uint8_t level = static_cast<uint8_t>(i * step);
        palette[i].rgbBlue = level;
        palette[i].rgbGreen = level;
        palette[i].rgbRed = level;
    }
}

uint8_t VnImage::NearestPaletteIndex(RGBQUAD colour) const
{
    const RGBQUAD* palette = PaletteEntries();
    if (!palette)
        return 0;
    int32_t best = 200000;
    uint8_t bestIndex = 0;
    uint32_t count = header.biClrUsed > 256 ? 256 : header.biClrUsed;
    for (uint32_t i = 0; i < count; ++i) {
        int32_t db = palette[i].rgbBlue - colour.rgbBlue;
        int32_t dg = palette[i].rgbGreen - colour.rgbGreen;
        int32_t dr = palette[i].rgbRed - colour.rgbRed;
        int32_t distance = db * db + dg * dg + dr * dr;
        if (distance == 0)
            return static_cast<uint8_t>(i);
        if (distance < best) {
            best = distance;
            bestIndex = static_cast<uint8_t>(i);
        }
    }
    return bestIndex;
}

bool VnImage::Inside(int32_t x, int32_t y) const
{
    return x >= 0 && x < header.biWidth && y >= 0 && y < header.biHeight;
}

uint8_t VnImage::PixelIndexAt(int32_t x, int32_t y) const
{
    if (!dibBlock || header.biClrUsed == 0)
        return 0;
    if (!Inside(x, y))
        return imageInfo.transparentIndex == -1 ? 0
                                                : static_cast<uint8_t>(imageInfo.transparentIndex);
    const uint8_t* row = imageInfo.pixels + static_cast<size_t>(y) * imageInfo.rowStride;
    switch (header.biBitCount) {
    case 8: return row[x];
    case 4: return static_cast<uint8_t>((x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4);
    case 1: return static_cast<uint8_t>((row[x >> 3] >> (7 - (x & 7))) & 1);
    default: return 0;
    }
}

void VnImage::StorePixelIndex(int32_t x, int32_t y, uint8_t index)
{
    if (!dibBlock || header.biClrUsed == 0 || !Inside(x, y))
        return;
    uint8_t* row = imageInfo.pixels + static_cast<size_t>(y) * imageInfo.rowStride;
    switch (header.biBitCount) {
    case 8:
        row[x] = index;
        break;
    case 4: {
        uint8_t& byte = row[x >> 1];
        if (x & 1)
            byte = static_cast<uint8_t>((byte & 0xF0) | (index & 0x0F));
        else
            byte = static_cast<uint8_t>((byte & 0x0F) | ((index & 0x0F) << 4));
        break;
    }
    case 1: {
        uint8_t& byte = row[x >> 3];
        int bit = 7 - (x & 7);
        byte = static_cast<uint8_t>((byte & ~(1 << bit)) | ((index & 1) << bit));
        break;
    }
    default:
        break;
    }
}

RGBQUAD VnImage::PixelColorAt(int32_t x, int32_t y) const
{
    if (!dibBlock || !Inside(x, y)) {
        if (imageInfo.transparentIndex == -1 || header.biBitCount > 23)
            return imageInfo.transparentColor;
        return PaletteEntry(static_cast<uint8_t>(imageInfo.transparentIndex));
    }
    if (header.biClrUsed != 0)
        return PaletteEntry(PixelIndexAt(x, y));
    const uint8_t* pixel =
        imageInfo.pixels + static_cast<size_t>(y) * imageInfo.rowStride + 3 * static_cast<size_t>(x);
    RGBQUAD colour;
    colour.rgbBlue = pixel[0];
    colour.rgbGreen = pixel[1];
    colour.rgbRed = pixel[2];
    colour.rgbReserved = imageInfo.transparentColor.rgbReserved;
    return colour;
}

void VnImage::StorePixelColor(int32_t x, int32_t y, RGBQUAD colour)
{
    if (!dibBlock || !Inside(x, y))
        return;
    if (header.biClrUsed != 0) {
        StorePixelIndex(x, y, NearestPaletteIndex(colour));
        return;
    }
    uint8_t* pixel =
        imageInfo.pixels + static_cast<size_t>(y) * imageInfo.rowStride + 3 * static_cast<size_t>(x);
    pixel[0] = colour.rgbBlue;
    pixel[1] = colour.rgbGreen;
    pixel[2] = colour.rgbRed;
}

void VnImage::StorePixelColor(int32_t x, int32_t y, COLORREF colour)
{
    RGBQUAD quad;
    quad.rgbRed = static_cast<uint8_t>(colour & 0xFF);
    quad.rgbGreen = static_cast<uint8_t>((colour >> 8) & 0xFF);
    quad.rgbBlue = static_cast<uint8_t>((colour >> 16) & 0xFF);
    quad.rgbReserved = 0;
    StorePixelColor(x, y, quad);
}

// VnImage: the image library's in-memory device-independent bitmap. The
// storage is one packed block (a BITMAPINFOHEADER copy, the palette and the
// bottom-up pixel rows) that the graphics device interface takes unchanged.
// Images hold 1, 4 or 8 bits per pixel with a palette, or 24 bits per pixel.
#pragma once

#include <stdint.h>
#include <stdio.h>
#include <wchar.h>

#include "vn_win_types.h"

class VnByteStream;

// Image type codes. ImageTypeBmp asks for a decoder chosen by the picture's
// leading bytes: Windows bitmaps through the library's own decoder, PNG,
// JPEG, GIF and TIFF through the system's codecs where there are any.
constexpr uint32_t ImageTypeBmp = 0;

// Largest block Allocate agrees to make (pixel array, palette and header).
// A build may lower it (the fuzz build does); 1 GiB otherwise.
#ifdef VN_IMAGE_MAX_BLOCK_BYTES
constexpr uint64_t VnImageMaxBlockSize = VN_IMAGE_MAX_BLOCK_BYTES;
#else
constexpr uint64_t VnImageMaxBlockSize = 1ull << 30;
#endif

struct VnImageBounds {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

class VnImage;

struct VnImageInfo {
    uint32_t rowStride;       // bytes per pixel row, padded to a multiple of 4
    uint8_t* pixels;          // first byte of the pixel array inside the block
    VnImage* parent;          // the image whose storage an alias views
    uint32_t imageType;       // format code, ImageTypeBmp for loaded images
    uint8_t colorKind;        // 1 palette, 2 RGB, 4 RGB with an alpha plane
    char lastError[256];      // text of the last failed load or decode
    int32_t transparentIndex; // index standing for points outside; -1 none
    RGBQUAD transparentColor; // colour of points outside when no index applies
    int32_t xDpi;
    int32_t yDpi;
    VnImageBounds selectionBounds;
};

enum : uint8_t { ColorKindPalette = 1, ColorKindRgb = 2, ColorKindRgbAlpha = 4 };

class VnImage {
public:
    // Empty image without storage.
    explicit VnImage(uint32_t imageType);
    // Image with fresh storage; pixels and palette start all zero.
    VnImage(int32_t width, int32_t height, int32_t bitCount, uint32_t imageType);
    // Decodes a picture from the caller's bytes, which the caller keeps.
    // Without storage afterwards when the decode failed (see lastError).
    VnImage(const uint8_t* buffer, uint32_t size, uint32_t imageType);
    VnImage(VnByteStream* stream, uint32_t imageType);
    VnImage(FILE* file, uint32_t imageType);
    VnImage(const char* fileName, uint32_t imageType);
    // Deep copy of source: the pixels only when withPixels, the selection and
    // alpha planes only when asked for.
    VnImage(const VnImage& source, bool withPixels, bool withSelection, bool withAlpha);
    virtual ~VnImage();

    VnImage(const VnImage&) = delete;
    VnImage& operator=(const VnImage&) = delete;

    // Storage.
    void InitEmpty(uint32_t imageType);
    uint8_t* Allocate(int32_t width, int32_t height, int32_t bitCount, uint32_t imageType);
    void ReleaseStorage();
    void TakeOver(VnImage& source);
    uint32_t PaletteBytes() const;
    RGBQUAD* PaletteEntries() const;
    uint8_t* PixelBase() const;
    uint32_t BlockSize() const;
    void ExpandPackedPixels(const uint8_t* source, uint16_t mask1, uint16_t mask2, uint16_t mask3,
                            uint8_t sourceBitCount);
    // Widens 16- or 32-bit pixels with any red, green and blue masks: each
    // channel's bits are taken where its mask lies and scaled to the top of
    // a byte. Source rows are laid out as in a BMP file (padded to 4 bytes).
    void ExpandMaskedPixels(const uint8_t* source, uint32_t redMask, uint32_t greenMask,
                            uint32_t blueMask, uint8_t sourceBitCount);
    void SetHorizontalDpi(int32_t dpi);
    void SetVerticalDpi(int32_t dpi);
    void DropAlphaPlane();
    void DropSelectionPlane();

    // Loading (every entry reports failure by false and lastError).
    bool Decode(VnByteStream* stream, uint32_t imageType);
    bool Decode(const uint8_t* buffer, uint32_t size, uint32_t imageType);
    bool Decode(FILE* file, uint32_t imageType);
    bool Load(const char* fileName, uint32_t imageType);
    bool Load(const wchar_t* fileName, uint32_t imageType);
#ifdef _WIN32
    bool LoadFromResource(HRSRC resource, uint32_t imageType, HMODULE module);
    // A device bitmap for hdc made from this image, owned by the caller; null
    // for a null hdc, an image without storage or a failing conversion.
    HBITMAP ToDeviceBitmap(HDC hdc) const;
#endif

    // Copying and aliasing.
    void CopyFrom(const VnImage& source, bool withPixels, bool withSelection, bool withAlpha);
    void ShareFrom(VnImage* parent);

    // Palette access.
    RGBQUAD PaletteEntry(uint8_t index) const;
    void SetPaletteEntry(uint8_t index, uint8_t red, uint8_t green, uint8_t blue, uint8_t reserved);
    void SetPaletteEntry(uint8_t index, RGBQUAD colour);
    void SetPaletteEntry(uint8_t index, COLORREF colour);
    void LoadPalette(const RGBQUAD* entries, uint32_t count);
    void FillGreyPalette();
    uint8_t NearestPaletteIndex(RGBQUAD colour) const;

    // Pixel access; y = 0 is the bottom row.
    uint8_t PixelIndexAt(int32_t x, int32_t y) const;
    void StorePixelIndex(int32_t x, int32_t y, uint8_t index);
    RGBQUAD PixelColorAt(int32_t x, int32_t y) const;
    void StorePixelColor(int32_t x, int32_t y, RGBQUAD colour);
    void StorePixelColor(int32_t x, int32_t y, COLORREF colour);

    uint8_t* dibBlock;
    BITMAPINFOHEADER header;
    VnImageInfo imageInfo;
    uint8_t* selectionPlane;
    uint8_t* alphaPlane;

protected:
    // Allocate with a choice: zeroPixels false leaves the pixel array for a
    // caller that writes every byte of it (header copy and palette are
    // cleared either way).
    uint8_t* AllocateStorage(int32_t width, int32_t height, int32_t bitCount, uint32_t imageType,
                             bool zeroPixels);
    void StoreError(const char* text);
    // Decodes a PNG, JPEG, GIF or TIFF from the stream's position to its end.
    bool DecodeCompressed(VnByteStream* stream);
    bool Inside(int32_t x, int32_t y) const;
};

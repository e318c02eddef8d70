#include "vn_image.h"
#include "vn_image_widen.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>
#if defined(__linux__)
#include <sys/mman.h>
#endif

VnImage::VnImage(uint32_t imageType)
{
    InitEmpty(imageType);
}

VnImage::VnImage(int32_t width, int32_t height, int32_t bitCount, uint32_t imageType)
{
    InitEmpty(imageType);
    Allocate(width, height, bitCount, imageType);
}

VnImage::~VnImage()
{
    ReleaseStorage();
}

void VnImage::InitEmpty(uint32_t imageType)
{
    alphaPlane = nullptr;
    selectionPlane = nullptr;
    dibBlock = nullptr;
    memset(&header, 0, sizeof(header));
    header.biSize = sizeof(BITMAPINFOHEADER);
    memset(&imageInfo, 0, sizeof(imageInfo));
    imageInfo.imageType = imageType;
    imageInfo.transparentIndex = -1;
    SetHorizontalDpi(72);
    SetVerticalDpi(72);
}

void VnImage::StoreError(const char* text)
{
    strncpy(imageInfo.lastError, text ? text : "", sizeof(imageInfo.lastError) - 1);
    imageInfo.lastError[sizeof(imageInfo.lastError) - 1] = '\0';
}

void VnImage::SetHorizontalDpi(int32_t dpi)
{
    imageInfo.xDpi = dpi;
    header.biXPelsPerMeter = static_cast<LONG>(floor(dpi * 10000.0 / 254.0 + 0.5));
}

void VnImage::SetVerticalDpi(int32_t dpi)
{
    imageInfo.yDpi = dpi;
    header.biYPelsPerMeter = static_cast<LONG>(floor(dpi * 10000.0 / 254.0 + 0.5));
}

namespace {

// A large block that the caller fills whole is, on Linux, marked for huge
// pages: a fresh picture then costs a few dozen page faults instead of
// thousands, which is most of the time of decoding a big uncompressed file.
// Zeroed blocks come from calloc, whose fresh pages need no clearing.
const uint64_t LargeBlock = 4ull << 20;

uint8_t* NewBlock(uint64_t bytes, bool zeroed)
{
    if (zeroed)
        return static_cast<uint8_t*>(calloc(1, static_cast<size_t>(bytes)));
    uint8_t* block = static_cast<uint8_t*>(malloc(static_cast<size_t>(bytes)));
#if defined(__linux__)
    if (block && bytes >= LargeBlock) {
        const uintptr_t page = 4096;
        uintptr_t first = (reinterpret_cast<uintptr_t>(block) + page - 1) & ~(page - 1);
        uintptr_t last = (reinterpret_cast<uintptr_t>(block) + static_cast<size_t>(bytes)) & ~(page - 1);
        if (last > first)
            madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
#endif
    return block;
}

}  // namespace

uint8_t* VnImage::Allocate(int32_t width, int32_t height, int32_t bitCount, uint32_t imageType)
{
    return AllocateStorage(width, height, bitCount, imageType, true);
}

uint8_t* VnImage::AllocateStorage(int32_t width, int32_t height, int32_t bitCount,
                                  uint32_t imageType, bool zeroPixels)
{
    // An alias never frees its parent's block; it just lets go of it.
    if (dibBlock && !imageInfo.parent)
        free(dibBlock);
    dibBlock = nullptr;
    imageInfo.pixels = nullptr;
    if (imageInfo.parent) {
        selectionPlane = nullptr;
        alphaPlane = nullptr;
        imageInfo.parent = nullptr;
    }

    int32_t bits = bitCount <= 1 ? 1 : bitCount <= 4 ? 4 : bitCount <= 8 ? 8 : 24;
    uint32_t colours = bits == 24 ? 0u : 1u << bits;

    // Refuse sizes the model cannot hold before touching the header: a
    // negative height (a top-down file) counts as its absolute value.
    if (width <= 0 || height == 0)
        return nullptr;
    uint64_t rows = height < 0 ? static_cast<uint64_t>(-static_cast<int64_t>(height))
                               : static_cast<uint64_t>(height);
    if (rows > INT32_MAX)
        return nullptr;
    // The block always starts with a whole info header, which is copied in
    // below; a smaller size (0 after TakeOver emptied this image) counts as
    // that header's size.
    if (header.biSize < sizeof(BITMAPINFOHEADER))
        header.biSize = sizeof(BITMAPINFOHEADER);
    uint64_t stride = (static_cast<uint64_t>(bits) * static_cast<uint64_t>(width) + 31) / 32 * 4;
    uint64_t imageBytes = stride * rows;
    uint64_t blockBytes = imageBytes + header.biSize + colours * 4ull;
    if (stride > UINT32_MAX || imageBytes > UINT32_MAX || header.biSize > VnImageMaxBlockSize
        || blockBytes > VnImageMaxBlockSize)
        return nullptr;

    header.biClrUsed = colours;
    imageInfo.colorKind = bits == 24 ? ColorKindRgb : ColorKindPalette;
    imageInfo.rowStride = static_cast<uint32_t>(stride);
    imageInfo.imageType = imageType;
    header.biWidth = width;
    header.biHeight = static_cast<LONG>(rows);
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bits);
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(imageBytes);
    header.biClrImportant = 0;

    // Zeroed unless the caller fills every pixel itself: no pixel that is
    // not written can show stale memory.
    uint8_t* block = NewBlock(blockBytes, zeroPixels);
    if (!block)
        return nullptr;
    dibBlock = block;
    // Header copy and palette are always cleared; the pixels as asked.
    memset(dibBlock, 0, static_cast<size_t>(blockBytes - imageBytes));
    if (selectionPlane)
        DropSelectionPlane();
    if (alphaPlane)
        DropAlphaPlane();
    memcpy(dibBlock, &header, sizeof(header));
    imageInfo.pixels = PixelBase();
    return dibBlock;
}

void VnImage::ReleaseStorage()
{
    if (!dibBlock || imageInfo.parent)
        return;
    free(selectionPlane);
    selectionPlane = nullptr;
    free(alphaPlane);
    alphaPlane = nullptr;
    free(dibBlock);
    dibBlock = nullptr;
    imageInfo.pixels = nullptr;
}

void VnImage::TakeOver(VnImage& source)
{
    if (&source == this)
        return;
    if (!imageInfo.parent) {
        free(dibBlock);
        free(selectionPlane);
        free(alphaPlane);
    }
    header = source.header;
    imageInfo = source.imageInfo;
    dibBlock = source.dibBlock;
    selectionPlane = source.selectionPlane;
    alphaPlane = source.alphaPlane;

    memset(&source.header, 0, sizeof(source.header));
    memset(&source.imageInfo, 0, sizeof(source.imageInfo));
    source.dibBlock = nullptr;
    source.selectionPlane = nullptr;
    source.alphaPlane = nullptr;
}

uint32_t VnImage::PaletteBytes() const
{
    return header.biClrUsed * 4;
}

RGBQUAD* VnImage::PaletteEntries() const
{
    if (!dibBlock || header.biClrUsed == 0)
        return nullptr;
    return reinterpret_cast<RGBQUAD*>(dibBlock + sizeof(BITMAPINFOHEADER));
}

uint8_t* VnImage::PixelBase() const
{
    if (!dibBlock)
        return nullptr;
    const BITMAPINFOHEADER* blockHeader = reinterpret_cast<const BITMAPINFOHEADER*>(dibBlock);
    return dibBlock + blockHeader->biSize + blockHeader->biClrUsed * 4;
}

uint32_t VnImage::BlockSize() const
{
    return header.biSizeImage + header.biSize + header.biClrUsed * 4;
}

void VnImage::DropAlphaPlane()
{
    free(alphaPlane);
    alphaPlane = nullptr;
    if (header.biBitCount == 24)
        imageInfo.colorKind = ColorKindRgb;
}

void VnImage::DropSelectionPlane()
{
    free(selectionPlane);
    selectionPlane = nullptr;
    imageInfo.selectionBounds.left = header.biWidth;
    imageInfo.selectionBounds.top = 0;
    imageInfo.selectionBounds.right = 0;
    imageInfo.selectionBounds.bottom = header.biHeight;
}

namespace {

// Shifts left for a negative count: masks wider than the widening expects
// ask for that direction.
inline uint32_t ShiftRight(uint32_t value, int count)
{
    if (count >= 32 || count <= -32)
        return 0;
    return count >= 0 ? value >> count : value << -count;
}

}  // namespace

void VnImage::ExpandPackedPixels(const uint8_t* source, uint16_t mask1, uint16_t mask2,
                                 uint16_t mask3, uint8_t sourceBitCount)
{
    if (!source || !dibBlock || header.biBitCount != 24)
        return;
    const uint32_t width = static_cast<uint32_t>(header.biWidth);
    const uint32_t height = static_cast<uint32_t>(header.biHeight);
    const uint32_t stride = imageInfo.rowStride;
    uint8_t* pixels = imageInfo.pixels;
    if (sourceBitCount == 16) {
        int count1 = vnwiden::BitsSet(mask1), count2 = vnwiden::BitsSet(mask2),
            count3 = vnwiden::BitsSet(mask3);
        int blueShift = 8 - count1;
        int greenShift = count1 + count2 - 8;
        int redShift = count1 + count2 + count3 - 8;
        const size_t sourceRow = static_cast<size_t>((width + 1) / 2) * 4;
        // Backwards, top row first and right to left, so the widening can
        // run in place over the packed rows.
        for (uint32_t y = height; y-- > 0;) {
            const uint8_t* src = source + y * sourceRow;
            uint8_t* dst = pixels + static_cast<size_t>(y) * stride;
            for (uint32_t x = width; x-- > 0;) {
                uint32_t v = src[2 * x] | (src[2 * x + 1] << 8);
                uint8_t blue = static_cast<uint8_t>(ShiftRight(v & mask3, -blueShift));
                uint8_t green = static_cast<uint8_t>(ShiftRight(v & mask2, greenShift));
                uint8_t red = static_cast<uint8_t>(ShiftRight(v & mask1, redShift));
                dst[3 * x] = blue;
                dst[3 * x + 1] = green;
                dst[3 * x + 2] = red;
            }
            memset(dst + 3 * static_cast<size_t>(width), 0, stride - 3 * static_cast<size_t>(width));
        }
    } else if (sourceBitCount == 32) {
        const size_t sourceRow = static_cast<size_t>(width) * 4;
        for (uint32_t y = 0; y < height; ++y) {
            const uint8_t* src = source + y * sourceRow;
            uint8_t* dst = pixels + static_cast<size_t>(y) * stride;
            for (uint32_t x = 0; x < width; ++x) {
                dst[3 * x] = src[4 * x];
                dst[3 * x + 1] = src[4 * x + 1];
                dst[3 * x + 2] = src[4 * x + 2];
            }
            memset(dst + 3 * static_cast<size_t>(width), 0, stride - 3 * static_cast<size_t>(width));
        }
    }
}

void VnImage::ExpandMaskedPixels(const uint8_t* source, uint32_t redMask, uint32_t greenMask,
                                 uint32_t blueMask, uint8_t sourceBitCount)
{
    if (!source || !dibBlock || header.biBitCount != 24)
        return;
    if (sourceBitCount != 16 && sourceBitCount != 32)
        return;
    using namespace vnwiden;
    const Channel red = MakeChannel(redMask), green = MakeChannel(greenMask),
                  blue = MakeChannel(blueMask);
    const uint32_t width = static_cast<uint32_t>(header.biWidth);
    const uint32_t height = static_cast<uint32_t>(header.biHeight);
    const size_t stride = imageInfo.rowStride;
    const size_t padding = stride - 3 * static_cast<size_t>(width);
    if (sourceBitCount == 16) {
        // Top row first: the source may be this image's own pixel array.
        const size_t sourceRow = static_cast<size_t>((width + 1) / 2) * 4;
        for (uint32_t y = height; y-- > 0;) {
            uint8_t* dst = imageInfo.pixels + y * stride;
            WidenRow16(source + y * sourceRow, dst, width, red, green, blue);
            memset(dst + stride - padding, 0, padding);
        }
    } else {
        const size_t sourceRow = static_cast<size_t>(width) * 4;
        for (uint32_t y = 0; y < height; ++y) {
            uint8_t* dst = imageInfo.pixels + y * stride;
            WidenRow32(source + y * sourceRow, dst, width, red, green, blue);
            memset(dst + stride - padding, 0, padding);
        }
    }
}

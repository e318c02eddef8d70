#include "vn_image_orient.h"

#include <string.h>

namespace {

bool SwapsSides(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

// A channel value c with alpha a over white: c * a / 255 + (255 - a), its
// integer part (as ImageMagick composites, so the two agree exactly).
inline uint8_t OverWhite(uint32_t c, uint32_t a)
{
    return static_cast<uint8_t>((c * a + 255u * (255u - a)) / 255u);
}

inline void Composite(const uint8_t* bgra, uint8_t* bgr)
{
    const uint32_t a = bgra[3];
    if (a == 255) {
        bgr[0] = bgra[0];
        bgr[1] = bgra[1];
        bgr[2] = bgra[2];
    } else {
        bgr[0] = OverWhite(bgra[0], a);
        bgr[1] = OverWhite(bgra[1], a);
        bgr[2] = OverWhite(bgra[2], a);
    }
}

}  // namespace

void VnOrientedSize(int orientation, uint32_t width, uint32_t height, uint32_t* outWidth,
                    uint32_t* outHeight)
{
    const bool swap = SwapsSides(orientation);
    *outWidth = swap ? height : width;
    *outHeight = swap ? width : height;
}

bool VnPlaceBgraBand(VnImage& image, int orientation, uint32_t sourceWidth, uint32_t sourceHeight,
                     const VnBgraBand& band)
{
    if (orientation < 1 || orientation > 8)
        orientation = 1;
    uint32_t width, height;
    VnOrientedSize(orientation, sourceWidth, sourceHeight, &width, &height);
    if (!image.dibBlock || !image.imageInfo.pixels || image.header.biBitCount != 24
        || image.header.biWidth != static_cast<LONG>(width) || image.header.biHeight != static_cast<LONG>(height))
        return false;
    if (!band.rows || band.firstRow > sourceHeight || band.rowCount > sourceHeight - band.firstRow
        || band.stride < static_cast<uint64_t>(sourceWidth) * 4)
        return false;

    uint8_t* pixels = image.imageInfo.pixels;
    const size_t stride = image.imageInfo.rowStride;
    // Where the source pixel (x, y) lands, as a row of the image counted from
    // the top and a column: dx = ax + bx * x + cx * y, dy likewise.
    const int64_t W = sourceWidth, H = sourceHeight;
    int64_t ax = 0, bx = 1, cx = 0, ay = 0, by = 0, cy = 1;
    switch (orientation) {
    case 2: ax = W - 1; bx = -1; break;                          // mirrored left to right
    case 3: ax = W - 1; bx = -1; ay = H - 1; cy = -1; break;     // turned half round
    case 4: ay = H - 1; cy = -1; break;                          // mirrored top to bottom
    case 5: bx = 0; cx = 1; by = 1; cy = 0; break;               // transposed
    case 6: ax = H - 1; bx = 0; cx = -1; by = 1; cy = 0; break;  // turned a quarter clockwise
    case 7: ax = H - 1; bx = 0; cx = -1; ay = W - 1; by = -1; cy = 0; break;
    case 8: bx = 0; cx = 1; ay = W - 1; by = -1; cy = 0; break;  // a quarter anticlockwise
    default: break;
    }
    if (orientation <= 4) {
        // A source row stays a row: walk it forwards or backwards.
        for (uint32_t i = 0; i < band.rowCount; ++i) {
            const int64_t dy = ay + cy * (band.firstRow + i);
            const uint8_t* src = band.rows + static_cast<size_t>(i) * band.stride;
            uint8_t* row = pixels + static_cast<size_t>(height - 1 - dy) * stride;
            if (bx == 1) {
                for (uint32_t x = 0; x < sourceWidth; ++x)
                    Composite(src + 4 * x, row + 3 * x);
            } else {
                for (uint32_t x = 0; x < sourceWidth; ++x)
                    Composite(src + 4 * x, row + 3 * (sourceWidth - 1 - x));
            }
        }
        return true;
    }
    // A source row becomes a column. Taken a few dozen source columns at a
    // time across every row of the band, so the rows of the image being
    // written stay in the cache instead of one pixel per row each pass.
    const uint32_t Block = 32;
    for (uint32_t x0 = 0; x0 < sourceWidth; x0 += Block) {
        const uint32_t x1 = sourceWidth - x0 < Block ? sourceWidth : x0 + Block;
        for (uint32_t i = 0; i < band.rowCount; ++i) {
            const int64_t y = band.firstRow + i;
            const uint8_t* src = band.rows + static_cast<size_t>(i) * band.stride;
            uint8_t* column = pixels + 3 * static_cast<size_t>(ax + cx * y);
            for (uint32_t x = x0; x < x1; ++x) {
                const int64_t dy = ay + by * x;
                Composite(src + 4 * x, column + static_cast<size_t>(height - 1 - dy) * stride);
            }
        }
    }
    return true;
}

// Placing decoded rows into a 24-bit image: 32-bit BGRA rows (top row first,
// as decoders deliver them) are composited over white and turned or mirrored
// by an Exif orientation, so the image stands as the camera was held.
// Portable; the Windows decoder feeds it band by band.
#pragma once

#include <stdint.h>

#include "vn_image.h"

// Width and height of a width x height picture shown with the orientation:
// 5 to 8 swap the sides; anything outside 1..8 counts as 1.
void VnOrientedSize(int orientation, uint32_t width, uint32_t height, uint32_t* outWidth,
                    uint32_t* outHeight);

// A BGRA band: rowCount rows of a sourceWidth x sourceHeight picture starting
// at row firstRow (0 = top), each row stride bytes apart.
struct VnBgraBand {
    const uint8_t* rows;
    uint32_t stride;
    uint32_t firstRow;
    uint32_t rowCount;
};

// Writes the band's pixels into image, which must hold a 24-bit picture of
// the oriented size of sourceWidth x sourceHeight. Transparent pixels are
// composited over white. False (nothing written) when the image does not
// match or the band reaches outside the picture.
bool VnPlaceBgraBand(VnImage& image, int orientation, uint32_t sourceWidth, uint32_t sourceHeight,
                     const VnBgraBand& band);

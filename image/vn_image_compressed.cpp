#include "vn_image_compressed.h"

#include "vn_image_orient.h"
#include "vn_picture_format.h"

VnImageCompressed::VnImageCompressed() : VnImage(ImageTypeBmp) {}

VnImageCompressed::~VnImageCompressed() {}

// The block a 24-bit picture of this size needs, as Allocate reckons it.
static uint64_t BlockBytes(uint32_t width, uint32_t height)
{
    const uint64_t stride = (static_cast<uint64_t>(width) * 24 + 31) / 32 * 4;
    return stride * height + sizeof(BITMAPINFOHEADER);
}

bool VnImageCompressed::Decode(const uint8_t* data, size_t size)
{
    VnPictureHeader picture;
    const char* error = nullptr;
    if (!VnReadPictureHeader(data, size, &picture, &error)) {
        StoreError(error);
        return false;
    }
    if (!VnPictureFormatIsPaddable(picture.format)) {
        StoreError("not a compressed picture");
        return false;
    }
    // Refused here, before any decoder allocates for the claimed size.
    if (picture.width > INT32_MAX || picture.height > INT32_MAX
        || BlockBytes(picture.width, picture.height) > VnImageMaxBlockSize) {
        StoreError("the picture is too large");
        return false;
    }
    return DecodePixels(data, size, picture.orientation);
}

#ifndef _WIN32
bool VnImageCompressed::DecodePixels(const uint8_t* data, size_t size, int)
{
    switch (VnSniffPictureFormat(data, size)) {
    case VnPicturePng: StoreError("PNG pictures can be decoded only on Windows"); break;
    case VnPictureJpeg: StoreError("JPEG pictures can be decoded only on Windows"); break;
    case VnPictureGif: StoreError("GIF pictures can be decoded only on Windows"); break;
    default: StoreError("TIFF pictures can be decoded only on Windows"); break;
    }
    return false;
}
#endif

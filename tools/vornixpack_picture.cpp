#include "vornixpack_picture.h"

#include "vn_image.h"
#include "vn_picture_format.h"

bool PictureIsSupported(const uint8_t* data, size_t size)
{
    if (size > 0xFFFFFFFFu)
        return false;
#ifndef _WIN32
    // Without the system's codecs the compressed formats are checked by their
    // header; bitmaps are decoded by the image library's own decoder, on
    // every system alike.
    if (VnPictureFormatIsPaddable(VnSniffPictureFormat(data, size))) {
        VnPictureHeader header;
        const char* error = nullptr;
        return VnReadPictureHeader(data, size, &header, &error);
    }
#endif
    VnImage image(data, static_cast<uint32_t>(size), ImageTypeBmp);
    return image.dibBlock != nullptr;
}

std::string DescribePicture(const uint8_t* data, size_t size)
{
    VnPictureHeader header;
    const char* error = nullptr;
    if (!VnReadPictureHeader(data, size, &header, &error)) {
        return std::string(VnPictureFormatName(VnSniffPictureFormat(data, size))) +
               ", header not readable (" + (error ? error : "unknown error") + ")";
    }
    return std::string(VnPictureFormatName(header.format)) + ", " + std::to_string(header.width) +
           " x " + std::to_string(header.height) + " pixels, orientation " +
           std::to_string(header.orientation);
}

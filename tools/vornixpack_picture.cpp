#include "vornixpack_picture.h"

#include "vn_picture_format.h"

#ifdef _WIN32
#include "vn_image.h"
#endif

bool PictureIsSupported(const uint8_t* data, size_t size)
{
#ifdef _WIN32
    if (size > 0xFFFFFFFFu)
        return false;
    VnImage image(data, static_cast<uint32_t>(size), ImageTypeBmp);
    return image.dibBlock != nullptr;
#else
    VnPictureHeader header;
    const char* error = nullptr;
    return VnReadPictureHeader(data, size, &header, &error);
#endif
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

#include "picture_padding.h"

#include "package_cipher.h"
#include "vn_picture_format.h"

bool PictureIsPadded(const uint8_t* data, size_t size)
{
    return VnPictureFormatIsPaddable(VnSniffPictureFormat(data, size));
}

uint32_t StoredPictureLength(const uint8_t* data, size_t size, uint32_t length)
{
    return PictureIsPadded(data, size) ? PackageCipher::PaddedLength(length) : length;
}

// VnImageCompressed: the decoder for PNG, JPEG (baseline and progressive),
// GIF (first frame) and TIFF (first page). The header is checked portably
// first (format, pixel size against the library's limit, orientation); the
// pixels come from the Windows Imaging Component. The result is a 24-bit
// image laid out like the BMP decoder's, transparent pixels composited over
// white and turned upright by the picture's Exif orientation. Builds without
// the Windows Imaging Component refuse these formats with a lastError text.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "vn_image.h"

class VnImageCompressed : public VnImage {
public:
    VnImageCompressed();
    ~VnImageCompressed() override;

    using VnImage::Decode;
    // Decodes the whole picture file held in data (the caller keeps it).
    // False with a lastError text when it cannot.
    bool Decode(const uint8_t* data, size_t size);

private:
    // The platform part: fills this image (allocated here) from the file.
    bool DecodePixels(const uint8_t* data, size_t size, int orientation);
};

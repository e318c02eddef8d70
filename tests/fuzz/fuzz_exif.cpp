// Fuzz target for the Exif orientation parser: any bytes, as a JPEG and as a
// JPEG whose APP1 Exif block holds them. The result is always 1..8.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "vn_exif.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    int direct = VnExifOrientation(data, size);
    if (direct < 1 || direct > 8)
        abort();

    // The bytes as the TIFF structure inside an Exif block of a JPEG, so the
    // fuzzer reaches the directory walk without having to find the markers.
    if (size <= 0xFFFF - 8) {
        std::vector<uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xE1,
                                     static_cast<uint8_t>((size + 8) >> 8),
                                     static_cast<uint8_t>(size + 8), 'E', 'x', 'i', 'f', 0, 0};
        jpeg.insert(jpeg.end(), data, data + size);
        int wrapped = VnExifOrientation(jpeg.data(), jpeg.size());
        if (wrapped < 1 || wrapped > 8)
            abort();
        uint32_t value;
        VnTiffFirstIfdValue(data, size, 0x0112, &value);
    }
    return 0;
}

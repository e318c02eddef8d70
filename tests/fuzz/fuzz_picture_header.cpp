// Fuzz target for the picture sniffer and the bounded header reader: any
// bytes are either refused with a text or give a format, a pixel size and an
// orientation in range, consistent with the sniffer.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "vn_picture_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const VnPictureFormat sniffed = VnSniffPictureFormat(data, size);
    if (strlen(VnPictureFormatName(sniffed)) == 0)
        abort();
    VnPictureHeader header;
    const char* error = nullptr;
    if (!VnReadPictureHeader(data, size, &header, &error)) {
        if (!error || !*error)
            abort();
        return 0;
    }
    if (header.width == 0 || header.height == 0 || header.orientation < 1 || header.orientation > 8)
        abort();
    // Only a headerless bitmap may be read as a format the sniffer did not see.
    if (header.format != sniffed && !(sniffed == VnPictureUnknown && header.format == VnPictureBmp))
        abort();
    return 0;
}

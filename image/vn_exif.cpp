#include "vn_exif.h"

#include <string.h>

namespace {

const uint16_t TagOrientation = 0x0112;
const uint16_t TypeShort = 3;
const uint16_t TypeLong = 4;
const size_t IfdEntryBytes = 12;

struct ByteOrder {
    bool little;
    uint16_t U16(const uint8_t* p) const
    {
        return little ? static_cast<uint16_t>(p[0] | p[1] << 8) : static_cast<uint16_t>(p[0] << 8 | p[1]);
    }
    uint32_t U32(const uint8_t* p) const
    {
        return little ? (static_cast<uint32_t>(p[3]) << 24 | p[2] << 16 | p[1] << 8 | p[0])
                      : (static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]);
    }
};

uint16_t BigU16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}

}  // namespace

bool VnTiffFirstIfdValue(const uint8_t* tiff, size_t size, uint16_t tag, uint32_t* value)
{
    if (!tiff || !value || size < 8)
        return false;
    ByteOrder order;
    if (tiff[0] == 'I' && tiff[1] == 'I')
        order.little = true;
    else if (tiff[0] == 'M' && tiff[1] == 'M')
        order.little = false;
    else
        return false;
    if (order.U16(tiff + 2) != 42)
        return false;
    const uint32_t ifd = order.U32(tiff + 4);
    // The directory's entry count, then its entries, all inside the bytes.
    if (ifd < 8 || ifd > size || size - ifd < 2)
        return false;
    const size_t count = order.U16(tiff + ifd);
    const size_t room = (size - ifd - 2) / IfdEntryBytes;
    const size_t entries = count < room ? count : room;
    for (size_t i = 0; i < entries; ++i) {
        const uint8_t* entry = tiff + ifd + 2 + i * IfdEntryBytes;
        if (order.U16(entry) != tag)
            continue;
        const uint16_t type = order.U16(entry + 2);
        if (order.U32(entry + 4) != 1)
            return false;
        // A single value sits in the entry itself, at the front of its last
        // four bytes.
        if (type == TypeShort)
            *value = order.U16(entry + 8);
        else if (type == TypeLong)
            *value = order.U32(entry + 8);
        else
            return false;
        return true;
    }
    return false;
}

int VnExifOrientation(const uint8_t* jpeg, size_t size)
{
    if (!jpeg || size < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8)
        return 1;
    // Walk the marker segments in front of the image data; the first APP1
    // segment that holds an Exif block decides.
    size_t at = 2;
    while (at + 4 <= size) {
        if (jpeg[at] != 0xFF)
            return 1;
        const uint8_t marker = jpeg[at + 1];
        if (marker == 0xFF) {  // fill byte before a marker
            ++at;
            continue;
        }
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;  // markers without a segment
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA)  // end of image, start of scan
            return 1;
        const size_t length = BigU16(jpeg + at + 2);
        if (length < 2 || length > size - at - 2)
            return 1;
        const uint8_t* body = jpeg + at + 4;
        const size_t bodySize = length - 2;
        if (marker == 0xE1 && bodySize >= 6 && memcmp(body, "Exif\0\0", 6) == 0) {
            uint32_t orientation = 0;
            if (VnTiffFirstIfdValue(body + 6, bodySize - 6, TagOrientation, &orientation)
                && orientation >= 1 && orientation <= 8)
                return static_cast<int>(orientation);
            return 1;
        }
        at += 2 + length;
    }
    return 1;
}

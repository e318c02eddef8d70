#include "picture_tail.h"

#include "little_endian.h"

void FillPictureTail(uint8_t* picture, uint32_t length, uint32_t missingCount)
{
    if (missingCount > length)
        missingCount = length;
    const uint32_t knownLength = length - missingCount;
    // Row length and start of the pixel rows, from a file header and an info
    // header (or the old 12-byte core header) that lie in the known bytes.
    uint64_t rowStride = 0;
    uint64_t pixelStart = 0;
    if (knownLength >= 54 && picture[0] == 'B' && picture[1] == 'M') {
        uint32_t infoSize = ReadLe32(picture + 14);
        uint64_t width = 0;
        uint32_t bitCount = 0;
        uint32_t compression = 0;
        if (infoSize == 12) {
            width = ReadLe16(picture + 18);
            bitCount = ReadLe16(picture + 24);
        } else if (infoSize >= 40) {
            uint32_t rawWidth = ReadLe32(picture + 18);
            width = rawWidth < 0x80000000u ? rawWidth : 0;
            bitCount = ReadLe16(picture + 28);
            compression = ReadLe32(picture + 30);
        }
        bool packed = bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
                      bitCount == 24 || bitCount == 32;
        // Only uncompressed and bit-field rows have a fixed length.
        if (width > 0 && packed && (compression == 0 || compression == 3)) {
            rowStride = (width * bitCount + 31) / 32 * 4;
            pixelStart = ReadLe32(picture + 10);
        }
    }
    for (uint32_t offset = knownLength; offset < length; ++offset) {
        if (rowStride != 0 && offset >= pixelStart + rowStride)
            picture[offset] = picture[offset - rowStride];
        else
            picture[offset] = 0;
    }
}

// Byte-level layouts of the compressed formats' headers and of an Exif
// block, for the picture-format tests, the Windows decoder tests and the
// fuzz seeds. Plain C++, no gtest.
#pragma once

#include <stdint.h>
#include <string.h>
#include <vector>

namespace picturetest {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, uint16_t v, bool big)
{
    if (big) {
        b.push_back(static_cast<uint8_t>(v >> 8));
        b.push_back(static_cast<uint8_t>(v));
    } else {
        b.push_back(static_cast<uint8_t>(v));
        b.push_back(static_cast<uint8_t>(v >> 8));
    }
}

inline void Put32(Bytes& b, uint32_t v, bool big)
{
    if (big) {
        Put16(b, static_cast<uint16_t>(v >> 16), true);
        Put16(b, static_cast<uint16_t>(v), true);
    } else {
        Put16(b, static_cast<uint16_t>(v), false);
        Put16(b, static_cast<uint16_t>(v >> 16), false);
    }
}

struct IfdEntry {
    uint16_t tag;
    uint16_t type;  // 3 SHORT, 4 LONG
    uint32_t count;
    uint32_t value;
};

// A TIFF header followed right away by one image file directory.
inline Bytes TiffStructure(const std::vector<IfdEntry>& entries, bool big)
{
    Bytes b;
    b.push_back(big ? 'M' : 'I');
    b.push_back(big ? 'M' : 'I');
    Put16(b, 42, big);
    Put32(b, 8, big);
    Put16(b, static_cast<uint16_t>(entries.size()), big);
    for (const IfdEntry& e : entries) {
        Put16(b, e.tag, big);
        Put16(b, e.type, big);
        Put32(b, e.count, big);
        if (e.type == 3) {
            Put16(b, static_cast<uint16_t>(e.value), big);
            Put16(b, 0, big);
        } else {
            Put32(b, e.value, big);
        }
    }
    Put32(b, 0, big);  // no next directory
    return b;
}

// An APP1 segment holding an Exif block whose only entry is the orientation.
inline Bytes ExifSegment(uint16_t orientation, bool big = false)
{
    Bytes tiff = TiffStructure({{0x0112, 3, 1, orientation}}, big);
    Bytes b = {0xFF, 0xE1};
    Put16(b, static_cast<uint16_t>(2 + 6 + tiff.size()), true);
    const char exif[6] = {'E', 'x', 'i', 'f', 0, 0};
    b.insert(b.end(), exif, exif + 6);
    b.insert(b.end(), tiff.begin(), tiff.end());
    return b;
}

// The JPEG file with an Exif orientation block inserted right after its
// start-of-image marker.
inline Bytes WithExifOrientation(const Bytes& jpeg, uint16_t orientation, bool big = false)
{
    Bytes out(jpeg.begin(), jpeg.begin() + (jpeg.size() < 2 ? jpeg.size() : 2));
    Bytes exif = ExifSegment(orientation, big);
    out.insert(out.end(), exif.begin(), exif.end());
    if (jpeg.size() > 2)
        out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

// The front of a JPEG up to and including its frame header (no pixel data):
// SOI, an optional segment, SOF0 with three components.
inline Bytes JpegHead(uint16_t width, uint16_t height, const Bytes& before = Bytes())
{
    // Room for it all first: GCC 12 warns of a copy past a bound when the
    // two-byte start grows (a false alarm).
    Bytes b;
    b.reserve(2 + before.size() + 19);
    b.push_back(0xFF);
    b.push_back(0xD8);
    b.insert(b.end(), before.begin(), before.end());
    const uint8_t sof[] = {0xFF, 0xC0, 0x00, 0x11, 0x08};
    b.insert(b.end(), sof, sof + sizeof sof);
    Put16(b, height, true);
    Put16(b, width, true);
    b.push_back(3);
    for (uint8_t id = 1; id <= 3; ++id) {
        b.push_back(id);
        b.push_back(id == 1 ? 0x22 : 0x11);
        b.push_back(id == 1 ? 0 : 1);
    }
    return b;
}

inline Bytes PngHead(uint32_t width, uint32_t height, uint8_t depth = 8, uint8_t colour = 2)
{
    Bytes b = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Put32(b, 13, true);
    const char type[4] = {'I', 'H', 'D', 'R'};
    b.insert(b.end(), type, type + 4);
    Put32(b, width, true);
    Put32(b, height, true);
    b.push_back(depth);
    b.push_back(colour);
    b.push_back(0);
    b.push_back(0);
    b.push_back(0);
    Put32(b, 0, true);  // CRC, not checked by the header reader
    return b;
}

inline Bytes GifHead(uint16_t width, uint16_t height, bool version89 = true)
{
    const char* sig = version89 ? "GIF89a" : "GIF87a";
    Bytes b(sig, sig + 6);
    Put16(b, width, false);
    Put16(b, height, false);
    b.push_back(0);
    b.push_back(0);
    b.push_back(0);
    return b;
}

inline Bytes TiffHead(uint32_t width, uint32_t height, uint16_t orientation, bool big)
{
    std::vector<IfdEntry> entries = {{256, 4, 1, width}, {257, 3, 1, height}};
    if (orientation)
        entries.push_back({274, 3, 1, orientation});
    return TiffStructure(entries, big);
}

// An uncompressed little-endian RGB TIFF, one strip of 8 bits a sample:
// pixel(x, top, rgb) fills each pixel.
template <class Pixel>
Bytes RgbTiff(uint16_t width, uint16_t height, Pixel pixel)
{
    const uint32_t bitsAt = 8 + 2 + 12 * 10 + 4, pixelsAt = bitsAt + 6;
    Bytes b = TiffStructure({{256, 3, 1, width}, {257, 3, 1, height}, {258, 3, 3, bitsAt}, {259, 3, 1, 1},
                             {262, 3, 1, 2}, {273, 4, 1, pixelsAt}, {277, 3, 1, 3}, {278, 3, 1, height},
                             {279, 4, 1, 3u * width * height}, {284, 3, 1, 1}},
                            false);
    Bytes bits = {8, 0, 8, 0, 8, 0};
    b.insert(b.end(), bits.begin(), bits.end());
    for (int top = 0; top < height; ++top) {
        for (int x = 0; x < width; ++x) {
            uint8_t rgb[3];
            pixel(x, top, rgb);
            b.insert(b.end(), rgb, rgb + 3);
        }
    }
    return b;
}

}  // namespace picturetest

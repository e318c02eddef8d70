// Little helpers that lay out bitmap files byte by byte for the image tests
// and the fuzz seeds.
#pragma once

#include <stdint.h>
#include <initializer_list>
#include <vector>

namespace bmptest {

struct Bytes : std::vector<uint8_t> {
    Bytes() = default;
    Bytes(std::initializer_list<uint8_t> list) : std::vector<uint8_t>(list) {}

    Bytes& u8(uint8_t v) { push_back(v); return *this; }
    Bytes& u16(uint16_t v) { return u8(v & 0xFF).u8(v >> 8); }
    Bytes& u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bytes& i32(int32_t v) { return u32(static_cast<uint32_t>(v)); }
    Bytes& fill(size_t n, uint8_t v) { insert(end(), n, v); return *this; }
    Bytes& add(const std::vector<uint8_t>& more) { insert(end(), more.begin(), more.end()); return *this; }
    // One palette entry, blue, green, red, reserved.
    Bytes& quad(uint8_t r, uint8_t g, uint8_t b, uint8_t reserved = 0)
    {
        return u8(b).u8(g).u8(r).u8(reserved);
    }
};

inline Bytes FileHeader(uint32_t offBits, uint32_t fileSize = 0)
{
    Bytes b;
    b.u8('B').u8('M').u32(fileSize).u16(0).u16(0).u32(offBits);
    return b;
}

// A BITMAPINFOHEADER; headerSize above 40 pads the header with zeros (the
// tail of a longer header), so palette and pixels follow at headerSize.
inline Bytes InfoHeader(int32_t width, int32_t height, uint16_t bitCount, uint32_t compression,
                        int32_t xPpm = 2835, int32_t yPpm = 2835, uint32_t headerSize = 40,
                        uint32_t clrUsed = 0)
{
    Bytes b;
    b.u32(headerSize).i32(width).i32(height).u16(1).u16(bitCount).u32(compression).u32(0);
    b.i32(xPpm).i32(yPpm).u32(clrUsed).u32(0);
    if (headerSize > 40)
        b.fill(headerSize - 40, 0);
    return b;
}

inline Bytes CoreHeader(uint16_t width, uint16_t height, uint16_t bitCount)
{
    Bytes b;
    b.u32(12).u16(width).u16(height).u16(1).u16(bitCount);
    return b;
}

// A complete file: file header, info header, palette, pixel data, with
// bfOffBits pointing right after the palette.
inline Bytes BmpFile(const Bytes& info, const Bytes& palette, const Bytes& pixels)
{
    uint32_t offBits = static_cast<uint32_t>(14 + info.size() + palette.size());
    Bytes b = FileHeader(offBits, static_cast<uint32_t>(offBits + pixels.size()));
    b.add(info).add(palette).add(pixels);
    return b;
}

// A grey ramp palette of n entries (index i has level i * 255 / (n - 1)),
// so every index decodes to a distinct colour.
inline Bytes RampPalette(unsigned n)
{
    Bytes b;
    for (unsigned i = 0; i < n; ++i) {
        uint8_t level = static_cast<uint8_t>(n > 1 ? i * 255 / (n - 1) : 0);
        b.quad(level, static_cast<uint8_t>(255 - level), static_cast<uint8_t>(i * 7));
    }
    return b;
}

inline uint32_t RowBytes(int32_t width, int bitCount)
{
    return static_cast<uint32_t>((static_cast<int64_t>(width) * bitCount + 31) / 32 * 4);
}

}  // namespace bmptest

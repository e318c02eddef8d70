// Row widening shared by the image object and the BMP decoder: packed 16-
// and 32-bit pixels with arbitrary red, green and blue masks become 24-bit
// blue, green, red triples.
#pragma once

#include <stdint.h>

namespace vnwiden {

inline int BitsSet(uint32_t mask)
{
    int count = 0;
    for (; mask; mask &= mask - 1)
        ++count;
    return count;
}

inline int LowestBit(uint32_t mask)
{
    if (!mask)
        return 0;
    int shift = 0;
    while (!(mask & 1u)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// Where one channel's bits lie and how to bring its top 8 bits to the top
// of a byte. Channels under 8 bits keep their low bits 0 (5 bits of 31 give
// 248), as the 5-5-5 and 5-6-5 widening has always done.
struct Channel {
    uint32_t mask;
    int shift;
    int widen;
};

inline Channel MakeChannel(uint32_t mask)
{
    Channel ch;
    ch.mask = mask;
    int bits = BitsSet(mask);
    int low = LowestBit(mask);
    if (bits > 8) {
        ch.shift = low + bits - 8;
        ch.widen = 0;
    } else {
        ch.shift = low;
        ch.widen = mask ? 8 - bits : 0;
    }
    return ch;
}

inline uint8_t Extract(uint32_t v, const Channel& ch)
{
    return static_cast<uint8_t>(((v & ch.mask) >> ch.shift) << ch.widen);
}

// Right to left, so a row can be widened in place over its packed form.
inline void WidenRow16(const uint8_t* src, uint8_t* dst, uint32_t width, const Channel& red,
                       const Channel& green, const Channel& blue)
{
    for (uint32_t x = width; x-- > 0;) {
        uint32_t v = src[2 * x] | (static_cast<uint32_t>(src[2 * x + 1]) << 8);
        uint8_t b = Extract(v, blue), g = Extract(v, green), r = Extract(v, red);
        dst[3 * x] = b;
        dst[3 * x + 1] = g;
        dst[3 * x + 2] = r;
    }
}

inline bool IsByteOrder(const Channel& red, const Channel& green, const Channel& blue)
{
    return red.mask == 0x00FF0000u && green.mask == 0x0000FF00u && blue.mask == 0x000000FFu;
}

inline void WidenRow32(const uint8_t* src, uint8_t* dst, uint32_t width, const Channel& red,
                       const Channel& green, const Channel& blue)
{
    if (IsByteOrder(red, green, blue)) {
        for (uint32_t x = 0; x < width; ++x) {
            dst[3 * x] = src[4 * x];
            dst[3 * x + 1] = src[4 * x + 1];
            dst[3 * x + 2] = src[4 * x + 2];
        }
        return;
    }
    for (uint32_t x = 0; x < width; ++x) {
        uint32_t v = src[4 * x] | (static_cast<uint32_t>(src[4 * x + 1]) << 8)
                   | (static_cast<uint32_t>(src[4 * x + 2]) << 16)
                   | (static_cast<uint32_t>(src[4 * x + 3]) << 24);
        dst[3 * x] = Extract(v, blue);
        dst[3 * x + 1] = Extract(v, green);
        dst[3 * x + 2] = Extract(v, red);
    }
}

}  // namespace vnwiden

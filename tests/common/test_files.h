// Whole-file reads and writes, deterministic filler bytes and 24-bit bitmap
// files, for the tests,
// benchmarks and seed writers, natively and in the Windows programs alike
// (plain C stdio, no gtest).
#pragma once

#include <stdint.h>
#include <stdio.h>

#include <string>
#include <vector>

namespace vntest {

// Reads the whole file into out. False when it cannot be opened or read.
inline bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& out)
{
    out.clear();
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    uint8_t chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, f)) > 0)
        out.insert(out.end(), chunk, chunk + got);
    bool ok = !ferror(f);
    fclose(f);
    return ok;
}

// The whole file; empty when it cannot be read.
inline std::vector<uint8_t> ReadFileBytes(const std::string& path)
{
    std::vector<uint8_t> data;
    ReadFileBytes(path, data);
    return data;
}

// Creates or replaces the file with exactly these bytes. False on any failure,
// closing included (a full disk often shows only there).
inline bool WriteFileBytes(const std::string& path, const void* data, size_t size)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = size == 0 || fwrite(data, 1, size, f) == size;
    return fclose(f) == 0 && ok;
}

inline bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& data)
{
    return WriteFileBytes(path, data.data(), data.size());
}

// n deterministic bytes (xorshift), different for each seed and from block
// to block, so that enciphered or copied data never repeats trivially.
inline std::vector<uint8_t> PatternBytes(size_t n, unsigned seed)
{
    std::vector<uint8_t> data(n);
    uint32_t x = 2463534242u ^ seed;
    for (size_t i = 0; i < n; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        data[i] = static_cast<uint8_t>(x);
    }
    return data;
}

// An uncompressed 24-bit bottom-up BMP file of width x height pixels.
// pixel(x, top, bgr) fills each pixel's blue, green and red bytes; top = 0 is
// the picture's top row. Row padding stays zero.
template <class Pixel>
inline std::vector<uint8_t> Bmp24File(int width, int height, Pixel pixel)
{
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    std::vector<uint8_t> file(54 + stride * height, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    file[26] = 1;
    file[28] = 24;
    for (int top = 0; top < height; ++top) {
        uint8_t* row = &file[54 + static_cast<size_t>(height - 1 - top) * stride];
        for (int x = 0; x < width; ++x)
            pixel(x, top, row + 3 * x);
    }
    return file;
}

}  // namespace vntest

// Whole-file reads and writes, and deterministic filler bytes, for the tests,
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

}  // namespace vntest

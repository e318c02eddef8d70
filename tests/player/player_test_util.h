// Test inputs shared by the player's native tests: a minimal PE stub, small
// bitmap files, and whole-file reads and writes.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "test_files.h"

namespace playertest {

using vntest::ReadFileBytes;

typedef std::vector<uint8_t> Bytes;

inline void PutLe16(Bytes& bytes, size_t at, uint32_t value)
{
    bytes[at] = static_cast<uint8_t>(value);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

inline void PutLe32(Bytes& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// A minimal PE32 image: DOS header, PE headers at 0x40, headers padded to
// 0x200, then sectionCount sections of 0x200 bytes each.
inline Bytes MakeStub(uint32_t sectionCount = 2)
{
    const uint32_t headers = 0x200;
    Bytes stub(headers + sectionCount * 0x200, 0xCC);
    std::memset(stub.data(), 0, headers);
    stub[0] = 'M';
    stub[1] = 'Z';
    PutLe32(stub, 0x3C, 0x40);
    std::memcpy(&stub[0x40], "PE\0\0", 4);
    const size_t coff = 0x44;
    PutLe16(stub, coff, 0x14C);
    PutLe16(stub, coff + 2, sectionCount);
    PutLe16(stub, coff + 16, 224);  // optional header size
    const size_t optional = coff + 20;
    PutLe16(stub, optional, 0x10B);
    PutLe32(stub, optional + 60, headers);
    const size_t table = optional + 224;
    for (uint32_t i = 0; i < sectionCount; ++i) {
        size_t section = table + i * 40;
        std::memcpy(&stub[section], ".text\0\0\0", 8);
        PutLe32(stub, section + 16, 0x200);
        PutLe32(stub, section + 20, headers + i * 0x200);
    }
    return stub;
}

// An uncompressed 24-bit BMP file with gapBytes between the headers and the
// pixel rows (so every file length residue can be reached). Row y is filled
// from a pattern; topMatchesBelow makes the top row a copy of the row below.
inline Bytes MakeBmp(int width, int height, uint32_t gapBytes, bool topMatchesBelow)
{
    const uint32_t stride = (width * 24 + 31) / 32 * 4;
    const uint32_t offset = 54 + gapBytes;
    Bytes file(offset + stride * height, 0);
    file[0] = 'B';
    file[1] = 'M';
    PutLe32(file, 2, static_cast<uint32_t>(file.size()));
    PutLe32(file, 10, offset);
    PutLe32(file, 14, 40);
    PutLe32(file, 18, width);
    PutLe32(file, 22, height);
    PutLe16(file, 26, 1);
    PutLe16(file, 28, 24);
    for (int y = 0; y < height; ++y) {
        int source = (topMatchesBelow && y == height - 1 && height > 1) ? y - 1 : y;
        for (uint32_t i = 0; i < stride; ++i)
            file[offset + y * stride + i] = static_cast<uint8_t>(source * 37 + i * 11 + 5);
    }
    return file;
}

inline void WriteFile(const std::string& path, const Bytes& bytes)
{
    ASSERT_TRUE(vntest::WriteFileBytes(path, bytes)) << path;
}

}  // namespace playertest

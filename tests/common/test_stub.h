// A player stub for tests that build puzzles without the real player: the
// smallest Windows executable the builder takes as one (DOS header, PE
// headers, one section), of any length from 0x200 bytes, whose image ends
// where the file ends. Natively and in the Windows programs alike.
#pragma once

#include <stdint.h>
#include <string.h>

#include <vector>

#include "test_files.h"

namespace vntest {

// length bytes: 0x200 of headers, then one section of filler bytes that
// differ with the seed.
inline std::vector<uint8_t> PeStubBytes(size_t length, unsigned seed = 1)
{
    const size_t headers = 0x200;
    std::vector<uint8_t> stub = PatternBytes(length < headers ? headers : length, seed);
    memset(stub.data(), 0, headers);
    auto put16 = [&](size_t at, uint32_t v) {
        stub[at] = static_cast<uint8_t>(v);
        stub[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            stub[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    stub[0] = 'M';
    stub[1] = 'Z';
    put32(0x3C, 0x40);
    memcpy(&stub[0x40], "PE\0\0", 4);
    const size_t coff = 0x44, optional = coff + 20, section = optional + 224;
    put16(coff, 0x14C);        // i386
    put16(coff + 2, 1);        // one section
    put16(coff + 16, 224);     // optional header size
    put16(optional, 0x10B);    // PE32
    put32(optional + 60, headers);
    memcpy(&stub[section], ".text", 5);
    put32(section + 16, static_cast<uint32_t>(stub.size() - headers));
    put32(section + 20, static_cast<uint32_t>(headers));
    return stub;
}

// Offset of the certificate table's entry (data directory 4) in the stub
// above: a test signs it by pointing the entry at bytes it appends.
const size_t PeStubCertificateEntry = 0x44 + 20 + 128;

}  // namespace vntest

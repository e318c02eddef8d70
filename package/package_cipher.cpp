// Blowfish with the package's little-endian block convention.
//
// The round function is written out for all 16 rounds, and EncipherBuffer
// runs four independent blocks side by side: a single Blowfish block is one
// long chain of dependent table look-ups, so interleaving blocks lets the
// processor overlap those chains.
#include "package_cipher.h"

#include <cstring>

#include "blowfish_init_tables.h"
#include "little_endian.h"

namespace {

inline uint32_t Feistel(const uint32_t* s, uint32_t x)
{
    return ((s[x >> 24] + s[256 + ((x >> 16) & 0xFF)]) ^ s[512 + ((x >> 8) & 0xFF)]) +
           s[768 + (x & 0xFF)];
}

// One block, forward. Two rounds per step: the exchange of the halves after
// each round is folded into alternating which half is updated.
inline void Encipher(const uint32_t* p, const uint32_t* s, uint32_t& left, uint32_t& right)
{
    uint32_t l = left ^ p[0];
    uint32_t r = right;
    r ^= Feistel(s, l) ^ p[1];
    l ^= Feistel(s, r) ^ p[2];
    r ^= Feistel(s, l) ^ p[3];
    l ^= Feistel(s, r) ^ p[4];
    r ^= Feistel(s, l) ^ p[5];
    l ^= Feistel(s, r) ^ p[6];
    r ^= Feistel(s, l) ^ p[7];
    l ^= Feistel(s, r) ^ p[8];
    r ^= Feistel(s, l) ^ p[9];
    l ^= Feistel(s, r) ^ p[10];
    r ^= Feistel(s, l) ^ p[11];
    l ^= Feistel(s, r) ^ p[12];
    r ^= Feistel(s, l) ^ p[13];
    l ^= Feistel(s, r) ^ p[14];
    r ^= Feistel(s, l) ^ p[15];
    l ^= Feistel(s, r) ^ p[16];
    r ^= p[17];
    left = r;
    right = l;
}

inline void Decipher(const uint32_t* p, const uint32_t* s, uint32_t& left, uint32_t& right)
{
    uint32_t l = left ^ p[17];
    uint32_t r = right;
    r ^= Feistel(s, l) ^ p[16];
    l ^= Feistel(s, r) ^ p[15];
    r ^= Feistel(s, l) ^ p[14];
    l ^= Feistel(s, r) ^ p[13];
    r ^= Feistel(s, l) ^ p[12];
    l ^= Feistel(s, r) ^ p[11];
    r ^= Feistel(s, l) ^ p[10];
    l ^= Feistel(s, r) ^ p[9];
    r ^= Feistel(s, l) ^ p[8];
    l ^= Feistel(s, r) ^ p[7];
    r ^= Feistel(s, l) ^ p[6];
    l ^= Feistel(s, r) ^ p[5];
    r ^= Feistel(s, l) ^ p[4];
    l ^= Feistel(s, r) ^ p[3];
    r ^= Feistel(s, l) ^ p[2];
    l ^= Feistel(s, r) ^ p[1];
    r ^= p[0];
    left = r;
    right = l;
}

// Four blocks at once, round by round, so their look-up chains overlap.
inline void Encipher4(const uint32_t* p, const uint32_t* s, uint32_t* l, uint32_t* r)
{
    uint32_t l0 = l[0] ^ p[0], l1 = l[1] ^ p[0], l2 = l[2] ^ p[0], l3 = l[3] ^ p[0];
    uint32_t r0 = r[0], r1 = r[1], r2 = r[2], r3 = r[3];
    for (int i = 1; i < 17; i += 2) {
        r0 ^= Feistel(s, l0) ^ p[i];
        r1 ^= Feistel(s, l1) ^ p[i];
        r2 ^= Feistel(s, l2) ^ p[i];
        r3 ^= Feistel(s, l3) ^ p[i];
        l0 ^= Feistel(s, r0) ^ p[i + 1];
        l1 ^= Feistel(s, r1) ^ p[i + 1];
        l2 ^= Feistel(s, r2) ^ p[i + 1];
        l3 ^= Feistel(s, r3) ^ p[i + 1];
    }
    l[0] = r0 ^ p[17]; r[0] = l0;
    l[1] = r1 ^ p[17]; r[1] = l1;
    l[2] = r2 ^ p[17]; r[2] = l2;
    l[3] = r3 ^ p[17]; r[3] = l3;
}

// Four blocks deciphered at once, as Encipher4 enciphers them.
inline void Decipher4(const uint32_t* p, const uint32_t* s, uint32_t* l, uint32_t* r)
{
    uint32_t l0 = l[0] ^ p[17], l1 = l[1] ^ p[17], l2 = l[2] ^ p[17], l3 = l[3] ^ p[17];
    uint32_t r0 = r[0], r1 = r[1], r2 = r[2], r3 = r[3];
    for (int i = 16; i > 0; i -= 2) {
        r0 ^= Feistel(s, l0) ^ p[i];
        r1 ^= Feistel(s, l1) ^ p[i];
        r2 ^= Feistel(s, l2) ^ p[i];
        r3 ^= Feistel(s, l3) ^ p[i];
        l0 ^= Feistel(s, r0) ^ p[i - 1];
        l1 ^= Feistel(s, r1) ^ p[i - 1];
        l2 ^= Feistel(s, r2) ^ p[i - 1];
        l3 ^= Feistel(s, r3) ^ p[i - 1];
    }
    l[0] = r0 ^ p[0]; r[0] = l0;
    l[1] = r1 ^ p[0]; r[1] = l1;
    l[2] = r2 ^ p[0]; r[2] = l2;
    l[3] = r3 ^ p[0]; r[3] = l3;
}

}  // namespace

PackageCipher::PackageCipher(const unsigned char* key)
    : pArray(nullptr), sBoxes(nullptr)
{
    size_t length = 0;
    if (key)
        length = std::strlen(reinterpret_cast<const char*>(key));
    SetKey(key, length);
}

PackageCipher::PackageCipher(const unsigned char* key, size_t keyLength)
    : pArray(nullptr), sBoxes(nullptr)
{
    SetKey(key, keyLength);
}

PackageCipher::~PackageCipher()
{
    delete[] pArray;
    delete[] sBoxes;
}

void PackageCipher::SetKey(const unsigned char* key, size_t keyLength)
{
    static const unsigned char zeroKey[1] = {0};
    if (!key || keyLength == 0) {
        key = zeroKey;
        keyLength = 1;
    }

    pArray = new uint32_t[18];
    try {
        sBoxes = new uint32_t[1024];
    } catch (...) {
        delete[] pArray;
        throw;
    }
    std::memcpy(pArray, BlowfishInitP, sizeof BlowfishInitP);
    std::memcpy(sBoxes, BlowfishInitS, sizeof BlowfishInitS);

    // The key is taken cyclically, most significant byte first, as unsigned
    // bytes; 18 words use at most the first 72 key bytes.
    size_t j = 0;
    for (int i = 0; i < 18; ++i) {
        uint32_t word = 0;
        for (int k = 0; k < 4; ++k) {
            word = (word << 8) | key[j];
            j = (j + 1) % keyLength;
        }
        pArray[i] ^= word;
    }

    uint32_t left = 0, right = 0;
    for (int i = 0; i < 18; i += 2) {
        Encipher(pArray, sBoxes, left, right);
        pArray[i] = left;
        pArray[i + 1] = right;
    }
    for (int i = 0; i < 1024; i += 2) {
        Encipher(pArray, sBoxes, left, right);
        sBoxes[i] = left;
        sBoxes[i + 1] = right;
    }
}

void PackageCipher::EncipherBlock(uint32_t& left, uint32_t& right) const
{
    Encipher(pArray, sBoxes, left, right);
}

void PackageCipher::DecipherBlock(uint32_t& left, uint32_t& right) const
{
    Decipher(pArray, sBoxes, left, right);
}

uint32_t PackageCipher::PaddedLength(uint32_t n)
{
    return (n % 8) ? n + 8 - n % 8 : n;
}

uint32_t PackageCipher::EncipherBuffer(const unsigned char* input, uint32_t n,
                                       unsigned char* output) const
{
    const uint32_t padded = PaddedLength(n);
    if (n && input != output)
        std::memmove(output, input, n);
    if (padded > n)
        std::memset(output + n, 0, padded - n);

    const uint32_t* p = pArray;
    const uint32_t* s = sBoxes;
    unsigned char* block = output;
    unsigned char* const end = output + padded;

    while (end - block >= 32) {
        uint32_t l[4], r[4];
        for (int k = 0; k < 4; ++k) {
            l[k] = ReadLe32(block + 8 * k);
            r[k] = ReadLe32(block + 8 * k + 4);
        }
        Encipher4(p, s, l, r);
        for (int k = 0; k < 4; ++k) {
            WriteLe32(block + 8 * k, l[k]);
            WriteLe32(block + 8 * k + 4, r[k]);
        }
        block += 32;
    }
    for (; block != end; block += 8) {
        uint32_t l = ReadLe32(block);
        uint32_t r = ReadLe32(block + 4);
        Encipher(p, s, l, r);
        WriteLe32(block, l);
        WriteLe32(block + 4, r);
    }
    return padded;
}

void PackageCipher::DecipherWholeBlocks(unsigned char* data, uint32_t n) const
{
    const uint32_t* p = pArray;
    const uint32_t* s = sBoxes;
    unsigned char* block = data;
    unsigned char* const end = data + (n - n % 8);

    while (end - block >= 32) {
        uint32_t l[4], r[4];
        for (int k = 0; k < 4; ++k) {
            l[k] = ReadLe32(block + 8 * k);
            r[k] = ReadLe32(block + 8 * k + 4);
        }
        Decipher4(p, s, l, r);
        for (int k = 0; k < 4; ++k) {
            WriteLe32(block + 8 * k, l[k]);
            WriteLe32(block + 8 * k + 4, r[k]);
        }
        block += 32;
    }
    for (; block != end; block += 8) {
        uint32_t l = ReadLe32(block);
        uint32_t r = ReadLe32(block + 4);
        Decipher(p, s, l, r);
        WriteLe32(block, l);
        WriteLe32(block + 4, r);
    }
}

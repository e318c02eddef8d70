// Blowfish (16 rounds) in electronic codebook mode, with the package's block
// convention: each 8-byte block is two little-endian 32-bit halves, bytes 0-3
// the left half and bytes 4-7 the right half. Buffers are zero-padded to whole
// blocks.
#pragma once

#include <cstddef>
#include <cstdint>

class PackageCipher {
public:
    // Keys the cipher from a zero-terminated byte string (read up to its
    // first zero byte; bytes are unsigned). An empty key is treated as one
    // zero byte.
    explicit PackageCipher(const unsigned char* key);
    // Keys the cipher from keyLength bytes, which may include zero bytes.
    // keyLength 0 is treated as one zero byte.
    PackageCipher(const unsigned char* key, size_t keyLength);
    ~PackageCipher();
    PackageCipher(const PackageCipher&) = delete;
    PackageCipher& operator=(const PackageCipher&) = delete;

    void EncipherBlock(uint32_t& left, uint32_t& right) const;
    void DecipherBlock(uint32_t& left, uint32_t& right) const;

    // n rounded up to a multiple of 8.
    static uint32_t PaddedLength(uint32_t n);

    // Copies n bytes of input to output (unless they are the same buffer),
    // zeroes output up to PaddedLength(n), enciphers every block of output in
    // place and returns PaddedLength(n). Output must hold PaddedLength(n) bytes.
    uint32_t EncipherBuffer(const unsigned char* input, uint32_t n, unsigned char* output) const;

    // Deciphers in place every whole 8-byte block of the n bytes at data;
    // the last n mod 8 bytes are left as they are.
    void DecipherWholeBlocks(unsigned char* data, uint32_t n) const;

private:
    void SetKey(const unsigned char* key, size_t keyLength);

    uint32_t* pArray;  // 18 words
    uint32_t* sBoxes;  // 4 x 256 words
};

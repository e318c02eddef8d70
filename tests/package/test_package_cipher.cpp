// The package cipher: published Blowfish vectors under the package's
// little-endian block convention, keying rules, and whole-buffer enciphering.
#include <gtest/gtest.h>

#include <algorithm>

#include <cstring>
#include <string>
#include <vector>

#include "blowfish_init_tables.h"
#include "package_cipher.h"
#include "package_key.h"

namespace {

struct EcbVector {
    const char* key;
    const char* plain;
    const char* cipher;
};

struct KeyVector {
    const char* key;
    const char* cipher;
};

// Published Blowfish vectors, big-endian notation: key, plaintext, ciphertext.
const EcbVector EcbVectors[] = {
    {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
    {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
    {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
    {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
    {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
    {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
    {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
    {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
    {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
    {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
    {"07A1133E4A0B2686", "0248D43806F67172", "1730E5778BEA1DA4"},
    {"3849674C2602319E", "51454B582DDF440A", "A25E7856CF2651EB"},
    {"04B915BA43FEB5B6", "42FD443059577FA2", "353882B109CE8F1A"},
    {"0113B970FD34F2CE", "059B5E0851CF143A", "48F4D0884C379918"},
    {"0170F175468FB5E6", "0756D8E0774761D2", "432193B78951FC98"},
    {"43297FAD38E373FE", "762514B829BF486A", "13F04154D69D1AE5"},
    {"07A7137045DA2A16", "3BDD119049372802", "2EEDDA93FFD39C79"},
    {"04689104C2FD3B2F", "26955F6835AF609A", "D887E0393C2DA6E3"},
    {"37D06BB516CB7546", "164D5E404F275232", "5F99D04F5B163969"},
    {"1F08260D1AC2465E", "6B056E18759F5CCA", "4A057A3B24D3977B"},
    {"584023641ABA6176", "004BD6EF09176062", "452031C1E4FADA8E"},
    {"025816164629B007", "480D39006EE762F2", "7555AE39F59B87BD"},
    {"49793EBC79B3258F", "437540C8698F3CFA", "53C55F9CB49FC019"},
    {"4FB05E1515AB73A7", "072D43A077075292", "7A8E7BFA937E89A3"},
    {"49E95D6D4CA229BF", "02FE55778117F12A", "CF9C5D7A4986ADB5"},
    {"018310DC409B26D6", "1D9D5C5018F728C2", "D1ABB290658BC778"},
    {"1C587F1C13924FEF", "305532286D6F295A", "55CB3774D13EF201"},
    {"0101010101010101", "0123456789ABCDEF", "FA34EC4847B268B2"},
    {"1F1F1F1F0E0E0E0E", "0123456789ABCDEF", "A790795108EA3CAE"},
    {"E0FEE0FEF1FEF1FE", "0123456789ABCDEF", "C39E072D9FAC631D"},
    {"0000000000000000", "FFFFFFFFFFFFFFFF", "014933E0CDAFF6E4"},
    {"FFFFFFFFFFFFFFFF", "0000000000000000", "F21E9A77B71C49BC"},
    {"0123456789ABCDEF", "0000000000000000", "245946885754369A"},
    {"FEDCBA9876543210", "FFFFFFFFFFFFFFFF", "6B5C5A9C5D9E0A5A"},
};

// Keys of 1 to 24 bytes, each enciphering FEDCBA9876543210.
const KeyVector KeyVectors[] = {
    {"F0", "F9AD597C49DB005E"},
    {"F0E1", "E91D21C1D961A6D6"},
    {"F0E1D2", "E9C2B70A1BC65CF3"},
    {"F0E1D2C3", "BE1E639408640F05"},
    {"F0E1D2C3B4", "B39E44481BDB1E6E"},
    {"F0E1D2C3B4A5", "9457AA83B1928C0D"},
    {"F0E1D2C3B4A596", "8BB77032F960629D"},
    {"F0E1D2C3B4A59687", "E87A244E2CC85E82"},
    {"F0E1D2C3B4A5968778", "15750E7A4F4EC577"},
    {"F0E1D2C3B4A596877869", "122BA70B3AB64AE0"},
    {"F0E1D2C3B4A5968778695A", "3A833C9AFFC537F6"},
    {"F0E1D2C3B4A5968778695A4B", "9409DA87A90F6BF2"},
    {"F0E1D2C3B4A5968778695A4B3C", "884F80625060B8B4"},
    {"F0E1D2C3B4A5968778695A4B3C2D", "1F85031C19E11968"},
    {"F0E1D2C3B4A5968778695A4B3C2D1E", "79D9373A714CA34F"},
    {"F0E1D2C3B4A5968778695A4B3C2D1E0F", "93142887EE3BE15C"},
    {"F0E1D2C3B4A5968778695A4B3C2D1E0F00", "03429E838CE2D14B"},
    {"F0E1D2C3B4A5968778695A4B3C2D1E0F0011", "A4299E27469FF67B"},
    {"F0E1D2C3B4A5968778695A4B3C2D1E0F001122", "AFD5AED1C1BC96A8"},
    {"F0E1D2C3B4A5968778695A4B3C2D1E0F00112233", "10851C0E3858DA9F"},
    {"F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344", "E6F51ED79B9DB21F"},
    {"F0E1D2C3B4A5968778695A4B3C2D1E0F001122334455", "64A6E14AFD36B46F"},
    {"F0E1D2C3B4A5968778695A4B3C2D1E0F00112233445566", "80C7D7D45A5479AD"},
    {"F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677", "05044B62FA52D080"},
};

std::vector<unsigned char> FromHex(const char* hex)
{
    std::vector<unsigned char> bytes;
    for (size_t i = 0; hex[i] && hex[i + 1]; i += 2)
        bytes.push_back(static_cast<unsigned char>(std::stoul(std::string(hex + i, 2), nullptr, 16)));
    return bytes;
}

// The vector's big-endian halves as words.
void Halves(const char* hex, uint32_t& left, uint32_t& right)
{
    std::vector<unsigned char> b = FromHex(hex);
    left = static_cast<uint32_t>(b[0]) << 24 | b[1] << 16 | b[2] << 8 | b[3];
    right = static_cast<uint32_t>(b[4]) << 24 | b[5] << 16 | b[6] << 8 | b[7];
}

// A little-endian word of a byte buffer.
uint32_t Word(const std::vector<unsigned char>& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// The vector's block as the package stores it: each half byte-reversed.
std::vector<unsigned char> PackageBlock(const char* hex)
{
    std::vector<unsigned char> b = FromHex(hex);
    return {b[3], b[2], b[1], b[0], b[7], b[6], b[5], b[4]};
}

void ExpectVector(const PackageCipher& cipher, const char* plain, const char* expected,
                  const std::string& label)
{
    uint32_t l, r, wantL, wantR;
    Halves(plain, l, r);
    Halves(expected, wantL, wantR);
    cipher.EncipherBlock(l, r);
    EXPECT_EQ(l, wantL) << label;
    EXPECT_EQ(r, wantR) << label;
    cipher.DecipherBlock(l, r);
    uint32_t plainL, plainR;
    Halves(plain, plainL, plainR);
    EXPECT_EQ(l, plainL) << label << " deciphered";
    EXPECT_EQ(r, plainR) << label << " deciphered";

    // The same block through the byte buffer, in the package's byte order.
    std::vector<unsigned char> block = PackageBlock(plain);
    EXPECT_EQ(cipher.EncipherBuffer(block.data(), 8, block.data()), 8u);
    EXPECT_EQ(block, PackageBlock(expected)) << label << " as bytes";
}

TEST(PackageCipherTables, StartFromTheDigitsOfPi)
{
    EXPECT_EQ(BlowfishInitP[0], 0x243F6A88u);
    EXPECT_EQ(BlowfishInitP[17], 0x8979FB1Bu);
    EXPECT_EQ(BlowfishInitS[0], 0xD1310BA6u);
    EXPECT_EQ(BlowfishInitS[3 * 256 + 255], 0x3AC372E6u);
}

TEST(PackageCipherVectors, EcbVectorsMatchUnderTheLittleEndianConvention)
{
    for (const EcbVector& v : EcbVectors) {
        std::vector<unsigned char> key = FromHex(v.key);
        PackageCipher cipher(key.data(), key.size());
        ExpectVector(cipher, v.plain, v.cipher, std::string("key ") + v.key);
    }
}

TEST(PackageCipherVectors, VariableLengthKeysMatch)
{
    for (const KeyVector& v : KeyVectors) {
        std::vector<unsigned char> key = FromHex(v.key);
        PackageCipher cipher(key.data(), key.size());
        ExpectVector(cipher, "FEDCBA9876543210", v.cipher, std::string("key ") + v.key);
    }
}

TEST(PackageCipherKeying, ZeroTerminatedKeyStopsAtItsFirstZeroAndKeepsHighBytes)
{
    // F0 E1 D2 C3: every byte above 0x7F, so a sign-extended byte would show.
    const unsigned char key[] = {0xF0, 0xE1, 0xD2, 0xC3, 0x00, 0x55, 0x66};
    PackageCipher cipher(key);
    ExpectVector(cipher, "FEDCBA9876543210", "BE1E639408640F05", "zero-terminated key");
}

TEST(PackageCipherKeying, OnlyTheFirst72KeyBytesCountAndShortKeysRepeat)
{
    std::vector<unsigned char> longKey(100);
    for (size_t i = 0; i < longKey.size(); ++i)
        longKey[i] = static_cast<unsigned char>(0x80 + i);
    std::vector<unsigned char> changedTail = longKey;
    changedTail[72] ^= 0x5A;
    changedTail[99] ^= 0x33;
    std::vector<unsigned char> changedByte71 = longKey;
    changedByte71[71] ^= 0x01;

    const char* abc = "abc";
    std::string repeated;
    while (repeated.size() < 72)
        repeated += abc;

    PackageCipher base(longKey.data(), longKey.size());
    PackageCipher tail(changedTail.data(), changedTail.size());
    PackageCipher at71(changedByte71.data(), changedByte71.size());
    PackageCipher shortKey(reinterpret_cast<const unsigned char*>(abc));
    PackageCipher spelledOut(reinterpret_cast<const unsigned char*>(repeated.data()), 72);

    auto encipher = [](const PackageCipher& c) {
        uint32_t l = 0x01234567, r = 0x89ABCDEF;
        c.EncipherBlock(l, r);
        return std::make_pair(l, r);
    };
    EXPECT_EQ(encipher(base), encipher(tail));
    EXPECT_NE(encipher(base), encipher(at71));
    EXPECT_EQ(encipher(shortKey), encipher(spelledOut));
}

TEST(PackageCipherKeying, PackageKeyIs128NonZeroBytesWith9AboveAscii)
{
    int printable = 0, high = 0;
    for (int i = 0; i < 128; ++i) {
        ASSERT_NE(PackageKey[i], 0) << "byte " << i;
        if (PackageKey[i] >= 0x20 && PackageKey[i] <= 0x7E)
            ++printable;
        if (PackageKey[i] > 0x7F)
            ++high;
    }
    EXPECT_EQ(PackageKey[128], 0);
    EXPECT_EQ(printable, 119);
    EXPECT_EQ(high, 9);
}

TEST(PackageCipherBuffer, PaddedLengthRoundsUpToWholeBlocks)
{
    EXPECT_EQ(PackageCipher::PaddedLength(0), 0u);
    EXPECT_EQ(PackageCipher::PaddedLength(1), 8u);
    EXPECT_EQ(PackageCipher::PaddedLength(8), 8u);
    EXPECT_EQ(PackageCipher::PaddedLength(9), 16u);
    EXPECT_EQ(PackageCipher::PaddedLength(1001), 1008u);
    EXPECT_EQ(PackageCipher::PaddedLength(0xFFFFFFF1u), 0xFFFFFFF8u);
}

TEST(PackageCipherBuffer, EmptyOneBlockAndPaddedBuffers)
{
    PackageCipher cipher(PackageKey);
    std::vector<unsigned char> in = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    std::vector<unsigned char> out(16, 0xEE);

    EXPECT_EQ(cipher.EncipherBuffer(in.data(), 0, out.data()), 0u);
    EXPECT_EQ(out, std::vector<unsigned char>(16, 0xEE));

    EXPECT_EQ(cipher.EncipherBuffer(in.data(), 8, out.data()), 8u);
    uint32_t l = 0x04030201, r = 0x08070605;
    cipher.EncipherBlock(l, r);
    EXPECT_EQ(Word(out, 0), l);
    EXPECT_EQ(Word(out, 4), r);
    EXPECT_EQ(out[8], 0xEE) << "nothing past the block is touched";

    // Nine bytes: the second block is byte 9 followed by seven zero bytes.
    EXPECT_EQ(cipher.EncipherBuffer(in.data(), 9, out.data()), 16u);
    uint32_t l2 = Word(out, 8), r2 = Word(out, 12);
    cipher.DecipherBlock(l2, r2);
    EXPECT_EQ(l2, 9u);
    EXPECT_EQ(r2, 0u);
    EXPECT_EQ(in.size(), 9u) << "input is read for n bytes only";
}

TEST(PackageCipherBuffer, InPlaceEqualsSeparateAndMatchesBlockByBlock)
{
    PackageCipher cipher(PackageKey);
    // 1001 bytes: many four-block groups, a few single blocks and a padded one.
    std::vector<unsigned char> plain(1001);
    for (size_t i = 0; i < plain.size(); ++i)
        plain[i] = static_cast<unsigned char>(i * 7 + 3);

    std::vector<unsigned char> separate(1008);
    EXPECT_EQ(cipher.EncipherBuffer(plain.data(), 1001, separate.data()), 1008u);

    std::vector<unsigned char> inPlace = plain;
    inPlace.resize(1008, 0xAB);
    EXPECT_EQ(cipher.EncipherBuffer(inPlace.data(), 1001, inPlace.data()), 1008u);
    EXPECT_EQ(inPlace, separate);

    std::vector<unsigned char> padded = plain;
    padded.resize(1008, 0);
    for (size_t at = 0; at < padded.size(); at += 8) {
        uint32_t l = Word(padded, at), r = Word(padded, at + 4);
        cipher.EncipherBlock(l, r);
        ASSERT_EQ(Word(separate, at), l) << "block at " << at;
        ASSERT_EQ(Word(separate, at + 4), r) << "block at " << at;
        cipher.DecipherBlock(l, r);
        ASSERT_EQ(l, Word(padded, at)) << "deciphered block at " << at;
        ASSERT_EQ(r, Word(padded, at + 4)) << "deciphered block at " << at;
    }
}

TEST(PackageCipherBuffer, DecipheringWholeBlocksUndoesEncipheringAndLeavesTheTail)
{
    PackageCipher cipher(PackageKey);
    // Lengths around the four-block groups, with a partial block after them.
    for (uint32_t n : {0u, 5u, 8u, 31u, 32u, 37u, 40u, 1001u}) {
        std::vector<unsigned char> plain(n);
        for (size_t i = 0; i < plain.size(); ++i)
            plain[i] = static_cast<unsigned char>(i * 13 + n);
        std::vector<unsigned char> data(PackageCipher::PaddedLength(n) + 8);
        cipher.EncipherBuffer(plain.data(), n, data.data());
        data.resize(n);
        const std::vector<unsigned char> stored = data;
        cipher.DecipherWholeBlocks(data.data(), n);
        const size_t whole = n - n % 8;
        EXPECT_TRUE(std::equal(plain.begin(), plain.begin() + whole, data.begin())) << n;
        EXPECT_TRUE(std::equal(stored.begin() + whole, stored.end(), data.begin() + whole)) << n;
    }
}

TEST(PackageCipherBuffer, IndependentCiphersWithTheSameKeyAgree)
{
    PackageCipher first(PackageKey);
    PackageCipher second(PackageKey);
    std::vector<unsigned char> a(64, 0x11), b(64, 0x11);
    first.EncipherBuffer(a.data(), 64, a.data());
    second.EncipherBuffer(b.data(), 64, b.data());
    EXPECT_EQ(a, b);
}

}  // namespace

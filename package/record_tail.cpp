#include "record_tail.h"

#include <cstring>

#include "package_cipher.h"
#include "package_key.h"
#include "record_fields.h"

namespace {

// Whether enciphering the plaintext block gives ciphertext that starts with
// the count stored bytes.
bool BlockMatches(const PackageCipher& cipher, const uint8_t* plain, const uint8_t* stored,
                  uint32_t count)
{
    uint8_t cipherText[8];
    cipher.EncipherBuffer(plain, 8, cipherText);
    return std::memcmp(cipherText, stored, count) == 0;
}

bool IsPrintable(uint8_t c)
{
    return c >= 0x20 && c < 0x7F;
}

// Searches the unknownCount leading bytes of a final block whose other bytes
// are set, forwards: printable characters first, then every non-zero byte. The
// first candidate whose ciphertext starts with the stored bytes is kept in
// block. Costs up to 255^unknownCount encipherments.
bool SearchFinalBlockForward(const PackageCipher& cipher, uint8_t* block, uint32_t unknownCount,
                             const uint8_t* stored, uint32_t storedCount)
{
    for (int pass = 0; pass < 2; ++pass) {
        const uint32_t first = pass == 0 ? 0x20 : 0x01;
        const uint32_t last = pass == 0 ? 0x7E : 0xFF;
        uint32_t digits[3] = {first, first, first};
        for (;;) {
            bool allPrintable = true;
            for (uint32_t i = 0; i < unknownCount; ++i) {
                block[i] = static_cast<uint8_t>(digits[i]);
                allPrintable = allPrintable && IsPrintable(block[i]);
            }
            // The second pass skips what the first already tried.
            if ((pass == 0 || !allPrintable) && BlockMatches(cipher, block, stored, storedCount))
                return true;
            // Next candidate: count up with the last byte fastest.
            int position = static_cast<int>(unknownCount) - 1;
            while (position >= 0 && digits[position] == last) {
                digits[position] = first;
                --position;
            }
            if (position < 0)
                break;
            ++digits[position];
        }
    }
    return false;
}

// The same search, backwards: with storedCount bytes of the ciphertext known,
// only 256^(8 - storedCount) ciphertext blocks are possible; each is
// deciphered, and those whose plaintext ends like block and starts with
// non-zero bytes are candidates. Of these, the one the forward search would
// meet first is kept, so both searches give the same answer. For three
// unknown bytes this is 256 decipherments instead of up to 16.6 million
// encipherments.
bool SearchFinalBlockBackward(const PackageCipher& cipher, uint8_t* block, uint32_t unknownCount,
                              const uint8_t* stored, uint32_t storedCount)
{
    const uint32_t missing = 8 - storedCount;
    bool found = false;
    uint64_t bestKey = 0;
    uint8_t best[8];
    for (uint32_t tail = 0; tail < (1u << (8 * missing)); ++tail) {
        // One possible ciphertext block, deciphered in place.
        uint8_t plain[8];
        std::memcpy(plain, stored, storedCount);
        for (uint32_t i = 0; i < missing; ++i)
            plain[storedCount + i] = static_cast<uint8_t>(tail >> (8 * i));
        cipher.DecipherWholeBlocks(plain, 8);
        if (std::memcmp(plain + unknownCount, block + unknownCount, 8 - unknownCount) != 0)
            continue;
        // Order of the forward search: all-printable candidates first, each
        // group counted with the last byte fastest.
        uint64_t key = 0;
        bool allPrintable = true;
        bool zero = false;
        for (uint32_t i = 0; i < unknownCount; ++i) {
            key = key * 256 + plain[i];
            allPrintable = allPrintable && IsPrintable(plain[i]);
            zero = zero || plain[i] == 0;
        }
        if (zero)
            continue;
        if (!allPrintable)
            key += 1ull << 32;
        if (!found || key < bestKey) {
            found = true;
            bestKey = key;
            std::memcpy(best, plain, 8);
        }
    }
    if (found)
        std::memcpy(block, best, unknownCount);
    return found;
}

bool SearchFinalBlock(const PackageCipher& cipher, uint8_t* block, uint32_t unknownCount,
                      const uint8_t* stored, uint32_t storedCount)
{
    // Forwards costs up to 255^unknownCount, backwards 256^(8 - storedCount):
    // the cheaper way is taken (backwards only for three unknown bytes).
    if (unknownCount >= 3)
        return SearchFinalBlockBackward(cipher, block, unknownCount, stored, storedCount);
    return SearchFinalBlockForward(cipher, block, unknownCount, stored, storedCount);
}

// What the deciphered whole blocks of a record must look like before the
// tail search is worth running: no zero bytes, a decimal grid size first, and
// a shuffle flag after three more fields. Keeps a damaged package from costing
// a full search.
bool PlausibleRecordPrefix(const std::string& prefix)
{
    if (prefix.find('\0') != std::string::npos)
        return false;
    size_t bar = prefix.find('|');
    if (bar == std::string::npos || !IsDecimalField(prefix.substr(0, bar)))
        return false;
    for (int field = 0; field < 2; ++field) {
        bar = prefix.find('|', bar + 1);
        if (bar == std::string::npos)
            return false;
    }
    return prefix.find("|YES|", bar) != std::string::npos ||
           prefix.find("|NO|", bar) != std::string::npos;
}

}  // namespace

bool RecoverRecordTail(std::string& known, const uint8_t* stored, uint32_t storedCount)
{
    if (storedCount >= 8)
        return false;
    PackageCipher cipher(PackageKey);
    if (storedCount == 0) {
        return known.size() >= RecordEndLength &&
               known.compare(known.size() - RecordEndLength, RecordEndLength, RecordEnd) == 0;
    }
    // The final plaintext block: the record's last storedCount bytes, then
    // the zero padding the builder added before enciphering.
    uint8_t block[8] = {0};
    if (storedCount <= RecordEndLength) {
        // Only part of "|END" is missing; the rest must close the known text.
        uint32_t knownPart = RecordEndLength - storedCount;
        if (known.size() < knownPart ||
            known.compare(known.size() - knownPart, knownPart, RecordEnd, knownPart) != 0)
            return false;
        std::memcpy(block, RecordEnd + knownPart, storedCount);
        if (!BlockMatches(cipher, block, stored, storedCount))
            return false;
    } else {
        // "|END" is missing whole, and so are the last one to three
        // characters of the win address before it.
        uint32_t unknownCount = storedCount - RecordEndLength;
        std::memcpy(block + unknownCount, RecordEnd, RecordEndLength);
        if (!PlausibleRecordPrefix(known))
            return false;
        if (!SearchFinalBlock(cipher, block, unknownCount, stored, storedCount))
            return false;
    }
    known.append(reinterpret_cast<const char*>(block), storedCount);
    return true;
}

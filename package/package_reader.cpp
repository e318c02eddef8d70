#include "package_reader.h"

#include "package_cipher.h"
#include "little_endian.h"
#include "package_key.h"
#include "package_record.h"

#include <cstdio>
#include <cstring>
#include <new>

#ifdef _WIN32
#include <wchar.h>
#endif

namespace {

const char RecordEnd[] = "|END";
const uint32_t RecordEndLength = 4;


// Deciphers the whole 8-byte blocks of buffer[0, length) in place.
void DecipherWholeBlocks(const PackageCipher& cipher, uint8_t* buffer, uint32_t length)
{
    cipher.DecipherWholeBlocks(buffer, length);
}

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
        DecipherWholeBlocks(cipher, plain, 8);
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

bool IsDecimal(const std::string& text)
{
    size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
    if (text.size() == start)
        return false;
    for (size_t i = start; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

// A win address as the builder normalises it: "NONE", or text holding a web
// scheme somewhere (the builder keeps such text as typed and puts "HTTP://"
// in front of anything else).
bool IsNormalisedAddress(const std::string& address)
{
    return address == "NONE" || HoldsWebScheme(address);
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
    if (bar == std::string::npos || !IsDecimal(prefix.substr(0, bar)))
        return false;
    for (int field = 0; field < 2; ++field) {
        bar = prefix.find('|', bar + 1);
        if (bar == std::string::npos)
            return false;
    }
    return prefix.find("|YES|", bar) != std::string::npos ||
           prefix.find("|NO|", bar) != std::string::npos;
}

// Splits "company|site|tag line" into its three texts, none of them empty:
// the company name and the web site each end at the first separator that
// leaves them non-empty, the tag line takes the rest. A record from a
// builder that let "|" into the first two texts so still splits into three
// texts that hold every character, the stray separator joining a
// neighbouring text.
bool SplitAboutTexts(const std::string& texts, std::string& company, std::string& site,
                     std::string& tag)
{
    const size_t companyEnd = texts.find('|', 1);
    if (companyEnd == std::string::npos)
        return false;
    const size_t siteEnd = texts.find('|', companyEnd + 2);
    if (siteEnd == std::string::npos || siteEnd + 1 >= texts.size())
        return false;
    company = texts.substr(0, companyEnd);
    site = texts.substr(companyEnd + 1, siteEnd - companyEnd - 1);
    tag = texts.substr(siteEnd + 1);
    return true;
}

}  // namespace

const char* FindStubLength(const uint8_t* file, size_t size, uint32_t* stubLength)
{
    if (size < 64 || file[0] != 'M' || file[1] != 'Z')
        return "not an executable";
    uint64_t peOffset = ReadLe32(file + 0x3C);
    if (peOffset + 24 > size)
        return "PE header out of range";
    const uint8_t* pe = file + peOffset;
    if (pe[0] != 'P' || pe[1] != 'E' || pe[2] != 0 || pe[3] != 0)
        return "no PE signature";
    const uint8_t* coff = pe + 4;
    uint32_t sectionCount = ReadLe16(coff + 2);
    uint64_t symbolTable = ReadLe32(coff + 8);
    uint64_t symbolCount = ReadLe32(coff + 12);
    uint32_t optionalSize = ReadLe16(coff + 16);
    uint64_t optionalOffset = peOffset + 24;
    uint64_t sectionTable = optionalOffset + optionalSize;
    uint64_t end = sectionTable + static_cast<uint64_t>(sectionCount) * 40;
    if (end > size)
        return "section table out of range";
    const uint8_t* optional = file + optionalOffset;

    // SizeOfHeaders sits at the same place in PE32 and PE32+ headers.
    if (optionalSize >= 64) {
        uint64_t headers = ReadLe32(optional + 60);
        if (headers > size)
            return "headers out of range";
        if (headers > end)
            end = headers;
    }
    for (uint32_t i = 0; i < sectionCount; ++i) {
        const uint8_t* section = file + sectionTable + static_cast<uint64_t>(i) * 40;
        uint64_t rawSize = ReadLe32(section + 16);
        uint64_t rawOffset = ReadLe32(section + 20);
        if (rawSize == 0)
            continue;
        if (rawOffset + rawSize > size)
            return "section data beyond end of file";
        if (rawOffset + rawSize > end)
            end = rawOffset + rawSize;
    }
    // A symbol table (an unstripped program) lies after the sections, followed
    // by its string table, whose first word is the table's own length.
    if (symbolTable != 0) {
        uint64_t symbolsEnd = symbolTable + symbolCount * 18;
        if (symbolsEnd + 4 > size)
            return "symbol table out of range";
        uint64_t stringsLength = ReadLe32(file + symbolsEnd);
        if (stringsLength < 4)
            stringsLength = 4;
        if (symbolsEnd + stringsLength > size)
            return "string table out of range";
        if (symbolsEnd + stringsLength > end)
            end = symbolsEnd + stringsLength;
    }
    // A signature (certificate table, data directory 4) is addressed by file
    // offset and normally closes the image.
    if (optionalSize >= 2) {
        uint32_t magic = ReadLe16(optional);
        uint64_t directory = magic == 0x20B ? 144 : (magic == 0x10B ? 128 : 0);
        if (directory != 0 && directory + 8 <= optionalSize) {
            uint64_t offset = ReadLe32(optional + directory);
            uint64_t length = ReadLe32(optional + directory + 4);
            if (offset != 0 && length != 0) {
                if (offset + length > size)
                    return "certificate table out of range";
                if (offset + length > end)
                    end = offset + length;
            }
        }
    }
    if (end > 0xFFFFFFFFu)
        return "executable too large";
    *stubLength = static_cast<uint32_t>(end);
    return nullptr;
}

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

bool SplitRecord(const std::string& text, PackageRecord& record)
{
    if (text.size() < MinRecordLength ||
        text.compare(text.size() - RecordEndLength, RecordEndLength, RecordEnd) != 0)
        return false;
    const std::string body = text.substr(0, text.size() - RecordEndLength);
    if (body.find('\0') != std::string::npos)
        return false;
    const size_t first = body.find('|');
    if (first == std::string::npos)
        return false;
    // The shuffle flag: the last "|YES|" or "|NO|" that leaves a normalised
    // win address after it (an address may itself hold such a marker) and
    // room for the three texts before it; failing that, the last marker that
    // leaves room for the texts.
    size_t flagAt = std::string::npos;
    size_t flagLength = 0;
    bool flagValid = false;
    std::string company, site, tag;
    for (size_t at = first + 1; at < body.size(); ++at) {
        if (body[at] != '|')
            continue;
        size_t length = 0;
        if (body.compare(at, 5, "|YES|") == 0)
            length = 5;
        else if (body.compare(at, 4, "|NO|") == 0)
            length = 4;
        if (length == 0 || at + length >= body.size())
            continue;
        if (!SplitAboutTexts(body.substr(first + 1, at - first - 1), company, site, tag))
            continue;
        bool valid = IsNormalisedAddress(body.substr(at + length));
        if (valid || !flagValid) {
            flagAt = at;
            flagLength = length;
            flagValid = valid;
        }
    }
    if (flagAt == std::string::npos)
        return false;
    PackageRecord parsed;
    parsed.gridSize = body.substr(0, first);
    SplitAboutTexts(body.substr(first + 1, flagAt - first - 1), parsed.companyName,
                    parsed.webSite, parsed.tagLine);
    parsed.shuffle = flagLength == 5 ? "YES" : "NO";
    parsed.winAddress = body.substr(flagAt + flagLength);
    if (!IsDecimal(parsed.gridSize))
        return false;
    record = parsed;
    return true;
}

int RecordGridSize(const PackageRecord& record)
{
    if (!IsDecimal(record.gridSize))
        return 0;
    bool negative = record.gridSize[0] == '-';
    long long value = 0;
    for (size_t i = negative ? 1 : 0; i < record.gridSize.size(); ++i) {
        value = value * 10 + (record.gridSize[i] - '0');
        if (value > 0x80000000LL)
            return 0;
    }
    if (negative)
        value = -value;
    if (value > 0x7FFFFFFFLL || value < -0x80000000LL)
        return 0;
    return static_cast<int>(value);
}

std::string RecordDisplayText(const std::string& field)
{
    return field == " " ? std::string() : field;
}

void FillPictureTail(uint8_t* picture, uint32_t length, uint32_t missingCount)
{
    if (missingCount > length)
        missingCount = length;
    const uint32_t knownLength = length - missingCount;
    // Row length and start of the pixel rows, from a file header and an info
    // header (or the old 12-byte core header) that lie in the known bytes.
    uint64_t rowStride = 0;
    uint64_t pixelStart = 0;
    if (knownLength >= 54 && picture[0] == 'B' && picture[1] == 'M') {
        uint32_t infoSize = ReadLe32(picture + 14);
        uint64_t width = 0;
        uint32_t bitCount = 0;
        uint32_t compression = 0;
        if (infoSize == 12) {
            width = ReadLe16(picture + 18);
            bitCount = ReadLe16(picture + 24);
        } else if (infoSize >= 40) {
            uint32_t rawWidth = ReadLe32(picture + 18);
            width = rawWidth < 0x80000000u ? rawWidth : 0;
            bitCount = ReadLe16(picture + 28);
            compression = ReadLe32(picture + 30);
        }
        bool packed = bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
                      bitCount == 24 || bitCount == 32;
        // Only uncompressed and bit-field rows have a fixed length.
        if (width > 0 && packed && (compression == 0 || compression == 3)) {
            rowStride = (width * bitCount + 31) / 32 * 4;
            pixelStart = ReadLe32(picture + 10);
        }
    }
    for (uint32_t offset = knownLength; offset < length; ++offset) {
        if (rowStride != 0 && offset >= pixelStart + rowStride)
            picture[offset] = picture[offset - rowStride];
        else
            picture[offset] = 0;
    }
}

namespace {

// Checks the package header against the file; sets the lengths in contents,
// and the failure text when the layout is refused.
PackageStatus CheckLayout(const uint8_t* file, size_t size, uint32_t stubLength,
                          PackageContents& contents)
{
    contents = PackageContents();
    contents.stubLength = stubLength;
    if (stubLength > size) {
        contents.failure = "stub extends beyond end of file";
        return PackageDamaged;
    }
    if (stubLength == size) {
        contents.failure = "no package after the stub";
        return PackageMissing;
    }
    uint64_t available = size - stubLength;
    if (available < 8) {
        contents.failure = "package header truncated";
        return PackageDamaged;
    }
    const uint8_t* header = file + stubLength;
    uint32_t pictureLength = ReadLe32(header);
    uint32_t recordLength = ReadLe32(header + 4);
    contents.pictureLength = pictureLength;
    contents.recordLength = recordLength;
    available -= 8;
    if (pictureLength > available) {
        contents.failure = "picture length exceeds the file";
        return PackageDamaged;
    }
    if (recordLength > available - pictureLength) {
        contents.failure = "record length exceeds the file";
        return PackageDamaged;
    }
    if (static_cast<uint64_t>(pictureLength) + recordLength != available) {
        contents.failure = "package lengths do not match the file size";
        return PackageDamaged;
    }
    if (recordLength < MinRecordLength) {
        contents.failure = "record too short";
        return PackageDamaged;
    }
    if (recordLength > MaxRecordLength) {
        contents.failure = "record too long";
        return PackageDamaged;
    }
    return PackageOk;
}

// Deciphers the record section (its length checked by CheckLayout) and
// splits it into contents.
PackageStatus ReadRecord(const PackageCipher& cipher, const uint8_t* section,
                         PackageContents& contents)
{
    const uint32_t recordLength = contents.recordLength;
    const uint32_t wholeLength = recordLength - recordLength % 8;
    uint8_t record[MaxRecordLength];
    std::memcpy(record, section, wholeLength);
    DecipherWholeBlocks(cipher, record, wholeLength);
    std::string text(reinterpret_cast<const char*>(record), wholeLength);
    if (!RecoverRecordTail(text, section + wholeLength, recordLength % 8)) {
        contents.failure = "record damaged";
        return PackageDamaged;
    }
    if (!SplitRecord(text, contents.record)) {
        contents.failure = "record fields damaged";
        return PackageDamaged;
    }
    contents.recordText = text;
    return PackageOk;
}

// Deciphers a picture section held in a buffer of its own and fills in the
// bytes of its final partial block.
void DecipherPicture(const PackageCipher& cipher, uint8_t* picture, PackageContents& contents)
{
    const uint32_t length = contents.pictureLength;
    DecipherWholeBlocks(cipher, picture, length);
    contents.reconstructedCount = length % 8;
    FillPictureTail(picture, length, contents.reconstructedCount);
}

// Reads the package of a whole file held in bytes; on success the picture is
// deciphered where it lies and bytes becomes contents.picture, so the file
// is never held twice.
PackageStatus ReadPackageInPlace(std::vector<uint8_t>& bytes, PackageContents& contents)
{
    uint32_t stubLength = 0;
    const char* failure = FindStubLength(bytes.data(), bytes.size(), &stubLength);
    if (failure) {
        contents = PackageContents();
        contents.failure = failure;
        return PackageDamaged;
    }
    PackageStatus status = CheckLayout(bytes.data(), bytes.size(), stubLength, contents);
    if (status != PackageOk)
        return status;
    PackageCipher cipher(PackageKey);
    const size_t pictureAt = static_cast<size_t>(stubLength) + 8;
    status = ReadRecord(cipher, bytes.data() + pictureAt + contents.pictureLength, contents);
    if (status != PackageOk)
        return status;
    DecipherPicture(cipher, bytes.data() + pictureAt, contents);
    // Moves the picture to the front; the buffer keeps its allocation.
    bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(pictureAt));
    bytes.resize(contents.pictureLength);
    contents.picture.swap(bytes);
    return PackageOk;
}

// Size of an open file, in 64 bits so that files past 2 GiB are measured
// rather than failing. -1 when it cannot be taken; the file is rewound.
int64_t MeasureFile64(FILE* file)
{
#ifdef _WIN32
    if (_fseeki64(file, 0, SEEK_END) != 0)
        return -1;
    int64_t size = _ftelli64(file);
    if (_fseeki64(file, 0, SEEK_SET) != 0)
        return -1;
#else
    if (fseeko(file, 0, SEEK_END) != 0)
        return -1;
    int64_t size = ftello(file);
    if (fseeko(file, 0, SEEK_SET) != 0)
        return -1;
#endif
    return size;
}

PackageStatus ReadOpenFile(FILE* file, PackageContents& contents)
{
    contents = PackageContents();
    if (!file) {
        contents.failure = "cannot open file";
        return PackageDamaged;
    }
    const int64_t size = MeasureFile64(file);
    if (size < 0) {
        std::fclose(file);
        contents.failure = "cannot read file";
        return PackageDamaged;
    }
    if (static_cast<uint64_t>(size) > MaxPackageFileSize) {
        std::fclose(file);
        contents.failure = "file too large";
        return PackageTooLarge;
    }
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        std::fclose(file);
        contents.failure = "file too large";
        return PackageTooLarge;
    }
    size_t read = size ? std::fread(bytes.data(), 1, bytes.size(), file) : 0;
    std::fclose(file);
    if (read != bytes.size()) {
        contents.failure = "cannot read file";
        return PackageDamaged;
    }
    return ReadPackageInPlace(bytes, contents);
}

}  // namespace

// A 32-bit process has at most 2 GiB of address space for everything;
// otherwise, a stub and a picture of up to 4 GiB each and the record.
const uint64_t MaxPackageFileSize =
    sizeof(size_t) <= 4 ? 0x7FFFFFFFull : 2 * 0x100000000ull + 8 + MaxRecordLength;

PackageStatus ReadPackageAfterStub(const uint8_t* file, size_t size, uint32_t stubLength,
                                   PackageContents& contents)
{
    PackageStatus status = CheckLayout(file, size, stubLength, contents);
    if (status != PackageOk)
        return status;
    PackageCipher cipher(PackageKey);
    const uint8_t* pictureSection = file + stubLength + 8;
    try {
        contents.picture.assign(pictureSection, pictureSection + contents.pictureLength);
    } catch (const std::bad_alloc&) {
        contents.failure = "file too large";
        return PackageTooLarge;
    }
    DecipherPicture(cipher, contents.picture.data(), contents);
    return ReadRecord(cipher, pictureSection + contents.pictureLength, contents);
}

PackageStatus ReadPackage(const uint8_t* file, size_t size, PackageContents& contents)
{
    uint32_t stubLength = 0;
    const char* failure = FindStubLength(file, size, &stubLength);
    if (failure) {
        contents = PackageContents();
        contents.failure = failure;
        return PackageDamaged;
    }
    return ReadPackageAfterStub(file, size, stubLength, contents);
}

PackageStatus ReadPackageFile(const char* path, PackageContents& contents)
{
    return ReadOpenFile(std::fopen(path, "rb"), contents);
}

#ifdef _WIN32
PackageStatus ReadPackageFile(const wchar_t* path, PackageContents& contents)
{
    return ReadOpenFile(_wfopen(path, L"rb"), contents);
}
#endif

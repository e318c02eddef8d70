#include "package_reader.h"

#include <cstring>
#include <new>

#include "little_endian.h"
#include "package_cipher.h"
#include "package_key.h"

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
    cipher.DecipherWholeBlocks(record, wholeLength);
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
    cipher.DecipherWholeBlocks(picture, length);
    contents.reconstructedCount = length % 8;
    FillPictureTail(picture, length, contents.reconstructedCount);
}

}  // namespace

PackageStatus ReadPackageBuffer(std::vector<uint8_t>& bytes, PackageContents& contents)
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

// Reading a puzzle's package from a file on disk: the file is read whole
// once, bounded by what this process can hold, and its package read in place.
// A folder or a pipe is refused before it is opened.
#include "package_reader.h"

#include <cstdio>

#include "whole_file.h"

namespace {

template <class Path>
PackageStatus ReadFileAt(Path path, PackageContents& contents)
{
    contents = PackageContents();
    std::vector<uint8_t> bytes;
    switch (ReadWholeFile(path, MaxPackageFileSize, bytes, &contents.failure)) {
    case WholeFileRead:
        break;
    case WholeFileUnreadable:
        return PackageDamaged;
    case WholeFileTooLarge:
        return PackageTooLarge;
    }
    return ReadPackageBuffer(bytes, contents);
}

}  // namespace

// A 32-bit process has at most 2 GiB of address space for everything;
// otherwise, a stub and a picture of up to 4 GiB each and the record.
const uint64_t MaxPackageFileSize =
    sizeof(size_t) <= 4 ? 0x7FFFFFFFull : 2 * 0x100000000ull + 8 + MaxRecordLength;

PackageStatus ReadPackageFile(const char* path, PackageContents& contents)
{
    return ReadFileAt(path, contents);
}

#ifdef _WIN32
PackageStatus ReadPackageFile(const wchar_t* path, PackageContents& contents)
{
    return ReadFileAt(path, contents);
}
#endif

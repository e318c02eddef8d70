// Reading a puzzle's package from a file on disk: the file is measured in 64
// bits, bounded by what this process can hold, read whole once, and its
// package read in place. A folder or a pipe is refused before it is opened:
// a pipe would be waited on for ever.
#include "package_reader.h"

#include <cstdio>
#include <new>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

// Why the path cannot be read as a puzzle's file before it is opened, or
// null: it names a folder, or (elsewhere than on Windows) a pipe or socket.
#ifdef _WIN32
const char* NotAFile(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)
               ? "it is a folder"
               : nullptr;
}
#else
const char* NotAFile(const char* path)
{
    struct stat info;
    if (stat(path, &info) != 0)
        return nullptr;  // left for the open to report
    if (S_ISDIR(info.st_mode))
        return "it is a folder";
    if (S_ISFIFO(info.st_mode))
        return "it is a pipe, not a file";
    if (S_ISSOCK(info.st_mode))
        return "it is not a file";
    return nullptr;
}
#endif

PackageStatus Refuse(const char* failure, PackageContents& contents)
{
    contents = PackageContents();
    contents.failure = failure;
    return PackageDamaged;
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
    return ReadPackageBuffer(bytes, contents);
}

}  // namespace

// A 32-bit process has at most 2 GiB of address space for everything;
// otherwise, a stub and a picture of up to 4 GiB each and the record.
const uint64_t MaxPackageFileSize =
    sizeof(size_t) <= 4 ? 0x7FFFFFFFull : 2 * 0x100000000ull + 8 + MaxRecordLength;

PackageStatus ReadPackageFile(const char* path, PackageContents& contents)
{
#ifdef _WIN32
    if (const char* failure = NotAFile(GetFileAttributesA(path)))
#else
    if (const char* failure = NotAFile(path))
#endif
        return Refuse(failure, contents);
    return ReadOpenFile(std::fopen(path, "rb"), contents);
}

#ifdef _WIN32
PackageStatus ReadPackageFile(const wchar_t* path, PackageContents& contents)
{
    if (const char* failure = NotAFile(GetFileAttributesW(path)))
        return Refuse(failure, contents);
    return ReadOpenFile(_wfopen(path, L"rb"), contents);
}
#endif

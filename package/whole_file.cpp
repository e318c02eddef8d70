#include "whole_file.h"

#include <new>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

// Why the path cannot be read as a file before it is opened, or null: it
// names a folder, or (elsewhere than on Windows, where pipes have names of
// their own) a pipe or a socket.
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

// Size of an open file, in 64 bits. -1 when it cannot be taken; the file is
// rewound.
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

WholeFileResult Fail(FILE* file, WholeFileResult result, const char* text, const char** failure)
{
    if (file)
        std::fclose(file);
    *failure = text;
    return result;
}

}  // namespace

WholeFileResult ReadWholeFile(FILE* file, uint64_t limit, std::vector<uint8_t>& bytes,
                              const char** failure)
{
    bytes.clear();
    if (!file)
        return Fail(file, WholeFileUnreadable, "cannot open file", failure);
    const int64_t size = MeasureFile64(file);
    if (size < 0)
        return Fail(file, WholeFileUnreadable, "cannot read file", failure);
    if (static_cast<uint64_t>(size) > limit || static_cast<uint64_t>(size) > SIZE_MAX)
        return Fail(file, WholeFileTooLarge, "file too large", failure);
    try {
        bytes.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return Fail(file, WholeFileTooLarge, "file too large", failure);
    }
    const size_t read = size ? std::fread(bytes.data(), 1, bytes.size(), file) : 0;
    std::fclose(file);
    if (read != bytes.size()) {
        bytes.clear();
        *failure = "cannot read file";
        return WholeFileUnreadable;
    }
    return WholeFileRead;
}

WholeFileResult ReadWholeFile(const char* path, uint64_t limit, std::vector<uint8_t>& bytes,
                              const char** failure)
{
    bytes.clear();
#ifdef _WIN32
    if (const char* refused = NotAFile(GetFileAttributesA(path)))
#else
    if (const char* refused = NotAFile(path))
#endif
        return Fail(nullptr, WholeFileUnreadable, refused, failure);
    return ReadWholeFile(std::fopen(path, "rb"), limit, bytes, failure);
}

#ifdef _WIN32
WholeFileResult ReadWholeFile(const wchar_t* path, uint64_t limit, std::vector<uint8_t>& bytes,
                              const char** failure)
{
    bytes.clear();
    if (const char* refused = NotAFile(GetFileAttributesW(path)))
        return Fail(nullptr, WholeFileUnreadable, refused, failure);
    return ReadWholeFile(_wfopen(path, L"rb"), limit, bytes, failure);
}
#endif

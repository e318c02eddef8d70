#include "whole_file.h"

#include <new>

namespace {

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

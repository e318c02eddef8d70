// Reading a whole file into memory for the readers of puzzle files: measured
// in 64 bits, so files past 2 GiB are measured rather than failing, bounded
// before anything is allocated, and read in one go.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

enum WholeFileResult {
    WholeFileRead,
    // failure: "cannot open file", "cannot read file", or, for a path that
    // names no file, "it is a folder", "it is a pipe, not a file", "it is not
    // a file"
    WholeFileUnreadable,
    WholeFileTooLarge,    // failure: "file too large" (past the limit, or no memory for it)
};

// Reads the open file (null for one that could not be opened) into bytes and
// closes it. *failure is set to the text of the cause when it fails.
WholeFileResult ReadWholeFile(FILE* file, uint64_t limit, std::vector<uint8_t>& bytes,
                              const char** failure);

// Opens the file at path and reads it so. A folder, a pipe or a socket is
// refused before it is opened: opening a pipe would wait for a writer that
// may never come.
WholeFileResult ReadWholeFile(const char* path, uint64_t limit, std::vector<uint8_t>& bytes,
                              const char** failure);
#ifdef _WIN32
// The same for a file named by its wide (UTF-16) name.
WholeFileResult ReadWholeFile(const wchar_t* path, uint64_t limit, std::vector<uint8_t>& bytes,
                              const char** failure);
#endif

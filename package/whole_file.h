// Reading a whole file into memory for the readers of puzzle files: measured
// in 64 bits, so files past 2 GiB are measured rather than failing, bounded
// before anything is allocated, and read in one go.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

enum WholeFileResult {
    WholeFileRead,
    WholeFileUnreadable,  // failure: "cannot open file" or "cannot read file"
    WholeFileTooLarge,    // failure: "file too large" (past the limit, or no memory for it)
};

// Reads the open file (null for one that could not be opened) into bytes and
// closes it. *failure is set to the text of the cause when it fails.
WholeFileResult ReadWholeFile(FILE* file, uint64_t limit, std::vector<uint8_t>& bytes,
                              const char** failure);

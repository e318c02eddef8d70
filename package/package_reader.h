// Reads the package that the builder appends to the player stub: finds where
// the stub's own image ends, checks the two lengths against the file, deciphers
// both sections and recovers the bytes of each section's last, partial block
// that the file does not hold. Portable: used by the player and by vornixpack.
//
// Every byte of the input is treated as hostile: each field is bounds-checked
// against the file before it is used, and no buffer is sized from a length
// that has not been checked against the file size first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "pe_image_end.h"
#include "picture_tail.h"
#include "record_fields.h"
#include "record_tail.h"

enum PackageStatus {
    PackageOk,
    PackageMissing,   // the file ends where the stub ends: no puzzle appended
    PackageDamaged,   // see PackageContents::failure
    PackageTooLarge,  // the file is larger than this process can hold ("file too large")
};

struct PackageContents {
    uint32_t stubLength = 0;
    uint32_t pictureLength = 0;
    uint32_t recordLength = 0;
    std::vector<uint8_t> picture;  // the picture file; its unrecoverable tail filled in
    uint32_t reconstructedCount = 0;  // bytes at the picture's end that were guessed
    std::string recordText;        // the whole record, "...|END"
    PackageRecord record;
    const char* failure = nullptr;  // why the package was refused
};

// Reads the package of a whole target file (stub, package).
PackageStatus ReadPackage(const uint8_t* file, size_t size, PackageContents& contents);

// Reads a package that starts stubLength bytes into the file.
PackageStatus ReadPackageAfterStub(const uint8_t* file, size_t size, uint32_t stubLength,
                                   PackageContents& contents);

// Reads the package of a whole file held in bytes. On success the picture is
// deciphered where it lies and bytes becomes contents.picture, so the file is
// never held twice.
PackageStatus ReadPackageBuffer(std::vector<uint8_t>& bytes, PackageContents& contents);

// Reads a file from disk and its package. A file that cannot be opened or
// read whole is reported as damaged ("cannot open file", "cannot read file"),
// and so is a folder ("it is a folder") or, before it is opened, a pipe
// ("it is a pipe, not a file") or socket ("it is not a file");
// one larger than MaxPackageFileSize, or for which memory cannot be had, as
// too large ("file too large"). The file is held in memory once: the picture
// is deciphered where it was read, and that buffer becomes contents.picture.
PackageStatus ReadPackageFile(const char* path, PackageContents& contents);
#ifdef _WIN32
// The same for a file named by its wide (UTF-16) name, which reaches files
// whose names the process's code page cannot spell.
PackageStatus ReadPackageFile(const wchar_t* path, PackageContents& contents);
#endif

// Largest file the file readers load: what a process of this word size can
// hold (below 2 GiB for a 32-bit process; room for the largest package the
// format allows otherwise).
extern const uint64_t MaxPackageFileSize;

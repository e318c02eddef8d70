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

// Shortest and longest record the builder can compose: the form holds a grid
// size of at most four digits (1808 characters in all); a grid size given as
// any int (up to 11 characters) is allowed for.
const uint32_t MinRecordLength = 19;
const uint32_t MaxRecordLength = 1815;

// The six fields of the settings record, as the builder wrote them.
struct PackageRecord {
    std::string gridSize;     // decimal, may be negative
    std::string companyName;  // " " when the builder's field was empty
    std::string webSite;
    std::string tagLine;
    std::string shuffle;      // "YES" or "NO"
    std::string winAddress;   // "NONE", or an address holding a web scheme
};

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

// End of the PE image in a file: the furthest end of the headers, of any
// section's raw data, of a COFF symbol table with its string table, and of a
// certificate table. Returns nullptr and sets stubLength, or a failure text.
const char* FindStubLength(const uint8_t* file, size_t size, uint32_t* stubLength);

// Reads the package of a whole target file (stub, package).
PackageStatus ReadPackage(const uint8_t* file, size_t size, PackageContents& contents);

// Reads a package that starts stubLength bytes into the file.
PackageStatus ReadPackageAfterStub(const uint8_t* file, size_t size, uint32_t stubLength,
                                   PackageContents& contents);

// Reads a file from disk and its package. A file that cannot be opened or
// read whole is reported as damaged ("cannot open file", "cannot read file");
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

// Splits a whole record text into its fields. A "|" typed into a text field
// is not escaped by the builder. The tag line runs to the shuffle flag; the
// company name and web site each end at the first separator that leaves them
// non-empty, so a record that an older builder wrote with a "|" in them is
// still read, the stray separator going to a neighbouring field.
bool SplitRecord(const std::string& text, PackageRecord& record);

// The grid size field as a number; 0 when it is not a plain decimal or is
// outside the range of an int.
int RecordGridSize(const PackageRecord& record);

// An About-box text: a field of one space (what the builder writes for an
// empty control) is shown as empty.
std::string RecordDisplayText(const std::string& field);

// Recovers the last (recordLength % 8) bytes of a record that cannot be
// deciphered from the file. known holds the deciphered whole blocks; stored
// the trailing bytes of the section as they lie in the file. On success the
// recovered bytes are appended to known.
bool RecoverRecordTail(std::string& known, const uint8_t* stored, uint32_t storedCount);

// Fills the last missingCount bytes of a picture file, which the file does not
// hold, with the bytes one pixel row earlier (the row below in a bottom-up
// bitmap) when the bitmap header tells the row length, else with zeros.
void FillPictureTail(uint8_t* picture, uint32_t length, uint32_t missingCount);

// Reading a list that a spreadsheet saved as CSV (RFC 4180), one record at a
// time, so a list of any length is never held whole.
//
// Fields are separated by commas; a field in double quotes may hold commas,
// line breaks and quotes written as "". Lines end in CRLF, LF or a lone CR.
// A UTF-8 byte-order mark at the start is skipped. A quote inside an
// unquoted field is taken as it stands, as spreadsheets do. Every size is
// bounded, and anything the reader cannot take ends the reading with one
// failure text and the line where the record began.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

// Bounds on what one record may hold, so a hostile list cannot make the
// reader allocate without limit.
const size_t CsvFieldLimit = 65536;           // bytes in one field
const size_t CsvFieldCountLimit = 1024;       // fields in one record
const size_t CsvRecordLimit = 1024 * 1024;    // bytes in all fields of a record

struct CsvRecord {
    std::vector<std::string> fields;  // at least one; a blank line gives one empty field
    unsigned long line = 0;           // the line where the record starts, from 1
};

enum CsvReadResult {
    CsvGotRecord,
    CsvAtEnd,
    CsvFailed,  // error and errorLine say why and where; reading is over
};

struct CsvReader {
    FILE* file = nullptr;              // the source when reading a file
    std::vector<unsigned char> chunk;  // a file's bytes, read a chunk at a time
    const unsigned char* bytes = nullptr;
    size_t at = 0, end = 0;            // unread bytes are bytes[at, end)
    bool fileEnded = false;
    bool started = false;              // the byte-order mark has been looked for
    unsigned long line = 1;            // the line of the next unread byte
    std::string error;
    unsigned long errorLine = 0;
};

// Reads from an open file, chunkSize bytes at a time (any size from 1).
void CsvReadFile(CsvReader* reader, FILE* file, size_t chunkSize = 65536);

// Reads size bytes held in memory; they must outlive the reader.
void CsvReadBytes(CsvReader* reader, const unsigned char* data, size_t size);

// The next record into *record. At the end of the input, CsvAtEnd; once
// CsvFailed has been returned, every later call returns it again.
CsvReadResult CsvReadRecord(CsvReader* reader, CsvRecord* record);

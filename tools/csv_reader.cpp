#include "csv_reader.h"

#include "system_error.h"

namespace {

const char ErrorRead[] = "the list could not be read";
const char ErrorZeroByte[] = "the list holds a zero byte (save it as CSV UTF-8)";
const char ErrorUtf16[] = "the list is UTF-16 text (save it as CSV UTF-8)";
const char ErrorUnclosed[] = "a quoted field is not closed";
const char ErrorAfterQuote[] = "a quoted field goes on after its closing quote";
const char ErrorLongField[] = "a field is longer than 65536 bytes";
const char ErrorManyFields[] = "a row has more than 1024 fields";
const char ErrorLongRecord[] = "a row is longer than 1 MB";

// What Peek gives besides a byte.
const int AtEnd = -1;
const int Failed = -2;

// Ends the reading; the first failure is the one reported.
void Fail(CsvReader* r, const std::string& text, unsigned long line)
{
    if (!r->error.empty())
        return;
    r->error = text;
    r->errorLine = line;
}

// Reads the next chunk of a file when every byte held has been used. False
// at the end of the input or when the file cannot be read.
bool Fill(CsvReader* r, size_t wanted)
{
    if (r->at < r->end)
        return true;
    if (!r->file || r->fileEnded)
        return false;
    if (wanted > r->chunk.size())
        wanted = r->chunk.size();
    const size_t got = std::fread(r->chunk.data(), 1, wanted, r->file);
    if (got < wanted) {
        if (std::ferror(r->file)) {
            Fail(r, std::string(ErrorRead) + ": " + RuntimeErrorText(), r->line);
            return false;
        }
        r->fileEnded = true;
    }
    r->bytes = r->chunk.data();
    r->at = 0;
    r->end = got;
    return got > 0;
}

int Peek(CsvReader* r)
{
    if (!Fill(r, r->chunk.size()))
        return r->error.empty() ? AtEnd : Failed;
    return r->bytes[r->at];
}

void Take(CsvReader* r)
{
    ++r->at;
}

// Skips a UTF-8 byte-order mark and refuses UTF-16 text. The first three
// bytes of a file are read on their own so that they are held together.
bool Start(CsvReader* r)
{
    r->started = true;
    if (r->file && !Fill(r, 3))
        return r->error.empty();
    const size_t held = r->end - r->at;
    const unsigned char* b = r->bytes + r->at;
    if (held >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
        r->at += 3;
    } else if (held >= 2 && ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF))) {
        Fail(r, ErrorUtf16, 1);
        return false;
    }
    return true;
}

// Adds one byte of a field, within the bounds.
bool Append(CsvReader* r, std::string* field, int c, unsigned long recordLine)
{
    if (c == 0) {
        Fail(r, ErrorZeroByte, recordLine);
        return false;
    }
    if (field->size() >= CsvFieldLimit) {
        Fail(r, ErrorLongField, recordLine);
        return false;
    }
    field->push_back(static_cast<char>(c));
    return true;
}

// An unquoted field, up to (not taking) the comma or line break after it.
// Returns that byte, AtEnd or Failed.
int ReadPlainField(CsvReader* r, std::string* field, unsigned long recordLine)
{
    for (;;) {
        const int c = Peek(r);
        if (c < 0 || c == ',' || c == '\r' || c == '\n')
            return c;
        Take(r);
        if (!Append(r, field, c, recordLine))
            return Failed;
    }
}

// A field in quotes, from its opening quote to the byte after its closing
// one, which is returned (not taken) as for ReadPlainField. Line breaks in
// the field are kept as they are and counted.
int ReadQuotedField(CsvReader* r, std::string* field, unsigned long recordLine)
{
    Take(r);
    for (;;) {
        int c = Peek(r);
        if (c == AtEnd) {
            Fail(r, ErrorUnclosed, recordLine);
            return Failed;
        }
        if (c == Failed)
            return Failed;
        Take(r);
        if (c == '"') {
            const int next = Peek(r);
            if (next != '"') {
                if (next < 0 || next == ',' || next == '\r' || next == '\n')
                    return next;
                Fail(r, ErrorAfterQuote, recordLine);
                return Failed;
            }
            Take(r);
        } else if (c == '\r' || c == '\n') {
            if (!Append(r, field, c, recordLine))
                return Failed;
            if (c == '\r' && Peek(r) == '\n') {
                Take(r);
                if (!Append(r, field, '\n', recordLine))
                    return Failed;
            }
            ++r->line;
            continue;
        }
        if (!Append(r, field, c, recordLine))
            return Failed;
    }
}

// Takes the line break that ends a record: CRLF, LF or CR.
void TakeLineBreak(CsvReader* r)
{
    const int c = Peek(r);
    if (c != '\r' && c != '\n')
        return;
    Take(r);
    if (c == '\r' && Peek(r) == '\n')
        Take(r);
    ++r->line;
}

}  // namespace

void CsvReadFile(CsvReader* reader, FILE* file, size_t chunkSize)
{
    *reader = CsvReader();
    reader->file = file;
    reader->chunk.resize(chunkSize < 3 ? 3 : chunkSize);
}

void CsvReadBytes(CsvReader* reader, const unsigned char* data, size_t size)
{
    *reader = CsvReader();
    reader->bytes = data;
    reader->end = size;
}

CsvReadResult CsvReadRecord(CsvReader* r, CsvRecord* record)
{
    if (!r->error.empty())
        return CsvFailed;
    if (!r->started && !Start(r))
        return CsvFailed;
    record->fields.clear();
    record->line = r->line;
    const int first = Peek(r);
    if (first == Failed)
        return CsvFailed;
    if (first == AtEnd)
        return CsvAtEnd;

    size_t recordBytes = 0;
    for (;;) {
        if (record->fields.size() == CsvFieldCountLimit) {
            Fail(r, ErrorManyFields, record->line);
            return CsvFailed;
        }
        record->fields.emplace_back();
        std::string* field = &record->fields.back();
        const int ended = Peek(r) == '"' ? ReadQuotedField(r, field, record->line)
                                         : ReadPlainField(r, field, record->line);
        if (ended == Failed)
            return CsvFailed;
        recordBytes += field->size();
        if (recordBytes > CsvRecordLimit) {
            Fail(r, ErrorLongRecord, record->line);
            return CsvFailed;
        }
        if (ended == ',') {
            Take(r);
            continue;
        }
        TakeLineBreak(r);
        return CsvGotRecord;
    }
}

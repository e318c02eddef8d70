// Fuzz target for the batch list reader: any bytes as a CSV list, read from
// memory and from a file in small chunks, which must give the same records,
// lines and failure; then its header mapped and every row's values read as
// the batch reads them. Records stay within their bounds and their lines
// rise.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "batch_list.h"
#include "csv_reader.h"

namespace {

struct Read {
    std::vector<CsvRecord> records;
    std::string error;
    unsigned long errorLine = 0;
};

Read ReadAll(CsvReader& reader)
{
    Read read;
    CsvRecord record;
    CsvReadResult result;
    while ((result = CsvReadRecord(&reader, &record)) == CsvGotRecord) {
        size_t bytes = 0;
        if (record.fields.empty() || record.fields.size() > CsvFieldCountLimit)
            abort();
        for (const std::string& field : record.fields) {
            if (field.size() > CsvFieldLimit)
                abort();
            bytes += field.size();
        }
        if (bytes > CsvRecordLimit)
            abort();
        if (!read.records.empty() && record.line <= read.records.back().line)
            abort();
        read.records.push_back(record);
    }
    if (result == CsvFailed) {
        if (reader.error.empty() || reader.errorLine == 0)
            abort();
        read.error = reader.error;
        read.errorLine = reader.errorLine;
    }
    return read;
}

bool Same(const Read& a, const Read& b)
{
    if (a.error != b.error || a.errorLine != b.errorLine || a.records.size() != b.records.size())
        return false;
    for (size_t i = 0; i < a.records.size(); ++i) {
        if (a.records[i].fields != b.records[i].fields || a.records[i].line != b.records[i].line)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CsvReader memory;
    CsvReadBytes(&memory, data, size);
    const Read read = ReadAll(memory);

    // The same bytes through the file path, in chunks of 3 to 10 bytes
    // (fmemopen takes no empty buffer).
    if (FILE* file = size ? fmemopen(const_cast<uint8_t*>(data), size, "rb") : nullptr) {
        CsvReader chunked;
        CsvReadFile(&chunked, file, 3 + size % 8);
        const Read again = ReadAll(chunked);
        fclose(file);
        if (!Same(read, again))
            abort();
    }

    if (read.records.empty())
        return 0;
    BatchColumns columns;
    std::string error;
    if (!MapBatchColumns(read.records[0], &columns, &error)) {
        if (error.empty())
            abort();
        return 0;
    }
    for (size_t i = 1; i < read.records.size(); ++i) {
        BatchRow row;
        std::string reason;
        if (ReadBatchRow(read.records[i], columns, &row, &reason)) {
            if (row.picture.empty() || row.target.empty() || row.settings.gridSize < 2 ||
                row.settings.gridSize > 9999)
                abort();
            PathFromList(FolderOfPath(row.picture), row.target);
        } else if (reason.empty()) {
            abort();
        }
    }
    return 0;
}

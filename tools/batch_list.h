// The columns and rows of a batch list: which field holds which value, as
// the header row names them, and one row's values turned into what
// `vornixpack build` would be given.
#pragma once

#include <cstddef>
#include <string>

#include "csv_reader.h"
#include "package_record.h"

enum BatchColumn {
    BatchPicture,
    BatchTarget,
    BatchGrid,
    BatchShuffle,
    BatchWinUrl,
    BatchCompany,
    BatchSite,
    BatchTagline,
    BatchColumnCount
};

// Where each column is in a record: a field index, or -1 when the list has
// no such column.
struct BatchColumns {
    int field[BatchColumnCount];
    size_t headerFields = 0;
};

// Finds the columns by the header's names, in any order and letter case
// (spaces around a name are ignored). False with the reason, naming the
// column, for an unknown, unnamed or repeated column and for a missing
// picture or target column.
bool MapBatchColumns(const CsvRecord& header, BatchColumns* columns, std::string* error);

// A record whose fields are all empty: a blank line, or an empty row that a
// spreadsheet saved as commas. Such rows are skipped.
bool IsBlankRecord(const CsvRecord& record);

// One row, held while the list is checked and built: its texts as the list
// gives them, the paths still relative to the list's folder.
struct BatchRow {
    unsigned long line = 0;  // where the row starts in the list
    std::string picture;
    std::string target;
    PackageSettings settings;
};

// The row's values, with the defaults of `vornixpack build` for empty or
// missing columns. False with the reason for a value that is not valid: a
// missing picture or target, a grid or shuffle value that is not one, text
// that is not UTF-8, more fields than the header has.
bool ReadBatchRow(const CsvRecord& record, const BatchColumns& columns, BatchRow* row,
                  std::string* reason);

// The folder of a file's path, with its separator ("lists/" for
// "lists/a.csv"), or "" when the path names no folder.
std::string FolderOfPath(const std::string& path);

// A path from a list: absolute paths as they are, relative ones under the
// list's folder.
std::string PathFromList(const std::string& listFolder, const std::string& path);

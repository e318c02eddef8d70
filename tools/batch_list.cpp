#include "batch_list.h"

#include "grid_text.h"
#include "utf8_text.h"

namespace {

const char* const ColumnNames[BatchColumnCount] = {
    "picture", "target", "grid", "shuffle", "win_url", "company", "site", "tagline",
};

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The text without the spaces and tabs around it.
std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

int ColumnNamed(const std::string& name)
{
    for (int column = 0; column < BatchColumnCount; ++column) {
        const char* known = ColumnNames[column];
        size_t i = 0;
        while (i < name.size() && known[i] && LowerAscii(name[i]) == known[i])
            ++i;
        if (i == name.size() && !known[i])
            return column;
    }
    return -1;
}

// The field of a column, "" when the list has no such column or the row
// ends before it.
const std::string& FieldOf(const CsvRecord& record, const BatchColumns& columns, int column)
{
    static const std::string none;
    const int field = columns.field[column];
    if (field < 0 || static_cast<size_t>(field) >= record.fields.size())
        return none;
    return record.fields[field];
}

bool ParseShuffle(const std::string& text, bool* shuffle)
{
    std::string word = Trimmed(text);
    for (char& c : word)
        c = LowerAscii(c);
    if (word.empty() || word == "no" || word == "false" || word == "0") {
        *shuffle = false;
        return true;
    }
    if (word == "yes" || word == "true" || word == "1") {
        *shuffle = true;
        return true;
    }
    return false;
}

bool ParseGrid(const std::string& text, int* grid, std::string* reason)
{
    const std::string value = Trimmed(text);
    if (value.empty()) {
        *grid = GridSizeDefault;
        return true;
    }
    switch (ParseGridText(value, grid)) {
    case GridTextTaken:
        return true;
    case GridTextTooSmall:
        *reason = "the grid size must be 2 or more, not '" + value + "'";
        return false;
    case GridTextNotWhole:
        break;
    }
    *reason = "the grid size must be a whole number from 2 to 9999, not '" + value + "'";
    return false;
}

bool IsAbsolutePath(const std::string& path)
{
#ifdef _WIN32
    // "\folder", "\\server\share", "C:\folder" and "C:folder" (a drive's own
    // current folder) all name their place without the list's folder.
    if (!path.empty() && (path[0] == '\\' || path[0] == '/'))
        return true;
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
#else
    return !path.empty() && path[0] == '/';
#endif
}

}  // namespace

bool MapBatchColumns(const CsvRecord& header, BatchColumns* columns, std::string* error)
{
    for (int& field : columns->field)
        field = -1;
    columns->headerFields = header.fields.size();
    for (size_t i = 0; i < header.fields.size(); ++i) {
        const std::string name = Trimmed(header.fields[i]);
        if (name.empty()) {
            *error = "column " + std::to_string(i + 1) + " of the header has no name";
            return false;
        }
        const int column = ColumnNamed(name);
        if (column < 0) {
            *error = "unknown column '" + name + "'";
            return false;
        }
        if (columns->field[column] >= 0) {
            *error = "column '" + std::string(ColumnNames[column]) + "' is given twice";
            return false;
        }
        columns->field[column] = static_cast<int>(i);
    }
    for (int column : {BatchPicture, BatchTarget}) {
        if (columns->field[column] < 0) {
            *error = "missing column '" + std::string(ColumnNames[column]) + "'";
            return false;
        }
    }
    return true;
}

bool IsBlankRecord(const CsvRecord& record)
{
    for (const std::string& field : record.fields) {
        if (!field.empty())
            return false;
    }
    return true;
}

bool ReadBatchRow(const CsvRecord& record, const BatchColumns& columns, BatchRow* row,
                  std::string* reason)
{
    *row = BatchRow();
    row->line = record.line;
    row->picture = FieldOf(record, columns, BatchPicture);
    row->target = FieldOf(record, columns, BatchTarget);
    // Cells past the header's last column are allowed when empty, as
    // spreadsheets write them.
    for (size_t i = columns.headerFields; i < record.fields.size(); ++i) {
        if (!record.fields[i].empty()) {
            *reason = "the row has " + std::to_string(record.fields.size()) +
                      " fields, the header " + std::to_string(columns.headerFields);
            return false;
        }
    }
    for (const std::string& field : record.fields) {
        if (!IsUtf8Text(field)) {
            *reason = "the row is not UTF-8 text (save the list as CSV UTF-8)";
            return false;
        }
    }
    if (row->picture.empty()) {
        *reason = "no picture given";
        return false;
    }
    if (row->target.empty()) {
        *reason = "no target given";
        return false;
    }
    PackageSettings& settings = row->settings;
    if (!ParseGrid(FieldOf(record, columns, BatchGrid), &settings.gridSize, reason))
        return false;
    if (!ParseShuffle(FieldOf(record, columns, BatchShuffle), &settings.shuffle)) {
        *reason = "shuffle must be yes or no, true or false, 1 or 0, not '" +
                  Trimmed(FieldOf(record, columns, BatchShuffle)) + "'";
        return false;
    }
    // An empty win address is the form's initial one, as when --win-url is
    // left out.
    const std::string& winUrl = FieldOf(record, columns, BatchWinUrl);
    if (!winUrl.empty())
        settings.winAddress = winUrl;
    settings.companyName = FieldOf(record, columns, BatchCompany);
    settings.webSite = FieldOf(record, columns, BatchSite);
    settings.tagLine = FieldOf(record, columns, BatchTagline);
    return true;
}

std::string FolderOfPath(const std::string& path)
{
#ifdef _WIN32
    const size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos)
        return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : std::string();
#else
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return std::string();
#endif
    return path.substr(0, slash + 1);
}

std::string PathFromList(const std::string& listFolder, const std::string& path)
{
    if (IsAbsolutePath(path))
        return path;
    return listFolder + path;
}

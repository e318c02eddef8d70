// Reading a batch list: the CSV records a spreadsheet's list gives, read
// from memory and from a file in chunks of every size; the failures with the
// line where their record starts; the columns found by the header's names;
// one row's values.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "batch_list.h"
#include "csv_reader.h"
#include "test_files.h"

namespace {

typedef std::vector<std::string> Fields;

struct Read {
    std::vector<Fields> records;
    std::vector<unsigned long> lines;
    std::string error;  // "LINE: text" when the reading failed
};

Read ReadAll(CsvReader& reader)
{
    Read read;
    CsvRecord record;
    for (;;) {
        const CsvReadResult result = CsvReadRecord(&reader, &record);
        if (result == CsvAtEnd)
            break;
        if (result == CsvFailed) {
            read.error = std::to_string(reader.errorLine) + ": " + reader.error;
            EXPECT_EQ(CsvReadRecord(&reader, &record), CsvFailed);
            break;
        }
        read.records.push_back(record.fields);
        read.lines.push_back(record.line);
    }
    return read;
}

Read ReadText(const std::string& text)
{
    CsvReader reader;
    CsvReadBytes(&reader, reinterpret_cast<const unsigned char*>(text.data()), text.size());
    return ReadAll(reader);
}

Read ReadFileInChunks(const std::string& text, size_t chunk)
{
    const std::string path = ::testing::TempDir() + "batch_list_chunks.csv";
    EXPECT_TRUE(vntest::WriteFileBytes(path, text.data(), text.size()));
    FILE* file = std::fopen(path.c_str(), "rb");
    EXPECT_NE(file, nullptr);
    CsvReader reader;
    CsvReadFile(&reader, file, chunk);
    Read read = ReadAll(reader);
    std::fclose(file);
    std::remove(path.c_str());
    return read;
}

TEST(CsvReaderTest, RecordsAndTheLinesTheyStartOn)
{
    const struct {
        const char* what;
        std::string text;
        std::vector<Fields> records;
        std::vector<unsigned long> lines;
    } cases[] = {
        {"plain, LF", "a,b\nc,d\n", {{"a", "b"}, {"c", "d"}}, {1, 2}},
        {"CRLF, no line break at the end", "a,b\r\nc,d", {{"a", "b"}, {"c", "d"}}, {1, 2}},
        {"lone CR", "a\rb\r", {{"a"}, {"b"}}, {1, 2}},
        {"a byte-order mark is skipped", "\xEF\xBB\xBF" "a,b\n", {{"a", "b"}}, {1}},
        {"a mark later is text", "a\n\xEF\xBB\xBF" "b\n", {{"a"}, {"\xEF\xBB\xBF" "b"}}, {1, 2}},
        {"quoted commas and quotes", "\"a,b\",\"say \"\"hi\"\"\",\"\"\n",
         {{"a,b", "say \"hi\"", ""}}, {1}},
        {"quoted line breaks are kept and counted", "\"x\ny\",1\r\n\"p\r\nq\rr\",2\nlast\n",
         {{"x\ny", "1"}, {"p\r\nq\rr", "2"}, {"last"}}, {1, 3, 6}},
        {"empty fields and blank lines", ",,\n\n\r\n,\n", {{"", "", ""}, {""}, {""}, {"", ""}}, {1, 2, 3, 4}},
        {"a quote inside an unquoted field stays", "5\" screen,b\"\"\n", {{"5\" screen", "b\"\""}}, {1}},
        {"spaces are kept", " a , \"b\"\n", {{" a ", " \"b\""}}, {1}},
        {"UTF-8 text", "Caf\xC3\xA9,\xE6\x97\xA5\xE6\x9C\xAC\n", {{"Caf\xC3\xA9", "\xE6\x97\xA5\xE6\x9C\xAC"}}, {1}},
        {"nothing at all", "", {}, {}},
        {"only a mark", "\xEF\xBB\xBF", {}, {}},
        {"a quoted field at the very end", "a,\"b\"", {{"a", "b"}}, {1}},
    };
    for (const auto& c : cases) {
        for (size_t chunk : {size_t(0), size_t(3), size_t(4), size_t(7), size_t(65536)}) {
            const Read read = chunk ? ReadFileInChunks(c.text, chunk) : ReadText(c.text);
            EXPECT_EQ(read.error, "") << c.what << ", chunk " << chunk;
            EXPECT_EQ(read.records, c.records) << c.what << ", chunk " << chunk;
            EXPECT_EQ(read.lines, c.lines) << c.what << ", chunk " << chunk;
        }
    }
}

TEST(CsvReaderTest, FailuresNameTheLineWhereTheirRecordStarts)
{
    const std::string longField(CsvFieldLimit + 1, 'x');
    std::string manyFields(CsvFieldCountLimit, ',');
    std::string longRecord;
    for (int i = 0; i < 17; ++i)
        longRecord += std::string(CsvFieldLimit, 'y') + ",";
    const struct {
        const char* what;
        std::string text;
        size_t recordsBefore;
        std::string error;
    } cases[] = {
        {"unclosed quote", "a\n\"b\nc\nd", 1, "2: a quoted field is not closed"},
        {"text after a closing quote", "a\nb\n\"c\"d,e\n", 2, "3: a quoted field goes on after its closing quote"},
        {"a zero byte", std::string("a\nb\0c\n", 6), 1, "2: the list holds a zero byte (save it as CSV UTF-8)"},
        {"a zero byte in quotes", std::string("\"\0\"", 3), 0, "1: the list holds a zero byte (save it as CSV UTF-8)"},
        {"UTF-16, little-endian", std::string("\xFF\xFE" "a\0", 4), 0, "1: the list is UTF-16 text (save it as CSV UTF-8)"},
        {"UTF-16, big-endian", std::string("\xFE\xFF\0a", 4), 0, "1: the list is UTF-16 text (save it as CSV UTF-8)"},
        {"a field past the limit", "a\n\"\n" + longField + "\"\n", 1, "2: a field is longer than 65536 bytes"},
        {"a field just at the limit, then too many fields", std::string(CsvFieldLimit, 'z') + "\n" + manyFields + "\n",
         1, "2: a row has more than 1024 fields"},
        {"a record past the limit", longRecord, 0, "1: a row is longer than 1 MB"},
    };
    for (const auto& c : cases) {
        for (size_t chunk : {size_t(0), size_t(3), size_t(5), size_t(65536)}) {
            const Read read = chunk ? ReadFileInChunks(c.text, chunk) : ReadText(c.text);
            EXPECT_EQ(read.error, c.error) << c.what << ", chunk " << chunk;
            EXPECT_EQ(read.records.size(), c.recordsBefore) << c.what << ", chunk " << chunk;
        }
    }
}

CsvRecord Record(const Fields& fields, unsigned long line = 1)
{
    CsvRecord record;
    record.fields = fields;
    record.line = line;
    return record;
}

TEST(BatchListTest, ColumnsAreFoundByNameInAnyOrderAndLetterCase)
{
    BatchColumns columns;
    std::string error;
    ASSERT_TRUE(MapBatchColumns(Record({" TagLine", "target", "Win_Url ", "SITE", "Picture", "company",
                                        "grid", "shuffle"}),
                                &columns, &error))
        << error;
    const int expected[BatchColumnCount] = {4, 1, 6, 7, 2, 5, 3, 0};
    for (int c = 0; c < BatchColumnCount; ++c)
        EXPECT_EQ(columns.field[c], expected[c]) << c;
    EXPECT_EQ(columns.headerFields, 8u);

    ASSERT_TRUE(MapBatchColumns(Record({"target", "picture"}), &columns, &error)) << error;
    EXPECT_EQ(columns.field[BatchPicture], 1);
    EXPECT_EQ(columns.field[BatchGrid], -1);

    const struct {
        Fields header;
        const char* error;
    } refused[] = {
        {{"picture", "target", "colour"}, "unknown column 'colour'"},
        {{"picture", "target", "win url"}, "unknown column 'win url'"},
        {{"picture", "target", "pictures"}, "unknown column 'pictures'"},
        {{"picture", "target", "pic"}, "unknown column 'pic'"},
        {{"picture", "grid"}, "missing column 'target'"},
        {{"target"}, "missing column 'picture'"},
        {{"picture", "target", "GRID", "grid"}, "column 'grid' is given twice"},
        {{"picture", " ", "target"}, "column 2 of the header has no name"},
    };
    for (const auto& r : refused) {
        EXPECT_FALSE(MapBatchColumns(Record(r.header), &columns, &error)) << r.error;
        EXPECT_EQ(error, r.error);
    }
}

TEST(BatchListTest, RowValuesTakeBuildsDefaultsWhereEmptyOrMissing)
{
    BatchColumns columns;
    std::string error, reason;
    ASSERT_TRUE(MapBatchColumns(Record({"picture", "target", "grid", "shuffle", "win_url", "company",
                                        "site", "tagline"}),
                                &columns, &error));
    BatchRow row;
    ASSERT_TRUE(ReadBatchRow(Record({"p.jpg", "t.exe", " 12 ", " Yes ", "example.com", "A, B", "s", "x\ny"}, 7),
                             columns, &row, &reason))
        << reason;
    EXPECT_EQ(row.line, 7u);
    EXPECT_EQ(row.picture, "p.jpg");
    EXPECT_EQ(row.target, "t.exe");
    EXPECT_EQ(row.settings.gridSize, 12);
    EXPECT_TRUE(row.settings.shuffle);
    EXPECT_EQ(row.settings.winAddress, "example.com");
    EXPECT_EQ(row.settings.companyName, "A, B");
    EXPECT_EQ(row.settings.webSite, "s");
    EXPECT_EQ(row.settings.tagLine, "x\ny");

    // Empty cells, and a row that ends early: what build takes without
    // the options.
    const PackageSettings defaults;
    for (const Fields& fields : {Fields{"p.jpg", "t.exe", "", "", "", "", "", ""}, Fields{"p.jpg", "t.exe"}}) {
        ASSERT_TRUE(ReadBatchRow(Record(fields), columns, &row, &reason)) << reason;
        EXPECT_EQ(row.settings.gridSize, 4);
        EXPECT_FALSE(row.settings.shuffle);
        EXPECT_EQ(row.settings.winAddress, defaults.winAddress);
        EXPECT_EQ(row.settings.companyName, "");
        EXPECT_EQ(row.settings.tagLine, "");
    }

    const struct {
        Fields fields;
        const char* reason;
    } refused[] = {
        {{"", "t.exe"}, "no picture given"},
        {{"p.jpg", ""}, "no target given"},
        {{"p.jpg", "t.exe", "0"}, "the grid size must be 2 or more, not '0'"},
        {{"p.jpg", "t.exe", "-3"}, "the grid size must be a whole number from 2 to 9999, not '-3'"},
        {{"p.jpg", "t.exe", "10000"}, "the grid size must be a whole number from 2 to 9999, not '10000'"},
        {{"p.jpg", "t.exe", "4.0"}, "the grid size must be a whole number from 2 to 9999, not '4.0'"},
        {{"p.jpg", "t.exe", "001"}, "the grid size must be 2 or more, not '001'"},
        {{"p.jpg", "t.exe", "99999999999999999999"},
         "the grid size must be a whole number from 2 to 9999, not '99999999999999999999'"},
        {{"p.jpg", "t.exe", "", "oui"}, "shuffle must be yes or no, true or false, 1 or 0, not 'oui'"},
        {{"p.jpg", "t.exe", "", "", "", "\xC3"}, "the row is not UTF-8 text (save the list as CSV UTF-8)"},
        {{"p.jpg", "t.exe", "", "", "", "", "", "", "", "9"}, "the row has 10 fields, the header 8"},
    };
    for (const auto& r : refused) {
        EXPECT_FALSE(ReadBatchRow(Record(r.fields), columns, &row, &reason)) << r.reason;
        EXPECT_EQ(reason, r.reason);
    }
    EXPECT_TRUE(ReadBatchRow(Record({"p.jpg", "t.exe", "", "", "", "", "", "", "", ""}), columns, &row, &reason));
    // Leading zeros, as a spreadsheet may keep them in a text cell.
    ASSERT_TRUE(ReadBatchRow(Record({"p.jpg", "t.exe", "0009999"}), columns, &row, &reason)) << reason;
    EXPECT_EQ(row.settings.gridSize, 9999);
    EXPECT_TRUE(IsBlankRecord(Record({"", "", ""})));
    EXPECT_FALSE(IsBlankRecord(Record({"", " "})));
}

TEST(BatchListTest, PathsAreTakenFromTheListsFolder)
{
    EXPECT_EQ(FolderOfPath("list.csv"), "");
    EXPECT_EQ(PathFromList(FolderOfPath("list.csv"), "a.jpg"), "a.jpg");
#ifdef _WIN32
    EXPECT_EQ(FolderOfPath("C:\\lists\\a.csv"), "C:\\lists\\");
    EXPECT_EQ(FolderOfPath("Z:/tmp/a.csv"), "Z:/tmp/");
    EXPECT_EQ(FolderOfPath("D:a.csv"), "D:");
    EXPECT_EQ(PathFromList("C:\\lists\\", "pics\\a.jpg"), "C:\\lists\\pics\\a.jpg");
    for (const char* absolute : {"D:\\p\\a.jpg", "\\p\\a.jpg", "//server/share/a.jpg", "E:a.jpg"})
        EXPECT_EQ(PathFromList("C:\\lists\\", absolute), absolute);
#else
    EXPECT_EQ(FolderOfPath("/srv/lists/a.csv"), "/srv/lists/");
    EXPECT_EQ(FolderOfPath("/a.csv"), "/");
    EXPECT_EQ(PathFromList("lists/", "../pics/a.jpg"), "lists/../pics/a.jpg");
    EXPECT_EQ(PathFromList("lists/", "/pics/a.jpg"), "/pics/a.jpg");
    EXPECT_EQ(PathFromList("lists/", "C:\\a.jpg"), "lists/C:\\a.jpg");
#endif
}

}  // namespace

// Reading a batch list's CSV: the records a spreadsheet's list gives, read
// from memory and from a file in chunks of several sizes, so that every
// record, quote and line break also falls across a chunk's end; the failures
// with the line where their record starts. (What the rows mean is tested
// through vornixpack batch itself.)
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

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

}  // namespace

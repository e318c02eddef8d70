// The package reader against targets written by the builder's own function:
// stub end, both lengths, deciphering, recovery of the bytes the file cannot
// give back, and refusal of damaged input.
#include "package_build.h"
#include "package_cipher.h"
#include "package_key.h"
#include "package_reader.h"
#include "package_record.h"
#include "composed_target.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#include <winioctl.h>
#endif

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace playertest;

std::string TempPath(const std::string& name)
{
    return testing::TempDir() + "vn_reader_" + name;
}

// Builds a target with the builder's own function and returns its bytes.
Bytes BuildWith(const Bytes& stub, const Bytes& picture, const PackageSettings& settings)
{
    const std::string stubPath = TempPath("stub.exe");
    const std::string picturePath = TempPath("picture.bmp");
    const std::string targetPath = TempPath("target.exe");
    WriteFile(stubPath, stub);
    WriteFile(picturePath, picture);
    TargetBuildRequest request;
    request.targetPath = targetPath;
    request.picturePath = picturePath;
    request.stubPath = stubPath;
    request.settings = settings;
    TargetBuildResult result = BuildTarget(request, [](const char*) {});
    EXPECT_EQ(TargetBuildDone, result);
    Bytes target = ReadFileBytes(targetPath);
    std::remove(targetPath.c_str());
    return target;
}

PackageSettings Settings(int grid, const std::string& company, const std::string& address,
                         bool shuffle = false)
{
    PackageSettings settings;
    settings.gridSize = grid;
    settings.companyName = company;
    settings.webSite = "www.example.com";
    settings.tagLine = "Slide the tiles";
    settings.shuffle = shuffle;
    settings.winAddress = address;
    return settings;
}

// Pads the company name until the record length has the wanted residue.
PackageSettings WithRecordResidue(PackageSettings settings, uint32_t residue)
{
    while (ComposePackageInfoRecord(settings).size() % 8 != residue)
        settings.companyName += 'c';
    return settings;
}

void ExpectFields(const PackageSettings& settings, const PackageRecord& record)
{
    EXPECT_EQ(std::to_string(settings.gridSize), record.gridSize);
    EXPECT_EQ(settings.companyName.empty() ? " " : settings.companyName, record.companyName);
    EXPECT_EQ(settings.webSite.empty() ? " " : settings.webSite, record.webSite);
    EXPECT_EQ(settings.tagLine.empty() ? " " : settings.tagLine, record.tagLine);
    EXPECT_EQ(settings.shuffle ? "YES" : "NO", record.shuffle);
    EXPECT_EQ(NormaliseWinAddress(settings.winAddress), record.winAddress);
}

TEST(StubLength, MinimalImageEndsAfterItsLastSection)
{
    Bytes stub = MakeStub(3);
    uint32_t length = 0;
    ASSERT_EQ(nullptr, FindStubLength(stub.data(), stub.size(), &length));
    EXPECT_EQ(stub.size(), length);
    // Bytes appended after the image do not move its end.
    stub.resize(stub.size() + 100, 0x55);
    ASSERT_EQ(nullptr, FindStubLength(stub.data(), stub.size(), &length));
    EXPECT_EQ(0x200u + 3 * 0x200, length);
}

TEST(StubLength, SymbolTableAndItsStringsBelongToTheImage)
{
    Bytes stub = MakeStub(1);
    const uint32_t symbols = static_cast<uint32_t>(stub.size());
    PutLe32(stub, 0x44 + 8, symbols);
    PutLe32(stub, 0x44 + 12, 2);   // two 18-byte symbols
    stub.resize(symbols + 36 + 10, 0);
    PutLe32(stub, symbols + 36, 10);  // string table of 10 bytes
    stub.resize(stub.size() + 16, 0x77);  // then a package, say
    uint32_t length = 0;
    ASSERT_EQ(nullptr, FindStubLength(stub.data(), stub.size(), &length));
    EXPECT_EQ(symbols + 36 + 10, length);
}

TEST(StubLength, HeadersThatPointOutsideTheFileAreRefused)
{
    uint32_t length = 12345;
    Bytes notExe(100, 0);
    EXPECT_STREQ("not an executable", FindStubLength(notExe.data(), notExe.size(), &length));
    Bytes tiny = MakeStub(1);
    EXPECT_STREQ("not an executable", FindStubLength(tiny.data(), 10, &length));

    Bytes farHeader = MakeStub(1);
    PutLe32(farHeader, 0x3C, 0xFFFFFFF0u);
    EXPECT_STREQ("PE header out of range",
                 FindStubLength(farHeader.data(), farHeader.size(), &length));

    Bytes noSignature = MakeStub(1);
    noSignature[0x41] = 'X';
    EXPECT_STREQ("no PE signature", FindStubLength(noSignature.data(), noSignature.size(), &length));

    Bytes manySections = MakeStub(1);
    PutLe16(manySections, 0x44 + 2, 0xFFFF);
    EXPECT_STREQ("section table out of range",
                 FindStubLength(manySections.data(), manySections.size(), &length));

    Bytes longSection = MakeStub(2);
    PutLe32(longSection, 0x44 + 20 + 224 + 40 + 16, 0xFFFFFFFFu);
    EXPECT_STREQ("section data beyond end of file",
                 FindStubLength(longSection.data(), longSection.size(), &length));

    Bytes badSymbols = MakeStub(1);
    PutLe32(badSymbols, 0x44 + 8, 0x300);
    PutLe32(badSymbols, 0x44 + 12, 0x10000000);
    EXPECT_STREQ("symbol table out of range",
                 FindStubLength(badSymbols.data(), badSymbols.size(), &length));
    EXPECT_EQ(12345u, length);  // untouched on failure
}

TEST(PackageReader, RecordsOfEveryResidueAndUnusualAddressEndings)
{
    const Bytes stub = MakeStub();
    const Bytes picture = MakeBmp(5, 4, 0, false);
    // Addresses whose last one to three characters fall in the final, partial
    // block: separators, spaces, bytes above 0x7F and control bytes.
    const char* addresses[] = {
        "http://example.com/win",
        "http://example.com/a|",
        "example.com/x y ",
        "http://example.com/\xE9",
        "http://example.com/\x7F\x01",
        "https://example.com/|NO|",
        "http://example.com/~~\xFF",
        "",
    };
    for (uint32_t residue = 0; residue < 8; ++residue) {
        for (const char* address : addresses) {
            PackageSettings settings = WithRecordResidue(Settings(4, "Acme", address), residue);
            const Bytes target = BuildWith(stub, picture, settings);
            PackageContents contents;
            ASSERT_EQ(PackageOk, ReadPackage(target.data(), target.size(), contents))
                << "residue " << residue << " address " << address << ": " << contents.failure;
            EXPECT_EQ(stub.size(), contents.stubLength);
            EXPECT_EQ(picture.size(), contents.pictureLength);
            EXPECT_EQ(ComposePackageInfoRecord(settings), contents.recordText);
            EXPECT_EQ(contents.recordText.size(), contents.recordLength);
            ExpectFields(settings, contents.record);
        }
    }
}

TEST(PackageReader, WorstCaseTailSearchFindsThreeNonPrintableBytes)
{
    // The last candidates of the search: three bytes 0xFF before "|END".
    PackageSettings settings = WithRecordResidue(Settings(3, "Acme", "http://x/\xFF\xFF\xFF"), 7);
    const Bytes target = BuildWith(MakeStub(), MakeBmp(2, 2, 0, false), settings);
    PackageContents contents;
    ASSERT_EQ(PackageOk, ReadPackage(target.data(), target.size(), contents)) << contents.failure;
    EXPECT_EQ("http://x/\xFF\xFF\xFF", contents.record.winAddress);
}

TEST(PackageReader, FieldsKeepSeparatorsTypedIntoThem)
{
    PackageSettings settings = Settings(2, "", "http://a.example/?q=1|YES|2");
    settings.webSite = "";
    settings.tagLine = "one|two|NO|three";
    settings.shuffle = true;
    const Bytes target = BuildWith(MakeStub(), MakeBmp(3, 3, 0, false), settings);
    PackageContents contents;
    ASSERT_EQ(PackageOk, ReadPackage(target.data(), target.size(), contents)) << contents.failure;
    ExpectFields(settings, contents.record);
    EXPECT_EQ("http://a.example/?q=1%7CYES%7C2", contents.record.winAddress);
    EXPECT_EQ(2, RecordGridSize(contents.record));
    EXPECT_EQ("", RecordDisplayText(contents.record.companyName));
    EXPECT_EQ("one|two|NO|three", RecordDisplayText(contents.record.tagLine));

    // A record an older builder wrote, with a grid below 2: read as it was.
    const Bytes old = ComposeTarget(MakeStub(), MakeBmp(3, 3, 0, false),
                                    "-2| | |one|two|NO|three|YES|http://a.example/?q=1|YES|2|END");
    ASSERT_EQ(PackageOk, ReadPackage(old.data(), old.size(), contents)) << contents.failure;
    EXPECT_EQ(-2, RecordGridSize(contents.record));
    EXPECT_EQ("one|two|NO|three", contents.record.tagLine);
    EXPECT_EQ("http://a.example/?q=1|YES|2", contents.record.winAddress);
}

TEST(PackageReader, RecordsWithAStraySeparatorInTheAboutTextsAreStillRead)
{
    // What builders wrote before "|" was refused in these two texts: every
    // character comes back, in order, and the other fields are exact.
    const Bytes stub = MakeStub();
    const Bytes picture = MakeBmp(3, 3, 6, false);  // 96 bytes: nothing to guess
    for (const char* text : {"|", "Acme|", "|Acme", "A||B", "||"}) {
        for (int field = 0; field < 2; ++field) {
            for (const char* tag : {"", "Slide|them"}) {
                PackageSettings settings = Settings(4, field == 0 ? text : "", "x.example", true);
                settings.webSite = field == 1 ? text : "";
                settings.tagLine = tag;
                const std::string record = ComposePackageInfoRecord(settings);
                const Bytes target = ComposeTarget(stub, picture, record);
                PackageContents contents;
                ASSERT_EQ(PackageOk, ReadPackage(target.data(), target.size(), contents))
                    << record << ": " << contents.failure;
                const PackageRecord& r = contents.record;
                EXPECT_EQ(r.companyName + "|" + r.webSite + "|" + r.tagLine,
                          (field == 0 ? std::string(text) : " ") + "|" +
                              (field == 1 ? std::string(text) : " ") + "|" + (*tag ? tag : " "))
                    << record;
                EXPECT_FALSE(r.companyName.empty() || r.webSite.empty() || r.tagLine.empty());
                EXPECT_EQ("4", r.gridSize);
                EXPECT_EQ("YES", r.shuffle);
                EXPECT_EQ("HTTP://x.example", r.winAddress);
                EXPECT_EQ(picture, contents.picture);
            }
        }
    }
    // Without a stray separator the texts split where the builder put them.
    PackageRecord record;
    ASSERT_TRUE(SplitRecord("4|Acme|acme.example|a|b|NO|NONE|END", record));
    EXPECT_EQ("Acme", record.companyName);
    EXPECT_EQ("acme.example", record.webSite);
    EXPECT_EQ("a|b", record.tagLine);
}

TEST(PackageReader, PictureTailIsTakenFromTheRowBelow)
{
    // gap bytes make the file length take every residue mod 8.
    for (uint32_t gap = 0; gap < 8; ++gap) {
        const Bytes smooth = MakeBmp(7, 5, gap, true);
        const Bytes target = BuildWith(MakeStub(), smooth, Settings(2, "A", ""));
        PackageContents contents;
        ASSERT_EQ(PackageOk, ReadPackage(target.data(), target.size(), contents)) << gap;
        // A top row equal to the row below comes back exactly.
        EXPECT_EQ(smooth, contents.picture) << "gap " << gap;

        const Bytes rough = MakeBmp(7, 5, gap, false);
        const Bytes target2 = BuildWith(MakeStub(), rough, Settings(2, "A", ""));
        ASSERT_EQ(PackageOk, ReadPackage(target2.data(), target2.size(), contents)) << gap;
        const size_t whole = rough.size() - rough.size() % 8;
        const size_t stride = 24;
        ASSERT_EQ(rough.size(), contents.picture.size());
        for (size_t i = 0; i < rough.size(); ++i) {
            uint8_t expected = i < whole ? rough[i] : rough[i - stride];
            ASSERT_EQ(expected, contents.picture[i]) << "gap " << gap << " byte " << i;
        }
    }
}

TEST(PackageReader, PictureTailWithoutBitmapLayoutIsZeroed)
{
    Bytes text(13, 'x');  // not a bitmap: 5 bytes of the final block unknown
    const Bytes target = BuildWith(MakeStub(), text, Settings(2, "A", ""));
    PackageContents contents;
    ASSERT_EQ(PackageOk, ReadPackage(target.data(), target.size(), contents));
    Bytes expected(text);
    std::memset(&expected[8], 0, 5);
    EXPECT_EQ(expected, contents.picture);

    // Run-length rows have no fixed length: zeros as well.
    Bytes rle = MakeBmp(8, 4, 3, true);
    PutLe32(rle, 30, 1);
    Bytes filled(rle);
    FillPictureTail(filled.data(), static_cast<uint32_t>(filled.size()), 5);
    for (size_t i = filled.size() - 5; i < filled.size(); ++i)
        EXPECT_EQ(0, filled[i]);
}

TEST(PackageReader, BareStubHoldsNoPackage)
{
    const Bytes stub = MakeStub();
    PackageContents contents;
    EXPECT_EQ(PackageMissing, ReadPackage(stub.data(), stub.size(), contents));
}

TEST(PackageReader, EveryTruncationIsRefused)
{
    const Bytes stub = MakeStub();
    const Bytes target = BuildWith(stub, MakeBmp(4, 3, 1, false), Settings(3, "Acme", "x.example"));
    for (size_t size = stub.size() + 1; size < target.size(); ++size) {
        PackageContents contents;
        ASSERT_EQ(PackageDamaged, ReadPackage(target.data(), size, contents)) << size;
        ASSERT_TRUE(contents.failure != nullptr);
    }
}

TEST(PackageReader, LengthsThatLieAreRefused)
{
    const Bytes stub = MakeStub();
    const Bytes good = BuildWith(stub, MakeBmp(4, 3, 0, false), Settings(3, "Acme", ""));
    const size_t header = stub.size();
    const uint32_t picture = static_cast<uint32_t>(MakeBmp(4, 3, 0, false).size());
    const uint32_t record = static_cast<uint32_t>(good.size() - header - 8 - picture);
    struct Case {
        uint32_t picture, record;
        const char* failure;
    } cases[] = {
        {0xFFFFFFFFu, record, "picture length exceeds the file"},
        {picture + record + 1, 0, "picture length exceeds the file"},
        {picture, 0xFFFFFFFFu, "record length exceeds the file"},
        {picture + 1, record, "record length exceeds the file"},
        {picture - 1, record, "package lengths do not match the file size"},
        {picture, record - 1, "package lengths do not match the file size"},
        {picture + record - 10, 10, "record too short"},
        {picture - 8, record + 8, nullptr},  // record starts inside the picture
    };
    for (const Case& c : cases) {
        Bytes bad(good);
        PutLe32(bad, header, c.picture);
        PutLe32(bad, header + 4, c.record);
        PackageContents contents;
        EXPECT_EQ(PackageDamaged, ReadPackage(bad.data(), bad.size(), contents));
        ASSERT_TRUE(contents.failure != nullptr);
        if (c.failure) {
            EXPECT_STREQ(c.failure, contents.failure) << c.picture << " " << c.record;
        }
    }
}

TEST(PackageReader, AlteredFinalRecordBlockIsRefused)
{
    for (uint32_t residue : {2u, 4u, 5u, 6u, 7u}) {
        const Bytes target =
            BuildWith(MakeStub(), MakeBmp(2, 2, 0, false),
                      WithRecordResidue(Settings(3, "Acme", "http://e.example/win"), residue));
        Bytes bad(target);
        bad[bad.size() - 1] ^= 0x01;
        PackageContents contents;
        EXPECT_EQ(PackageDamaged, ReadPackage(bad.data(), bad.size(), contents)) << residue;
        EXPECT_STREQ("record damaged", contents.failure);
    }
}

TEST(PackageReader, RecordSplitting)
{
    PackageRecord record;
    ASSERT_TRUE(SplitRecord("0| | | |NO|NONE|END", record));
    EXPECT_EQ("0", record.gridSize);
    EXPECT_EQ("NO", record.shuffle);
    EXPECT_EQ("NONE", record.winAddress);
    EXPECT_FALSE(SplitRecord("0| | | |NO|NONE|EN", record));
    EXPECT_FALSE(SplitRecord("x| | | |NO|NONE|END", record));     // grid not decimal
    EXPECT_FALSE(SplitRecord("4| | | |MAYBE|NONE|END", record));  // no shuffle flag
    EXPECT_FALSE(SplitRecord("4|| | |NO|NONE|END", record));      // empty field
    // The address decides which flag is the real one.
    ASSERT_TRUE(SplitRecord("4|a|b|c|NO|d|YES|http://e|END", record));
    EXPECT_EQ("c|NO|d", record.tagLine);
    EXPECT_EQ("YES", record.shuffle);
    ASSERT_TRUE(SplitRecord("4|a|b|c|NO|http://e|YES|f|END", record));
    EXPECT_EQ("c", record.tagLine);
    EXPECT_EQ("http://e|YES|f", record.winAddress);

    record.gridSize = "2147483647";
    EXPECT_EQ(2147483647, RecordGridSize(record));
    record.gridSize = "-2147483648";
    EXPECT_EQ(-2147483647 - 1, RecordGridSize(record));
    record.gridSize = "2147483648";
    EXPECT_EQ(0, RecordGridSize(record));
    record.gridSize = "99999999999999999999";
    EXPECT_EQ(0, RecordGridSize(record));
}

TEST(PackageReader, FileReaderGivesWhatTheMemoryReaderGives)
{
    const std::string path = TempPath("same.exe");
    for (uint32_t gap = 0; gap < 8; ++gap) {
        const Bytes target = ComposeTarget(MakeStub(), MakeBmp(6, 5, gap, false),
                                           "7|Co|www|tag|YES|http://a.example/|END");
        WriteFile(path, target);
        PackageContents fromFile, fromMemory;
        ASSERT_EQ(PackageOk, ReadPackageFile(path.c_str(), fromFile)) << fromFile.failure;
        ASSERT_EQ(PackageOk, ReadPackage(target.data(), target.size(), fromMemory));
        EXPECT_EQ(fromMemory.picture, fromFile.picture) << gap;
        EXPECT_EQ(fromMemory.recordText, fromFile.recordText);
        EXPECT_EQ(fromMemory.stubLength, fromFile.stubLength);
        EXPECT_EQ(fromMemory.pictureLength, fromFile.pictureLength);
        EXPECT_EQ(fromMemory.picture.size() % 8, fromFile.reconstructedCount) << gap;
        EXPECT_EQ(fromMemory.reconstructedCount, fromFile.reconstructedCount) << gap;
    }
    std::remove(path.c_str());
}

#ifdef _WIN32
// A file of the given size whose bytes are never written (sparse where the
// file system allows it), so that huge files cost no time.
bool MakeHugeFile(const std::wstring& path, int64_t size)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD returned = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, NULL, 0, NULL, 0, &returned, NULL);
    LARGE_INTEGER end;
    end.QuadPart = size;
    bool ok = SetFilePointerEx(file, end, NULL, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return ok;
}

TEST(PackageReader, FilesTooLargeForThisProcessAreSaidToBe)
{
    const std::wstring path = std::wstring(L"vn_reader_huge.exe");
    // Past the limit: refused before any allocation. Below it, but more than
    // a 32-bit process can allocate in one piece: the allocation fails.
    for (int64_t size : {int64_t(3) << 30, int64_t(0x7FFFF000)}) {
        ASSERT_TRUE(MakeHugeFile(path, size)) << size;
        PackageContents contents;
        EXPECT_EQ(PackageTooLarge, ReadPackageFile(path.c_str(), contents)) << size;
        EXPECT_STREQ("file too large", contents.failure) << size;
        DeleteFileW(path.c_str());
    }
}

TEST(PackageReader, WideNameReachesFilesOutsideTheCodePage)
{
    // "Пазл 日本.exe", which no single-byte code page can spell.
    const std::wstring path = L"vn_reader_\x041F\x0430\x0437\x043B \x65E5\x672C.exe";
    const Bytes target = ComposeTarget(MakeStub(), MakeBmp(4, 4, 1, false),
                                       "3|Caf\xC3\xA9|w|\xD0\x9F|NO|NONE|END");
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, target.data(), static_cast<DWORD>(target.size()), &written, NULL));
    CloseHandle(file);
    PackageContents contents;
    EXPECT_EQ(PackageOk, ReadPackageFile(path.c_str(), contents)) << contents.failure;
    EXPECT_EQ("Caf\xC3\xA9", contents.record.companyName);
    EXPECT_EQ("\xD0\x9F", contents.record.tagLine);
    DeleteFileW(path.c_str());
}
#endif

TEST(PackageReader, FileReaderRefusesMissingFiles)
{
    PackageContents contents;
    EXPECT_EQ(PackageDamaged, ReadPackageFile(TempPath("does-not-exist").c_str(), contents));
    EXPECT_STREQ("cannot open file", contents.failure);
    const std::string path = TempPath("file.exe");
    const Bytes target = BuildWith(MakeStub(), MakeBmp(3, 3, 0, false), Settings(5, "Co", ""));
    WriteFile(path, target);
    EXPECT_EQ(PackageOk, ReadPackageFile(path.c_str(), contents));
    EXPECT_EQ("5", contents.record.gridSize);
    std::remove(path.c_str());
}

}  // namespace

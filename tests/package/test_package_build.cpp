// The whole target build: file layout, status texts, and the state of the
// target after each kind of failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "package_build.h"
#include "package_cipher.h"
#include "package_key.h"
#include "package_reader.h"
#include "package_test_util.h"
#include "test_stub.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

namespace {

using pkgtest::Bytes;
using pkgtest::Exists;
using pkgtest::Little32;
using pkgtest::Pattern;
using pkgtest::ReadFileBytes;
using pkgtest::WriteAll;

typedef std::vector<std::string> Texts;

const Texts SuccessTexts = {
    "Creating stub...",       "Done.",
    "Open Picture File..",    "Generating About Box...",
    "Appending File Info...", "Appending Picture...",
    "Done.",
};

Bytes Enciphered(const Bytes& plain)
{
    Bytes out(PackageCipher::PaddedLength(static_cast<uint32_t>(plain.size())));
    PackageCipher cipher(PackageKey);
    cipher.EncipherBuffer(plain.data(), static_cast<uint32_t>(plain.size()), out.data());
    out.resize(plain.size());
    return out;
}

class BuildTargetTest : public pkgtest::ScratchTest {
protected:
    void SetUp() override
    {
        ScratchTest::SetUp();
        stub = vntest::PeStubBytes(3001);
        picture = Pattern(1001, 2);
        WriteAll(Path("stub.exe"), stub);
        WriteAll(Path("picture.bmp"), picture);
        request.targetPath = Path("target.exe");
        request.picturePath = Path("picture.bmp");
        request.stubPath = Path("stub.exe");
        request.settings.gridSize = 4;
        request.settings.companyName = "Acme";
        request.settings.tagLine = "a|b";
        request.settings.shuffle = true;
        request.settings.winAddress = "https://acme.example/won";
    }

    TargetBuildResult Build(TargetBuildFailure* failure = nullptr)
    {
        texts.clear();
        return BuildTarget(request, [this](const char* text) { texts.push_back(text); }, failure);
    }

    // Files and folders in the scratch folder.
    size_t FolderEntries() const { return EntryNames().size(); }

    std::vector<std::string> EntryNames() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            names.push_back(entry.path().filename().string());
        return names;
    }

    Bytes stub, picture;
    TargetBuildRequest request;
    Texts texts;
};

TEST_F(BuildTargetTest, WritesStubHeaderPictureAndRecordInFileOrder)
{
    ASSERT_EQ(Build(), TargetBuildDone);
    EXPECT_EQ(texts, SuccessTexts);

    const std::string record = "4|Acme| |a|b|YES|https://acme.example/won|END";
    const size_t S = stub.size(), P = picture.size(), R = record.size();
    Bytes target = ReadFileBytes(request.targetPath);
    ASSERT_EQ(target.size(), S + 8 + P + R);
    EXPECT_EQ(Bytes(target.begin(), target.begin() + S), stub);
    EXPECT_EQ(Little32(target, S), P) << "picture length is unpadded";
    EXPECT_EQ(Little32(target, S + 4), R) << "record length is unpadded";
    EXPECT_EQ(Bytes(target.begin() + S + 8, target.begin() + S + 8 + P), Enciphered(picture));
    EXPECT_EQ(Bytes(target.begin() + S + 8 + P, target.end()),
              Enciphered(Bytes(record.begin(), record.end())));
}

TEST_F(BuildTargetTest, ThePlayersReaderGetsBackWhatWasWritten)
{
    ASSERT_EQ(Build(), TargetBuildDone);
    Bytes target = ReadFileBytes(request.targetPath);
    PackageContents contents;
    ASSERT_EQ(ReadPackageAfterStub(target.data(), target.size(), static_cast<uint32_t>(stub.size()),
                                   contents),
              PackageOk);
    EXPECT_EQ(contents.recordText, "4|Acme| |a|b|YES|https://acme.example/won|END");
    EXPECT_EQ(contents.record.tagLine, "a|b");
    EXPECT_EQ(contents.record.winAddress, "https://acme.example/won");
    ASSERT_EQ(contents.picture.size(), picture.size());
    EXPECT_TRUE(std::equal(picture.begin(), picture.begin() + 1000, contents.picture.begin()));
}

TEST_F(BuildTargetTest, OddPictureEndsWithTheFirstByteOfItsLastCipherBlock)
{
    ASSERT_EQ(Build(), TargetBuildDone);
    Bytes target = ReadFileBytes(request.targetPath);
    const size_t at = stub.size() + 8;

    // Whole blocks decipher to the picture; the 1001st stored byte is the
    // first byte of block 126, the enciphered (byte 1000, seven zeros).
    PackageCipher cipher(PackageKey);
    for (size_t block = 0; block < 125; ++block) {
        uint32_t l = Little32(target, at + 8 * block), r = Little32(target, at + 8 * block + 4);
        cipher.DecipherBlock(l, r);
        ASSERT_EQ(l, Little32(picture, 8 * block)) << "block " << block;
        ASSERT_EQ(r, Little32(picture, 8 * block + 4)) << "block " << block;
    }
    uint32_t l = picture[1000], r = 0;
    cipher.EncipherBlock(l, r);
    EXPECT_EQ(target[at + 1000], static_cast<unsigned char>(l));
}

TEST_F(BuildTargetTest, WholeBlockPictureIsTheCompleteCiphertext)
{
    picture = Pattern(1024, 3);
    WriteAll(request.picturePath, picture);
    ASSERT_EQ(Build(), TargetBuildDone);
    Bytes target = ReadFileBytes(request.targetPath);
    Bytes section(target.begin() + stub.size() + 8, target.begin() + stub.size() + 8 + 1024);
    PackageCipher cipher(PackageKey);
    for (size_t at = 0; at < section.size(); at += 8) {
        uint32_t l = Little32(section, at), r = Little32(section, at + 4);
        cipher.DecipherBlock(l, r);
        ASSERT_EQ(l, Little32(picture, at));
        ASSERT_EQ(r, Little32(picture, at + 4));
    }
}

// A picture of the given length that starts with the given leading bytes.
Bytes WithLead(const char* lead, size_t leadLength, size_t length, unsigned seed)
{
    Bytes data = Pattern(length, seed);
    std::copy(lead, lead + leadLength, data.begin());
    return data;
}

TEST_F(BuildTargetTest, CompressedPicturesAreStoredPaddedToWholeBlocks)
{
    const struct {
        const char* lead;
        size_t leadLength;
    } formats[] = {
        {"\x89PNG\r\n\x1a\n", 8}, {"\xFF\xD8\xFF", 3}, {"GIF87a", 6},
        {"GIF89a", 6},            {"II*\0", 4},           {"MM\0*", 4},
    };
    const std::string record = "4|Acme| |a|b|YES|https://acme.example/won|END";
    for (const auto& format : formats) {
        for (size_t length : {1001u, 1003u, 1008u}) {
            picture = WithLead(format.lead, format.leadLength, length, 7);
            WriteAll(request.picturePath, picture);
            ASSERT_EQ(Build(), TargetBuildDone) << format.lead;
            EXPECT_EQ(texts, SuccessTexts);

            Bytes padded(picture);
            padded.resize(PackageCipher::PaddedLength(static_cast<uint32_t>(length)), 0);
            const size_t S = stub.size(), P = padded.size();
            Bytes target = ReadFileBytes(request.targetPath);
            ASSERT_EQ(target.size(), S + 8 + P + record.size()) << format.lead << " " << length;
            EXPECT_EQ(Little32(target, S), P);
            EXPECT_EQ(Bytes(target.begin() + S + 8, target.begin() + S + 8 + P), Enciphered(padded));

            // Every byte comes back: the file, then the zeros.
            PackageContents contents;
            ASSERT_EQ(ReadPackageAfterStub(target.data(), target.size(), static_cast<uint32_t>(S),
                                           contents),
                      PackageOk);
            EXPECT_EQ(contents.picture, padded) << format.lead << " " << length;
            EXPECT_EQ(contents.reconstructedCount, 0u);
        }
    }
}

TEST_F(BuildTargetTest, BitmapsAndOtherFilesAreStoredByteForByte)
{
    for (const Bytes& file : {WithLead("BM", 2, 1001, 3), WithLead("\x28\0\0\0", 4, 1003, 4),
                              WithLead("\x89PNX", 4, 1005, 5), WithLead("GIF88a", 6, 1001, 6),
                              WithLead("\xFF\xD8", 2, 2, 6)}) {
        WriteAll(request.picturePath, file);
        ASSERT_EQ(Build(), TargetBuildDone);
        Bytes target = ReadFileBytes(request.targetPath);
        EXPECT_EQ(Little32(target, stub.size()), file.size());
        EXPECT_EQ(Bytes(target.begin() + stub.size() + 8, target.begin() + stub.size() + 8 + file.size()),
                  Enciphered(file));
    }
}

TEST_F(BuildTargetTest, SameSettingsGiveIdenticalFilesAndARebuildTruncates)
{
    ASSERT_EQ(Build(), TargetBuildDone);
    Bytes first = ReadFileBytes(request.targetPath);
    WriteAll(request.targetPath, Pattern(first.size() * 2, 9));
    ASSERT_EQ(Build(), TargetBuildDone);
    EXPECT_EQ(ReadFileBytes(request.targetPath), first);
}

TEST_F(BuildTargetTest, EmptyPictureStillMakesAPackage)
{
    WriteAll(request.picturePath, Bytes());
    ASSERT_EQ(Build(), TargetBuildDone);
    Bytes target = ReadFileBytes(request.targetPath);
    ASSERT_EQ(target.size(), stub.size() + 8u + 45u);
    EXPECT_EQ(Little32(target, stub.size()), 0u);
    EXPECT_EQ(Little32(target, stub.size() + 4), 45u);
}

TEST_F(BuildTargetTest, AStubThatIsNotAPlayerProgramIsRefusedAndTheTargetKept)
{
    // A finished puzzle, as a stray vornix_distrib.exe may be.
    ASSERT_EQ(Build(), TargetBuildDone);
    const Bytes puzzle = ReadFileBytes(request.targetPath);
    Bytes badHeader(stub);
    badHeader[0x3F] = 0x7F;  // PE header beyond the file
    const struct {
        Bytes bytes;
        std::string reason;
    } stubs[] = {
        {Bytes(), "the file is empty"},
        {picture, "it is not a Windows program"},
        {puzzle, std::to_string(puzzle.size() - stub.size()) +
                     " bytes follow the end of the program (is it a finished puzzle?)"},
        {Bytes(stub.begin(), stub.end() - 1), "its program headers are damaged (section data beyond end of file)"},
        {badHeader, "its program headers are damaged (PE header out of range)"},
    };
    const Bytes old = Pattern(50, 4);
    WriteAll(request.targetPath, old);
    request.stubPath = Path("vornix_distrib.exe");
    for (const auto& bad : stubs) {
        WriteAll(request.stubPath, bad.bytes);
        TargetBuildFailure failure;
        EXPECT_EQ(Build(&failure), TargetBuildFailed) << bad.reason;
        EXPECT_EQ(texts, Texts({"Creating stub...", "Error - the player program is not valid."})) << bad.reason;
        EXPECT_EQ(failure.path, request.stubPath);
        EXPECT_EQ(failure.reason, bad.reason);
        EXPECT_EQ(ReadFileBytes(request.targetPath), old) << bad.reason;
        EXPECT_EQ(FolderEntries(), 4u) << "no temporary file left: " << bad.reason;
    }

    // A signed stub: its certificate table (offset and length, little-endian
    // as this machine) closes the image.
    Bytes signedStub(stub);
    const uint32_t certificate[2] = {static_cast<uint32_t>(stub.size()), 24};
    std::memcpy(&signedStub[vntest::PeStubCertificateEntry], certificate, sizeof certificate);
    signedStub.resize(stub.size() + 24, 0x30);
    WriteAll(request.stubPath, signedStub);
    ASSERT_EQ(Build(), TargetBuildDone);
    const Bytes target = ReadFileBytes(request.targetPath);
    EXPECT_EQ(Bytes(target.begin(), target.begin() + signedStub.size()), signedStub);
    PackageContents contents;
    EXPECT_EQ(ReadPackage(target.data(), target.size(), contents), PackageOk) << contents.failure;
}

TEST_F(BuildTargetTest, AGridBelowTwoIsRefusedBeforeAnythingIsOpened)
{
    const Bytes old = Pattern(50, 4);
    WriteAll(request.targetPath, old);
    request.stubPath = Path("no-stub.exe");  // would fail later, if the build went on
    for (int grid : {1, 0, -1, -4, INT_MIN}) {
        request.settings.gridSize = grid;
        // Even a target that is the picture: nothing else is looked at.
        request.targetPath = grid == 0 ? request.picturePath : Path("target.exe");
        TargetBuildFailure failure;
        EXPECT_EQ(Build(&failure), TargetBuildFailed) << grid;
        EXPECT_EQ(texts, Texts({"Error - the grid size must be 2 or more."})) << grid;
        EXPECT_EQ(failure.path, "");
        EXPECT_EQ(ReadFileBytes(Path("target.exe")), old) << grid;
        EXPECT_EQ(FolderEntries(), 3u) << grid;
    }
}

TEST_F(BuildTargetTest, UncreatableTargetIsReportedAndNothingIsWritten)
{
    const Texts refused = {"Error - could not create target."};
    TargetBuildFailure failure;
    request.targetPath = "";
    EXPECT_EQ(Build(&failure), TargetNotOpened);
    EXPECT_EQ(texts, refused);
    EXPECT_EQ(failure.reason, "no target path given");

    // Every other refusal names the target and says why in a user's words.
    const struct {
        std::string path;
        const char* reason;
    } cases[] = {
        {Path("no-such-folder/target.exe"), "the folder does not exist"},
        {Path("picture.bmp/target.exe"), "the folder does not exist"},
        {dir.string(), "it is a folder"},
        {Path(std::string(256, 'n').c_str()), "the name is too long"},
#ifdef _WIN32
        {Path("what?.exe"), "the name is not valid"},
        {Path("a<b>.exe"), "the name is not valid"},
#endif
    };
    for (const auto& c : cases) {
        request.targetPath = c.path;
        EXPECT_EQ(Build(&failure), TargetNotOpened) << c.path;
        EXPECT_EQ(texts, refused) << c.path;
        std::error_code ec;
        EXPECT_FALSE(std::filesystem::is_regular_file(request.targetPath, ec)) << c.path;
        EXPECT_EQ(failure.path, request.targetPath);
        EXPECT_EQ(failure.reason, c.reason) << c.path;
        EXPECT_EQ(FolderEntries(), 2u) << "only the stub and the picture";
    }
}

TEST_F(BuildTargetTest, ReadOnlyTargetIsReportedAndKept)
{
    const Bytes old = Pattern(77, 8);
    WriteAll(request.targetPath, old);
    std::filesystem::permissions(request.targetPath, std::filesystem::perms::owner_read |
                                                         std::filesystem::perms::group_read);
#ifndef _WIN32
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes read-only files";
#endif
    TargetBuildFailure failure;
    EXPECT_EQ(Build(&failure), TargetNotOpened);
    EXPECT_EQ(texts, Texts({"Error - could not create target."}));
    EXPECT_EQ(failure.reason, "access is denied");
    EXPECT_EQ(ReadFileBytes(request.targetPath), old);
    EXPECT_EQ(FolderEntries(), 3u);
    std::filesystem::permissions(request.targetPath, std::filesystem::perms::owner_all);
}

#ifdef _WIN32
TEST_F(BuildTargetTest, TargetHeldOpenByAnotherProgramIsReportedAndKept)
{
    const Bytes old = Pattern(77, 8);
    WriteAll(request.targetPath, old);
    // Held the way a running program holds its file: reads shared, nothing else.
    HANDLE held = CreateFileA(request.targetPath.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                              OPEN_EXISTING, 0, NULL);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    TargetBuildFailure failure;
    EXPECT_EQ(Build(&failure), TargetNotOpened);
    CloseHandle(held);
    EXPECT_EQ(texts, Texts({"Error - could not create target."}));
    EXPECT_EQ(failure.reason, "the file is in use");
    EXPECT_EQ(ReadFileBytes(request.targetPath), old);
    EXPECT_EQ(FolderEntries(), 3u);
}

#endif

TEST_F(BuildTargetTest, APipeAsTargetIsRefusedWithoutWaitingForAReader)
{
    // A reader is there, so that a build that wrote into the pipe would end.
#ifdef _WIN32
    request.targetPath = "\\\\.\\pipe\\vn_build_test_" + std::to_string(GetCurrentProcessId());
    HANDLE reader = CreateNamedPipeA(request.targetPath.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_NOWAIT,
                                     1, 65536, 65536, 0, NULL);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    auto written = [reader] {
        char byte;
        DWORD read = 0;
        return ReadFile(reader, &byte, 1, &read, NULL) && read == 1;
    };
#else
    ASSERT_EQ(mkfifo(request.targetPath.c_str(), 0644), 0);
    const int reader = open(request.targetPath.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    auto written = [reader] {
        char byte;
        return read(reader, &byte, 1) > 0;
    };
#endif
    TargetBuildFailure failure;
    EXPECT_EQ(Build(&failure), TargetNotOpened);
    EXPECT_FALSE(written()) << "nothing was written into the pipe";
    EXPECT_EQ(texts, Texts({"Error - could not create target."}));
    EXPECT_EQ(failure.path, request.targetPath);
    EXPECT_EQ(failure.reason, "it is a pipe, not a file");
#ifdef _WIN32
    CloseHandle(reader);
#else
    close(reader);
    struct stat info;
    ASSERT_EQ(stat(request.targetPath.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(FolderEntries(), 3u);
#endif
}

TEST_F(BuildTargetTest, TheTargetIsReplacedOnlyWhenComplete)
{
    const Bytes old = Pattern(4321, 8);
    WriteAll(request.targetPath, old);
    std::vector<bool> oldWhileBuilding;
    std::set<std::string> temporaryNames;
    texts.clear();
    ASSERT_EQ(BuildTarget(request,
                          [&](const char* text) {
                              texts.push_back(text);
                              oldWhileBuilding.push_back(ReadFileBytes(request.targetPath) == old);
                              for (const std::string& name : EntryNames())
                                  if (name.find(".tmp") != std::string::npos)
                                      temporaryNames.insert(name);
                          }),
              TargetBuildDone);
    // The temporary file is the same one all through the build, beside the
    // target and named after it, with 8 characters of its own (and hidden on
    // POSIX systems).
#ifdef _WIN32
    const std::string stem = "target.exe.";
#else
    const std::string stem = ".target.exe.";
#endif
    ASSERT_EQ(temporaryNames.size(), 1u);
    EXPECT_EQ(temporaryNames.begin()->size(), stem.size() + 8 + 4);
    EXPECT_EQ(temporaryNames.begin()->compare(0, stem.size(), stem), 0) << *temporaryNames.begin();
    EXPECT_EQ(texts, SuccessTexts);
    ASSERT_EQ(oldWhileBuilding.size(), SuccessTexts.size());
    for (size_t i = 0; i + 1 < oldWhileBuilding.size(); ++i)
        EXPECT_TRUE(oldWhileBuilding[i]) << "at \"" << texts[i] << "\"";
    EXPECT_FALSE(oldWhileBuilding.back()) << "replaced before the last \"Done.\"";
    EXPECT_EQ(ReadFileBytes(request.targetPath).size(), stub.size() + 8 + picture.size() + 45);
    EXPECT_EQ(FolderEntries(), 3u) << "no temporary file left";
}

TEST_F(BuildTargetTest, MissingStubLeavesTheTargetAsItWas)
{
    request.stubPath = Path("vornix_distrib.exe");
    TargetBuildFailure failure;
    EXPECT_EQ(Build(&failure), TargetBuildFailed);
    EXPECT_EQ(texts, Texts({"Creating stub...", "Error - could not open stub."}));
    EXPECT_FALSE(Exists(request.targetPath));
    EXPECT_EQ(failure.path, request.stubPath);
    EXPECT_FALSE(failure.reason.empty());

    const Bytes old = Pattern(50, 4);
    WriteAll(request.targetPath, old);
    EXPECT_EQ(Build(), TargetBuildFailed);
    EXPECT_EQ(texts, Texts({"Creating stub...", "Error - could not open stub."}));
    EXPECT_EQ(ReadFileBytes(request.targetPath), old);
    EXPECT_EQ(FolderEntries(), 3u);
}

TEST_F(BuildTargetTest, MissingPictureLeavesTheTargetAsItWas)
{
    const Bytes old = Pattern(50, 4);
    WriteAll(request.targetPath, old);
    for (const std::string& path : {Path("missing.bmp"), std::string(), dir.string()}) {
        request.picturePath = path;
        TargetBuildFailure failure;
        EXPECT_EQ(Build(&failure), TargetBuildFailed) << path;
        if (path == dir.string()) {
            EXPECT_EQ(failure.reason, "it is a folder");
        }
        EXPECT_EQ(texts, Texts({"Creating stub...", "Done.", "Open Picture File..",
                                "Error - could not open picture file."}))
            << path;
        EXPECT_EQ(ReadFileBytes(request.targetPath), old) << path;
        EXPECT_EQ(FolderEntries(), 3u) << path;
    }
}

TEST_F(BuildTargetTest, SeparatorInCompanyOrSiteIsRefusedBeforeAnythingIsOpened)
{
    const Bytes old = Pattern(50, 4);
    WriteAll(request.targetPath, old);
    request.stubPath = Path("no-stub.exe");  // would fail later, if the build went on
    for (const char* text : {"|", "Acme|", "|Acme", "A||B"}) {
        for (int field = 0; field < 2; ++field) {
            request.settings.companyName = field == 0 ? text : "Acme";
            request.settings.webSite = field == 1 ? text : "acme.example";
            EXPECT_EQ(Build(), TargetBuildFailed) << text;
            EXPECT_EQ(texts, Texts({"Error - the company name and web site cannot hold '|'."}))
                << text;
            EXPECT_EQ(ReadFileBytes(request.targetPath), old) << text;
        }
    }
    // Beyond the 254 characters the record keeps, a "|" is never written.
    request.stubPath = Path("stub.exe");
    request.settings.companyName = std::string(254, 'c') + "|";
    request.settings.webSite = "";
    EXPECT_EQ(Build(), TargetBuildDone);
    EXPECT_EQ(texts, SuccessTexts);
}

TEST_F(BuildTargetTest, PictureCheckSeesThePictureAndARefusalWritesNothing)
{
    const Bytes old = Pattern(50, 4);
    WriteAll(request.targetPath, old);
    Bytes seen;
    bool accept = false;
    request.pictureCheck = [&](const uint8_t* data, size_t size) {
        seen.assign(data, data + size);
        return accept;
    };
    TargetBuildFailure failure;
    EXPECT_EQ(Build(&failure), TargetBuildFailed);
    EXPECT_EQ(texts, Texts({"Error - picture is not a supported image."}));
    EXPECT_EQ(seen, picture);
    EXPECT_EQ(ReadFileBytes(request.targetPath), old);
    EXPECT_EQ(FolderEntries(), 3u);
    EXPECT_EQ(failure.path, request.picturePath);

    // Accepted, the target is what a build without the check writes.
    accept = true;
    ASSERT_EQ(Build(), TargetBuildDone);
    EXPECT_EQ(texts, SuccessTexts);
    const Bytes checked = ReadFileBytes(request.targetPath);
    request.pictureCheck = nullptr;
    ASSERT_EQ(Build(), TargetBuildDone);
    EXPECT_EQ(ReadFileBytes(request.targetPath), checked);

    // A picture that cannot be opened is reported in its usual place.
    request.pictureCheck = [](const uint8_t*, size_t) { return true; };
    request.picturePath = Path("missing.bmp");
    EXPECT_EQ(Build(), TargetBuildFailed);
    EXPECT_EQ(texts, Texts({"Creating stub...", "Done.", "Open Picture File..",
                            "Error - could not open picture file."}));
    EXPECT_EQ(ReadFileBytes(request.targetPath), checked);
}

TEST_F(BuildTargetTest, TargetNamingAnInputIsRefusedBeforeAnythingIsOpened)
{
    // The same files spelled another way.
    request.targetPath = (dir / "." / "picture.bmp").string();
    EXPECT_EQ(Build(), TargetBuildFailed);
    EXPECT_EQ(texts, Texts({"Error - target is the picture file."}));
    EXPECT_EQ(ReadFileBytes(request.picturePath), picture);

    request.targetPath = (dir / "sub" / ".." / "stub.exe").string();
    std::filesystem::create_directory(dir / "sub");
    EXPECT_EQ(Build(), TargetBuildFailed);
    EXPECT_EQ(texts, Texts({"Error - target is the stub."}));
    EXPECT_EQ(ReadFileBytes(request.stubPath), stub);

    // A second name (hard link) for the picture.
    std::error_code ec;
    std::filesystem::create_hard_link(request.picturePath, Path("link.exe"), ec);
    if (!ec) {
        request.targetPath = Path("link.exe");
        EXPECT_EQ(Build(), TargetBuildFailed);
        EXPECT_EQ(texts, Texts({"Error - target is the picture file."}));
        EXPECT_EQ(ReadFileBytes(request.picturePath), picture);
    }
}

#ifdef _WIN32
TEST_F(BuildTargetTest, TargetNamingAnInputInOtherLetterCaseIsRefused)
{
    request.targetPath = (dir / "PICTURE.BMP").string();
    EXPECT_EQ(Build(), TargetBuildFailed);
    EXPECT_EQ(texts, Texts({"Error - target is the picture file."}));
    EXPECT_EQ(ReadFileBytes(request.picturePath), picture);
}
#endif

TEST_F(BuildTargetTest, BuildsOfOneTargetOnSeveralThreadsAtOnceEachGetTheirOwnTemporaryFile)
{
    ASSERT_EQ(Build(), TargetBuildDone);
    const Bytes expected = ReadFileBytes(request.targetPath);
    std::filesystem::remove(request.targetPath);
    const int count = 8;
    std::vector<TargetBuildResult> results(count, TargetBuildFailed);
    std::vector<TargetBuildFailure> failures(count);
    std::vector<std::thread> threads;
    for (int i = 0; i < count; ++i)
        threads.emplace_back([this, i, &results, &failures] { results[i] = BuildTarget(request, nullptr, &failures[i]); });
    for (std::thread& thread : threads)
        thread.join();
    int done = 0;
    for (int i = 0; i < count; ++i) {
        done += results[i] == TargetBuildDone;
#ifdef _WIN32
        // Windows lets no file be moved over one that another build has
        // open: there, a build of the same target may find it in use.
        if (results[i] != TargetBuildDone) {
            EXPECT_TRUE(failures[i].reason == "access is denied" || failures[i].reason == "the file is in use")
                << failures[i].reason;
            continue;
        }
#endif
        EXPECT_EQ(results[i], TargetBuildDone) << i << ": " << failures[i].path << ": " << failures[i].reason;
    }
    EXPECT_GE(done, 1);
    EXPECT_EQ(ReadFileBytes(request.targetPath), expected);
    EXPECT_EQ(FolderEntries(), 3u) << "no temporary file left";
}

#ifdef _WIN32
// A folder path of exactly length characters under the scratch folder, made
// through the wide API's long form where plain paths stop.
std::string MakeLongFolder(const std::string& base, size_t length)
{
    std::string folder = base;
    for (;;) {
        const std::wstring wide = L"\\\\?\\" + std::wstring(folder.begin(), folder.end());
        if (!CreateDirectoryW(wide.c_str(), NULL) && GetLastError() != ERROR_ALREADY_EXISTS)
            return std::string();
        if (folder.size() + 1 >= length)
            return folder;
        const size_t left = length - folder.size() - 1;
        folder += "\\" + std::string(left <= 100 ? left : 50, 'f');
    }
}

TEST_F(BuildTargetTest, UnderAFolderNearThePathLimitTheTemporaryFileFitsAndIsRemoved)
{
    std::string base = std::filesystem::absolute(dir).string();
    std::replace(base.begin(), base.end(), '/', '\\');
    for (size_t length : {247u, 250u, 254u}) {
        const std::string folder = MakeLongFolder(base + "\\" + std::to_string(length), length);
        ASSERT_EQ(folder.size(), length);
        request.targetPath = folder + "\\t.exe";  // 254 to 261 characters
        TargetBuildFailure failure;
        const TargetBuildResult result = Build(&failure);
        if (request.targetPath.size() < MAX_PATH) {
            EXPECT_EQ(result, TargetBuildDone) << length << ": " << failure.reason;
        }
        // Whatever the outcome, the folder holds the target or nothing.
        const std::wstring wide = L"\\\\?\\" + std::wstring(folder.begin(), folder.end());
        std::vector<std::wstring> left;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((wide + L"\\*").c_str(), &found);
        ASSERT_NE(search, INVALID_HANDLE_VALUE);
        do {
            if (found.cFileName != std::wstring(L".") && found.cFileName != std::wstring(L".."))
                left.push_back(found.cFileName);
        } while (FindNextFileW(search, &found));
        FindClose(search);
        EXPECT_EQ(left, result == TargetBuildDone ? std::vector<std::wstring>{L"t.exe"} : std::vector<std::wstring>())
            << length;
        DeleteFileW((wide + L"\\t.exe").c_str());
    }
}
#endif

// Fails the allocation with the given number (1: the stub buffer, 2: the
// picture buffer, 3: the record buffer).
int allocationsLeft = 0;
void* FailingAllocate(size_t size)
{
    return allocationsLeft-- > 0 ? std::malloc(size) : nullptr;
}

TEST_F(BuildTargetTest, AllocationFailureLeavesTheTargetAsItWas)
{
    const Bytes old = Pattern(50, 4);
    WriteAll(request.targetPath, old);
    request.allocate = FailingAllocate;
    const Texts expected[] = {
        {"Creating stub...", "Error - not enough memory."},
        {"Creating stub...", "Done.", "Open Picture File..", "Generating About Box...",
         "Appending File Info...", "Appending Picture...", "Error - not enough memory."},
        {"Creating stub...", "Done.", "Open Picture File..", "Generating About Box...",
         "Appending File Info...", "Appending Picture...", "Error - not enough memory."},
    };
    for (int failing = 0; failing < 3; ++failing) {
        allocationsLeft = failing;
        EXPECT_EQ(Build(), TargetBuildFailed) << "allocation " << failing + 1;
        EXPECT_EQ(texts, expected[failing]) << "allocation " << failing + 1;
        EXPECT_EQ(ReadFileBytes(request.targetPath), old) << "allocation " << failing + 1;
        EXPECT_EQ(FolderEntries(), 3u) << "allocation " << failing + 1;
    }
    allocationsLeft = 3;
    EXPECT_EQ(Build(), TargetBuildDone);
}

#ifndef _WIN32
TEST_F(BuildTargetTest, FailedWriteIsReportedAndADeviceIsNotRemoved)
{
    // As root a private node stands in for /dev/full, so that a fault could
    // only ever remove that one.
    request.targetPath = "/dev/full";
    if (mknod(Path("full").c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0)
        request.targetPath = Path("full");
    else if (geteuid() == 0)
        GTEST_SKIP() << "no private device node for a root run";
    EXPECT_EQ(Build(), TargetBuildFailed);
    EXPECT_EQ(texts, Texts({"Creating stub...", "Error - could not write target."}));
    struct stat info;
    ASSERT_EQ(stat(request.targetPath.c_str(), &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
}

TEST_F(BuildTargetTest, ALinkedTargetKeepsItsLinkAndTheFileItsPermissions)
{
    WriteAll(Path("real.exe"), Pattern(10, 4));
    ASSERT_EQ(chmod(Path("real.exe").c_str(), 0751), 0);
    ASSERT_EQ(symlink("real.exe", request.targetPath.c_str()), 0);
    ASSERT_EQ(Build(), TargetBuildDone);
    struct stat info;
    ASSERT_EQ(lstat(request.targetPath.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(stat(Path("real.exe").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0751u);
    EXPECT_EQ(ReadFileBytes(Path("real.exe")).size(), stub.size() + 8 + picture.size() + 45);
    EXPECT_EQ(FolderEntries(), 4u);
}

TEST_F(BuildTargetTest, ADanglingLinkIsWrittenThroughLikeALiveOne)
{
    // Links to a file that does not exist yet, directly and through a chain
    // into another folder: the file is made where they point, and the links
    // stay, as with a link to an existing file.
    std::filesystem::create_directory(dir / "sub");
    ASSERT_EQ(symlink("real.exe", request.targetPath.c_str()), 0);
    ASSERT_EQ(symlink("sub/end.exe", Path("middle.exe").c_str()), 0);
    ASSERT_EQ(symlink("middle.exe", Path("first.exe").c_str()), 0);
    // A link into a missing folder, and links in a loop, say why.
    ASSERT_EQ(symlink("no-such-folder/t.exe", Path("lost.exe").c_str()), 0);
    ASSERT_EQ(symlink("loop.exe", Path("loop.exe").c_str()), 0);
    const struct {
        const char* link;
        const char* file;    // where the puzzle lands
        const char* reason;  // for a link that is refused
    } links[] = {
        {"target.exe", "real.exe", ""},
        {"first.exe", "sub/end.exe", ""},
        {"lost.exe", nullptr, "the folder does not exist"},
        {"loop.exe", nullptr, "its symbolic links form a loop"},
    };
    for (const auto& link : links) {
        request.targetPath = Path(link.link);
        TargetBuildFailure failure;
        EXPECT_EQ(Build(&failure), link.file ? TargetBuildDone : TargetNotOpened) << link.link;
        EXPECT_EQ(failure.reason, link.reason) << link.link;
        if (link.file) {
            EXPECT_EQ(ReadFileBytes(Path(link.file)).size(), stub.size() + 8 + picture.size() + 45) << link.link;
        }
        struct stat info;
        ASSERT_EQ(lstat(request.targetPath.c_str(), &info), 0);
        EXPECT_TRUE(S_ISLNK(info.st_mode)) << link.link;
    }
    EXPECT_EQ(FolderEntries(), 9u) << "no temporary file left";
}

TEST_F(BuildTargetTest, ATargetWithTheLongestNameAFolderHoldsIsBuilt)
{
    request.targetPath = Path(std::string(255, 't').c_str());
    ASSERT_EQ(Build(), TargetBuildDone);
    EXPECT_EQ(ReadFileBytes(request.targetPath).size(), stub.size() + 8 + picture.size() + 45);
    EXPECT_EQ(FolderEntries(), 3u);
}

TEST_F(BuildTargetTest, ShortReadsLeaveNoTarget)
{
    // A kernel attribute file reports 4096 bytes but reads only a few.
    const char* shortFile = "/sys/devices/system/cpu/online";
    if (!Exists(shortFile))
        GTEST_SKIP() << shortFile << " is not there";

    request.stubPath = shortFile;
    EXPECT_EQ(Build(), TargetBuildFailed);
    EXPECT_EQ(texts, Texts({"Creating stub...", "Error - could not read stub."}));
    EXPECT_FALSE(Exists(request.targetPath));

    request.stubPath = Path("stub.exe");
    request.picturePath = shortFile;
    EXPECT_EQ(Build(), TargetBuildFailed);
    EXPECT_EQ(texts, Texts({"Creating stub...", "Done.", "Open Picture File..",
                            "Generating About Box...", "Appending File Info...",
                            "Appending Picture...", "Error - could not read picture file."}));
    EXPECT_FALSE(Exists(request.targetPath));
}
#endif

}  // namespace

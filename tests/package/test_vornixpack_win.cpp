// vornixpack.exe as a Windows program: a puzzle too large for a 32-bit
// process is refused with a message instead of ending the program, a large
// one that fits is read, UTF-8 paths and texts on the command line reach
// the files and the record when the program's code page is UTF-8, refusals
// read as the native tool's, and a batch list takes Windows paths. (Its web
// page from a TIFF is played by the browser tests.)
#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "package_cipher.h"
#include "package_key.h"
#include "package_test_util.h"

namespace {

using pkgtest::Bytes;

void Put32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// DOS header, PE headers and one 0x200-byte section: a stub the reader can
// measure.
Bytes MinimalStub()
{
    Bytes stub(0x400, 0);
    stub[0] = 'M';
    stub[1] = 'Z';
    Put32(stub, 0x3C, 0x40);
    std::memcpy(&stub[0x40], "PE\0\0", 4);
    stub[0x44] = 0x4C;
    stub[0x45] = 0x01;
    stub[0x46] = 1;
    stub[0x54] = 224;
    stub[0x58] = 0x0B;
    stub[0x59] = 0x01;
    Put32(stub, 0x58 + 60, 0x200);
    const size_t section = 0x58 + 224;
    std::memcpy(&stub[section], ".text", 5);
    Put32(stub, section + 16, 0x200);
    Put32(stub, section + 20, 0x200);
    return stub;
}

// An uncompressed 24-bit bitmap of 8 x 5 pixels.
Bytes SmallBitmap()
{
    Bytes file = pkgtest::Pattern(54 + 24 * 5, 6);
    file[0] = 'B';
    file[1] = 'M';
    Put32(file, 2, static_cast<uint32_t>(file.size()));
    Put32(file, 6, 0);
    Put32(file, 10, 54);
    Put32(file, 14, 40);
    Put32(file, 18, 8);
    Put32(file, 22, 5);
    Put32(file, 26, 1 | 24 << 16);
    Put32(file, 30, 0);
    Put32(file, 34, 24 * 5);
    return file;
}

Bytes Enciphered(const Bytes& plain)
{
    Bytes out(plain.size() + 8);
    PackageCipher cipher(PackageKey);
    cipher.EncipherBuffer(plain.data(), static_cast<uint32_t>(plain.size()), out.data());
    out.resize(plain.size());
    return out;
}

std::wstring Wide(const std::string& utf8)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, NULL, 0);
    std::wstring text(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1)
        MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &text[0], n);
    return text;
}

bool WriteWide(const std::wstring& path, const Bytes& data)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = data.empty() ||
              (WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, NULL) &&
               written == data.size());
    return CloseHandle(file) && ok;
}

Bytes ReadWide(const std::wstring& path)
{
    Bytes data;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0,
                              NULL);
    if (file == INVALID_HANDLE_VALUE)
        return data;
    unsigned char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, NULL) && got > 0)
        data.insert(data.end(), chunk, chunk + got);
    CloseHandle(file);
    return data;
}

// A puzzle whose picture section is length bytes that are never written (a
// sparse file where the file system allows it), so that a huge puzzle costs
// no time to make. The record is real.
bool WriteHugePuzzle(const std::wstring& path, uint32_t length, const std::string& record)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD returned = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, NULL, 0, NULL, 0, &returned, NULL);
    Bytes head = MinimalStub();
    const size_t at = head.size();
    head.resize(at + 8);
    Put32(head, at, length);
    Put32(head, at + 4, static_cast<uint32_t>(record.size()));
    DWORD written = 0;
    bool ok = WriteFile(file, head.data(), static_cast<DWORD>(head.size()), &written, NULL);
    LARGE_INTEGER recordAt;
    recordAt.QuadPart = static_cast<LONGLONG>(head.size()) + length;
    ok = ok && SetFilePointerEx(file, recordAt, NULL, FILE_BEGIN);
    const Bytes section = Enciphered(Bytes(record.begin(), record.end()));
    ok = ok && WriteFile(file, section.data(), static_cast<DWORD>(section.size()), &written, NULL);
    return CloseHandle(file) && ok;
}

std::string WithoutCarriageReturns(const Bytes& data)
{
    std::string text;
    for (unsigned char c : data) {
        if (c != '\r')
            text += static_cast<char>(c);
    }
    return text;
}

class VornixpackWinTest : public pkgtest::ScratchTest {
protected:
    // Runs vornixpack.exe with the given (UTF-16) arguments in the scratch
    // folder; returns its exit code, or -1 when it could not be run or did
    // not end within two minutes.
    int Run(const std::wstring& arguments)
    {
        // Fresh files for each run: the system may hold the last run's open a
        // little after that process has ended.
        ++runs;
        const std::wstring outPath = dir.wstring() + L"\\out" + std::to_wstring(runs) + L".txt";
        const std::wstring errPath = dir.wstring() + L"\\err" + std::to_wstring(runs) + L".txt";
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
        HANDLE outFile = CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                     CREATE_ALWAYS, 0, NULL);
        HANDLE errFile = CreateFileW(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                     CREATE_ALWAYS, 0, NULL);
        if (outFile == INVALID_HANDLE_VALUE || errFile == INVALID_HANDLE_VALUE)
            ADD_FAILURE() << "cannot create the output files: " << GetLastError();
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = outFile;
        startup.hStdError = errFile;
        std::wstring command = L"\"" + Wide(VORNIXPACK_PATH) + L"\" " + arguments;
        PROCESS_INFORMATION process = {};
        BOOL started = CreateProcessW(NULL, &command[0], NULL, NULL, TRUE, CREATE_NO_WINDOW, NULL,
                                      dir.wstring().c_str(), &startup, &process);
        CloseHandle(outFile);
        CloseHandle(errFile);
        if (!started)
            return -1;
        DWORD code = static_cast<DWORD>(-1);
        if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &code);
        else
            TerminateProcess(process.hProcess, 99);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        // Every writer has let go once the file opens unshared.
        for (const std::wstring& path : {outPath, errPath}) {
            const DWORD start = GetTickCount();
            for (;;) {
                HANDLE alone = CreateFileW(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
                if (alone != INVALID_HANDLE_VALUE) {
                    CloseHandle(alone);
                    break;
                }
                if (GetTickCount() - start > 10000) {
                    ADD_FAILURE() << "the output files stay open";
                    break;
                }
                Sleep(10);
            }
        }
        // The console streams are in text mode: lines end in "\r\n".
        out = WithoutCarriageReturns(ReadWide(outPath));
        err = WithoutCarriageReturns(ReadWide(errPath));
        return static_cast<int>(code);
    }

    std::string out, err;
    int runs = 0;
};

TEST_F(VornixpackWinTest, PuzzleTooLargeForTheProcessIsRefusedWithAMessage)
{
    // Just below the reader's limit: more than a 32-bit process can hold at
    // once, so memory runs out; and past the limit.
    for (uint32_t length : {0x7FFFF000u - 0x500u, 0xC0000000u}) {
        ASSERT_TRUE(WriteHugePuzzle(dir.wstring() + L"\\huge.exe", length, "4| | | |NO|NONE|END"));
        EXPECT_EQ(1, Run(L"inspect huge.exe")) << length;
        EXPECT_EQ("vornixpack inspect: huge.exe: file too large\n", err) << length;
        EXPECT_EQ(1, Run(L"extract huge.exe -o p.bmp")) << length;
        EXPECT_EQ("vornixpack extract: huge.exe: file too large\n", err) << length;
        EXPECT_TRUE(ReadWide(dir.wstring() + L"\\p.bmp").empty());
    }
}

TEST_F(VornixpackWinTest, SixHundredMegabytePuzzleIsRead)
{
    const uint32_t length = 600u << 20;
    ASSERT_TRUE(WriteHugePuzzle(dir.wstring() + L"\\big.exe", length, "7|Big| | |YES|NONE|END"));
    const int code = Run(L"inspect big.exe");
    // Read whole, or (where the address space is fragmented) refused with
    // the message; never ended by an uncaught allocation failure.
    if (code == 1) {
        EXPECT_EQ("vornixpack inspect: big.exe: file too large\n", err);
        return;
    }
    ASSERT_EQ(0, code) << err;
    EXPECT_NE(std::string::npos, out.find("picture length: 629145600\n")) << out;
    EXPECT_NE(std::string::npos, out.find("company name:   Big\n")) << out;
}

// A bitmap the decoder refuses, and a folder to read. (The reasons of the
// build's own refusals are checked under Wine by the build's tests.)
TEST_F(VornixpackWinTest, RefusalsSayWhatTheNativeToolSays)
{
    ASSERT_TRUE(WriteWide(dir.wstring() + L"\\vornix_distrib.exe", MinimalStub()));
    ASSERT_TRUE(CreateDirectoryW((dir.wstring() + L"\\photos").c_str(), NULL));
    Bytes jpegBitmap = SmallBitmap();
    Put32(jpegBitmap, 30, 4);  // 24 bits per pixel said to be JPEG
    ASSERT_TRUE(WriteWide(dir.wstring() + L"\\bad.bmp", jpegBitmap));
    const struct {
        const wchar_t* arguments;
        const char* err;
    } runs[] = {
        {L"build --picture bad.bmp -o t.exe", "vornixpack build: picture is not a supported image 'bad.bmp'\n"},
        {L"inspect photos", "vornixpack inspect: photos: it is a folder\n"},
    };
    for (const auto& run : runs) {
        EXPECT_EQ(1, Run(run.arguments)) << err;
        EXPECT_EQ(run.err, err);
        EXPECT_EQ("", out);
        EXPECT_TRUE(ReadWide(dir.wstring() + L"\\t.exe").empty());
    }
}

// Whether vornixpack.exe asks for the UTF-8 code page in its manifest.
bool ToolRunsInUtf8()
{
    HMODULE module = LoadLibraryExW(Wide(VORNIXPACK_PATH).c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return false;
    bool utf8 = false;
    if (HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
        HGLOBAL loaded = LoadResource(module, resource);
        const char* text = static_cast<const char*>(LockResource(loaded));
        const DWORD size = SizeofResource(module, resource);
        utf8 = text && std::string(text, size).find("UTF-8") != std::string::npos;
    }
    FreeLibrary(module);
    return utf8;
}

TEST_F(VornixpackWinTest, Utf8PathsAndTextsOnTheCommandLineReachFilesAndRecord)
{
    if (!ToolRunsInUtf8())
        GTEST_SKIP() << "vornixpack.exe carries no UTF-8 code page manifest";
    const std::string folder = "Fotos \xC3\xA9t\xC3\xA9";                      // Fotos été
    const std::string picture = "\xE6\x97\xA5\xE6\x9C\xAC\xE3\x81\xAE\xE5\xB1\xB1.bmp";  // 日本の山.bmp
    const std::string target = "Pi\xC3\xA8" "ce \xE6\x97\xA5\xE6\x9C\xAC.exe";      // Pièce 日本.exe
    const std::string company = "Caf\xC3\xA9 \xC3\x9Cn\xC3\xAF" "c\xC3\xB8" "d\xC3\xA9 \xE2\x98\x95";
    const std::string tagline = "\xD0\x9F\xD0\xB0\xD0\xB7\xD0\xBB";            // Пазл
    ASSERT_TRUE(CreateDirectoryW((dir.wstring() + L"\\" + Wide(folder)).c_str(), NULL));
    const Bytes stub = MinimalStub(), bitmap = SmallBitmap();
    ASSERT_TRUE(WriteWide(dir.wstring() + L"\\vornix_distrib.exe", stub));
    ASSERT_TRUE(WriteWide(dir.wstring() + L"\\" + Wide(folder) + L"\\" + Wide(picture), bitmap));

    ASSERT_EQ(0, Run(Wide("build --picture \"" + folder + "\\" + picture + "\" --company \"" +
                          company + "\" --tagline \"" + tagline + "\" -o \"" + target + "\"")))
        << err;
    EXPECT_EQ("wrote " + target, out.substr(0, out.find(" (")));

    const std::string record = "4|" + company + "| |" + tagline + "|NO|NONE|END";
    Bytes expected(stub);
    Bytes header(8);
    Put32(header, 0, static_cast<uint32_t>(bitmap.size()));
    Put32(header, 4, static_cast<uint32_t>(record.size()));
    expected.insert(expected.end(), header.begin(), header.end());
    const Bytes picturePart = Enciphered(bitmap);
    const Bytes recordPart = Enciphered(Bytes(record.begin(), record.end()));
    expected.insert(expected.end(), picturePart.begin(), picturePart.end());
    expected.insert(expected.end(), recordPart.begin(), recordPart.end());
    EXPECT_EQ(expected, ReadWide(dir.wstring() + L"\\" + Wide(target)));

    ASSERT_EQ(0, Run(Wide("inspect \"" + target + "\""))) << err;
    EXPECT_NE(std::string::npos, out.find("company name:   " + company + "\n")) << out;
    EXPECT_NE(std::string::npos, out.find("tag line:       " + tagline + "\n")) << out;
}

Bytes ReadPadding(const char* name)
{
    return ReadWide(Wide(std::string(VN_PADDING_DIR) + "\\" + name));
}

TEST_F(VornixpackWinTest, BatchBuildsAListWithWindowsPaths)
{
    // Folders with backslashes, absolute and relative to the list's folder,
    // names in other letter case; a list with a byte-order mark and CRLF;
    // pictures that the Windows Imaging Component decodes on the worker
    // threads, one of which it refuses although its header is whole.
    // The codecs bring up Wine's desktop process when none is running, which
    // would inherit the run's output files: a window made here starts it first.
    DestroyWindow(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, NULL, NULL, NULL, NULL));
    const std::string root = dir.string();
    ASSERT_TRUE(CreateDirectoryW((dir.wstring() + L"\\lists").c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryW((dir.wstring() + L"\\lists\\out").c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryW((dir.wstring() + L"\\pics").c_str(), NULL));
    const Bytes stub = MinimalStub(), bitmap = SmallBitmap();
    ASSERT_TRUE(WriteWide(dir.wstring() + L"\\vornix_distrib.exe", stub));
    ASSERT_TRUE(WriteWide(dir.wstring() + L"\\pics\\p.bmp", bitmap));
    for (const char* name : {"photo.jpg", "rgb.png", "lzw.tif"}) {
        const Bytes picture = ReadPadding(name);
        ASSERT_FALSE(picture.empty()) << name;
        ASSERT_TRUE(WriteWide(dir.wstring() + L"\\pics\\" + Wide(name), picture));
    }
    // The JPEG up to a few bytes past its start of scan.
    Bytes cut = ReadPadding("photo.jpg");
    const unsigned char startOfScan[] = {0xFF, 0xDA};
    const auto scan = std::search(cut.begin(), cut.end(), startOfScan, startOfScan + 2);
    ASSERT_TRUE(scan != cut.end());
    cut.erase(scan + 20, cut.end());
    ASSERT_TRUE(WriteWide(dir.wstring() + L"\\pics\\cut.jpg", cut));

    const std::string company =
        ToolRunsInUtf8() ? "Caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC" : std::string("Cafe");
    const std::string list = "\xEF\xBB\xBFpicture,target,grid,company\r\n"
                             "\"" + root + "\\pics\\p.bmp\",out\\a.exe,3,\"Acme, Inc\"\r\n"
                             "..\\pics\\p.bmp,\"" + root + "\\B.exe\",5," + company + "\r\n"
                             "..\\pics\\missing.bmp,c.exe,,\r\n"
                             "..\\pics\\p.bmp,..\\PICS\\P.BMP,,\r\n"
                             "..\\pics\\photo.jpg,out\\j.exe,6,\r\n"
                             "..\\pics\\rgb.png,out\\k.exe,,\r\n"
                             "..\\pics\\lzw.tif,out\\l.exe,,\r\n"
                             "..\\pics\\cut.jpg,out\\m.exe,,\r\n";
    ASSERT_TRUE(WriteWide(dir.wstring() + L"\\lists\\list.csv", Bytes(list.begin(), list.end())));

    EXPECT_EQ(1, Run(L"batch lists\\list.csv --jobs 3"));
    EXPECT_EQ("lists\\list.csv:4: ..\\pics\\missing.bmp: could not open picture file "
              "'lists\\..\\pics\\missing.bmp': No such file or directory\n"
              "lists\\list.csv:5: ..\\pics\\p.bmp: target is the picture file\n"
              "lists\\list.csv:9: ..\\pics\\cut.jpg: picture is not a supported image "
              "'lists\\..\\pics\\cut.jpg'\n",
              err);
    EXPECT_EQ("built 5 of 8 puzzles in ", out.substr(0, 24));
    EXPECT_EQ(" s (3 failed)\n", out.substr(out.size() < 14 ? 0 : out.size() - 14));
    EXPECT_EQ(bitmap, ReadWide(dir.wstring() + L"\\pics\\p.bmp"));
    EXPECT_TRUE(ReadWide(dir.wstring() + L"\\lists\\c.exe").empty());
    EXPECT_TRUE(ReadWide(dir.wstring() + L"\\lists\\out\\m.exe").empty());

    // The same bytes as vornixpack.exe build writes for the same values.
    const struct {
        std::string buildOptions;
        std::wstring target;
    } puzzles[] = {
        {"--picture pics\\p.bmp --grid 3 --company \"Acme, Inc\"", L"\\lists\\out\\a.exe"},
        {"--picture pics\\p.bmp --grid 5 --company \"" + company + "\"", L"\\B.exe"},
        {"--picture pics\\photo.jpg --grid 6", L"\\lists\\out\\j.exe"},
        {"--picture pics\\rgb.png", L"\\lists\\out\\k.exe"},
        {"--picture pics\\lzw.tif", L"\\lists\\out\\l.exe"},
    };
    for (const auto& puzzle : puzzles) {
        ASSERT_EQ(0, Run(Wide("build " + puzzle.buildOptions + " -o ref.exe"))) << err;
        const Bytes reference = ReadWide(dir.wstring() + L"\\ref.exe");
        EXPECT_GT(reference.size(), stub.size()) << puzzle.buildOptions;
        EXPECT_EQ(reference, ReadWide(dir.wstring() + puzzle.target)) << puzzle.buildOptions;
    }
}

}  // namespace

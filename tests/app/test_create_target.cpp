// "GO !" on the real form: the controls are filled through their handles, the
// build command is sent synchronously, every status the line shows is
// recorded, and the target is compared with bytes composed here from the
// package layout: stub, picture and record lengths, enciphered picture,
// enciphered record.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app.h"
#include "package_cipher.h"
#include "package_key.h"
#include "selection_test_util.h"
#include "test_files.h"
#include "test_stub.h"
#include "web_page_reader.h"
#include "win_test_util.h"

namespace {

typedef std::vector<unsigned char> Bytes;

const char* const BuildSteps[] = {
    "Creating stub...", "Done.", "Open Picture File..", "Generating About Box...",
    "Appending File Info...", "Appending Picture...", "Done.",
};

void AppendLittle32(Bytes& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// The first n bytes of the section enciphered with the package key.
void AppendSection(Bytes& out, const Bytes& section)
{
    uint32_t n = static_cast<uint32_t>(section.size());
    Bytes enciphered(PackageCipher::PaddedLength(n) + 8);
    PackageCipher cipher(PackageKey);
    cipher.EncipherBuffer(section.data(), n, enciphered.data());
    out.insert(out.end(), enciphered.begin(), enciphered.begin() + n);
}

Bytes Compose(const Bytes& stub, const Bytes& picture, const std::string& record)
{
    Bytes out(stub);
    AppendLittle32(out, static_cast<uint32_t>(picture.size()));
    AppendLittle32(out, static_cast<uint32_t>(record.size()));
    AppendSection(out, picture);
    AppendSection(out, Bytes(record.begin(), record.end()));
    return out;
}

// Every text the status line is given, in order.
std::vector<std::string>* StatusLog;
WNDPROC StatusProcedure;

LRESULT CALLBACK RecordStatus(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT && StatusLog)
        StatusLog->push_back(lParam ? reinterpret_cast<const char*>(lParam) : "");
    return CallWindowProcA(StatusProcedure, control, message, wParam, lParam);
}

// Answers the replace question of "GO !" from a second thread: records
// whether it came and its text, and presses the given answer.
struct ReplaceQuestion {
    int answer = IDNO;
    bool asked = false;
    std::string text;
    volatile LONG done = 0;
};

DWORD WINAPI AnswerReplaceQuestion(void* param)
{
    ReplaceQuestion* q = static_cast<ReplaceQuestion*>(param);
    HWND box = NULL;
    vntest::WaitUntil([&] {
        box = vntest::WaitForTopWindow("#32770", "Create Target Application", GetCurrentProcessId(), 0);
        return box != NULL || q->done != 0;
    }, 20000);
    if (!box)
        return 0;
    q->asked = true;
    vntest::WaitUntil([&] { return GetDlgItem(box, q->answer) != NULL; }, 5000);
    HWND text = GetDlgItem(box, 0xFFFF);
    q->text = text ? vntest::WindowText(text) : "";
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(q->answer, BN_CLICKED), (LPARAM)GetDlgItem(box, q->answer));
    return 0;
}

class CreateTargetTest : public vntest::ScratchWindowTest {
protected:
    void SetUp() override
    {
        ScratchWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        stubFolder = folder + "with_stub";
        emptyFolder = folder + "without_stub";
        CreateDirectoryA(stubFolder.c_str(), NULL);
        CreateDirectoryA(emptyFolder.c_str(), NULL);
        stub = vntest::PeStubBytes(4099, 1);
        ASSERT_TRUE(vntest::WriteFileBytes(stubFolder + "\\vornix_distrib.exe", stub));
        picturePath = folder + "picture.bmp";
        ASSERT_TRUE(vntest::WriteBmp24(picturePath, 7, 5, [](int x, int y) { return RGB(x * 30, y * 40, 90); }));
        picture = vntest::ReadFileBytes(picturePath);
        target = folder + "target.exe";

        GetCurrentDirectoryA(sizeof previousDirectory, previousDirectory);
        ASSERT_TRUE(SetCurrentDirectoryA(stubFolder.c_str()));
        // The program's own folder holds no stub unless a test says so.
        lstrcpyA(ProgramFolder, emptyFolder.c_str());

        StatusLog = &statuses;
        StatusProcedure = (WNDPROC)SetWindowLongPtrA(StatusText, GWLP_WNDPROC, (LONG_PTR)RecordStatus);
    }

    void TearDown() override
    {
        StatusLog = nullptr;
        SetCurrentDirectoryA(previousDirectory);
        ScratchWindowTest::TearDown();
    }

    void FillForm()
    {
        SetWindowTextA(PictureFileEdit, picturePath.c_str());
        SetWindowTextA(GridSizeField, "5");
        SendMessageA(ShuffleCheckBox, BM_SETCHECK, BST_CHECKED, 0);
        SetWindowTextA(WinUrlEdit, "Https://example.com/won");
        SetWindowTextA(CompanyNameEdit, "Acme Ltd");
        SetWindowTextA(WebSiteEdit, "");
        SetWindowTextA(TagLineEdit, "slide|win");
        SetWindowTextA(TargetPathEdit, target.c_str());
    }

    // The record FillForm's values give.
    static std::string FormRecord() { return "5|Acme Ltd| |slide|win|YES|Https://example.com/won|END"; }

    void PressGo()
    {
        statuses.clear();
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(IdCreateTarget, BN_CLICKED), (LPARAM)CreateTargetButton);
    }

    // Presses "GO !" with a helper ready to answer a replace question.
    ReplaceQuestion PressGoAnswering(int answer)
    {
        ReplaceQuestion question;
        question.answer = answer;
        HANDLE helper = CreateThread(NULL, 0, AnswerReplaceQuestion, &question, 0, NULL);
        PressGo();
        InterlockedExchange(&question.done, 1);
        WaitForSingleObject(helper, INFINITE);
        CloseHandle(helper);
        return question;
    }

    // The files in the scratch folder, so that a test sees nothing was left.
    std::vector<std::string> FolderFiles() const { return vntest::FilesMatching(folder + "*"); }

    std::vector<std::string> Statuses(std::initializer_list<const char*> texts) const
    {
        return std::vector<std::string>(texts.begin(), texts.end());
    }

    // What the status line says after a build that wrote the file at path
    // (the scratch folder's paths fit the line whole).
    static std::string DoneWith(const std::string& path) { return "Done.\r\n" + path; }
    std::string Done() const { return DoneWith(target); }

    // Every step of a build that wrote the file at path.
    static std::vector<std::string> Steps(const std::string& path)
    {
        std::vector<std::string> steps(std::begin(BuildSteps), std::end(BuildSteps));
        steps.push_back(DoneWith(path));
        return steps;
    }

    // The reason on the status line's second line, under the given text;
    // "<none>" when the line is not that text followed by a reason.
    std::string ReasonUnder(const char* text) const
    {
        std::string shown = vntest::WindowText(StatusText);
        std::string first = std::string(text) + "\r\n";
        if (shown.compare(0, first.size(), first) != 0 || shown.size() == first.size())
            return "<none>";
        return shown.substr(first.size());
    }

    std::vector<std::string> statuses;
    std::string stubFolder, emptyFolder, picturePath, target;
    Bytes stub, picture;
    char previousDirectory[MAX_PATH] = "";
};

TEST_F(CreateTargetTest, GoWritesTheComposedPackageAndShowsEveryStep)
{
    FillForm();
    EXPECT_EQ(GridSize, 5);
    PressGo();
    EXPECT_EQ(statuses, Steps(target));
    EXPECT_STREQ(FileNameBuffer, target.c_str());
    Bytes written = vntest::ReadFileBytes(target);
    Bytes expected = Compose(stub, picture, FormRecord());
    EXPECT_EQ(written.size(), expected.size());
    EXPECT_TRUE(written == expected);
    // No temporary file stays behind.
    EXPECT_EQ(FolderFiles().size(), 2u);
}

TEST_F(CreateTargetTest, LongTextsAreCutToTheirLimitsAtACharacterBoundary)
{
    FillForm();
    // 1 + 150 two-byte characters: 301 bytes, cut below 254 without
    // splitting the character that the limit falls into.
    std::wstring company = L"x" + std::wstring(150, L'\x00E9');
    SetWindowTextW(CompanyNameEdit, company.c_str());
    SetWindowTextA(WinUrlEdit, std::string(1100, 'w').c_str());
    PressGo();
    ASSERT_EQ(vntest::WindowText(StatusText), Done());
    std::string cutCompany = "x";
    for (int i = 0; i < 126; ++i)
        cutCompany += "\xC3\xA9";
    std::string record = "5|" + cutCompany + "| |slide|win|YES|HTTP://" + std::string(1023, 'w') + "|END";
    EXPECT_TRUE(vntest::ReadFileBytes(target) == Compose(stub, picture, record));
}

TEST_F(CreateTargetTest, StubIsTakenFromTheCurrentFolderFirstThenBesideTheProgram)
{
    FillForm();
    Bytes besideStub = vntest::PeStubBytes(3001, 7);
    ASSERT_TRUE(vntest::WriteFileBytes(emptyFolder + "\\vornix_distrib.exe", besideStub));

    // The current folder has one: that one.
    EXPECT_EQ(LocateStub(), "vornix_distrib.exe");
    PressGo();
    ASSERT_EQ(vntest::WindowText(StatusText), Done());
    EXPECT_TRUE(vntest::ReadFileBytes(target) == Compose(stub, picture, FormRecord()));

    // Started from elsewhere: the one beside the program.
    lstrcpyA(ProgramFolder, emptyFolder.c_str());
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    PressGo();
    ASSERT_EQ(vntest::WindowText(StatusText), Done());
    EXPECT_TRUE(vntest::ReadFileBytes(target) == Compose(besideStub, picture, FormRecord()));
}

TEST_F(CreateTargetTest, FailedBuildsLeaveAnExistingTargetAsItWas)
{
    FillForm();
    const Bytes old = vntest::PatternBytes(777, 3);
    ASSERT_TRUE(vntest::WriteFileBytes(target, old));
    ConfirmedTargetPath = target;  // chosen in the save dialog: no question

    // No stub anywhere.
    ASSERT_TRUE(SetCurrentDirectoryA(emptyFolder.c_str()));
    PressGo();
    ASSERT_EQ(statuses.size(), 3u);
    EXPECT_EQ(statuses[1], "Error - could not open stub.");
    EXPECT_NE(ReasonUnder("Error - could not open stub."), "<none>");
    EXPECT_TRUE(vntest::ReadFileBytes(target) == old);

    // The picture gone.
    ASSERT_TRUE(SetCurrentDirectoryA(stubFolder.c_str()));
    SetWindowTextA(PictureFileEdit, (folder + "missing.bmp").c_str());
    PressGo();
    EXPECT_NE(ReasonUnder("Error - could not open picture file."), "<none>");
    EXPECT_TRUE(vntest::ReadFileBytes(target) == old);

    // The picture and the target, nothing else, in the folder.
    EXPECT_EQ(FolderFiles().size(), 2u);
}

TEST_F(CreateTargetTest, ATargetThatCannotBeCreatedSaysSoAfterAnEarlierSuccess)
{
    FillForm();
    PressGo();
    ASSERT_EQ(vntest::WindowText(StatusText), Done());

    // A folder that does not exist: the system's reason on the second line.
    SetWindowTextA(TargetPathEdit, (folder + "no such folder\\target.exe").c_str());
    PressGo();
    EXPECT_EQ(statuses.front(), "Error - could not create target.");
    std::string missingFolder = ReasonUnder("Error - could not create target.");
    EXPECT_NE(missingFolder, "<none>");

    // A file another program holds open without sharing: refused, and kept
    // as it was.
    std::string locked = folder + "kept.exe";
    const Bytes old = vntest::PatternBytes(99, 5);
    ASSERT_TRUE(vntest::WriteFileBytes(locked, old));
    HANDLE holder = CreateFileA(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    ConfirmedTargetPath = locked;
    SetWindowTextA(TargetPathEdit, locked.c_str());
    PressGo();
    CloseHandle(holder);
    std::string inUse = ReasonUnder("Error - could not create target.");
    EXPECT_NE(inUse, "<none>");
    EXPECT_NE(inUse, missingFolder);
    EXPECT_TRUE(vntest::ReadFileBytes(locked) == old);

    // A read-only file: refused, and kept as it was.
    std::string readOnly = folder + "read-only.exe";
    ASSERT_TRUE(vntest::WriteFileBytes(readOnly, old));
    ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    ConfirmedTargetPath = readOnly;
    SetWindowTextA(TargetPathEdit, readOnly.c_str());
    PressGo();
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_NE(ReasonUnder("Error - could not create target."), "<none>");
    EXPECT_TRUE(vntest::ReadFileBytes(readOnly) == old);

    // An empty Target field is no target either.
    SetWindowTextA(TargetPathEdit, "");
    PressGo();
    EXPECT_EQ(statuses.front(), "Error - could not create target.");
    EXPECT_NE(ReasonUnder("Error - could not create target."), "<none>");
}

TEST_F(CreateTargetTest, PathsThatDoNotFitAreRefusedNotCut)
{
    FillForm();
    // 258 characters: cut to 255, the name would lose its last three.
    std::string longTarget = folder + "puzzle_target";
    longTarget += std::string(258 - longTarget.size() - 4, 'x') + ".exe";
    ASSERT_EQ(longTarget.size(), 258u);
    SetWindowTextA(TargetPathEdit, longTarget.c_str());
    PressGo();
    EXPECT_EQ(statuses, Statuses({"Error - target path is too long."}));
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "puzzle_target*").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << found.cFileName;
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);

    // A picture path of 255 characters, as the dialog can give, is read whole.
    std::string longPicture = folder + std::string(255 - folder.size() - 4, 'p') + ".bmp";
    ASSERT_EQ(longPicture.size(), 255u);
    ASSERT_TRUE(vntest::WriteFileBytes(longPicture, picture));
    SetWindowTextA(TargetPathEdit, target.c_str());
    SetWindowTextA(PictureFileEdit, longPicture.c_str());
    PressGo();
    EXPECT_EQ(vntest::WindowText(StatusText), Done());
    DeleteFileA(target.c_str());

    // One more character does not fit.
    SetWindowTextA(PictureFileEdit, (longPicture + "x").c_str());
    PressGo();
    EXPECT_EQ(statuses, Statuses({"Error - picture path is too long."}));
    EXPECT_EQ(GetFileAttributesA(target.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(CreateTargetTest, ASeparatorInTheCompanyOrWebSiteIsRefusedBeforeAnythingIsWritten)
{
    FillForm();
    for (const char* company : {"|", "Acme|", "|Acme", "A||B"}) {
        SCOPED_TRACE(company);
        SetWindowTextA(CompanyNameEdit, company);
        PressGo();
        EXPECT_EQ(statuses, Statuses({"Error - the company name and web site cannot hold '|'."}));
        EXPECT_EQ(GetFileAttributesA(target.c_str()), INVALID_FILE_ATTRIBUTES);
    }
    SetWindowTextA(CompanyNameEdit, "Acme");
    SetWindowTextA(WebSiteEdit, "example.com|x");
    PressGo();
    EXPECT_EQ(statuses, Statuses({"Error - the company name and web site cannot hold '|'."}));
    EXPECT_EQ(GetFileAttributesA(target.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(CreateTargetTest, APictureThatDoesNotDecodeIsRefusedBeforeAnythingIsWritten)
{
    FillForm();
    const Bytes old = vntest::PatternBytes(50, 9);
    ASSERT_TRUE(vntest::WriteFileBytes(target, old));
    ConfirmedTargetPath = target;
    for (const char* name : {"notes.jpg", "notes.bmp"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(vntest::WriteFileBytes(folder + name, "not a picture at all\r\n", 22));
        SetWindowTextA(PictureFileEdit, (folder + name).c_str());
        PressGo();
        EXPECT_EQ(statuses, Statuses({"Error - picture is not a supported image."}));
        EXPECT_TRUE(vntest::ReadFileBytes(target) == old);
    }
}

TEST_F(CreateTargetTest, ATypedTargetThatExistsIsReplacedOnlyWhenTheUserAgrees)
{
    FillForm();
    const Bytes old = vntest::PatternBytes(64, 4);
    ASSERT_TRUE(vntest::WriteFileBytes(target, old));
    SetWindowTextA(StatusText, "Idle");

    ReplaceQuestion refused = PressGoAnswering(IDNO);
    EXPECT_TRUE(refused.asked);
    EXPECT_NE(refused.text.find("target.exe already exists."), std::string::npos) << refused.text;
    EXPECT_TRUE(vntest::ReadFileBytes(target) == old);
    EXPECT_EQ(vntest::WindowText(StatusText), "Idle");

    ReplaceQuestion agreed = PressGoAnswering(IDYES);
    EXPECT_TRUE(agreed.asked);
    EXPECT_EQ(vntest::WindowText(StatusText), Done());
    EXPECT_TRUE(vntest::ReadFileBytes(target) == Compose(stub, picture, FormRecord()));

    // The file this builder has just written is not asked about again.
    ReplaceQuestion again = PressGoAnswering(IDNO);
    EXPECT_FALSE(again.asked);
    EXPECT_EQ(vntest::WindowText(StatusText), Done());
}

TEST_F(CreateTargetTest, APngPictureIsStoredWholePaddedToEightBytes)
{
    FillForm();
    std::string png = folder + "picture.png";
    ASSERT_TRUE(vntest::WritePngRgb(png, 5, 3, [](int x, int y) { return RGB(x * 50, y * 80, 200); }));
    Bytes pngBytes = vntest::ReadFileBytes(png);
    ASSERT_NE(pngBytes.size() % 8, 0u);
    SetWindowTextA(PictureFileEdit, png.c_str());
    PressGo();
    EXPECT_EQ(statuses, Steps(target));
    // The file with zeros up to a multiple of 8, so that every byte comes back.
    Bytes padded(pngBytes);
    padded.resize((pngBytes.size() + 7) / 8 * 8, 0);
    EXPECT_TRUE(vntest::ReadFileBytes(target) == Compose(stub, padded, FormRecord()));
}

TEST_F(CreateTargetTest, TypedTargetsGoBesideThePictureAsProgramsAndNeverAsPictures)
{
    FillForm();
    const Bytes old = vntest::PatternBytes(40, 2);
    ASSERT_TRUE(vntest::WriteFileBytes(folder + "other.jpg", old));
    // A bare name goes beside the picture as a program, not into the current
    // folder (the stub's); the picture itself, or a picture's name, is
    // refused before anything is asked or written.
    const struct {
        std::string typed;
        const char* written;  // in the picture's folder; nullptr: refused
        const char* status;
    } rows[] = {
        {"puzzle", "puzzle.exe", nullptr},
        {"my.puzzle", "my.puzzle", nullptr},
        {folder + "PICTURE.BMP", nullptr, "Error - target is the picture file."},
        {"picture.bmp", nullptr, "Error - target is the picture file."},
        {"other.JPG", nullptr, "Error - the target must end in .exe or .html."},
        {"sunset.png", nullptr, "Error - the target must end in .exe or .html."},
    };
    ConfirmedTargetPath = folder + "PICTURE.BMP";  // the picture as the save dialog gives it
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        SetWindowTextA(TargetPathEdit, row.typed.c_str());
        EXPECT_FALSE(PressGoAnswering(IDYES).asked);
        if (!row.written) {
            EXPECT_EQ(statuses, Statuses({row.status}));
            continue;
        }
        const std::string written = folder + row.written;
        EXPECT_EQ(statuses, Steps(written));
        EXPECT_TRUE(vntest::ReadFileBytes(written) == Compose(stub, picture, FormRecord()));
        EXPECT_EQ(GetFileAttributesA((stubFolder + "\\" + row.written).c_str()), INVALID_FILE_ATTRIBUTES);
        DeleteFileA(written.c_str());
    }
    EXPECT_TRUE(vntest::ReadFileBytes(picturePath) == picture);
    EXPECT_TRUE(vntest::ReadFileBytes(folder + "other.jpg") == old);
    EXPECT_EQ(FolderFiles().size(), 2u);
}

TEST_F(CreateTargetTest, GoWithAWebPageTargetWritesThePage)
{
    FillForm();
    const std::string page = folder + "Page.HTM";
    SetWindowTextA(TargetPathEdit, page.c_str());
    PressGo();
    ASSERT_EQ(vntest::WindowText(StatusText), DoneWith(page));
    WebPageContents contents;
    ASSERT_EQ(ReadWebPageFile(page.c_str(), contents), WebPageOk) << (contents.failure ? contents.failure : "");
    // The form's values (each one read back by the page builder's own
    // tests); the bitmap as a PNG of its pixels; no player program inside.
    EXPECT_EQ(contents.settings.grid, 5);
    EXPECT_EQ(contents.settings.winUrl, "https://example.com/won");
    EXPECT_EQ(contents.settings.tagline, "slide|win");
    EXPECT_EQ(contents.settings.pictureType, "image/png");
    EXPECT_EQ(contents.settings.pictureWidth, 7u);
    Bytes bytes = vntest::ReadFileBytes(page);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()).find("vornix_distrib"), std::string::npos);
    // A page opens only web addresses when solved: anything else is refused
    // before anything is written.
    SetWindowTextA(WinUrlEdit, "ftp://mirror.example/?from=http://example.com");
    SetWindowTextA(TargetPathEdit, (folder + "other.html").c_str());
    PressGo();
    EXPECT_EQ(statuses, Statuses({"Error - the win address of a web page must start with http:// or https://."}));
    EXPECT_EQ(GetFileAttributesA((folder + "other.html").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(CreateTargetTest, ALongPathWrittenShowsItsStartAndName)
{
    FillForm();
    std::string deep = folder + std::string(60, 'd');
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), NULL));
    std::string written = deep + "\\" + std::string(12, 'n') + ".exe";
    SetWindowTextA(TargetPathEdit, written.c_str());
    PressGo();
    ASSERT_TRUE(vntest::ReadFileBytes(written) == Compose(stub, picture, FormRecord()));
    std::string shown = vntest::WindowText(StatusText);
    ASSERT_EQ(shown.compare(0, 7, "Done.\r\n"), 0) << shown;
    // Its middle left out, so that it fits the line with its start and name.
    EXPECT_NE(shown.find("..."), std::string::npos) << shown;
    EXPECT_EQ(shown.compare(7, 3, written.substr(0, 3)), 0) << shown;
    EXPECT_EQ(shown.substr(shown.size() - 17), written.substr(written.size() - 17)) << shown;
    DeleteFileA(written.c_str());
    RemoveDirectoryA(deep.c_str());
}

}  // namespace

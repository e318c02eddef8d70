// The player end to end, through the real programs: the builder's window is
// filled and "GO !" pressed, the target it wrote is started, and its window is
// read back from the screen and driven with clicks and keys. The win address
// reaches a recording http handler.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app.h"
#include "builder_window.h"
#include "package_build.h"
#include "package_reader.h"
#include "package_record.h"
#include "composed_target.h"
#include "player_ids.h"
#include "player_layout.h"
#include "test_files.h"
#include "url_recorder.h"
#include "vn_catalogue.h"
#include "vn_text.h"
#include "win_test_util.h"

namespace {

typedef std::vector<unsigned char> Bytes;

// How long to wait for another process to show, paint or end something: long
// enough for a busy machine; only a failure ever waits this long.
const DWORD Patience = 30000;

const int PictureSide = 160;  // 4 x 4 blocks of 40 pixels
const int Blocks = 4;
const COLORREF Grey = RGB(128, 128, 128);
const int MinClientWidth = 320;

// The colour of block (column, row), row 0 at the top: all different, none grey.
COLORREF BlockColour(int column, int row)
{
    return RGB(20 + 60 * column, 20 + 60 * row, 230 - 50 * ((column + row) % 4));
}

Bytes BlockPicture()
{
    // A soft gradient with a disc of the block's colour in each block's
    // middle: the middles identify the tiles, the rest looks like a picture.
    const int block = PictureSide / Blocks;
    return vntest::Bmp24File(PictureSide, PictureSide, [&](int x, int top, uint8_t* p) {
        int dx = x % block - block / 2, dy = top % block - block / 2;
        COLORREF c = dx * dx + dy * dy <= 13 * 13
                         ? BlockColour(x / block, top / block)
                         : RGB(255 - x * 255 / PictureSide, 90 + top * 120 / PictureSide,
                               60 + (x + top) * 150 / (2 * PictureSide));
        p[0] = GetBValue(c);
        p[1] = GetGValue(c);
        p[2] = GetRValue(c);
    });
}

bool Near(COLORREF a, COLORREF b)
{
    return abs(GetRValue(a) - GetRValue(b)) <= 8 && abs(GetGValue(a) - GetGValue(b)) <= 8 &&
           abs(GetBValue(a) - GetBValue(b)) <= 8;
}

// The screen pixels of a window's client area, read once.
vntest::CapturedPixels ClientPixels(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    OffsetRect(&client, origin.x, origin.y);
    return vntest::CaptureScreenRect(client);
}

// Where the player puts the picture, worked out as the player does.
struct PictureArea {
    PlayerLayout layout;
    int left = 0;

    PictureArea(int requestedGrid)
    {
        RECT work;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        layout = ComputePlayerLayout(PictureSide, PictureSide, work.right - work.left,
                                     work.bottom - work.top, requestedGrid);
        int areaWidth = layout.width > MinClientWidth ? layout.width : MinClientWidth;
        left = FitPicture(PictureSide, PictureSide, areaWidth, layout.height).left;
    }

    // Client coordinates of the centre of cell (column, row) of an n x n grid.
    POINT CellCentre(int n, int column, int row) const
    {
        POINT p;
        p.x = left + (CellEdge(layout.width, n, column) + CellEdge(layout.width, n, column + 1)) / 2;
        p.y = (CellEdge(layout.height, n, row) + CellEdge(layout.height, n, row + 1)) / 2;
        return p;
    }
};

// What each cell of the 4 x 4 board shows: the home index of its tile
// (row * 4 + column), 15 for the grey slot or the last tile filling it once
// solved, -1 for anything else.
std::vector<int> ReadBoard(HWND window, const PictureArea& area)
{
    vntest::CapturedPixels shot = ClientPixels(window);
    std::vector<int> cells;
    for (int row = 0; row < Blocks; ++row)
        for (int column = 0; column < Blocks; ++column) {
            POINT p = area.CellCentre(Blocks, column, row);
            COLORREF seen = shot.At(p.x, p.y);
            int found = -1;
            if (Near(seen, Grey))
                found = Blocks * Blocks - 1;
            for (int i = 0; i < Blocks * Blocks && found < 0; ++i)
                if (Near(seen, BlockColour(i % Blocks, i / Blocks)))
                    found = i;
            cells.push_back(found);
        }
    return cells;
}

// The board as text for failure messages, row by row.
std::string BoardText(const std::vector<int>& cells)
{
    std::string text;
    for (size_t i = 0; i < cells.size(); ++i)
        text += (i == 0 ? "" : i % Blocks == 0 ? " | " : " ") + std::to_string(cells[i]);
    return "[" + text + "]";
}

std::vector<int> SolvedBoard()
{
    std::vector<int> cells;
    for (int i = 0; i < Blocks * Blocks; ++i)
        cells.push_back(i);
    return cells;
}

// A control's text as it answers WM_GETTEXT (across processes the window's
// own caption, which GetWindowText reads, is not a status bar's text), UTF-8.
std::string ChildText(HWND parent, int id)
{
    HWND child = GetDlgItem(parent, id);
    if (!child)
        return "<no control>";
    wchar_t wide[1024] = {0};
    SendMessageW(child, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(wide));
    char text[4096] = {0};
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, NULL, NULL);
    return text;
}

// A program started by the test, ended by it if it is still running.
class Program : public vntest::ChildProcess {
public:
    Program(const std::string& path, const std::string& folder)
        : ChildProcess(vntest::QuotedPath(path), folder)
    {
    }
    // Started by its wide name from a folder with a wide name.
    Program(const std::wstring& path, const std::wstring& folder) : ChildProcess(path, folder) {}

    DWORD WaitForExit(DWORD timeoutMs = Patience) { return ChildProcess::WaitForExit(timeoutMs); }
};

// The text of a message box the program shows; the box is closed with the
// given button.
std::string TakeMessageBox(const Program& program, const char* title = NULL, int button = IDOK)
{
    HWND box = vntest::WaitForTopWindow("#32770", title, program.Id(), Patience);
    if (!box)
        return "<no message box>";
    std::string text = ChildText(box, 0xFFFF);  // the message box's text control
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    vntest::WaitUntil([&] { return !IsWindow(box); }, Patience);
    return text;
}

void Click(HWND window, POINT p)
{
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
}

void Key(HWND window, WPARAM key)
{
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

struct FormValues {
    std::string grid = "4";
    bool shuffle = false;
    std::string winAddress = "http://";
    std::string company = "Vornix Test Co";
    std::string webSite = "www.vornix.example";
    std::string tagLine = "Slide | and | win";
};

class PlayerEndToEnd : public vntest::BuilderWindowTest {
protected:
    void SetUp() override
    {
        BuilderWindowTest::SetUp();
        // The player's texts that this process composes to compare with the
        // player's own (it holds the builder's resources, not the player's).
        VnUseCatalogueLanguage(&VnProgramCatalogue, "en");
        ShowWindow(window, SW_HIDE);
        char temp[MAX_PATH];
        ASSERT_NE(0u, GetTempPathA(sizeof temp, temp));
        folder = std::string(temp) + "vn_player_e2e_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), NULL);
        stub = vntest::ReadFileBytes(std::string(VN_WIN_BIN_DIR) + "/vornix_distrib.exe");
        ASSERT_FALSE(stub.empty());
        ASSERT_TRUE(vntest::WriteFileBytes(Path("vornix_distrib.exe"), stub));
        ASSERT_TRUE(vntest::WriteFileBytes(Path("picture.bmp"), BlockPicture()));
        GetCurrentDirectoryA(sizeof previousFolder, previousFolder);
        ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
        ASSERT_TRUE(vntest::InstallUrlRecorder(Path("urls.log")));
    }

    void TearDown() override
    {
        SetCurrentDirectoryA(previousFolder);
        for (const char* name : {"vornix_distrib.exe", "picture.bmp", "urls.log", "target.exe",
                                 "damaged.exe", "text.txt"})
            DeleteFileA(Path(name).c_str());
        RemoveDirectoryA(folder.c_str());
        BuilderWindowTest::TearDown();
    }

    std::string Path(const char* name) const { return folder + "\\" + name; }

    // Fills the builder's form and presses "GO !"; returns the target path.
    std::string BuildThroughForm(const FormValues& values, const char* picture = "picture.bmp")
    {
        const std::string target = Path("target.exe");
        SetWindowTextA(PictureFileEdit, Path(picture).c_str());
        SetWindowTextA(GridSizeField, values.grid.c_str());
        SendMessageA(ShuffleCheckBox, BM_SETCHECK, values.shuffle ? BST_CHECKED : BST_UNCHECKED, 0);
        SetWindowTextA(WinUrlEdit, values.winAddress.c_str());
        SetWindowTextA(CompanyNameEdit, values.company.c_str());
        SetWindowTextA(WebSiteEdit, values.webSite.c_str());
        SetWindowTextA(TagLineEdit, values.tagLine.c_str());
        SetWindowTextA(TargetPathEdit, target.c_str());
        EXPECT_EQ(atoi(values.grid.c_str()), GridSize);
        SendMessageA(window, WM_COMMAND, IdCreateTarget, 0);
        EXPECT_EQ("Done.\r\n" + target, vntest::WindowText(StatusText));  // the path written on the second line
        return target;
    }

    // Writes the puzzle an older builder made from these values, whose "GO !"
    // took any grid size: the stub, both lengths, the enciphered picture and
    // record. Returns the target path.
    std::string BuildAsOlderBuilders(const FormValues& values, const char* picture = "picture.bmp")
    {
        PackageSettings settings;
        settings.gridSize = atoi(values.grid.c_str());
        settings.companyName = values.company;
        settings.webSite = values.webSite;
        settings.tagLine = values.tagLine;
        settings.shuffle = values.shuffle;
        settings.winAddress = values.winAddress;
        const std::string record = ComposePackageInfoRecord(settings);
        const Bytes target = playertest::ComposeTarget(stub, vntest::ReadFileBytes(Path(picture)), record);
        EXPECT_TRUE(vntest::WriteFileBytes(Path("target.exe"), target));
        return Path("target.exe");
    }

    // Waits for the player's window, painted (its status line set).
    HWND WaitForPlayer(const Program& program)
    {
        HWND player = vntest::WaitForTopWindow("VORNIXPLAYER", "Vornix Puzzle", program.Id(), Patience);
        if (player)
            UpdateWindow(player);
        return player;
    }

    std::string folder;
    char previousFolder[MAX_PATH] = {0};
    Bytes stub;
};

TEST(PlayerStub, IsStrippedSoItsImageEndsAtTheEndOfTheFile)
{
    Bytes stub = vntest::ReadFileBytes(std::string(VN_WIN_BIN_DIR) + "/vornix_distrib.exe");
    ASSERT_FALSE(stub.empty());
    uint32_t length = 0;
    ASSERT_EQ(nullptr, FindStubLength(stub.data(), stub.size(), &length));
    EXPECT_EQ(stub.size(), length);
    PackageContents contents;
    EXPECT_EQ(PackageMissing, ReadPackage(stub.data(), stub.size(), contents));
    EXPECT_LT(stub.size(), 384u * 1024);  // it is copied into every puzzle
}

TEST_F(PlayerEndToEnd, BarePlayerSaysItHoldsNoPuzzleAndExitsWithOne)
{
    Program bare(Path("vornix_distrib.exe"), folder);
    ASSERT_TRUE(bare.started);
    EXPECT_EQ("This program holds no puzzle.", TakeMessageBox(bare));
    EXPECT_EQ(1u, bare.WaitForExit());
}

TEST_F(PlayerEndToEnd, DamagedTargetsSayTheDataIsDamaged)
{
    Bytes target = vntest::ReadFileBytes(BuildThroughForm(FormValues()));
    ASSERT_GT(target.size(), stub.size() + 8);
    target.pop_back();  // the lengths no longer fit the file
    ASSERT_TRUE(vntest::WriteFileBytes(Path("damaged.exe"), target));
    {
        Program damaged(Path("damaged.exe"), folder);
        ASSERT_TRUE(damaged.started);
        EXPECT_EQ("The puzzle data is damaged.", TakeMessageBox(damaged));
        EXPECT_EQ(1u, damaged.WaitForExit());
    }
    // A sound package whose picture is not a bitmap (the builder's "GO !"
    // refuses such a picture, so the package is built directly).
    ASSERT_TRUE(vntest::WriteFileBytes(Path("text.txt"), Bytes(500, 'x')));
    TargetBuildRequest request;
    request.targetPath = Path("target.exe");
    request.picturePath = Path("text.txt");
    request.stubPath = Path("vornix_distrib.exe");
    ASSERT_EQ(BuildTarget(request, [](const char*) {}), TargetBuildDone);
    std::string path = request.targetPath;
    Program text(path, folder);
    ASSERT_TRUE(text.started);
    EXPECT_EQ("The puzzle data is damaged.", TakeMessageBox(text));
    EXPECT_EQ(1u, text.WaitForExit());
}

TEST_F(PlayerEndToEnd, UnshuffledPuzzleIsSolvedByAMoveAndItsReverseAndOpensTheWinAddress)
{
    FormValues values;
    // An address whose record leaves five to seven bytes undecipherable: the
    // last characters of the address itself must be recovered.
    values.winAddress = "http://win.example/done?x=1&y=~!|";
    PackageSettings settings;
    settings.gridSize = 4;
    settings.companyName = values.company;
    settings.webSite = values.webSite;
    settings.tagLine = values.tagLine;
    settings.winAddress = values.winAddress;
    while (ComposePackageInfoRecord(settings).size() % 8 < 5) {
        values.winAddress.insert(values.winAddress.size() - 4, "a");
        settings.winAddress = values.winAddress;
    }
    const std::string target = BuildThroughForm(values);

    Program game(target, folder);
    ASSERT_TRUE(game.started);
    HWND player = WaitForPlayer(game);
    ASSERT_TRUE(player != NULL);
    const PictureArea area(4);
    ASSERT_EQ(4, area.layout.grid);

    // The picture, whole and in order, with the grey slot bottom right.
    std::vector<int> board;
    EXPECT_TRUE(vntest::WaitUntil([&] { return (board = ReadBoard(player, area)) == SolvedBoard(); }, Patience))
        << BoardText(board);
    EXPECT_EQ("Press F2 to shuffle", ChildText(player, IdStatusText));

    // About shows the three texts.
    PostMessageA(player, WM_COMMAND, IdHelpAbout, 0);
    HWND about = vntest::WaitForTopWindow("#32770", "About", game.Id(), Patience);
    ASSERT_TRUE(about != NULL);
    EXPECT_EQ(values.company, ChildText(about, IdAboutCompany));
    EXPECT_EQ(values.webSite, ChildText(about, IdAboutWebSite));
    EXPECT_EQ(values.tagLine, ChildText(about, IdAboutTagLine));
    PostMessageA(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(vntest::WaitUntil([&] { return !IsWindow(about); }, Patience));

    // A click on the bottom-left tile slides the whole bottom row right.
    Click(player, area.CellCentre(4, 0, 3));
    std::vector<int> slid = SolvedBoard();
    slid[12] = 15;
    slid[13] = 12;
    slid[14] = 13;
    slid[15] = 14;
    EXPECT_TRUE(vntest::WaitUntil([&] { return (board = ReadBoard(player, area)) == slid; }, Patience))
        << BoardText(board);
    EXPECT_EQ(0u, vntest::RecordedUrls(Path("urls.log")).size());
    // The status bar follows within a tenth of a second.
    EXPECT_TRUE(vntest::WaitUntil([&] { return ChildText(player, IdStatusText).find("Moves: 3") == 0; }, Patience))
        << ChildText(player, IdStatusText);

    // Three arrow keys slide them back: solved.
    Key(player, VK_LEFT);
    Key(player, VK_LEFT);
    Key(player, VK_LEFT);
    std::string message = TakeMessageBox(game, "Vornix Puzzle", IDNO);
    EXPECT_EQ(0u, message.find("You solved the puzzle in 6 moves and ")) << message;
    EXPECT_NE(std::string::npos, message.find("Play again?")) << message;
    EXPECT_EQ(0u, ChildText(player, IdStatusText).find("Solved in 6 moves, ")) << ChildText(player, IdStatusText);
    // The box covered part of the board; the player repaints that part in
    // its own time once the box is gone.
    EXPECT_TRUE(vntest::WaitUntil([&] { return (board = ReadBoard(player, area)) == SolvedBoard(); }, Patience))
        << BoardText(board);

    // The address as the record holds it: its "|" written as "%7C".
    std::vector<std::string> urls = vntest::WaitForRecordedUrls(Path("urls.log"), 1, Patience);
    ASSERT_EQ(1u, urls.size());
    EXPECT_EQ(NormaliseWinAddress(values.winAddress), urls[0]);
    EXPECT_EQ(values.winAddress.substr(0, values.winAddress.size() - 1) + "%7C", urls[0]);

    PostMessageA(player, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, game.WaitForExit());
}

TEST_F(PlayerEndToEnd, ShuffledPuzzleDoesNotStartSolved)
{
    FormValues values;
    values.shuffle = true;
    const std::string target = BuildThroughForm(values);
    Program game(target, folder);
    ASSERT_TRUE(game.started);
    HWND player = WaitForPlayer(game);
    ASSERT_TRUE(player != NULL);
    const PictureArea area(4);

    // Every cell shows a tile or the slot, each once, but not in order.
    std::vector<int> board;
    auto isPermutation = [&] {
        std::vector<int> seen(16, 0);
        for (int cell : board)
            if (cell < 0 || seen[cell]++)
                return false;
        return true;
    };
    EXPECT_TRUE(vntest::WaitUntil([&] {
        board = ReadBoard(player, area);
        return isPermutation();
    }, Patience)) << BoardText(board);
    EXPECT_NE(SolvedBoard(), board);
    EXPECT_EQ("Moves: 0    Time: 0:00", ChildText(player, IdStatusText));
    EXPECT_TRUE(vntest::SaveWindowShot(player, vntest::ArtifactPath("player.bmp").c_str()));

    // Game, Show Picture: the whole picture until it is chosen again.
    PostMessageA(player, WM_COMMAND, IdGameShowPicture, 0);
    EXPECT_TRUE(vntest::WaitUntil([&] {
        vntest::CapturedPixels shot = ClientPixels(player);
        POINT p = area.CellCentre(4, 3, 3);
        return Near(shot.At(p.x, p.y), BlockColour(3, 3));
    }, Patience));
    PostMessageA(player, WM_COMMAND, IdGameShowPicture, 0);
    std::vector<int> back;
    EXPECT_TRUE(vntest::WaitUntil([&] { return (back = ReadBoard(player, area)) == board; }, Patience))
        << BoardText(back) << " instead of " << BoardText(board);

    PostMessageA(player, WM_COMMAND, IdGameExit, 0);
    EXPECT_EQ(0u, game.WaitForExit());
    EXPECT_EQ(0u, vntest::RecordedUrls(Path("urls.log")).size());
}

TEST_F(PlayerEndToEnd, PuzzlesMadeWithGridZeroOrOnePlayAsFourByFourAndLargeGridsAreReduced)
{
    // Made before "GO !" refused grids below 2: composed as older builders made them.
    for (const char* grid : {"0", "1"}) {
        FormValues values;
        values.grid = grid;
        Program game(BuildAsOlderBuilders(values), folder);
        HWND player = WaitForPlayer(game);
        ASSERT_TRUE(player != NULL);
        const PictureArea area(atoi(grid));
        ASSERT_EQ(4, area.layout.grid);
        std::vector<int> board;
        EXPECT_TRUE(vntest::WaitUntil([&] { return (board = ReadBoard(player, area)) == SolvedBoard(); },
                                      Patience))
            << "grid " << grid << ": " << BoardText(board);
        EXPECT_EQ("Press F2 to shuffle", ChildText(player, IdStatusText));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(player, IdNoticeText)));
        PostMessageA(player, WM_CLOSE, 0, 0);
        EXPECT_EQ(0u, game.WaitForExit());
    }
    FormValues values;
    values.grid = "9999";
    DeleteFileA(Path("target.exe").c_str());  // or "GO !" would ask before replacing it
    {
        Program game(BuildThroughForm(values), folder);
        HWND player = WaitForPlayer(game);
        ASSERT_TRUE(player != NULL);
        const PictureArea area(9999);
        ASSERT_TRUE(area.layout.gridReduced);
        EXPECT_EQ(GridNotice(area.layout), ChildText(player, IdNoticeText));
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(player, IdNoticeText)));
        PostMessageA(player, WM_CLOSE, 0, 0);
        EXPECT_EQ(0u, game.WaitForExit());
    }
}

std::wstring Wide(const std::string& text)
{
    std::wstring wide(text.size() + 1, L'\0');
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(length > 0 ? length - 1 : 0);
    return wide;
}

TEST_F(PlayerEndToEnd, PlaysFromAFolderWhoseNameTheCodePageCannotSpell)
{
    const std::string target = BuildThroughForm(FormValues());
    const std::wstring folderW = Wide(folder) + L"\\\u041f\u0430\u0437\u043b";  // "Пазл"
    const std::wstring copyW = folderW + L"\\\u65e5\u672c.exe";            // "日本.exe"
    ASSERT_TRUE(CreateDirectoryW(folderW.c_str(), NULL) || GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(CopyFileW(Wide(target).c_str(), copyW.c_str(), FALSE));
    {
        Program game(copyW, folderW);
        ASSERT_TRUE(game.started);
        HWND player = WaitForPlayer(game);
        ASSERT_TRUE(player != NULL) << "no player window; a message box says: " << TakeMessageBox(game);
        const PictureArea area(4);
        std::vector<int> board;
        EXPECT_TRUE(vntest::WaitUntil([&] { return (board = ReadBoard(player, area)) == SolvedBoard(); }, Patience))
            << BoardText(board);
        PostMessageA(player, WM_CLOSE, 0, 0);
        EXPECT_EQ(0u, game.WaitForExit());
    }
    DeleteFileW(copyW.c_str());
    RemoveDirectoryW(folderW.c_str());
}

TEST_F(PlayerEndToEnd, APackageTooLargeForTheProcessSaysSo)
{
    // The stub followed by 2.5 GB (a sparse file: nothing is written).
    const std::string huge = Path("huge.exe");
    ASSERT_TRUE(vntest::WriteFileBytes(huge, stub));
    HANDLE file = CreateFileA(huge.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    LARGE_INTEGER end;
    end.QuadPart = 2500LL * 1000 * 1000;
    EXPECT_TRUE(SetFilePointerEx(file, end, NULL, FILE_BEGIN));
    EXPECT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
    {
        Program game(huge, folder);
        ASSERT_TRUE(game.started);
        EXPECT_EQ("The puzzle data is too large.", TakeMessageBox(game));
        EXPECT_EQ(1u, game.WaitForExit());
    }
    DeleteFileA(huge.c_str());
}

// Sets the prefix's screen DPI for programs started from now on, and puts the
// old setting back at the end of the scope.
class ScreenDpi {
public:
    explicit ScreenDpi(DWORD dpi)
    {
        DWORD size = sizeof previous;
        had = RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", RRF_RT_REG_DWORD,
                           NULL, &previous, &size) == ERROR_SUCCESS;
        Set(dpi);
    }
    ~ScreenDpi()
    {
        if (had) {
            Set(previous);
            return;
        }
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, "LogPixels");
            RegCloseKey(key);
        }
    }

private:
    void Set(DWORD dpi)
    {
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, NULL, 0, KEY_SET_VALUE, NULL,
                            &key, NULL) != ERROR_SUCCESS)
            return;
        RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
        RegCloseKey(key);
    }
    bool had = false;
    DWORD previous = 96;
};

TEST_F(PlayerEndToEnd, AtOneHundredFortyFourDpiThePictureShowsAtItsOwnPixels)
{
    // A 300 x 200 picture of soft colours, none of them the window's grey.
    Bytes picture = vntest::Bmp24File(300, 200, [](int x, int top, uint8_t* p) {
        const int y = 199 - top;  // counted from the bottom row
        p[0] = static_cast<uint8_t>(40 + x / 2);
        p[1] = static_cast<uint8_t>(30 + y);
        p[2] = static_cast<uint8_t>(250 - x / 3);
    });
    ASSERT_TRUE(vntest::WriteFileBytes(Path("wide.bmp"), picture));
    const std::string target = BuildThroughForm(FormValues(), "wide.bmp");

    ScreenDpi dpi(144);
    Program game(target, folder);
    ASSERT_TRUE(game.started);
    HWND player = WaitForPlayer(game);
    ASSERT_TRUE(player != NULL);
    PostMessageA(player, WM_COMMAND, IdGameShowPicture, 0);  // the whole picture, no seams
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    int across = 0, down = 0;
    // The picture's extent along the middle row and the middle column of its
    // part of the window above the status bar: every pixel that is not the
    // window's grey.
    auto measure = [&] {
        vntest::CapturedPixels shot = ClientPixels(player);
        RECT bar;
        GetWindowRect(GetDlgItem(player, IdStatusText), &bar);
        MapWindowPoints(NULL, player, reinterpret_cast<POINT*>(&bar), 2);
        shot.height = bar.top < shot.height ? bar.top : shot.height;
        int left = -1, right = -1;
        for (int x = 0; x < shot.width; ++x)
            if (shot.At(x, 100) != face) {
                if (left < 0)
                    left = x;
                right = x;
            }
        across = left < 0 ? 0 : right - left + 1;
        int top = -1, bottom = -1;
        const int middle = left < 0 ? 0 : (left + right) / 2;
        for (int y = 0; y < shot.height; ++y)
            if (shot.At(middle, y) != face) {
                if (top < 0)
                    top = y;
                bottom = y;
            }
        down = top < 0 ? 0 : bottom - top + 1;
        return across == 300 && down == 200;
    };
    EXPECT_TRUE(vntest::WaitUntil(measure, Patience)) << across << " x " << down;
    // The window grew its minimum width and its menu and status strip with the DPI.
    RECT client;
    GetClientRect(player, &client);
    EXPECT_GE(client.right, 480);
    EXPECT_TRUE(vntest::SaveWindowShot(player, vntest::ArtifactPath("player-144dpi.bmp").c_str()));
    PostMessageA(player, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, game.WaitForExit());
    DeleteFileA(Path("wide.bmp").c_str());
}

}  // namespace

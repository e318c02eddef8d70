// The player's window in the test process: layout at any size, every tile
// showing its share of small pictures, numbers, undo, hints, Solve, the
// clock's pauses, the counting of solves and the best results kept in the
// registry (the test prefix's, under Wine).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "player_ids.h"
#include "puzzle_solver.h"
#include "player_window_test.h"

#include <commctrl.h>

namespace {

using playerwin::BmpFile;
using playerwin::Bytes;
using playerwin::MessageBoxAnswer;
using playerwin::Near;

const COLORREF Grey = RGB(128, 128, 128);
const COLORREF Yellow = RGB(255, 214, 0);

COLORREF BlockColour(int column, int row)
{
    return RGB(20 + 60 * column, 20 + 60 * row, 230 - 50 * ((column + row) % 4));
}

// A picture of 4 x 4 blocks, each of one colour.
Bytes BlockPicture(int width, int height)
{
    return BmpFile(width, height, [=](int x, int y) { return BlockColour(x * 4 / width, y * 4 / height); });
}

// A soft gradient with a disc of the block's colour in each block's middle:
// the middles identify the tiles, the rest looks like a picture.
Bytes DiscPicture(int side)
{
    return BmpFile(side, side, [=](int x, int y) {
        const int block = side / 4;
        const int dx = x % block - block / 2, dy = y % block - block / 2;
        if (dx * dx + dy * dy <= block * block / 10)
            return BlockColour(x / block, y / block);
        return RGB(255 - x * 255 / side, 90 + y * 120 / side, 60 + (x + y) * 150 / (2 * side));
    });
}

class PlayerWindow : public playerwin::PlayerWindowTest {
protected:
    // Every cell, sampled at its middle and near its corners, shows its
    // tile's block colour, and the gap is grey.
    void ExpectBlockBoard(const char* when)
    {
        vntest::CapturedPixels shot = Client();
        const int grid = Layout.grid;
        for (int row = 0; row < grid; ++row)
            for (int column = 0; column < grid; ++column) {
                const int tile = Board->TileAt(column, row);
                const COLORREF expected =
                    tile < 0 ? Grey : BlockColour(tile % grid, tile / grid);
                const int left = Picture.left + CellEdge(Picture.width, grid, column) + 4;
                const int top = Picture.top + CellEdge(Picture.height, grid, row) + 4;
                const int right = Picture.left + CellEdge(Picture.width, grid, column + 1) - 4;
                const int bottom = Picture.top + CellEdge(Picture.height, grid, row + 1) - 4;
                POINT centre = CellCentre(column, row);
                const POINT points[] = {centre, {left, top}, {right, top}, {left, bottom}, {right, bottom}};
                for (const POINT& p : points)
                    EXPECT_TRUE(Near(expected, shot.At(p.x, p.y)))
                        << when << ": cell " << column << "," << row << " at " << p.x << "," << p.y
                        << " shows " << std::hex << shot.At(p.x, p.y) << " for " << expected;
            }
    }

    void ExpectPictureFitsTheArea()
    {
        RECT client;
        GetClientRect(window, &client);
        RECT status;
        GetWindowRect(StatusText, &status);
        MapWindowPoints(NULL, window, reinterpret_cast<POINT*>(&status), 2);
        EXPECT_EQ(client.right, AreaWidth);
        EXPECT_LE(AreaHeight, status.top);
        EXPECT_EQ(client.bottom, status.bottom);  // the status bar lies along the bottom
        EXPECT_EQ(client.right, status.right - status.left);
        PictureRect fit = FitPicture(PictureWidth, PictureHeight, AreaWidth, AreaHeight);
        EXPECT_EQ(fit.width, Picture.width);
        EXPECT_EQ(fit.height, Picture.height);
        EXPECT_TRUE(Picture.width == AreaWidth || Picture.height == AreaHeight);
    }

    std::string Status()
    {
        ShowStatusNow();
        return vntest::WindowText(StatusText);
    }
};

TEST_F(PlayerWindow, OpensAtTheSmallPicturesLargestWholeMultiple)
{
    Open(BlockPicture(160, 120), 4);
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int multiple = std::min((work.right - work.left) * 8 / 10 / 160,
                                  (work.bottom - work.top) * 8 / 10 / 120);
    ASSERT_GE(multiple, 2);
    EXPECT_EQ(160 * multiple, Picture.width);
    EXPECT_EQ(120 * multiple, Picture.height);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(160 * multiple, client.right);
    EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_THICKFRAME);
    EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_MAXIMIZEBOX);
    ExpectPictureFitsTheArea();
    ExpectBlockBoard("opened");
}

TEST_F(PlayerWindow, ResizeAndMaximizeRepaintTheWholePictureWithItsTiles)
{
    Open(BlockPicture(160, 120), 4);
    Click(0, 3);  // the bottom row slides right
    ASSERT_EQ(PuzzleBoard::EmptyCell, Board->TileAt(0, 3));
    ExpectBlockBoard("after a slide");

    SetWindowPos(window, NULL, 10, 10, 700, 420, SWP_NOZORDER);
    ExpectPictureFitsTheArea();
    EXPECT_LT(Picture.width, 700);
    ExpectBlockBoard("resized");

    SetWindowPos(window, NULL, 10, 10, 1000, 460, SWP_NOZORDER);  // wide: bars on the sides
    ExpectPictureFitsTheArea();
    EXPECT_GT(Picture.left, 0);
    ExpectBlockBoard("wide");

    const int before = Picture.width;
    ShowWindow(window, SW_MAXIMIZE);
    ExpectPictureFitsTheArea();
    EXPECT_GT(Picture.width, before);
    ExpectBlockBoard("maximized");

    // A click still lands in the cell it is drawn in at the new size.
    Click(0, 2);
    EXPECT_EQ(PuzzleBoard::EmptyCell, Board->TileAt(0, 2));
    ExpectBlockBoard("slid when maximized");
}

// Each cell shows its tile's share of the picture: the source pixel under
// the middle of the tile's home cell.
void ExpectShares(playerwin::PlayerWindowTest& test, const vntest::CapturedPixels& shot,
                  const std::function<COLORREF(int, int)>& source, int width, int height)
{
    const int grid = Layout.grid;
    for (int row = 0; row < grid; ++row)
        for (int column = 0; column < grid; ++column) {
            const int tile = Board->TileAt(column, row);
            POINT p = test.CellCentre(column, row);
            if (tile < 0) {
                EXPECT_TRUE(Near(Grey, shot.At(p.x, p.y)));
                continue;
            }
            const int hx = (CellEdge(Picture.width, grid, tile % grid) +
                            CellEdge(Picture.width, grid, tile % grid + 1)) / 2;
            const int hy = (CellEdge(Picture.height, grid, tile / grid) +
                            CellEdge(Picture.height, grid, tile / grid + 1)) / 2;
            COLORREF expected = source(hx * width / Picture.width, hy * height / Picture.height);
            EXPECT_TRUE(Near(expected, shot.At(p.x, p.y)))
                << "tile " << tile << " in cell " << column << "," << row << " shows " << std::hex
                << shot.At(p.x, p.y) << " instead of " << expected;
        }
}

TEST_F(PlayerWindow, DraggingTheFrameEndsWithTheSamePictureAsAResize)
{
    Open(DiscPicture(160), 4, true);
    SetWindowPos(window, NULL, 0, 0, 613, 471, SWP_NOZORDER | SWP_NOMOVE);
    vntest::CapturedPixels resized = Client();
    SetWindowPos(window, NULL, 0, 0, 700, 560, SWP_NOZORDER | SWP_NOMOVE);
    SendMessageA(window, WM_ENTERSIZEMOVE, 0, 0);
    for (int step = 0; step < 5; ++step)
        SetWindowPos(window, NULL, 0, 0, 680 - 17 * step, 540 - 17 * step, SWP_NOZORDER | SWP_NOMOVE);
    SetWindowPos(window, NULL, 0, 0, 613, 471, SWP_NOZORDER | SWP_NOMOVE);
    SendMessageA(window, WM_EXITSIZEMOVE, 0, 0);
    vntest::CapturedPixels dragged = Client();
    ASSERT_EQ(resized.width, dragged.width);
    EXPECT_TRUE(resized.pixels == dragged.pixels);
}

TEST_F(PlayerWindow, AnimatedSlidesStartOneCellBackAndEndWhereAnInstantSlideDoes)
{
    Open(BlockPicture(160, 160), 4);
    AnimationsOn = true;
    Click(1, 3);  // two tiles slide right, towards the gap in the corner
    int dx = 0, dy = 0;
    ASSERT_TRUE(TileOffset(3, 3, &dx, &dy));
    EXPECT_EQ(CellEdge(Picture.width, 4, 2) - CellEdge(Picture.width, 4, 3), dx);
    EXPECT_EQ(0, dy);
    EXPECT_TRUE(TileOffset(2, 3, &dx, &dy));
    EXPECT_FALSE(TileOffset(1, 3, &dx, &dy));  // the new gap
    EXPECT_FALSE(TileOffset(0, 3, &dx, &dy));
    EXPECT_FALSE(TileOffset(3, 2, &dx, &dy));
    EXPECT_TRUE(vntest::WaitUntil([&] { return !TileOffset(3, 3, &dx, &dy); }, 5000));
    ExpectBlockBoard("after the animation");
    AnimationsOn = false;
}

TEST_F(PlayerWindow, AThreeByThreePictureAtGridFourShowsEveryTilesShare)
{
    auto colour = [](int x, int y) { return RGB(40 + 90 * x, 30 + 100 * y, 200 - 60 * x); };
    Open(BmpFile(3, 3, colour), 4, true);
    ASSERT_EQ(4, Layout.grid);
    ASSERT_FALSE(Board->IsSolved());
    ExpectShares(*this, Client(), colour, 3, 3);
}

TEST_F(PlayerWindow, AnEightyBySixtyPictureShowsEveryTilesShare)
{
    auto colour = [](int x, int y) { return RGB(x * 3, y * 4, 255 - x - y); };
    Open(BmpFile(80, 60, colour), 4, true);
    ASSERT_EQ(4, Layout.grid);
    ExpectShares(*this, Client(), colour, 80, 60);
    SetWindowPos(window, NULL, 0, 0, 500, 420, SWP_NOZORDER | SWP_NOMOVE);
    ExpectShares(*this, Client(), colour, 80, 60);
}

// A picture whose every pixel differs from its neighbours, with bit
// patterns that an AND of two neighbouring rows or columns turns dark.
COLORREF FinePattern(int x, int y)
{
    return RGB((x * 5) & 255, (y * 3) & 255, ((x + y) * 2) & 255);
}

// Every pixel of every tile, away from its seams, shows its share of the
// scaled picture: the pixel its position maps to or a neighbour of it (a
// stretch by a pixel may take either). Tiles drawn into cells a pixel
// smaller than their share must not draw the dropped rows ANDed into their
// neighbours. Returns how many tiles were stretched.
int ExpectTilesShowTheirShares(playerwin::PlayerWindowTest& test, const char* when)
{
    const vntest::CapturedPixels shot = test.ClientShot();
    const vntest::CapturedPixels scaled = vntest::CapturePixels(ScaledDc, 0, 0, ScaledWidth, ScaledHeight);
    const int grid = Layout.grid;
    int stretched = 0;
    int wrong = 0;
    std::string first;
    for (int row = 0; row < grid; ++row)
        for (int column = 0; column < grid; ++column) {
            const int tile = Board->TileAt(column, row);
            if (tile < 0)
                continue;
            const int left = Picture.left + CellEdge(Picture.width, grid, column);
            const int top = Picture.top + CellEdge(Picture.height, grid, row);
            const int width = Picture.left + CellEdge(Picture.width, grid, column + 1) - left;
            const int height = Picture.top + CellEdge(Picture.height, grid, row + 1) - top;
            const int sourceLeft = CellEdge(ScaledWidth, grid, tile % grid);
            const int sourceTop = CellEdge(ScaledHeight, grid, tile / grid);
            const int sourceWidth = CellEdge(ScaledWidth, grid, tile % grid + 1) - sourceLeft;
            const int sourceHeight = CellEdge(ScaledHeight, grid, tile / grid + 1) - sourceTop;
            stretched += width != sourceWidth || height != sourceHeight;
            for (int y = top + 1; y < top + height; ++y)
                for (int x = left + 1; x < left + width; ++x) {
                    const int sx = sourceLeft + (x - left) * sourceWidth / width;
                    const int sy = sourceTop + (y - top) * sourceHeight / height;
                    bool found = false;
                    for (int dy = -1; dy <= 1 && !found; ++dy)
                        for (int dx = -1; dx <= 1 && !found; ++dx)
                            found = Near(scaled.At(sx + dx, sy + dy), shot.At(x, y), 2);
                    if (!found && wrong++ == 0)
                        first = "tile " + std::to_string(tile) + " at " + std::to_string(x) + "," +
                                std::to_string(y);
                }
        }
    EXPECT_EQ(0, wrong) << when << ": " << wrong << " pixels wrong, the first of " << first;
    return stretched;
}

TEST_F(PlayerWindow, TilesStretchedByAPixelShowTheirSharesWithoutDarkLines)
{
    Open(BmpFile(160, 120, FinePattern), 4, true);
    SetWindowPos(window, NULL, 0, 0, 900, 300, SWP_NOZORDER | SWP_NOMOVE);
    ASSERT_TRUE(Picture.width % 4 != 0 || Picture.height % 4 != 0) << Picture.width << " x " << Picture.height;
    EXPECT_GT(ExpectTilesShowTheirShares(*this, "4 x 4 at 900 x 300"), 0);
}

TEST_F(PlayerWindow, AFortyEightByFortyEightPuzzleShowsItsSharesAtItsOpeningSize)
{
    Open(BmpFile(800, 800, FinePattern), 48, true);
    ASSERT_EQ(48, Layout.grid);
    ASSERT_NE(0, Picture.width % 48);
    EXPECT_GT(ExpectTilesShowTheirShares(*this, "48 x 48 as opened"), 0);
}

TEST_F(PlayerWindow, NumbersAreDrawnInEachTilesCorner)
{
    Open(DiscPicture(160), 4, true);
    vntest::CapturedPixels plain = Client();
    Command(IdGameNumbers);
    vntest::CapturedPixels numbered = Client();
    EXPECT_TRUE(SaveShot("player-numbers.bmp"));
    const int grid = Layout.grid;
    for (int row = 0; row < grid; ++row)
        for (int column = 0; column < grid; ++column) {
            if (Board->TileAt(column, row) < 0)
                continue;
            const int left = Picture.left + CellEdge(Picture.width, grid, column);
            const int top = Picture.top + CellEdge(Picture.height, grid, row);
            int white = 0, black = 0, changed = 0;
            for (int y = top; y < top + 30; ++y)
                for (int x = left; x < left + 40; ++x) {
                    COLORREF c = numbered.At(x, y);
                    white += c == RGB(255, 255, 255);
                    black += c == RGB(0, 0, 0);
                    changed += c != plain.At(x, y);
                }
            EXPECT_GT(white, 5) << column << "," << row;
            EXPECT_GT(black, 5) << column << "," << row;
            EXPECT_GT(changed, 20) << column << "," << row;
            // The middle of the tile is left alone.
            POINT p = CellCentre(column, row);
            EXPECT_EQ(plain.At(p.x, p.y), numbered.At(p.x, p.y));
        }
    Command(IdGameNumbers);
    vntest::CapturedPixels off = Client();
    EXPECT_TRUE(plain.pixels == off.pixels);
}

TEST_F(PlayerWindow, UndoTakesBackSlidesExactly)
{
    Open(BlockPicture(160, 160), 4, true);
    const std::vector<int> before = [] {
        std::vector<int> cells;
        for (int i = 0; i < 16; ++i)
            cells.push_back(Board->TileAt(i % 4, i / 4));
        return cells;
    }();
    const int gapColumn = Board->GapColumn();
    Click(gapColumn == 0 ? 3 : 0, Board->GapRow());  // a row of tiles slides
    const uint32_t moved = Board->Moves();
    ASSERT_GE(moved, 1u);
    for (uint32_t i = 0; i < moved; ++i)
        Command(IdGameUndo);
    std::vector<int> after;
    for (int i = 0; i < 16; ++i)
        after.push_back(Board->TileAt(i % 4, i / 4));
    EXPECT_EQ(before, after);
    EXPECT_EQ(2 * moved, Board->Moves());  // an undo counts as a move
    ExpectBlockBoard("undone");
}

TEST_F(PlayerWindow, HintHighlightsTheTileToMoveAndSolvePlaysTheRest)
{
    Open(DiscPicture(160), 4, true);
    Command(IdGameHint);
    ASSERT_GE(HintColumn, 0);
    int column = -1, row = -1;
    ASSERT_TRUE(PuzzleHint(*Board, &column, &row));
    EXPECT_EQ(column, HintColumn);
    EXPECT_EQ(row, HintRow);
    vntest::CapturedPixels shot = Client();
    const int left = Picture.left + CellEdge(Picture.width, 4, column);
    const int top = Picture.top + CellEdge(Picture.height, 4, row);
    EXPECT_TRUE(Near(Yellow, shot.At(left + 1, top + 20)));
    EXPECT_TRUE(Near(Yellow, shot.At(left + 20, top + 1)));
    // Following the hint moves that tile and takes the highlight away.
    Click(column, row);
    EXPECT_EQ(-1, HintColumn);

    MessageBoxAnswer answer(IDNO);
    Command(IdGameSolve);
    EXPECT_TRUE(vntest::WaitUntil([] { return Finished; }, 120000));
    EXPECT_TRUE(Board->IsSolved());
    EXPECT_EQ("Solved by Game > Solve", Status());
    EXPECT_TRUE(answer.Texts().empty());  // no results for a solve played by the computer
    // The slot is filled with its tile: the whole picture.
    vntest::CapturedPixels solved = Client();
    POINT p = CellCentre(3, 3);
    EXPECT_TRUE(Near(BlockColour(3, 3), solved.At(p.x, p.y)));
    EXPECT_TRUE(SaveShot("player-solved.bmp"));
}

TEST_F(PlayerWindow, AStartSolvedBoardCountsNoSolveUntilMovedAwayByMoreThanOneSlide)
{
    Open(BlockPicture(160, 160), 4);
    EXPECT_EQ("Press F2 to shuffle", Status());
    MessageBoxAnswer answer(IDNO);
    Key(VK_RIGHT);  // one tile into the gap...
    EXPECT_EQ(0u, Status().find("Moves: 1"));
    Key(VK_LEFT);   // ...and back
    EXPECT_FALSE(Finished);
    EXPECT_EQ("Press F2 to shuffle", Status());
    EXPECT_TRUE(answer.Texts().empty());

    Key(VK_RIGHT);
    Key(VK_DOWN);   // two slides away
    Key(VK_UP);
    Key(VK_LEFT);
    EXPECT_TRUE(Finished);
    std::vector<std::string> texts = answer.Texts();
    ASSERT_EQ(1u, texts.size());
    EXPECT_EQ(0u, texts[0].find("You solved the puzzle in 4 moves and ")) << texts[0];
    EXPECT_EQ(0u, Status().find("Solved in 4 moves, ")) << Status();
}

// The registry key of the open puzzle's best results.
std::string BestKey()
{
    return "Software\\Vornix SDK\\Puzzles\\" + PuzzleKey;
}

DWORD RegistryNumber(const char* name)
{
    DWORD value = 0xFFFFFFFF, size = sizeof value, type = 0;
    RegGetValueA(HKEY_CURRENT_USER, BestKey().c_str(), name, RRF_RT_REG_DWORD, &type, &value, &size);
    return value;
}

TEST_F(PlayerWindow, BestResultIsWrittenToAndReadFromTheRegistry)
{
    Open(BlockPicture(160, 160), 4);
    RegDeleteKeyA(HKEY_CURRENT_USER, BestKey().c_str());
    // An earlier, worse result of this puzzle.
    BestResult earlier = MergeBest(BestResult(), 100, 5000);
    ASSERT_TRUE(WriteBest(PuzzleKey, earlier));

    MessageBoxAnswer answer(IDNO);
    Click(0, 3);  // three tiles right
    Click(3, 3);  // and back: solved in 6
    ASSERT_TRUE(Finished);
    EXPECT_EQ(6u, RegistryNumber("BestMoves"));
    EXPECT_GT(5000u, RegistryNumber("BestSeconds"));

    // A worse game keeps the best; the message reads it back.
    NewGame(false);
    Click(0, 3);  // the bottom row right, the left column down, and back
    Click(0, 0);
    Click(0, 3);
    Click(3, 3);
    ASSERT_TRUE(Finished);
    EXPECT_EQ(6u, RegistryNumber("BestMoves"));
    std::vector<std::string> texts = answer.Texts();
    ASSERT_EQ(2u, texts.size());
    EXPECT_NE(std::string::npos, texts[0].find("\nFewest moves: 6. Fastest: ")) << texts[0];
    EXPECT_EQ(0u, texts[1].find("You solved the puzzle in 12 moves")) << texts[1];
    EXPECT_NE(std::string::npos, texts[1].find("\nFewest moves: 6. Fastest: ")) << texts[1];
    EXPECT_EQ(6u, ReadBest(PuzzleKey).moves);
    RegDeleteKeyA(HKEY_CURRENT_USER, BestKey().c_str());
}

TEST_F(PlayerWindow, AGameHelpedByHintSetsNoBestResultAndBestResultsShowsThemAtAnyTime)
{
    Open(BlockPicture(160, 160), 4);
    RegDeleteKeyA(HKEY_CURRENT_USER, BestKey().c_str());
    ASSERT_TRUE(WriteBest(PuzzleKey, MergeBest(BestResult(), 100, 5000)));
    Best = ReadBest(PuzzleKey);
    {
        MessageBoxAnswer answer(IDOK);
        Command(IdGameBestResults);
        ASSERT_EQ(1u, answer.Texts().size());
        EXPECT_EQ("Fewest moves: 100. Fastest: 1:23:20.", answer.Texts()[0]);
    }
    {
        MessageBoxAnswer answer(IDNO);
        Click(0, 3);  // three tiles right
        Command(IdGameHint);
        ASSERT_TRUE(Helped);
        Click(3, 3);  // and back: solved in 6, with help
        ASSERT_TRUE(Finished);
        EXPECT_EQ("Solved with help in 6 moves, ", Status().substr(0, 29));
        EXPECT_EQ(100u, RegistryNumber("BestMoves"));
        EXPECT_EQ(5000u, RegistryNumber("BestSeconds"));
        ASSERT_EQ(1u, answer.Texts().size());
        EXPECT_NE(std::string::npos, answer.Texts()[0].find(
                                         ".\nA game played with Hint or Solve sets no best result.\n"
                                         "Fewest moves: 100. Fastest: 1:23:20.\n\nPlay again?"))
            << answer.Texts()[0];
    }
    // The next game starts unhelped, and its solve counts.
    NewGame(false);
    EXPECT_FALSE(Helped);
    {
        MessageBoxAnswer answer(IDNO);
        Click(0, 3);
        Click(3, 3);
        ASSERT_TRUE(Finished);
    }
    EXPECT_EQ(6u, RegistryNumber("BestMoves"));
    {
        MessageBoxAnswer answer(IDOK);
        Command(IdGameBestResults);
        ASSERT_EQ(1u, answer.Texts().size());
        EXPECT_EQ(0u, answer.Texts()[0].find("Fewest moves: 6. Fastest: 0:0")) << answer.Texts()[0];
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, BestKey().c_str());
    Best = BestResult();
    {
        MessageBoxAnswer answer(IDOK);
        Command(IdGameBestResults);
        ASSERT_EQ(1u, answer.Texts().size());
        EXPECT_EQ(0u, answer.Texts()[0].find("No best results yet")) << answer.Texts()[0];
    }
}

TEST_F(PlayerWindow, PlayAgainShufflesANewGame)
{
    Open(BlockPicture(160, 160), 4);
    MessageBoxAnswer answer(IDYES);
    Click(0, 3);
    Click(3, 3);
    EXPECT_FALSE(Finished);
    EXPECT_FALSE(Board->IsSolved());
    EXPECT_EQ(0u, Board->Moves());
    EXPECT_EQ("Moves: 0    Time: 0:00", Status());
    RegDeleteKeyA(HKEY_CURRENT_USER, BestKey().c_str());
}

TEST_F(PlayerWindow, ShuffleDuringAGameAsksFirst)
{
    Open(BlockPicture(160, 160), 4, true);
    Click(Board->GapColumn() == 0 ? 1 : Board->GapColumn() - 1, Board->GapRow());
    ASSERT_EQ(1u, Board->Moves());
    {
        MessageBoxAnswer answer(IDNO);
        Command(IdGameShuffle);
        ASSERT_EQ(1u, answer.Texts().size());
        EXPECT_EQ("Discard the game in progress and shuffle?", answer.Texts()[0]);
    }
    EXPECT_EQ(1u, Board->Moves());
    {
        MessageBoxAnswer answer(IDYES);
        Command(IdGameShuffle);
        EXPECT_EQ(1u, answer.Texts().size());
    }
    EXPECT_EQ(0u, Board->Moves());
}

TEST_F(PlayerWindow, ClockPausesWhileMinimisedOrShowingTheWholePicture)
{
    Open(BlockPicture(160, 160), 4, true);
    EXPECT_FALSE(Clock.Running());
    Click(Board->GapColumn() == 0 ? 1 : Board->GapColumn() - 1, Board->GapRow());
    EXPECT_TRUE(Clock.Ticking());
    ShowWindow(window, SW_MINIMIZE);
    EXPECT_FALSE(Clock.Ticking());
    ShowWindow(window, SW_RESTORE);
    EXPECT_TRUE(Clock.Ticking());
    Command(IdGameShowPicture);
    EXPECT_FALSE(Clock.Ticking());
    Command(IdGameShowPicture);
    EXPECT_TRUE(Clock.Ticking());
    SendMessageA(window, WM_KEYDOWN, VK_SPACE, 1);
    EXPECT_FALSE(Clock.Ticking());
    SendMessageA(window, WM_KEYUP, VK_SPACE, 0xC0000001);
    EXPECT_TRUE(Clock.Ticking());
}

// The status bar's text as a screen reader reads it: SB_GETTEXT, UTF-8.
std::string StatusBarText()
{
    ShowStatusNow();
    const LRESULT length = SendMessageW(StatusText, SB_GETTEXTLENGTHW, 0, 0);
    std::vector<wchar_t> wide(LOWORD(length) + 1, L'\0');
    const LRESULT got = SendMessageW(StatusText, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(wide.data()));
    EXPECT_EQ(LOWORD(length), LOWORD(got));
    char text[512] = {0};
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), -1, text, sizeof text, NULL, NULL);
    return text;
}

std::string Title(HWND window)
{
    ShowStatusNow();
    wchar_t wide[256] = {0};
    GetWindowTextW(window, wide, 256);
    char text[512] = {0};
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, NULL, NULL);
    return text;
}

TEST_F(PlayerWindow, TheStatusBarAndTheTitleSayTheGamesStateInWords)
{
    Open(BlockPicture(160, 160), 4);
    EXPECT_EQ("msctls_statusbar32", vntest::ClassName(StatusText));
    EXPECT_EQ(IdStatusText, GetDlgCtrlID(StatusText));
    EXPECT_EQ("Press F2 to shuffle", StatusBarText());
    EXPECT_EQ("Vornix Puzzle", Title(window));
    MessageBoxAnswer answer(IDNO);
    Key(VK_RIGHT);  // the bottom row's third tile into the corner
    EXPECT_EQ(0u, StatusBarText().find("Moves: 1    Time: 0:0")) << StatusBarText();
    EXPECT_EQ(Status(), StatusBarText());
    EXPECT_EQ("Vornix Puzzle - 14 of 15 tiles in place", Title(window));
    Key(VK_DOWN);  // and the tile above the gap down
    EXPECT_EQ("Vornix Puzzle - 13 of 15 tiles in place", Title(window));
    Key(VK_UP);
    Key(VK_LEFT);
    ASSERT_TRUE(Finished);
    EXPECT_EQ(0u, StatusBarText().find("Solved in 4 moves, 0:0")) << StatusBarText();
    EXPECT_EQ("Vornix Puzzle - 15 of 15 tiles in place", Title(window));
    // A new game starts untitled again until its first move.
    NewGame(true);
    EXPECT_EQ("Vornix Puzzle", Title(window));
    EXPECT_EQ("Moves: 0    Time: 0:00", StatusBarText());
    RegDeleteKeyA(HKEY_CURRENT_USER, BestKey().c_str());
}

// A high-contrast colour scheme (Windows' "High Contrast White": black on
// white, a purple highlight) set for the duration of a test, then the
// system's colours as they were.
class HighContrastScheme {
public:
    HighContrastScheme()
    {
        for (int i = 0; i < Count; ++i)
            saved[i] = GetSysColor(Elements[i]);
        const COLORREF scheme[Count] = {RGB(255, 255, 255), RGB(0, 0, 0),       RGB(55, 0, 110),
                                        RGB(255, 255, 255), RGB(0, 0, 0),       RGB(255, 255, 255),
                                        RGB(0, 0, 0),       RGB(255, 255, 255)};
        SetSysColors(Count, Elements, scheme);
    }
    ~HighContrastScheme() { SetSysColors(Count, Elements, saved); }

private:
    static const int Count = 8;
    const int Elements[Count] = {COLOR_WINDOW,  COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_BTNFACE,
                                 COLOR_BTNTEXT, COLOR_MENU,       COLOR_MENUTEXT,  COLOR_MENUBAR};
    COLORREF saved[Count];
};

TEST_F(PlayerWindow, HighContrastDrawsSeamsNumbersAndTheHintInTheSystemsColours)
{
    Open(DiscPicture(160), 4, true);
    Command(IdGameNumbers);
    Command(IdGameHint);
    ASSERT_GE(HintColumn, 0);
    // A seam: the top edge of a cell in the second row that holds a tile
    // and no hint; the hint's frame: the left edge of its cell.
    int column = 0;
    while (Board->TileAt(column, 1) < 0 || (column == HintColumn && 1 == HintRow))
        ++column;
    const int seamX = Picture.left + (CellEdge(Picture.width, 4, column) + CellEdge(Picture.width, 4, column + 1)) / 2;
    const int seamY = Picture.top + CellEdge(Picture.height, 4, 1);
    const int hintX = Picture.left + CellEdge(Picture.width, 4, HintColumn);
    const int hintY = Picture.top + (CellEdge(Picture.height, 4, HintRow) + CellEdge(Picture.height, 4, HintRow + 1)) / 2;
    vntest::CapturedPixels plain = Client();
    EXPECT_EQ(RGB(64, 64, 64), plain.At(seamX, seamY));
    EXPECT_TRUE(Near(Yellow, plain.At(hintX + 1, hintY)));

    {
        HighContrastScheme scheme;
        HighContrast = true;  // what SPI_GETHIGHCONTRAST says on a system set so
        SendMessageA(window, WM_SYSCOLORCHANGE, 0, 0);
        DrawMenuBar(window);
        UpdateWindow(StatusText);
        vntest::CapturedPixels shot = Client();
        EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), shot.At(seamX, seamY));
        EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), shot.At(hintX + 1, hintY));
        // Each number in the system's text colour on its window colour.
        int text = 0, box = 0;
        const int left = Picture.left + CellEdge(Picture.width, 4, column);
        const int top = Picture.top + CellEdge(Picture.height, 4, 1);
        for (int y = top + 1; y < top + 30; ++y)
            for (int x = left + 1; x < left + 40; ++x) {
                text += shot.At(x, y) == GetSysColor(COLOR_WINDOWTEXT);
                box += shot.At(x, y) == GetSysColor(COLOR_WINDOW);
            }
        EXPECT_GT(text, 5);
        EXPECT_GT(box, 5);
        EXPECT_TRUE(SaveShot("player-high-contrast.bmp"));
    }
    // The setting is read again when the system says it changed: Wine has
    // no high contrast, so it is off again, with the fixed colours.
    SendMessageA(window, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    EXPECT_EQ(HighContrastOn(), HighContrast);
    EXPECT_FALSE(HighContrast);
    vntest::CapturedPixels after = Client();
    EXPECT_EQ(RGB(64, 64, 64), after.At(seamX, seamY));
    EXPECT_TRUE(plain.pixels == after.pixels);
}

TEST_F(PlayerWindow, GridNoticeIsMeasuredAndWrappedToTheWindowsWidth)
{
    Open(BlockPicture(64, 64), 999);
    ASSERT_TRUE(Layout.gridReduced);
    SetWindowPos(window, NULL, 0, 0, 200, 500, SWP_NOZORDER | SWP_NOMOVE);  // to the narrowest
    RECT notice;
    GetClientRect(NoticeText, &notice);
    HDC dc = GetDC(NoticeText);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(NoticeText, WM_GETFONT, 0, 0)));
    RECT needed = {0, 0, notice.right, 0};
    const std::string text = GridNotice(Layout);
    DrawTextA(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(NoticeText, dc);
    EXPECT_EQ(text, vntest::WindowText(NoticeText));
    EXPECT_GE(notice.bottom, needed.bottom);
    EXPECT_GE(needed.bottom, 2 * metrics.tmHeight);  // it wraps
    RECT client, placed;
    GetClientRect(window, &client);
    GetWindowRect(NoticeText, &placed);
    MapWindowPoints(NULL, window, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_LE(placed.bottom, client.bottom);
    EXPECT_LE(placed.right, client.right);
}

TEST_F(PlayerWindow, DpiChangeMovesToTheSuggestedRectangleAndLaysOutAgain)
{
    Open(BlockPicture(160, 160), 4, true);
    HFONT before = reinterpret_cast<HFONT>(SendMessageA(StatusText, WM_GETFONT, 0, 0));
    LOGFONTA small;
    GetObjectA(before, sizeof small, &small);
    RECT suggested = {40, 30, 40 + 900, 30 + 760};
    SendMessageA(window, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    RECT now;
    GetWindowRect(window, &now);
    EXPECT_TRUE(EqualRect(&now, &suggested));
    EXPECT_EQ(144, WindowDpi);
    LOGFONTA large;
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(StatusText, WM_GETFONT, 0, 0)), sizeof large, &large);
    EXPECT_GT(abs(large.lfHeight), abs(small.lfHeight));
    ExpectPictureFitsTheArea();
    ExpectBlockBoard("after a DPI change");
}

TEST_F(PlayerWindow, AboutShowsTheRecordsUtf8TextsAndPausesTheClock)
{
    Open(BlockPicture(160, 160), 4, true);
    Record.companyName = "Caf\xc3\xa9 \xc3\x9cn\xc3\xaf" "c\xc3\xb8" "d\xc3\xa9 \xe2\x98\x95";  // "Café Ünïcødé ☕"
    Record.tagLine = "\xd0\x9f\xd0\xb0\xd0\xb7\xd0\xbb";                                     // "Пазл"
    Click(Board->GapColumn() == 0 ? 1 : Board->GapColumn() - 1, Board->GapRow());
    ASSERT_TRUE(Clock.Ticking());
    std::wstring company, tagLine;
    std::atomic<bool> tickingWhileOpen{true};
    std::thread reader([&] {
        HWND about = vntest::WaitForTopWindow("#32770", "About", GetCurrentProcessId(), 30000);
        if (!about)
            return;
        tickingWhileOpen = Clock.Ticking();
        wchar_t text[256] = {0};
        SendMessageW(GetDlgItem(about, IdAboutCompany), WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
        company = text;
        SendMessageW(GetDlgItem(about, IdAboutTagLine), WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
        tagLine = text;
        PostMessageA(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    Command(IdHelpAbout);
    reader.join();
    EXPECT_EQ(std::wstring(L"Caf\u00e9 \u00dcn\u00ef" L"c\u00f8" L"d\u00e9 \u2615"), company);
    EXPECT_EQ(std::wstring(L"\u041f\u0430\u0437\u043b"), tagLine);
    EXPECT_FALSE(tickingWhileOpen);
    EXPECT_TRUE(Clock.Ticking());
}

TEST_F(PlayerWindow, EveryCommandHasAMenuEntryShowingItsKey)
{
    Open(BlockPicture(160, 160), 4);
    HACCEL keys = LoadAcceleratorsA(GetModuleHandleA(NULL), "player_keys");
    ASSERT_TRUE(keys != NULL);
    ACCEL table[32];
    const int count = CopyAcceleratorTableA(keys, table, 32);
    HMENU menu = GetMenu(window);
    for (int id : {IdGameShuffle, IdGameUndo, IdGameHint, IdGameSolve, IdGameNumbers,
                   IdGameShowPicture, IdHelpAbout}) {
        char text[64] = {0};
        ASSERT_GT(GetMenuStringA(menu, id, text, sizeof text, MF_BYCOMMAND), 0) << id;
        EXPECT_NE(nullptr, strchr(text, '\t')) << text;
        bool hasKey = false;
        for (int i = 0; i < count; ++i)
            hasKey = hasKey || table[i].cmd == id;
        EXPECT_TRUE(hasKey) << text;
    }
    DestroyAcceleratorTable(keys);
}

}  // namespace

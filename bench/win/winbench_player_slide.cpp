// The player's speed under Wine or Windows, in its real window in this
// process:
//   - a slide with its repaint, at a 640 x 480 and a 4000 x 3000 picture,
//     against a plain BitBlt of the same window area in the same run (goal:
//     within 1.5 times that baseline at both sizes);
//   - a resize, which rescales the picture once for the new size;
//   - the hint's time to the first move on boards of 4 x 4, 10 x 10, 50 x 50.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "player_state.h"
#include "puzzle_solver.h"
#include "test_files.h"
#include "win_bench.h"

namespace {

std::vector<uint8_t> GradientBmp(int width, int height)
{
    return vntest::Bmp24File(width, height, [&](int x, int top, uint8_t* p) {
        const int y = height - 1 - top;  // counted from the bottom row
        p[0] = static_cast<uint8_t>(x * 255 / width);
        p[1] = static_cast<uint8_t>(y * 255 / height);
        p[2] = static_cast<uint8_t>((x ^ y) & 0xFF);
    });
}

HWND OpenPuzzle(int width, int height)
{
    PackageContents contents;
    contents.picture = GradientBmp(width, height);
    contents.record.gridSize = "4";
    contents.record.companyName = contents.record.webSite = contents.record.tagLine = " ";
    contents.record.shuffle = "YES";
    contents.record.winAddress = "NONE";
    contents.recordText = "4| | | |YES|NONE|END";
    PlayerInstance = GetModuleHandleA(nullptr);
    PuzzleFailure failure = PuzzleDamaged;
    if (!PreparePuzzle(contents, &failure)) {
        std::printf("cannot prepare the puzzle: %s\n", PuzzleFailureText(failure).c_str());
        return nullptr;
    }
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    AnimationsOn = false;  // the slide's own cost, without the animation's frames
    HWND window = OpenPlayer(work);
    if (!window)
        return nullptr;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return window;
}

void ClosePuzzle(HWND window)
{
    DestroyWindow(window);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        if (message.message != WM_QUIT)
            DispatchMessageA(&message);
    delete Board;
    Board = nullptr;
    ReleasePuzzle();
}

// A slide into the gap and its repaint, back and forth along the gap's row.
void Slide(HWND window, bool& back)
{
    const bool atRightEdge = Board->GapColumn() == Board->Size() - 1;
    WPARAM key = (back || atRightEdge) ? VK_RIGHT : VK_LEFT;
    back = key == VK_LEFT;
    SendMessageA(window, WM_KEYDOWN, key, 1);
    UpdateWindow(window);
    // Whatever else the slide left to draw (a control's repaint, say).
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    GdiFlush();
}

void SlideBench(int width, int height)
{
    HWND window = OpenPuzzle(width, height);
    if (!window)
        return;
    char name[96];
    RECT client;
    GetClientRect(window, &client);
    std::printf("-- %d x %d picture shown at %d x %d, window client %ld x %ld\n", width, height,
                Picture.width, Picture.height, client.right, client.bottom);

    bool back = false;
    winbench::Result slide = winbench::Measure([&] { Slide(window, back); }, 1000);
    std::snprintf(name, sizeof name, "slide and repaint %dx%d", width, height);
    winbench::Report(name, slide);

    // The baseline: a plain BitBlt of the picture area from a memory bitmap.
    HDC dc = GetDC(window);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, AreaWidth, AreaHeight);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    PatBlt(memory, 0, 0, AreaWidth, AreaHeight, WHITENESS);
    winbench::Result blit = winbench::Measure([&] {
        BitBlt(dc, 0, 0, AreaWidth, AreaHeight, memory, 0, 0, SRCCOPY);
        GdiFlush();
    }, 1000);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, dc);
    std::snprintf(name, sizeof name, "BitBlt of the picture area %dx%d", width, height);
    winbench::Report(name, blit);
    std::snprintf(name, sizeof name, "slide / BitBlt %dx%d", width, height);
    winbench::Ratio(name, slide, blit, "within 1.5");

    // A resize: the picture rescaled once for the new size and drawn.
    int step = 0;
    winbench::Result resize = winbench::Measure([&] {
        const int w = 600 + 40 * (step++ % 2);
        SetWindowPos(window, nullptr, 0, 0, w, w * 3 / 4, SWP_NOZORDER | SWP_NOMOVE);
        UpdateWindow(window);
        GdiFlush();
    }, 10);
    std::snprintf(name, sizeof name, "resize (rescale and redraw) %dx%d", width, height);
    winbench::Report(name, resize);
    ClosePuzzle(window);
}

void HintBench(int size, int runs)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        PuzzleBoard board(size);
        board.Shuffle(12345u + run * 7919u, PuzzleBoard::ShuffleSteps(size));
        int column = 0, row = 0;
        const double start = winbench::NowMs();
        PuzzleHint(board, &column, &row);
        times.push_back(winbench::NowMs() - start);
    }
    char name[64];
    std::snprintf(name, sizeof name, "hint, first move, %dx%d", size, size);
    winbench::Report(name, winbench::FromTimes(times));
}

}  // namespace

int main()
{
    SlideBench(640, 480);
    SlideBench(4000, 3000);
    HintBench(4, 20);
    HintBench(10, 10);
    HintBench(50, 5);
    return 0;
}

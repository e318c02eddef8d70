// The preview, read back pixel by pixel from the PreviewFrame: the picture
// as large as fits inside a 2-pixel margin with its shape kept, centred on
// the form's colour, the grid lines over the picture where the grid size puts
// them, the grey bottom-right cell, nothing without a picture or without a
// positive grid size, and a paint that stays bounded at grid size 9999. Also
// leaves the builder's screenshot in the artifacts folder.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "builder_window.h"
#include "preview_place.h"
#include "selection_test_util.h"

namespace {

const COLORREF TopLeft = RGB(200, 30, 30);
const COLORREF TopRight = RGB(30, 160, 40);
const COLORREF BottomLeft = RGB(40, 60, 200);
const COLORREF BottomRight = RGB(230, 200, 20);
const COLORREF Grey = RGB(128, 128, 128);
const COLORREF White = RGB(255, 255, 255);

bool IsPictureColour(COLORREF c)
{
    return c == TopLeft || c == TopRight || c == BottomLeft || c == BottomRight;
}

// The frame's pixels, copied out of its device context in one go.
class FrameCapture : public vntest::CapturedPixels {
public:
    explicit FrameCapture(HWND frame)
    {
        RECT client;
        GetClientRect(frame, &client);
        HDC frameContext = GetDC(frame);
        vntest::CapturedPixels::operator=(vntest::CapturePixels(frameContext, 0, 0, client.right, client.bottom));
        ReleaseDC(frame, frameContext);
    }

    int Count(COLORREF colour) const
    {
        int n = 0;
        for (COLORREF c : pixels)
            n += c == colour;
        return n;
    }
};

std::string Hex(COLORREF c)
{
    char text[16];
    snprintf(text, sizeof text, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

class PreviewTest : public vntest::ScratchWindowTest {
protected:
    void SetUp() override
    {
        ScratchWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        UpdateWindow(window);
        picture = folder + "quadrants.bmp";
        ASSERT_TRUE(vntest::WriteBmp24(picture, 40, 40, [](int x, int y) {
            return x < 20 ? (y < 20 ? TopLeft : BottomLeft) : (y < 20 ? TopRight : BottomRight);
        }));
        RECT client;
        GetClientRect(PreviewFrame, &client);
        W = client.right;
        H = client.bottom;
        ASSERT_GT(W, 60);
        ASSERT_GT(H, 60);
        // The form starts with a grid of 4; these tests look at the picture
        // alone unless they type a grid size.
        SetWindowTextA(GridSizeField, "0");
    }

    // Paints the whole window and its controls now.
    void Repaint()
    {
        RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }

    void TypeGridSize(const char* text)
    {
        SetWindowTextA(GridSizeField, text);
        Repaint();
    }

    // The picture's colour at a frame point, for points at least 3 pixels
    // away from the quadrant borders; the picture fills (2, 2) to (W - 2, H - 2).
    COLORREF PictureAt(int x, int y) const
    {
        bool left = x < 2 + (W - 4) / 2;
        bool top = y < 2 + (H - 4) / 2;
        return left ? (top ? TopLeft : BottomLeft) : (top ? TopRight : BottomRight);
    }

    bool NearQuadrantBorder(int x, int y) const
    {
        return std::abs(x - (2 + (W - 4) / 2)) < 3 || std::abs(y - (2 + (H - 4) / 2)) < 3;
    }

    // Grid edges for g cells over the square picture (2 to W - 2), truncated.
    std::vector<int> Edges(int g, int size) const
    {
        std::vector<int> edges;
        for (int i = 0; i <= g; ++i)
            edges.push_back(static_cast<int>(2 + i * (size - 4) / static_cast<double>(g)));
        return edges;
    }

    // A point inside [from, to) that is off the cell's outline and away from
    // the quadrant borders along this axis.
    int InnerPoint(int from, int to, bool horizontal) const
    {
        int candidates[3] = {(from + to) / 2, from + 3, to - 4};
        for (int c : candidates) {
            int x = horizontal ? c : 10, y = horizontal ? 10 : c;
            if (c > from && c < to - 1 && !NearQuadrantBorder(horizontal ? x : 10000, horizontal ? 10000 : y))
                return c;
        }
        return (from + to) / 2;
    }

    void ExpectPictureWithoutGrid(const FrameCapture& shot)
    {
        EXPECT_EQ(shot.Count(Grey), 0);
        for (int y : {6, H / 4, 3 * H / 4, H - 7})
            for (int x : {6, W / 4, 3 * W / 4, W - 7})
                EXPECT_EQ(Hex(shot.At(x, y)), Hex(PictureAt(x, y))) << x << "," << y;
    }

    // The grid of one-pixel cells over the whole square picture, drawn
    // straight onto the frame with the preview's pen and brush.
    void DrawOnePixelCells()
    {
        HDC frame = GetDC(PreviewFrame);
        HPEN pen = CreatePen(PS_DASHDOTDOT, 1, Grey);
        HBRUSH slot = CreateSolidBrush(Grey);
        HGDIOBJ oldPen = SelectObject(frame, pen);
        HGDIOBJ oldBrush = SelectObject(frame, GetStockObject(NULL_BRUSH));
        for (int x = 2; x < W - 2; ++x)
            for (int y = 2; y < H - 2; ++y)
                Rectangle(frame, x, y, x + 1, y + 1);
        SelectObject(frame, slot);
        Rectangle(frame, W - 3, H - 3, W - 2, H - 2);
        SelectObject(frame, oldBrush);
        SelectObject(frame, oldPen);
        DeleteObject(slot);
        DeleteObject(pen);
        ReleaseDC(PreviewFrame, frame);
    }

    // The grid at sizes 1, 3 and 4 over the loaded picture, read back.
    void ExpectGridLines();

    std::string picture;
    int W = 0, H = 0;
};

TEST_F(PreviewTest, WithoutAPictureNothingIsDrawn)
{
    TypeGridSize("3");
    EXPECT_EQ(GridSize, 3);
    FrameCapture shot(PreviewFrame);
    EXPECT_EQ(shot.Count(Grey), 0);
    for (int y = 0; y < H; y += 7)
        for (int x = 0; x < W; x += 7)
            EXPECT_FALSE(IsPictureColour(shot.At(x, y))) << x << "," << y;
}

TEST_F(PreviewTest, PictureFillsTheFrameInsideTwoPixelMargins)
{
    LoadPreviewPicture(picture.c_str());
    ASSERT_NE(PreviewBitmap, (HBITMAP)NULL);
    Repaint();
    FrameCapture shot(PreviewFrame);
    ExpectPictureWithoutGrid(shot);
    // First and last picture pixels, then the margin just outside them.
    for (int y : {H / 4, 3 * H / 4}) {
        EXPECT_EQ(Hex(shot.At(2, y)), Hex(PictureAt(2, y)));
        EXPECT_EQ(Hex(shot.At(W - 3, y)), Hex(PictureAt(W - 3, y)));
        EXPECT_FALSE(IsPictureColour(shot.At(1, y)));
        EXPECT_FALSE(IsPictureColour(shot.At(W - 2, y)));
    }
    for (int x : {W / 4, 3 * W / 4}) {
        EXPECT_EQ(Hex(shot.At(x, 2)), Hex(PictureAt(x, 2)));
        EXPECT_EQ(Hex(shot.At(x, H - 3)), Hex(PictureAt(x, H - 3)));
        EXPECT_FALSE(IsPictureColour(shot.At(x, 1)));
        EXPECT_FALSE(IsPictureColour(shot.At(x, H - 2)));
    }
}

TEST_F(PreviewTest, PicturesKeepTheirShapeCentredOnTheFormsColour)
{
    // A wide picture gets the form's colour above and below it, a tall one
    // beside it; a tiny square one is enlarged to fill the frame, a large one
    // reduced. The grid covers the picture only.
    const COLORREF Form = RGB(212, 208, 200);
    for (SIZE size : {SIZE{64, 16}, SIZE{30, 90}, SIZE{2, 2}, SIZE{900, 700}}) {
        const int w = size.cx, h = size.cy;
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        std::string path = folder + "other.bmp";
        ASSERT_TRUE(vntest::WriteBmp24(path, w, h, [&](int x, int y) {
            return x < w / 2 ? (y < h / 2 ? TopLeft : BottomLeft) : (y < h / 2 ? TopRight : BottomRight);
        }));
        LoadPreviewPicture(path.c_str());
        ASSERT_NE(PreviewBitmap, (HBITMAP)NULL);
        EXPECT_EQ(PictureWidth, w);
        EXPECT_EQ(PictureHeight, h);
        // The picture scaled once to its place in the inner area.
        const PreviewPlace place = FitPictureInArea(W - 4, H - 4, w, h);
        const int left = 2 + place.left, top = 2 + place.top, right = left + place.width, bottom = top + place.height;
        EXPECT_EQ(PreviewBitmapInfo.bmWidth, place.width);
        EXPECT_EQ(PreviewBitmapInfo.bmHeight, place.height);
        TypeGridSize("2");
        FrameCapture shot(PreviewFrame);
        // Inside: the quadrants away from the grid lines, the grey cell.
        EXPECT_EQ(Hex(shot.At(left + place.width / 4, top + place.height / 4 + 1)), Hex(TopLeft));
        EXPECT_EQ(Hex(shot.At(right - place.width / 4, top + place.height / 4 + 1)), Hex(TopRight));
        EXPECT_EQ(Hex(shot.At(right - place.width / 4, bottom - place.height / 4)), Hex(Grey));
        // Around it: the form's colour where the frame is wider than the
        // picture, and no grid line beside it.
        for (int t = 4; t < W - 4; t += 6) {
            for (int y : {2, top - 1, bottom, H - 3})
                EXPECT_EQ(Hex(top > 2 ? shot.At(t, y) : Form), Hex(Form)) << t << "," << y;
            for (int x : {2, left - 1, right, W - 3})
                EXPECT_EQ(Hex(left > 2 ? shot.At(x, t) : Form), Hex(Form)) << x << "," << t;
            EXPECT_TRUE(shot.At(t, top - 1) != Grey && shot.At(t, bottom) != Grey) << t;
            EXPECT_TRUE(shot.At(left - 1, t) != Grey && shot.At(right, t) != Grey) << t;
        }
        // The grid's outline on the picture's first and last columns.
        for (int x : {left, right - 1}) {
            int grey = 0;
            for (int y = top; y < bottom; ++y)
                grey += shot.At(x, y) == Grey;
            EXPECT_GT(grey, place.height / 3) << x;
        }
        TypeGridSize("0");
    }
}

TEST_F(PreviewTest, GridLinesAtTheComputedCoordinatesAndTheGreyCell)
{
    // The frame as the form lays it out, then 140 pixels wide as it is with
    // a base unit X of 7 (Wine with browser fonts), where a third of the grid
    // area is no whole number of pixels.
    for (int frameSize : {20 * BaseUnitX, 140}) {
        SCOPED_TRACE("frame of " + std::to_string(frameSize));
        SetWindowPos(PreviewFrame, NULL, 0, 0, frameSize, frameSize, SWP_NOMOVE | SWP_NOZORDER);
        RECT client;
        GetClientRect(PreviewFrame, &client);
        W = client.right;
        H = client.bottom;
        LoadPreviewPicture(picture.c_str());
        ASSERT_NE(PreviewBitmap, (HBITMAP)NULL);
        ExpectGridLines();
    }
}

void PreviewTest::ExpectGridLines()
{
    for (int g : {1, 3, 4}) {
        SCOPED_TRACE("grid size " + std::to_string(g));
        TypeGridSize(std::to_string(g).c_str());
        ASSERT_EQ(GridSize, g);
        FrameCapture shot(PreviewFrame);
        std::vector<int> xs = Edges(g, W), ys = Edges(g, H);
        ASSERT_EQ(xs.back(), W - 2);

        // Inside every cell: the picture, except the bottom-right cell, grey.
        for (int i = 0; i < g; ++i) {
            for (int j = 0; j < g; ++j) {
                int x = InnerPoint(xs[i], xs[i + 1], true);
                int y = InnerPoint(ys[j], ys[j + 1], false);
                COLORREF expected = (i == g - 1 && j == g - 1) ? Grey : PictureAt(x, y);
                EXPECT_EQ(Hex(shot.At(x, y)), Hex(expected)) << "cell " << i << "," << j << " at " << x << "," << y;
            }
        }

        // Every cell outline: its left column at the edge, its right column
        // one pixel before the next edge. Along them only the pen's grey and
        // the dash gaps (the context's white background) appear.
        std::vector<int> columns, rows;
        for (int i = 0; i < g; ++i) {
            columns.push_back(xs[i]);
            columns.push_back(xs[i + 1] - 1);
            rows.push_back(ys[i]);
            rows.push_back(ys[i + 1] - 1);
        }
        for (int x : columns) {
            int grey = 0, other = 0;
            for (int y = 2; y <= H - 3; ++y) {
                COLORREF c = shot.At(x, y);
                grey += c == Grey;
                other += c != Grey && c != White;
            }
            EXPECT_EQ(other, 0) << "column " << x;
            EXPECT_GT(grey, (H - 6) / 3) << "column " << x;
        }
        for (int y : rows) {
            int grey = 0, other = 0;
            for (int x = 2; x <= W - 3; ++x) {
                COLORREF c = shot.At(x, y);
                grey += c == Grey;
                other += c != Grey && c != White;
            }
            EXPECT_EQ(other, 0) << "row " << y;
            EXPECT_GT(grey, (W - 6) / 3) << "row " << y;
        }

        // The grid's last outlines (checked above) lie on the picture's last
        // pixels, as the tiles cover it whole. Nothing grey outside it.
        for (int y = 0; y < H; ++y) {
            EXPECT_NE(shot.At(W - 2, y), Grey) << y;
            EXPECT_NE(shot.At(1, y), Grey) << y;
        }
    }
}

TEST_F(PreviewTest, HighContrastDrawsTheGridInTheSystemsTextColour)
{
    LoadPreviewPicture(picture.c_str());
    TypeGridSize("2");
    FrameCapture grey(PreviewFrame);
    const int greyPixels = grey.Count(Grey);
    ASSERT_GT(greyPixels, W);  // the lines and the slot
    // What SPI_GETHIGHCONTRAST gives on a system set so (Wine has no high
    // contrast to turn on), with a text colour of the scheme's.
    const int element = COLOR_WINDOWTEXT;
    const COLORREF saved = GetSysColor(element), magenta = RGB(255, 0, 255);
    SetSysColors(1, &element, &magenta);
    PreviewHighContrast = true;
    ReleasePreviewComposition();
    Repaint();
    FrameCapture contrast(PreviewFrame);
    SetSysColors(1, &element, &saved);
    EXPECT_EQ(0, contrast.Count(Grey));
    EXPECT_EQ(greyPixels, contrast.Count(magenta));
    // A settings change reads the system's setting again (off under Wine):
    // grey again.
    SendMessageA(window, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    EXPECT_FALSE(PreviewHighContrast);
    Repaint();
    EXPECT_EQ(greyPixels, FrameCapture(PreviewFrame).Count(Grey));
}

TEST_F(PreviewTest, APictureMadeSmallerForTheFrameHasNoDarkDots)
{
    // Columns of pure red and pure green at the frame's inner size, shown
    // one to one; then the frame made smaller by a size that is no whole
    // fraction, so its columns are dropped unevenly. A stretch that ANDs
    // what it drops turns red next to green into black.
    const COLORREF Red = RGB(255, 0, 0), Green = RGB(0, 255, 0);
    std::string stripes = folder + "stripes.bmp";
    ASSERT_TRUE(vntest::WriteBmp24(stripes, W - 4, H - 4, [&](int x, int) { return x % 2 ? Green : Red; }));
    LoadPreviewPicture(stripes.c_str());
    ASSERT_NE(PreviewBitmap, (HBITMAP)NULL);
    RECT frame;
    GetWindowRect(PreviewFrame, &frame);
    for (int smaller : {7, 23}) {
        SCOPED_TRACE(smaller);
        SetWindowPos(PreviewFrame, NULL, 0, 0, frame.right - frame.left - smaller, frame.bottom - frame.top - smaller,
                     SWP_NOMOVE | SWP_NOZORDER);
        ReleasePreviewComposition();
        Repaint();
        FrameCapture shot(PreviewFrame);
        ASSERT_EQ(shot.width, frame.right - frame.left - smaller);
        int dark = 0;
        for (int y = 2; y < shot.height - 2; ++y)
            for (int x = 2; x < shot.width - 2; ++x)
                dark += GetRValue(shot.At(x, y)) < 100 && GetGValue(shot.At(x, y)) < 100;
        EXPECT_EQ(dark, 0);
    }
}

TEST_F(PreviewTest, APngPictureFillsThePreviewLikeABitmap)
{
    // A PNG under a bitmap's name: the leading bytes choose the decoder.
    std::string png = folder + "quadrants-png.bmp";
    ASSERT_TRUE(vntest::WritePngRgb(png, 40, 40, [](int x, int y) {
        return x < 20 ? (y < 20 ? TopLeft : BottomLeft) : (y < 20 ? TopRight : BottomRight);
    }));
    LoadPreviewPicture(png.c_str());
    ASSERT_NE(PreviewBitmap, (HBITMAP)NULL);
    EXPECT_EQ(PictureWidth, 40);
    EXPECT_EQ(PictureHeight, 40);
    Repaint();
    ExpectPictureWithoutGrid(FrameCapture(PreviewFrame));
}

TEST_F(PreviewTest, ZeroNegativeOrEmptyGridSizeDrawsNoGrid)
{
    LoadPreviewPicture(picture.c_str());
    const struct {
        const char* text;
        int value;
    } cases[] = {{"0", 0}, {"-2", -2}, {"", 0}, {"x", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("field \"") + c.text + "\"");
        TypeGridSize("3");
        TypeGridSize(c.text);
        EXPECT_EQ(GridSize, c.value);
        ExpectPictureWithoutGrid(FrameCapture(PreviewFrame));
    }
}

TEST_F(PreviewTest, AFileThatIsNotABitmapEmptiesThePreview)
{
    LoadPreviewPicture(picture.c_str());
    TypeGridSize("3");
    ASSERT_EQ(FrameCapture(PreviewFrame).At(W / 4, H / 4), TopLeft);

    std::string text = folder + "notes.bmp";
    ASSERT_TRUE(vntest::WriteFileBytes(text, "BM but nothing more", 19));
    LoadPreviewPicture(text.c_str());
    EXPECT_EQ(PreviewBitmap, (HBITMAP)NULL);
    Repaint();
    FrameCapture shot(PreviewFrame);
    EXPECT_EQ(shot.Count(Grey), 0);
    for (int y = 0; y < H; y += 5)
        for (int x = 0; x < W; x += 5)
            EXPECT_FALSE(IsPictureColour(shot.At(x, y))) << x << "," << y;

    // A path that cannot be opened at all does the same.
    LoadPreviewPicture(picture.c_str());
    ASSERT_NE(PreviewBitmap, (HBITMAP)NULL);
    LoadPreviewPicture((folder + "missing.bmp").c_str());
    EXPECT_EQ(PreviewBitmap, (HBITMAP)NULL);
}

TEST_F(PreviewTest, GridSize9999StillRepaintsAndAnswers)
{
    LoadPreviewPicture(picture.c_str());
    TypeGridSize("0");

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    TypeGridSize("9999");
    QueryPerformanceCounter(&end);
    // A measurement for the record, not an assertion.
    printf("[ MEASURE  ] grid size 9999: setting the field and repainting took %.1f ms\n",
           (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart);

    EXPECT_EQ(GridSize, 9999);
    EXPECT_EQ(vntest::WindowText(GridSizeField), "9999");
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result), 0);

    // Cells narrower than a pixel are drawn as one cell per pixel. The
    // expectation is drawn here by hand over the picture alone: W - 6 by
    // H - 6 cells, each pixel wide, from (2, 2), outlined in the grid pen,
    // the last one filled grey.
    FrameCapture huge(PreviewFrame);
    TypeGridSize("0");
    DrawOnePixelCells();
    FrameCapture expected(PreviewFrame);
    EXPECT_TRUE(huge.pixels == expected.pixels);
    for (int y : {H / 4, 3 * H / 4})
        for (int x : {W / 4, 3 * W / 4, W - 3})
            EXPECT_EQ(Hex(huge.At(x, y)), Hex(PictureAt(x, y))) << x << "," << y;
}

TEST_F(PreviewTest, ScreenshotOfTheBuilderWithAPictureAndGridSize4)
{
    // A small landscape: sky fading down to the horizon, a sun, green hills.
    std::string landscape = folder + "landscape.bmp";
    ASSERT_TRUE(vntest::WriteBmp24(landscape, 160, 120, [](int x, int y) {
        double dx = x - 112, dy = y - 34;
        if (dx * dx + dy * dy < 16 * 16)
            return RGB(255, 214, 64);
        double hill = 78 + 10 * std::sin(x / 17.0) + 6 * std::sin(x / 7.0 + 1);
        if (y > hill)
            return RGB(40 + (y - 78) / 2, 120 + (y % 9 == 0 ? 12 : 0), 50);
        return RGB(90 + y, 150 + y / 2, 235);
    }));
    vntest::DialogScript script;
    script.title = "Open Picture File";
    script.fileName = landscape;
    vntest::RunWithDialog(window, IdPictureBrowse, script);
    ASSERT_TRUE(script.closed);
    ASSERT_NE(PreviewBitmap, (HBITMAP)NULL);
    TypeGridSize("4");
    SetDlgItemTextA(window, IdSearchPhrase, "mountain lake");
    // Raise the window over anything a dialog left behind and repaint it
    // whole; the display shows the new pixels a little later, so take the
    // shot once several captures in a row agree.
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT frame;
    GetWindowRect(window, &frame);
    vntest::CapturedPixels last;
    int agreeing = 0;
    EXPECT_TRUE(vntest::WaitUntil([&] {
        vntest::CapturedPixels now = vntest::CaptureScreenRect(frame);
        agreeing = (!now.pixels.empty() && now.pixels == last.pixels) ? agreeing + 1 : 0;
        last = now;
        return agreeing >= 5;
    }, 5000)) << "the builder's pixels never settled";
    std::string shotPath = vntest::ArtifactPath("builder-preview.bmp");
    EXPECT_TRUE(vntest::SaveWindowShot(window, shotPath.c_str())) << shotPath;
}

}  // namespace

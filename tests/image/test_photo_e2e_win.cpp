// Photos end to end, through the real programs under Wine: a phone-style JPEG
// (stored turned, Exif orientation 6) and a PNG with a transparent sky are
// chosen in the builder's picture dialog, the preview shows them upright,
// "GO !" writes a target of exactly stub + 8 + padded picture + record bytes,
// and the player started from it shows the picture upright. The pictures are
// written by ImageMagick before this program runs (make_photos.sh).
#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>
#include <vector>

#include "app.h"
#include "package_build.h"
#include "package_record.h"
#include "player_layout.h"
#include "selection_test_util.h"
#include "test_files.h"
#include "win_test_util.h"

namespace {

typedef std::vector<unsigned char> Bytes;

// The photos' folder in Windows form (the file dialog takes backslashes).
std::string PhotoPath(const char* name)
{
    std::string path = std::string(VN_PHOTO_FOLDER) + "\\" + name;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}
const DWORD Patience = 30000;
const int MinClientWidth = 320;

// The upright scene is 240 x 320; these points lie well inside one region
// each, and inside the cells (0,0), (3,0), (0,3) and (2,2) of a 4 x 4 grid,
// none of them the empty slot.
struct Probe {
    double x, y;
    COLORREF colour;
};
const COLORREF Sky = RGB(0x50, 0x90, 0xE0), Sun = RGB(0xF8, 0xD0, 0x30), Ground = RGB(0x40, 0xA0, 0x40),
               House = RGB(0xD0, 0x30, 0x30), White = RGB(255, 255, 255);

std::vector<Probe> Probes(COLORREF sky)
{
    return {{30 / 240.0, 40 / 320.0, sky},
            {210 / 240.0, 40 / 320.0, Sun},
            {30 / 240.0, 280 / 320.0, Ground},
            {150 / 240.0, 200 / 320.0, House}};
}

bool Near(COLORREF a, COLORREF b)
{
    return abs(GetRValue(a) - GetRValue(b)) <= 12 && abs(GetGValue(a) - GetGValue(b)) <= 12
        && abs(GetBValue(a) - GetBValue(b)) <= 12;
}

std::string Hex(COLORREF c)
{
    char text[16];
    sprintf(text, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

// The preview bitmap's pixels, top row first.
vntest::CapturedPixels PreviewPixels()
{
    vntest::CapturedPixels out;
    BITMAP info;
    if (!PreviewBitmap || !GetObjectA(PreviewBitmap, sizeof info, &info))
        return out;
    BITMAPINFO request;
    ZeroMemory(&request, sizeof request);
    request.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    request.bmiHeader.biWidth = info.bmWidth;
    request.bmiHeader.biHeight = -info.bmHeight;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    std::vector<RGBQUAD> quads(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    HDC screen = GetDC(NULL);
    int lines = GetDIBits(screen, PreviewBitmap, 0, info.bmHeight, quads.data(), &request, DIB_RGB_COLORS);
    ReleaseDC(NULL, screen);
    if (lines != info.bmHeight)
        return out;
    out.width = info.bmWidth;
    out.height = info.bmHeight;
    for (const RGBQUAD& q : quads)
        out.pixels.push_back(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
    return out;
}

// "" when every probe shows its colour in the pixels' left x top area of
// width x height, else what was seen.
std::string CheckProbes(const vntest::CapturedPixels& pixels, int left, int top, int width, int height,
                        const std::vector<Probe>& probes)
{
    std::string wrong;
    for (const Probe& p : probes) {
        const int x = left + static_cast<int>(p.x * width), y = top + static_cast<int>(p.y * height);
        const COLORREF seen = pixels.At(x, y);
        if (!Near(seen, p.colour))
            wrong += "(" + std::to_string(x) + "," + std::to_string(y) + ") " + Hex(seen) + " not "
                + Hex(p.colour) + "; ";
    }
    return wrong;
}

class Program : public vntest::ChildProcess {
public:
    Program(const std::string& path, const std::string& folder)
        : ChildProcess(vntest::QuotedPath(path), folder)
    {
    }
};

class PhotoEndToEnd : public vntest::ScratchWindowTest {
protected:
    void SetUp() override
    {
        ScratchWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        stub = vntest::ReadFileBytes(std::string(VN_WIN_BIN_DIR) + "/vornix_distrib.exe");
        ASSERT_FALSE(stub.empty());
        ASSERT_TRUE(vntest::WriteFileBytes(folder + "vornix_distrib.exe", stub));
        char here[MAX_PATH];
        GetCurrentDirectoryA(sizeof here, here);
        previousFolder = here;
        ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    }

    void TearDown() override
    {
        SetCurrentDirectoryA(previousFolder.c_str());
        ScratchWindowTest::TearDown();
    }

    // Chooses the picture in the builder's dialog, checks the preview,
    // builds with "GO !" and checks the target's size; returns its path.
    std::string BuildFrom(const std::string& picture, const std::vector<Probe>& probes)
    {
        vntest::DialogScript script;
        script.title = "Open Picture File";
        script.fileName = picture;
        vntest::RunWithDialog(window, IdPictureBrowse, script);
        EXPECT_TRUE(script.dialogFound);
        EXPECT_EQ(240, PictureWidth);
        EXPECT_EQ(320, PictureHeight);
        const vntest::CapturedPixels preview = PreviewPixels();
        EXPECT_GT(preview.width, 0);
        EXPECT_EQ("", CheckProbes(preview, 0, 0, preview.width, preview.height, probes)) << "preview";

        PackageSettings settings;
        settings.gridSize = 4;
        settings.companyName = "Photo Co";
        settings.webSite = "photo.example";
        settings.tagLine = "Upright";
        const std::string target = folder + "photo.exe";
        SetWindowTextA(GridSizeField, "4");
        SendMessageA(ShuffleCheckBox, BM_SETCHECK, BST_UNCHECKED, 0);
        SetWindowTextA(WinUrlEdit, settings.winAddress.c_str());
        SetWindowTextA(CompanyNameEdit, settings.companyName.c_str());
        SetWindowTextA(WebSiteEdit, settings.webSite.c_str());
        SetWindowTextA(TagLineEdit, settings.tagLine.c_str());
        SetWindowTextA(TargetPathEdit, target.c_str());
        SendMessageA(window, WM_COMMAND, IdCreateTarget, 0);
        EXPECT_EQ("Done.\r\n" + target, vntest::WindowText(StatusText));  // the path written on the second line

        // stub, the two lengths, the picture padded with zeros to a multiple
        // of 8 (so no byte of it is lost), the record.
        const Bytes file = vntest::ReadFileBytes(picture);
        const size_t padded = (file.size() + 7) / 8 * 8;
        const Bytes written = vntest::ReadFileBytes(target);
        EXPECT_EQ(stub.size() + 8 + padded + ComposePackageInfoRecord(settings).size(), written.size())
            << "picture of " << file.size() << " bytes";
        if (written.size() >= stub.size() + 4) {
            const unsigned char* length = &written[stub.size()];
            EXPECT_EQ(padded, static_cast<size_t>(length[0] | length[1] << 8 | length[2] << 16 | length[3] << 24));
        }
        return target;
    }

    // Starts the target and waits until its window shows the probes' colours
    // where the player puts the picture. Saves the window when shotName is set.
    void ExpectPlayerShowsUpright(const std::string& target, const std::vector<Probe>& probes,
                                  const char* shotName = nullptr)
    {
        Program game(target, folder);
        ASSERT_TRUE(game.started);
        HWND player = vntest::WaitForTopWindow("VORNIXPLAYER", "Vornix Puzzle", game.Id(), Patience);
        ASSERT_TRUE(player != NULL);
        RECT work;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        const PlayerLayout layout =
            ComputePlayerLayout(240, 320, work.right - work.left, work.bottom - work.top, 4);
        const int areaWidth = layout.width > MinClientWidth ? layout.width : MinClientWidth;
        const int left = (areaWidth - layout.width) / 2;
        std::string wrong;
        const bool upright = vntest::WaitUntil(
            [&] {
                UpdateWindow(player);
                RECT client;
                GetClientRect(player, &client);
                POINT origin = {0, 0};
                ClientToScreen(player, &origin);
                OffsetRect(&client, origin.x, origin.y);
                wrong = CheckProbes(vntest::CaptureScreenRect(client), left, 0, layout.width, layout.height,
                                    probes);
                return wrong.empty();
            },
            Patience);
        EXPECT_TRUE(upright) << wrong;
        if (shotName) {
            EXPECT_TRUE(vntest::SaveWindowShot(player, vntest::ArtifactPath(shotName).c_str()));
        }
    }

    Bytes stub;
    std::string previousFolder;
};

TEST_F(PhotoEndToEnd, PhoneJpegTurnedByItsOrientationStandsUprightInPreviewAndPlayer)
{
    const std::string target = BuildFrom(PhotoPath("photo6.jpg"), Probes(Sky));
    ExpectPlayerShowsUpright(target, Probes(Sky), "player-photo.bmp");
}

TEST_F(PhotoEndToEnd, PngWithTransparencyShowsWhiteWhereItIsClear)
{
    const std::string target = BuildFrom(PhotoPath("transparent.png"), Probes(White));
    ExpectPlayerShowsUpright(target, Probes(White));
}

}  // namespace

namespace {

// A one-pixel JPEG still makes a puzzle the player opens: its window comes
// up, showing the pixel's colour, and no message box says anything is wrong.
TEST_F(PhotoEndToEnd, OnePixelJpegPlays)
{
    TargetBuildRequest request;
    request.picturePath = PhotoPath("one_pixel.jpg");
    request.targetPath = folder + "one_pixel.exe";
    request.stubPath = folder + "vornix_distrib.exe";
    request.settings.gridSize = 4;
    std::vector<std::string> texts;
    ASSERT_EQ(TargetBuildDone, BuildTarget(request, [&](const char* text) { texts.push_back(text); }));
    Program game(request.targetPath, folder);
    ASSERT_TRUE(game.started);
    HWND player = vntest::WaitForTopWindow("VORNIXPLAYER", "Vornix Puzzle", game.Id(), Patience);
    ASSERT_TRUE(player != NULL);
    EXPECT_EQ(NULL, vntest::WaitForTopWindow("#32770", NULL, game.Id(), 500));
    const COLORREF pixel = RGB(0x33, 0x66, 0x99);
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const PlayerLayout layout = ComputePlayerLayout(1, 1, work.right - work.left, work.bottom - work.top, 4);
    ASSERT_GT(layout.width, 0);
    const int areaWidth = layout.width > MinClientWidth ? layout.width : MinClientWidth;
    std::string seen;
    EXPECT_TRUE(vntest::WaitUntil(
        [&] {
            UpdateWindow(player);
            // Inside the top left cell, whatever the picture's size on screen.
            POINT p = {(areaWidth - layout.width) / 2 + layout.width / 8, layout.height / 8};
            ClientToScreen(player, &p);
            RECT spot = {p.x, p.y, p.x + 1, p.y + 1};
            const COLORREF c = vntest::CaptureScreenRect(spot).At(0, 0);
            seen = Hex(c);
            return Near(c, pixel);
        },
        Patience))
        << seen;
}

}  // namespace

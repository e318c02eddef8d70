// The player's start with a photo: the time from starting a puzzle program to
// its first painted frame, for a 4000 x 3000 JPEG puzzle against the same
// picture as a 24-bit bitmap puzzle, both in one run, with both targets'
// sizes. The picture is made here (smooth light, shapes and a little grain,
// like a photo) and encoded with the Windows Imaging Component's JPEG encoder.
// Usage: winbench_player_start [STUB]  (default: ..\bin\vornix_distrib.exe
// beside this program's folder).
#include <objbase.h>
#include <wincodec.h>
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "package/package_build.h"
#include "test_files.h"
#include "win_bench.h"

namespace {

const int Width = 4000, Height = 3000;
const int Runs = 5;

// Top-down 24-bit BGR pixels of the scene.
std::vector<uint8_t> ScenePixels()
{
    std::vector<uint8_t> bgr(static_cast<size_t>(Width) * Height * 3);
    uint32_t noise = 12345;
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            noise = noise * 1664525u + 1013904223u;
            // Grain and fine texture, so the JPEG is about as large as a
            // 12-megapixel phone photo's (a few MB), not a smooth drawing's.
            const int grain = static_cast<int>((noise >> 24) & 31) - 15 + ((x / 3 + y / 2) % 7) * 2;
            int r, g, b;
            if (y < Height / 2) {  // sky, lighter towards the horizon
                r = 60 + y * 80 / Height;
                g = 120 + y * 80 / Height;
                b = 230 - y * 30 / Height;
            } else {  // ground, darker towards the front
                r = 70 - (y - Height / 2) * 40 / Height;
                g = 160 - (y - Height / 2) * 60 / Height;
                b = 60;
            }
            const int dx = x - 3000, dy = y - 700;
            if (dx * dx + dy * dy < 400 * 400) {  // the sun
                r = 250;
                g = 210;
                b = 60;
            }
            if (x > 1200 && x < 2200 && y > 1700 && y < 2500) {  // a house
                r = 200 - (x - 1200) / 20;
                g = 50;
                b = 40;
            }
            uint8_t* p = &bgr[(static_cast<size_t>(y) * Width + x) * 3];
            p[0] = static_cast<uint8_t>(b + grain < 0 ? 0 : b + grain > 255 ? 255 : b + grain);
            p[1] = static_cast<uint8_t>(g + grain < 0 ? 0 : g + grain > 255 ? 255 : g + grain);
            p[2] = static_cast<uint8_t>(r + grain < 0 ? 0 : r + grain > 255 ? 255 : r + grain);
        }
    }
    return bgr;
}

bool WriteBmp(const std::string& path, const std::vector<uint8_t>& bgr)
{
    // bgr holds the rows top first, as the picture is made.
    std::vector<uint8_t> file = vntest::Bmp24File(Width, Height, [&](int x, int top, uint8_t* p) {
        memcpy(p, &bgr[(static_cast<size_t>(top) * Width + x) * 3], 3);
    });
    return vntest::WriteFileBytes(path, file);
}

// Encodes the pixels as a baseline JPEG at quality 0.9 with WIC.
bool WriteJpeg(const std::string& path, std::vector<uint8_t>& bgr)
{
    std::wstring wide(path.begin(), path.end());
    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IPropertyBag2* options = nullptr;
    bool ok = SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, NULL, CLSCTX_INPROC_SERVER,
                                         IID_IWICImagingFactory, reinterpret_cast<void**>(&factory)))
        && SUCCEEDED(factory->CreateStream(&stream))
        && SUCCEEDED(stream->InitializeFromFilename(wide.c_str(), GENERIC_WRITE))
        && SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatJpeg, NULL, &encoder))
        && SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache))
        && SUCCEEDED(encoder->CreateNewFrame(&frame, &options));
    if (ok && options) {
        PROPBAG2 option = {};
        option.pstrName = const_cast<LPOLESTR>(L"ImageQuality");
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_R4;
        value.fltVal = 0.9f;
        options->Write(1, &option, &value);  // keeps the default when not supported
    }
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    ok = ok && SUCCEEDED(frame->Initialize(options)) && SUCCEEDED(frame->SetSize(Width, Height))
        && SUCCEEDED(frame->SetPixelFormat(&format)) && IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)
        && SUCCEEDED(frame->WritePixels(Height, Width * 3, static_cast<UINT>(bgr.size()), bgr.data()))
        && SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    if (options)
        options->Release();
    if (frame)
        frame->Release();
    if (encoder)
        encoder->Release();
    if (stream)
        stream->Release();
    if (factory)
        factory->Release();
    return ok;
}

long long FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool Build(const std::string& stub, const std::string& picture, const std::string& target)
{
    TargetBuildRequest request;
    request.stubPath = stub;
    request.picturePath = picture;
    request.targetPath = target;
    request.settings.gridSize = 4;
    request.settings.companyName = "Bench";
    TargetBuildResult result = BuildTarget(request, [](const char*) {});
    return result == TargetBuildDone;
}

struct FindPlayer {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindPlayerWindow(HWND window, LPARAM param)
{
    FindPlayer* find = reinterpret_cast<FindPlayer*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[64] = {0};
    GetClassNameA(window, name, sizeof name);
    if (owner == find->process && strcmp(name, "VORNIXPLAYER") == 0 && IsWindowVisible(window)) {
        find->found = window;
        return FALSE;
    }
    return TRUE;
}

// Milliseconds from CreateProcess to the moment the screen shows the sky's
// colour in the middle of the player's first cell; -1 on failure.
double StartToFirstFrame(const std::string& target)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::string commandLine = "\"" + target + "\"";
    const double start = winbench::NowMs();
    if (!CreateProcessA(target.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info))
        return -1;
    double painted = -1;
    FindPlayer find = {info.dwProcessId, NULL};
    HDC screen = GetDC(NULL);
    while (winbench::NowMs() - start < 60000) {
        if (!find.found)
            EnumWindows(FindPlayerWindow, reinterpret_cast<LPARAM>(&find));
        if (find.found) {
            RECT client;
            GetClientRect(find.found, &client);
            POINT p = {client.right / 16, client.bottom / 16};
            ClientToScreen(find.found, &p);
            const COLORREF c = GetPixel(screen, p.x, p.y);
            // Sky: blue well above red, whatever the scaling blends in.
            if (c != CLR_INVALID && GetBValue(c) > 180 && GetRValue(c) < 120) {
                painted = winbench::NowMs() - start;
                break;
            }
        }
        Sleep(1);
    }
    ReleaseDC(NULL, screen);
    TerminateProcess(info.hProcess, 0);
    WaitForSingleObject(info.hProcess, 10000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return painted;
}

}  // namespace

int main(int argc, char** argv)
{
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof self);
    std::string folder = self;
    folder = folder.substr(0, folder.find_last_of("\\/") + 1);
    const std::string stub = argc > 1 ? argv[1] : folder + "..\\bin\\vornix_distrib.exe";
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string work = std::string(temp) + "vn_player_start_" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(work.c_str(), NULL);
    const std::string bmp = work + "photo.bmp", jpeg = work + "photo.jpg";
    const std::string bmpTarget = work + "bmp_puzzle.exe", jpegTarget = work + "jpeg_puzzle.exe";

    CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    std::vector<uint8_t> pixels = ScenePixels();
    const bool made = WriteBmp(bmp, pixels) && WriteJpeg(jpeg, pixels);
    CoUninitialize();
    pixels.clear();
    pixels.shrink_to_fit();
    if (!made || !Build(stub, bmp, bmpTarget) || !Build(stub, jpeg, jpegTarget)) {
        fprintf(stderr, "winbench_player_start: could not make the pictures or the puzzles (stub %s)\n",
                stub.c_str());
        return 1;
    }
    const long long bmpSize = FileSize(bmpTarget), jpegSize = FileSize(jpegTarget);
    printf("4000x3000 picture: BMP %lld bytes, JPEG %lld bytes\n", FileSize(bmp), FileSize(jpeg));
    printf("%-48s %lld bytes\n", "target size, 24-bit BMP puzzle", bmpSize);
    printf("%-48s %lld bytes\n", "target size, JPEG puzzle", jpegSize);
    printf("%-48s ratio %8.3f   (goal: at least 8)\n", "BMP puzzle size / JPEG puzzle size",
           jpegSize > 0 ? double(bmpSize) / double(jpegSize) : 0.0);

    // Alternating runs after one untimed start of each, so both see the same
    // machine state; the median of each.
    StartToFirstFrame(bmpTarget);
    StartToFirstFrame(jpegTarget);
    std::vector<double> bmpTimes, jpegTimes;
    for (int i = 0; i < Runs; ++i) {
        const double b = StartToFirstFrame(bmpTarget), j = StartToFirstFrame(jpegTarget);
        if (b < 0 || j < 0) {
            fprintf(stderr, "winbench_player_start: a player showed no picture within a minute\n");
            return 1;
        }
        bmpTimes.push_back(b);
        jpegTimes.push_back(j);
    }
    const winbench::Result bmpResult = winbench::FromTimes(bmpTimes), jpegResult = winbench::FromTimes(jpegTimes);
    winbench::Report("start to first frame, 24-bit BMP puzzle", bmpResult);
    winbench::Report("start to first frame, JPEG puzzle", jpegResult);
    winbench::Ratio("JPEG start / BMP start", jpegResult, bmpResult, "at most 1.5");

    for (const std::string& f : {bmp, jpeg, bmpTarget, jpegTarget})
        DeleteFileA(f.c_str());
    RemoveDirectoryA(work.c_str());
    return 0;
}

// The player's start with a photo: the time from starting a puzzle program to
// its first painted frame, for a 4000 x 3000 JPEG puzzle against the same
// picture as a 24-bit bitmap puzzle, both in one run, with both targets'
// sizes. The picture is the benchmarks' photo-like scene (bench_photo.h),
// encoded with the Windows Imaging Component's JPEG encoder.
// Usage: winbench_player_start [STUB]  (default: ..\bin\vornix_distrib.exe
// beside this program's folder).
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "bench_photo.h"
#include "package/package_build.h"
#include "test_files.h"
#include "win_bench.h"

namespace {

using winbench::PhotoHeight;
using winbench::PhotoWidth;
const int Width = PhotoWidth, Height = PhotoHeight;
const int Runs = 5;

bool WriteBmp(const std::string& path, const std::vector<uint8_t>& bgr)
{
    // bgr holds the rows top first, as the picture is made.
    std::vector<uint8_t> file = vntest::Bmp24File(Width, Height, [&](int x, int top, uint8_t* p) {
        memcpy(p, &bgr[(static_cast<size_t>(top) * Width + x) * 3], 3);
    });
    return vntest::WriteFileBytes(path, file);
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
    std::vector<uint8_t> pixels = winbench::ScenePixels();
    const bool made = WriteBmp(bmp, pixels) && winbench::WritePhotoJpeg(jpeg, pixels);
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

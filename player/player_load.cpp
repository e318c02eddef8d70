// Reading the puzzle out of the player's own file.
#include <windows.h>

#include "player_state.h"
#include "vn_image.h"

namespace {

const char NoPuzzleText[] = "This program holds no puzzle.";
const char DamagedText[] = "The puzzle data is damaged.";

void ShowFailure(const char* text)
{
    MessageBoxA(nullptr, text, PlayerTitle, MB_OK | MB_ICONERROR);
}

}  // namespace

// Reads the package of this program's own file and turns the picture into a
// device bitmap. Returns 0 when the puzzle is ready, else the exit code after
// the message has been shown.
int LoadPuzzle()
{
    char path[MAX_PATH + 1] = {0};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        ShowFailure(DamagedText);
        return 1;
    }
    PackageContents contents;
    PackageStatus status = ReadPackageFile(path, contents);
    if (status == PackageMissing) {
        ShowFailure(NoPuzzleText);
        return 1;
    }
    if (status != PackageOk || contents.picture.empty()) {
        ShowFailure(DamagedText);
        return 1;
    }
    Record = contents.record;
    {
        VnImage image(contents.picture.data(), static_cast<uint32_t>(contents.picture.size()),
                      ImageTypeBmp);
        contents.picture.clear();
        contents.picture.shrink_to_fit();
        if (image.dibBlock) {
            HDC screen = GetDC(nullptr);
            PictureBitmap = image.ToDeviceBitmap(screen);
            ReleaseDC(nullptr, screen);
            PictureWidth = image.header.biWidth;
            PictureHeight = image.header.biHeight;
        }
    }
    if (!PictureBitmap || PictureWidth < 1 || PictureHeight < 1) {
        ShowFailure(DamagedText);
        return 1;
    }
    return 0;
}


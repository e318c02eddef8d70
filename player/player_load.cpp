// Reading the puzzle out of the player's own file and decoding its picture.
#include <windows.h>

#include <cstring>
#include <new>

#include "player_state.h"
#include "puzzle_key.h"
#include "vn_image.h"
#include "vn_tr.h"

HINSTANCE PlayerInstance;
PackageRecord Record;
std::string PuzzleKey;
PixelRows SourcePixels;
int PictureWidth;
int PictureHeight;
PlayerLayout Layout;
PuzzleBoard* Board;

namespace {

VnImage* SourceImage;  // owns the pixels SourcePixels points at

void ShowFailure(PuzzleFailure failure)
{
    PlayerMessage(PuzzleFailureText(failure), MB_OK | MB_ICONERROR);
}

// The image as 24-bit pixels: itself when it has them, else a widened copy.
VnImage* WidenTo24Bits(VnImage* image)
{
    if (image->header.biBitCount == 24)
        return image;
    const int32_t width = image->header.biWidth;
    const int32_t height = image->header.biHeight;
    VnImage* wide = new (std::nothrow) VnImage(width, height, 24, ImageTypeBmp);
    if (!wide || !wide->dibBlock) {
        delete wide;
        delete image;
        return nullptr;
    }
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = wide->imageInfo.pixels + static_cast<size_t>(y) * wide->imageInfo.rowStride;
        for (int32_t x = 0; x < width; ++x) {
            RGBQUAD colour = image->PixelColorAt(x, y);
            row[3 * x] = colour.rgbBlue;
            row[3 * x + 1] = colour.rgbGreen;
            row[3 * x + 2] = colour.rgbRed;
        }
    }
    delete image;
    return wide;
}

}  // namespace

std::string PuzzleFailureText(PuzzleFailure failure)
{
    switch (failure) {
    case PuzzleMissing: return Tr("This program holds no puzzle.");
    case PuzzleTooLarge: return Tr("The puzzle data is too large.");
    case PuzzleDamaged: break;
    }
    return Tr("The puzzle data is damaged.");
}

bool PreparePuzzle(PackageContents& contents, PuzzleFailure* failure)
{
    *failure = PuzzleDamaged;
    Record = contents.record;
    VnImage* image = new (std::nothrow) VnImage(ImageTypeBmp);
    if (!image) {
        *failure = PuzzleTooLarge;
        return false;
    }
    image->Decode(contents.picture.data(), static_cast<uint32_t>(contents.picture.size()),
                  ImageTypeBmp);
    if (!image->dibBlock || image->header.biWidth < 1 || image->header.biHeight < 1) {
        delete image;
        return false;
    }
    PictureWidth = image->header.biWidth;
    PictureHeight = image->header.biHeight;
    // The grid in play depends on the screen, so the key is completed once
    // the layout is known (see OpenPlayer); the hash is taken here, while the
    // package's picture is still held.
    PuzzleKey = PuzzleKeyName(contents.picture.data(), contents.picture.size(), contents.recordText,
                              0, false);
    std::vector<uint8_t>().swap(contents.picture);

    image = WidenTo24Bits(image);
    if (!image) {
        *failure = PuzzleTooLarge;
        return false;
    }
    delete SourceImage;
    SourceImage = image;
    // Bottom-up rows: the top row is the last one in the block.
    const ptrdiff_t stride = image->imageInfo.rowStride;
    SourcePixels.width = PictureWidth;
    SourcePixels.height = PictureHeight;
    SourcePixels.stride = -stride;
    SourcePixels.data = image->imageInfo.pixels + stride * (PictureHeight - 1);
    return true;
}

void ReleasePuzzle()
{
    delete SourceImage;
    SourceImage = nullptr;
    SourcePixels = PixelRows();
}

int LoadPuzzle()
{
    // By its wide name, which reaches the file from a folder whose name the
    // process's code page cannot spell. Grown until the whole name fits.
    std::vector<wchar_t> path(MAX_PATH + 1);
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            ShowFailure(PuzzleDamaged);
            return 1;
        }
        if (length < path.size() - 1)
            break;
        if (path.size() > 32768) {
            ShowFailure(PuzzleDamaged);
            return 1;
        }
        path.resize(path.size() * 2);
    }
    PackageContents contents;
    PackageStatus status = ReadPackageFile(path.data(), contents);
    if (status == PackageMissing) {
        ShowFailure(PuzzleMissing);
        return 1;
    }
    if (status == PackageTooLarge) {
        ShowFailure(PuzzleTooLarge);
        return 1;
    }
    if (status != PackageOk || contents.picture.empty()) {
        ShowFailure(PuzzleDamaged);
        return 1;
    }
    PuzzleFailure failure = PuzzleDamaged;
    if (!PreparePuzzle(contents, &failure)) {
        ShowFailure(failure);
        return 1;
    }
    return 0;
}

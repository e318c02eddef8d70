// Fuzz target for the BMP decoder through the from-memory constructor, the
// way the builder and the player decode a user's picture, and through a file.
// A decoded image must be one of the four layouts with a block that holds all
// its rows, and both kinds of stream must decode the same bytes alike. The
// fuzz build lowers the library's allocation limit (1 MiB), so inputs that
// declare huge pictures are refused quickly instead of slowing the run.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "vn_byte_stream.h"
#include "vn_image.h"

namespace {

void CheckImage(const VnImage& image)
{
    if (!image.dibBlock)
        return;
    const BITMAPINFOHEADER& h = image.header;
    if (h.biBitCount != 1 && h.biBitCount != 4 && h.biBitCount != 8 && h.biBitCount != 24)
        abort();
    if (h.biWidth <= 0 || h.biHeight <= 0 || h.biSize != 40)
        abort();
    if (static_cast<uint64_t>(image.imageInfo.rowStride) * h.biHeight != h.biSizeImage)
        abort();
    if (image.PixelBase() != image.imageInfo.pixels)
        abort();
    // The block reaches as far as the header says (the sanitizer checks).
    uint32_t sum = image.dibBlock[image.BlockSize() - 1];
    RGBQUAD corner = image.PixelColorAt(h.biWidth - 1, h.biHeight - 1);
    RGBQUAD origin = image.PixelColorAt(0, 0);
    volatile uint32_t sink = sum + corner.rgbRed + origin.rgbBlue;
    (void)sink;
}

// One scratch file for the whole run, rewritten for each input, so the disk
// kind of stream (fread, fseek, ftell) sees the same bytes as memory does.
FILE* ScratchFile()
{
    static FILE* file = tmpfile();
    return file;
}

bool Rewrite(FILE* file, const uint8_t* data, size_t size)
{
    if (!file || ftruncate(fileno(file), 0) != 0)
        return false;
    rewind(file);
    if (size && fwrite(data, 1, size, file) != size)
        return false;
    fflush(file);
    rewind(file);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    VnImage image(data, static_cast<uint32_t>(size), ImageTypeBmp);
    CheckImage(image);
    // The same bytes from a file: the disk stream's reads and seeks.
    FILE* file = ScratchFile();
    if (Rewrite(file, data, size)) {
        VnImage fromFile(file, ImageTypeBmp);
        CheckImage(fromFile);
        // Both kinds of stream must agree on what the bytes hold.
        if ((image.dibBlock == nullptr) != (fromFile.dibBlock == nullptr))
            abort();
        if (image.dibBlock && memcmp(image.dibBlock, fromFile.dibBlock, image.BlockSize()) != 0)
            abort();
    }
    // The same bytes after a prefix: the decoder starts where the stream stands.
    if (size > 3) {
        VnByteStream stream(data, static_cast<uint32_t>(size));
        stream.Seek(3, SEEK_SET);
        VnImage shifted(ImageTypeBmp);
        shifted.Decode(&stream, ImageTypeBmp);
        CheckImage(shifted);
    }
    return 0;
}

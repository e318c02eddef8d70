// Writes the seed corpus of the BMP fuzz target: one small bitmap of each
// layout the decoder takes, into the folder named on the command line.
#include <stdio.h>
#include <string>

#include "common/test_files.h"
#include "image/bmp_bytes.h"
#include "vn_win_types.h"

using namespace bmptest;

namespace {

bool Save(const std::string& folder, const char* name, const Bytes& bytes)
{
    return vntest::WriteFileBytes(folder + "/" + name, bytes);
}

Bytes Pixels(int width, int height, int bits)
{
    Bytes b;
    uint32_t row = RowBytes(width, bits);
    for (int y = 0; y < height; ++y)
        for (uint32_t i = 0; i < row; ++i)
            b.u8(static_cast<uint8_t>(i * 31 + y * 7));
    return b;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: seeds_bmp FOLDER\n");
        return 2;
    }
    const std::string dir = argv[1];
    Bytes masks565, masksOdd;
    masks565.u32(0xF800).u32(0x07E0).u32(0x001F);
    masksOdd.u32(0x000000FF).u32(0x0000FF00).u32(0xFF000000);
    const Bytes rle8{0x03, 0x07, 0x00, 0x00, 0x00, 0x03, 0x01, 0x02, 0x03, 0x00,
                     0x00, 0x02, 0x01, 0x01, 0x02, 0x09, 0x00, 0x01};
    const Bytes rle4{0x05, 0x5A, 0x00, 0x00, 0x00, 0x05, 0x12, 0x34, 0x50, 0x00,
                     0x00, 0x02, 0x01, 0x01, 0x03, 0x77, 0x00, 0x01};
    Bytes headerless = InfoHeader(3, 2, 8, BI_RGB);
    headerless.add(RampPalette(256)).add(Pixels(3, 2, 8));
    Bytes core;
    for (int i = 0; i < 16; ++i)
        core.u8(static_cast<uint8_t>(i * 16)).u8(static_cast<uint8_t>(i)).u8(static_cast<uint8_t>(255 - i));

    bool ok = true;
    ok &= Save(dir, "bits1.bmp", BmpFile(InfoHeader(13, 3, 1, BI_RGB), RampPalette(2), Pixels(13, 3, 1)));
    ok &= Save(dir, "bits4.bmp", BmpFile(InfoHeader(5, 3, 4, BI_RGB), RampPalette(16), Pixels(5, 3, 4)));
    ok &= Save(dir, "bits8.bmp", BmpFile(InfoHeader(5, 3, 8, BI_RGB), RampPalette(256), Pixels(5, 3, 8)));
    ok &= Save(dir, "bits24.bmp", BmpFile(InfoHeader(3, 3, 24, BI_RGB), {}, Pixels(3, 3, 24)));
    ok &= Save(dir, "topdown24.bmp", BmpFile(InfoHeader(3, -3, 24, BI_RGB), {}, Pixels(3, 3, 24)));
    ok &= Save(dir, "rle8.bmp", BmpFile(InfoHeader(4, 3, 8, BI_RLE8), RampPalette(256), rle8));
    ok &= Save(dir, "rle4.bmp", BmpFile(InfoHeader(7, 3, 4, BI_RLE4), RampPalette(16), rle4));
    ok &= Save(dir, "bits16.bmp", BmpFile(InfoHeader(3, 2, 16, BI_RGB), {}, Pixels(3, 2, 16)));
    ok &= Save(dir, "fields16.bmp", BmpFile(InfoHeader(3, 2, 16, BI_BITFIELDS), masks565, Pixels(3, 2, 16)));
    ok &= Save(dir, "bits32.bmp", BmpFile(InfoHeader(2, 2, 32, BI_RGB), {}, Pixels(2, 2, 32)));
    ok &= Save(dir, "fields32.bmp", BmpFile(InfoHeader(2, 2, 32, BI_BITFIELDS), masksOdd, Pixels(2, 2, 32)));
    ok &= Save(dir, "v5pal8.bmp", BmpFile(InfoHeader(3, 2, 8, BI_RGB, 3780, 3780, 124), RampPalette(256), Pixels(3, 2, 8)));
    ok &= Save(dir, "core4.bmp", BmpFile(CoreHeader(5, 2, 4), core, Pixels(5, 2, 4)));
    ok &= Save(dir, "headerless8.dib", headerless);
    if (!ok) {
        fprintf(stderr, "seeds_bmp: cannot write into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}

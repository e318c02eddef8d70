// Writes the seed corpus of the picture header fuzz target: the front of a
// file of each format, into the folder named on the command line.
#include <stdio.h>
#include <string>

#include "common/test_files.h"
#include "image/bmp_bytes.h"
#include "image/picture_bytes.h"

using namespace picturetest;

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: seeds_picture_header FOLDER\n");
        return 2;
    }
    const std::string dir = argv[1];
    bmptest::Bytes bmp = bmptest::FileHeader(54);
    bmp.add(bmptest::InfoHeader(30, -20, 24, 0));
    const struct {
        const char* name;
        Bytes bytes;
    } seeds[] = {
        {"bmp", bmp},
        {"headerless", bmptest::InfoHeader(3, 2, 8, 0)},
        {"png", PngHead(640, 480, 8, 6)},
        {"jpeg", JpegHead(400, 300)},
        {"jpeg_exif", JpegHead(400, 300, ExifSegment(6, true))},
        {"gif", GifHead(32, 16)},
        {"tiff_le", TiffHead(100, 50, 5, false)},
        {"tiff_be", TiffHead(100, 50, 0, true)},
    };
    for (const auto& seed : seeds)
        if (!vntest::WriteFileBytes(dir + "/" + seed.name, seed.bytes))
            return 1;
    return 0;
}

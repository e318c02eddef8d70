// Writes the seed corpus of the Exif fuzz target: JPEG fronts with Exif
// blocks in both byte orders, and a bare TIFF structure.
#include <stdio.h>
#include <string>

#include "common/test_files.h"
#include "image/picture_bytes.h"

using namespace picturetest;

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: seeds_exif FOLDER\n");
        return 2;
    }
    const std::string dir = argv[1];
    const struct {
        const char* name;
        Bytes bytes;
    } seeds[] = {
        {"exif_le", JpegHead(8, 8, ExifSegment(6, false))},
        {"exif_be", JpegHead(8, 8, ExifSegment(8, true))},
        {"tiff_ifd", TiffStructure({{0x0100, 4, 1, 9}, {0x0112, 3, 1, 3}}, false)},
    };
    for (const auto& seed : seeds)
        if (!vntest::WriteFileBytes(dir + "/" + seed.name, seed.bytes))
            return 1;
    return 0;
}

// Recognising a picture file by its leading bytes, and reading its format,
// pixel size and orientation from its header without decoding it. Portable
// and bounded: every offset is checked against the bytes given, nothing is
// allocated, so hostile bytes can at worst be refused.
#pragma once

#include <stddef.h>
#include <stdint.h>

enum VnPictureFormat : int {
    VnPictureUnknown = 0,
    VnPictureBmp,
    VnPicturePng,
    VnPictureJpeg,
    VnPictureGif,
    VnPictureTiff
};

// By the leading bytes only ("BM", the PNG signature, FF D8 FF, "GIF87a" or
// "GIF89a", "II*\0" or "MM\0*"). A headerless bitmap gives VnPictureUnknown;
// the BMP decoder still takes it.
VnPictureFormat VnSniffPictureFormat(const uint8_t* data, size_t size);

// "BMP" "PNG" "JPEG" "GIF" "TIFF", or "unknown".
const char* VnPictureFormatName(VnPictureFormat format);

// True for the compressed formats whose decoders ignore bytes after the end
// of the picture, so a package may pad their stored bytes with zeros to a
// multiple of 8: PNG, JPEG, GIF and TIFF.
bool VnPictureFormatIsPaddable(VnPictureFormat format);

struct VnPictureHeader {
    VnPictureFormat format;
    uint32_t width;
    uint32_t height;
    int orientation;  // 1..8 as in Exif; 1 for formats that carry none
};

// Reads the header of a bitmap (file or headerless info header), PNG (IHDR),
// JPEG (the frame header, and the Exif orientation), GIF (the logical screen)
// or TIFF (the first image file directory). False with *error set to a static
// text for anything else or a damaged header; *out is then untouched.
bool VnReadPictureHeader(const uint8_t* data, size_t size, VnPictureHeader* out, const char** error);

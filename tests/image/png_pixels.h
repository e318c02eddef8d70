// Reading back the PNG files the library writes, for the tests: the pixels
// (stb_image natively, the Windows Imaging Component through the library's
// own decoder on Windows) and the list of chunks.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "vn_image.h"

#ifndef _WIN32
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop
#endif

namespace pngtest {

struct Pixels {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> rgb;  // red, green, blue; top row first
};

// The pixels of a decoded image as it shows them (PixelColorAt).
inline Pixels PixelsOf(const VnImage& image)
{
    Pixels out;
    if (!image.dibBlock)
        return out;
    out.width = static_cast<uint32_t>(image.header.biWidth);
    out.height = static_cast<uint32_t>(image.header.biHeight);
    for (uint32_t top = 0; top < out.height; ++top) {
        for (uint32_t x = 0; x < out.width; ++x) {
            RGBQUAD c = image.PixelColorAt(static_cast<int32_t>(x), static_cast<int32_t>(out.height - 1 - top));
            out.rgb.push_back(c.rgbRed);
            out.rgb.push_back(c.rgbGreen);
            out.rgb.push_back(c.rgbBlue);
        }
    }
    return out;
}

// The picture file's pixels, decoded by the image library.
inline Pixels PixelsOf(const std::vector<uint8_t>& file)
{
    VnImage image(file.data(), static_cast<uint32_t>(file.size()), ImageTypeBmp);
    return PixelsOf(image);
}

inline bool DecodePng(const std::vector<uint8_t>& png, Pixels& out)
{
    out = Pixels();
#ifdef _WIN32
    out = PixelsOf(png);
    return out.width != 0;
#else
    int w = 0, h = 0, n = 0;
    stbi_uc* data = stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &w, &h, &n, 3);
    if (!data)
        return false;
    out.width = static_cast<uint32_t>(w);
    out.height = static_cast<uint32_t>(h);
    out.rgb.assign(data, data + static_cast<size_t>(w) * h * 3);
    stbi_image_free(data);
    return true;
#endif
}

// The chunk types in file order; empty when the file is not a PNG.
inline std::vector<std::string> ChunkTypes(const std::vector<uint8_t>& png)
{
    std::vector<std::string> types;
    if (png.size() < 8 || png[0] != 0x89 || png[1] != 'P')
        return types;
    for (size_t at = 8; at + 12 <= png.size();) {
        const uint32_t length = static_cast<uint32_t>(png[at]) << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
        types.emplace_back(reinterpret_cast<const char*>(&png[at + 4]), 4);
        at += 12 + static_cast<size_t>(length);
    }
    return types;
}

}  // namespace pngtest

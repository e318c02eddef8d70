#include "vn_png_write.h"

#include <string.h>

#include <new>

#include "vn_png_encode.h"

namespace {

const uint8_t PngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

uint32_t ReadBe32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | p[3];
}

bool IsColourChunk(const uint8_t* type)
{
    return !memcmp(type, "gAMA", 4) || !memcmp(type, "cHRM", 4);
}

}  // namespace

bool VnDropPngColourChunks(std::vector<uint8_t>* png)
{
    const std::vector<uint8_t>& in = *png;
    if (in.size() < sizeof PngSignature || memcmp(in.data(), PngSignature, sizeof PngSignature))
        return false;
    // First check that the chunks fill the file exactly, then copy the kept
    // ones down in place.
    size_t at = sizeof PngSignature;
    while (at < in.size()) {
        if (in.size() - at < 12)
            return false;
        const uint64_t length = ReadBe32(&in[at]);
        if (length > in.size() - at - 12)
            return false;
        at += 12 + static_cast<size_t>(length);
    }
    size_t kept = sizeof PngSignature;
    for (at = sizeof PngSignature; at < png->size();) {
        const size_t whole = 12 + static_cast<size_t>(ReadBe32(&(*png)[at]));
        if (!IsColourChunk(&(*png)[at + 4])) {
            memmove(&(*png)[kept], &(*png)[at], whole);
            kept += whole;
        }
        at += whole;
    }
    png->resize(kept);
    return true;
}

bool VnWritePng(const VnImage& image, std::vector<uint8_t>* png, const char** error)
{
    png->clear();
    const int32_t width = image.header.biWidth;
    const int32_t height = image.header.biHeight;
    if (!image.dibBlock || width < 1 || height < 1) {
        *error = "there is no picture to write";
        return false;
    }
    // The image itself was bounded when it was made; its 24-bit copy is
    // bounded the same way.
    const uint64_t bytes = static_cast<uint64_t>(width) * 3 * static_cast<uint64_t>(height);
    if (bytes > VnImageMaxBlockSize) {
        *error = "the picture is too large";
        return false;
    }
    uint8_t* pixels = new (std::nothrow) uint8_t[static_cast<size_t>(bytes)];
    if (!pixels) {
        *error = "not enough memory for the picture";
        return false;
    }
    const bool bgr = VnPngEncoderTakesBgr();
    uint8_t* out = pixels;
    // y = 0 is the bottom row; the file starts with the top one.
    for (int32_t y = height; y-- > 0;) {
        for (int32_t x = 0; x < width; ++x, out += 3) {
            const RGBQUAD colour = image.PixelColorAt(x, y);
            out[0] = bgr ? colour.rgbBlue : colour.rgbRed;
            out[1] = colour.rgbGreen;
            out[2] = bgr ? colour.rgbRed : colour.rgbBlue;
        }
    }
    bool ok = VnEncodePngPixels(pixels, static_cast<uint32_t>(width), static_cast<uint32_t>(height), png, error);
    delete[] pixels;
    if (ok && !VnDropPngColourChunks(png)) {
        *error = "the encoder wrote a damaged PNG file";
        ok = false;
    }
    if (!ok)
        png->clear();
    return ok;
}

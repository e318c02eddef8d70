// Fuzz target for the BMP decoder through the from-memory constructor, the
// way the builder and the player decode a user's picture. A decoded image
// must be one of the four layouts with a block that holds all its rows.
#include <stdint.h>
#include <stdlib.h>

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

uint32_t Little(const uint8_t* p, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes; i-- > 0;)
        v = v << 8 | p[i];
    return v;
}

// The pixel-array size the header at data[at] asks for, roughly. Pictures
// between 64 MiB and the decoder's 1 GiB limit are legal but cost the
// sanitizer a long time to map and clear; they run the same code as small
// ones, so the target leaves them out to keep its pace.
bool TooSlowToTry(const uint8_t* data, size_t size, size_t at)
{
    if (size >= at + 2 && data[at] == 'B' && data[at + 1] == 'M')
        at += 14;
    if (size < at + 16)
        return false;
    uint64_t width, height, bits;
    if (Little(data + at, 4) == 12) {
        width = Little(data + at + 4, 2);
        height = Little(data + at + 6, 2);
        bits = Little(data + at + 10, 2);
    } else {
        int32_t w = static_cast<int32_t>(Little(data + at + 4, 4));
        int32_t h = static_cast<int32_t>(Little(data + at + 8, 4));
        width = w < 0 ? 0 : static_cast<uint64_t>(w);
        height = h < 0 ? static_cast<uint64_t>(-static_cast<int64_t>(h)) : static_cast<uint64_t>(h);
        bits = Little(data + at + 14, 2);
    }
    uint64_t bytes = width * height * (bits > 8 ? 3 : 1);
    return bytes > (64u << 20) && bytes <= (1u << 30);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (TooSlowToTry(data, size, 0))
        return 0;
    VnImage image(data, static_cast<uint32_t>(size), ImageTypeBmp);
    CheckImage(image);
    // The same bytes after a prefix: the decoder starts where the stream stands.
    if (size > 3 && !TooSlowToTry(data, size, 3)) {
        VnByteStream stream(data, static_cast<uint32_t>(size));
        stream.Seek(3, SEEK_SET);
        VnImage shifted(ImageTypeBmp);
        shifted.Decode(&stream, ImageTypeBmp);
        CheckImage(shifted);
    }
    return 0;
}

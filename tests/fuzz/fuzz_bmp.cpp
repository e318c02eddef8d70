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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    VnImage image(data, static_cast<uint32_t>(size), ImageTypeBmp);
    CheckImage(image);
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

// Scaling a decoded picture down (or up) to the preview's size in one pass
// over its pixels, without a full-size device bitmap, so that a 4000x3000
// photo is shown about as fast as it decodes. Portable, tested natively.
#pragma once

#include <cstdint>
#include <vector>

class VnImage;

// The picture scaled to width x height: 24-bit blue-green-red pixels, top row
// first, each row padded to a multiple of 4 bytes (stride). Each preview
// pixel is the mean of the picture's pixels in the area it covers (the
// nearest pixel along an axis that is enlarged). Empty when the image has no
// pixels or a size is not positive.
struct PreviewPixels {
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<uint8_t> bgr;
};

PreviewPixels ScaleForPreview(const VnImage& image, int width, int height);

#include "preview_scale.h"

#include <algorithm>

#include "vn_image.h"

namespace {

// For each of the target's `to` pixels along one axis, the source pixels
// [first, end) it shows: the whole span it covers when reducing, the nearest
// one when enlarging.
struct Spans {
    std::vector<int32_t> first;
    std::vector<int32_t> end;
};

Spans MakeSpans(int32_t from, int to)
{
    Spans spans;
    spans.first.resize(static_cast<size_t>(to));
    spans.end.resize(static_cast<size_t>(to));
    for (int i = 0; i < to; ++i) {
        int32_t first, end;
        if (from > to) {
            first = static_cast<int32_t>(static_cast<int64_t>(i) * from / to);
            end = static_cast<int32_t>(static_cast<int64_t>(i + 1) * from / to);
        } else {
            first = static_cast<int32_t>((2 * static_cast<int64_t>(i) + 1) * from / (2 * to));
            end = first + 1;
        }
        spans.first[static_cast<size_t>(i)] = first < from ? first : from - 1;
        spans.end[static_cast<size_t>(i)] = end > spans.first[static_cast<size_t>(i)] ? end : first + 1;
    }
    return spans;
}

}  // namespace

PreviewPixels ScaleForPreview(const VnImage& image, int width, int height)
{
    PreviewPixels out;
    const int32_t sourceWidth = image.header.biWidth;
    const int32_t rows = image.header.biHeight;
    const int32_t sourceHeight = rows < 0 ? -rows : rows;
    if (!image.dibBlock || width < 1 || height < 1 || sourceWidth < 1 || sourceHeight < 1)
        return out;
    const bool bottomUp = rows > 0;
    const bool direct = image.header.biBitCount == 24 && image.header.biClrUsed == 0;

    const Spans across = MakeSpans(sourceWidth, width);
    const Spans down = MakeSpans(sourceHeight, height);
    out.width = width;
    out.height = height;
    out.stride = (width * 3 + 3) & ~3;
    out.bgr.assign(static_cast<size_t>(out.stride) * height, 0);

    // The mean of every source pixel in each target pixel's area: the rows of
    // one target row are summed column span by column span.
    std::vector<uint64_t> sums(static_cast<size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        std::fill(sums.begin(), sums.end(), 0ull);
        const int32_t firstRow = down.first[static_cast<size_t>(y)], endRow = down.end[static_cast<size_t>(y)];
        for (int32_t top = firstRow; top < endRow; ++top) {
            const int32_t row = bottomUp ? sourceHeight - 1 - top : top;
            const uint8_t* line = image.imageInfo.pixels + static_cast<size_t>(row) * image.imageInfo.rowStride;
            for (int x = 0; x < width; ++x) {
                uint64_t* sum = &sums[3 * static_cast<size_t>(x)];
                for (int32_t column = across.first[static_cast<size_t>(x)];
                     column < across.end[static_cast<size_t>(x)]; ++column) {
                    if (direct) {
                        const uint8_t* p = line + 3 * static_cast<size_t>(column);
                        sum[0] += p[0];
                        sum[1] += p[1];
                        sum[2] += p[2];
                    } else {
                        RGBQUAD c = image.PixelColorAt(column, row);
                        sum[0] += c.rgbBlue;
                        sum[1] += c.rgbGreen;
                        sum[2] += c.rgbRed;
                    }
                }
            }
        }
        uint8_t* target = &out.bgr[static_cast<size_t>(y) * out.stride];
        for (int x = 0; x < width; ++x) {
            const uint64_t count = static_cast<uint64_t>(endRow - firstRow) *
                                   static_cast<uint64_t>(across.end[static_cast<size_t>(x)] - across.first[static_cast<size_t>(x)]);
            for (int c = 0; c < 3; ++c)
                target[3 * x + c] = static_cast<uint8_t>((sums[3 * static_cast<size_t>(x) + c] + count / 2) / count);
        }
    }
    return out;
}

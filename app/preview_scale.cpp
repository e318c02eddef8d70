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

// Adds one row of 24-bit pixels to the sums of the target pixels whose
// spans it covers.
void AddRow(const uint8_t* line, const Spans& across, uint64_t* sums)
{
    const size_t width = across.first.size();
    for (size_t x = 0; x < width; ++x) {
        const uint8_t* p = line + 3 * static_cast<size_t>(across.first[x]);
        const uint8_t* end = line + 3 * static_cast<size_t>(across.end[x]);
        uint32_t blue = 0, green = 0, red = 0;
        for (; p < end; p += 3) {
            blue += p[0];
            green += p[1];
            red += p[2];
        }
        sums[3 * x] += blue;
        sums[3 * x + 1] += green;
        sums[3 * x + 2] += red;
    }
}

// The same for any other image, pixel by pixel through its colours.
void AddRowThroughPalette(const VnImage& image, int32_t row, const Spans& across, uint64_t* sums)
{
    const size_t width = across.first.size();
    for (size_t x = 0; x < width; ++x) {
        for (int32_t column = across.first[x]; column < across.end[x]; ++column) {
            RGBQUAD c = image.PixelColorAt(column, row);
            sums[3 * x] += c.rgbBlue;
            sums[3 * x + 1] += c.rgbGreen;
            sums[3 * x + 2] += c.rgbRed;
        }
    }
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
            if (direct)
                AddRow(image.imageInfo.pixels + static_cast<size_t>(row) * image.imageInfo.rowStride, across,
                       sums.data());
            else
                AddRowThroughPalette(image, row, across, sums.data());
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

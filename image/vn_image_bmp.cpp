#include "vn_image_bmp.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

#include "vn_byte_stream.h"
#include "vn_image_widen.h"

namespace {

const uint16_t BmpSignature = 0x4D42; // "BM"
const uint32_t CoreHeaderSize = 12;
const uint32_t InfoHeaderSize = 40;

// Failures inside the decoder are raised as their message and caught at the
// boundary of Decode.
[[noreturn]] void Fail(const char* message)
{
    throw message;
}

inline uint32_t Min(uint32_t a, uint32_t b)
{
    return a < b ? a : b;
}

// Rows that received at least one byte of a read of the given size.
inline uint32_t RowsHolding(uint32_t bytes, uint32_t rowBytes)
{
    return rowBytes ? static_cast<uint32_t>((static_cast<uint64_t>(bytes) + rowBytes - 1) / rowBytes) : 0;
}

// Hands out the bytes of run-length data one at a time while reading the
// stream in blocks; Finish returns the unused bytes to the stream so it
// stands right after the last code consumed.
class CodeReader {
public:
    explicit CodeReader(VnByteStream* stream) : stream_(stream), next_(0), end_(0) {}

    bool Next(uint8_t& value)
    {
        if (next_ == end_ && !Fill())
            return false;
        value = buffer_[next_++];
        return true;
    }

    // Copies up to count bytes into target (or drops them when target is
    // null); returns how many there were.
    uint32_t Take(uint8_t* target, uint32_t count)
    {
        uint32_t done = 0;
        while (done < count) {
            if (next_ == end_ && !Fill())
                break;
            uint32_t n = Min(count - done, end_ - next_);
            if (target)
                memcpy(target + done, buffer_ + next_, n);
            next_ += n;
            done += n;
        }
        return done;
    }

    void Finish()
    {
        if (next_ < end_)
            stream_->Seek(-static_cast<int32_t>(end_ - next_), SEEK_CUR);
        next_ = end_ = 0;
    }

private:
    bool Fill()
    {
        int32_t got = stream_->Read(buffer_, 1, sizeof(buffer_));
        if (got <= 0)
            return false;
        next_ = 0;
        end_ = static_cast<uint32_t>(got);
        return true;
    }

    VnByteStream* stream_;
    uint32_t next_;
    uint32_t end_;
    uint8_t buffer_[4096];
};

// Position arithmetic in 64 bits; a target the stream cannot express is
// reported as false.
bool SeekTo(VnByteStream* stream, int64_t target)
{
    if (target < 0 || target > INT32_MAX)
        return false;
    return stream->Seek(static_cast<int32_t>(target), SEEK_SET) == 0;
}

// 8-bit run-length pixels: one byte each.
struct Rle8Pixels {
    // count pixels of value from column x on.
    static void Repeat(uint8_t* row, uint32_t x, uint32_t count, uint8_t value)
    {
        memset(row + x, value, count);
    }

    // An absolute run of total pixels, padded to 16 bits, whose first inside
    // pixels are placed from column x on. False when the data ends inside it.
    static bool Copy(CodeReader& codes, uint8_t* row, uint32_t x, uint32_t total, uint32_t inside)
    {
        const uint32_t drop = total - inside + (total & 1);
        return codes.Take(inside ? row + x : nullptr, inside) == inside
            && codes.Take(nullptr, drop) == drop;
    }
};

// 4-bit run-length pixels, placed column by column: a pixel in a high half
// sets the byte, one in a low half joins it.
struct Rle4Pixels {
    static void Put(uint8_t* row, uint32_t column, uint8_t pixel)
    {
        uint8_t& byte = row[column >> 1];
        if (column & 1)
            byte |= pixel & 0x0F;
        else
            byte = static_cast<uint8_t>(pixel << 4);
    }

    // An encoded run alternates the value's high and low nibble, starting
    // with the high one wherever it starts.
    static void Repeat(uint8_t* row, uint32_t x, uint32_t count, uint8_t value)
    {
        const uint8_t pair[2] = {static_cast<uint8_t>(value >> 4), static_cast<uint8_t>(value & 0x0F)};
        for (uint32_t i = 0; i < count; ++i)
            Put(row, x + i, pair[i & 1]);
    }

    static bool Copy(CodeReader& codes, uint8_t* row, uint32_t x, uint32_t total, uint32_t inside)
    {
        const uint32_t bytes = (total + 1) / 2;
        for (uint32_t j = 0; j < bytes; ++j) {
            uint8_t data;
            if (!codes.Next(data))
                return false;
            if (2 * j < inside)
                Put(row, x + 2 * j, static_cast<uint8_t>(data >> 4));
            if (2 * j + 1 < inside)
                Put(row, x + 2 * j + 1, static_cast<uint8_t>(data & 0x0F));
        }
        uint8_t pad;
        return !(bytes & 1) || codes.Next(pad);
    }
};

// Run-length decoding, the same for both depths apart from how Pixels places
// pixels. A code pair (count, value) with a count is an encoded run; a zero
// count is an escape: 0 ends the line, 1 the bitmap, 2 moves by the next two
// bytes, and 3 to 255 start an absolute run of that many pixels. Pixels no
// run reaches stay zero; runs that pass the row's end (limit pixels) are
// clipped there, their codes still consumed; rows past the top reuse the row
// used last; the end of the data ends the bitmap.
template <class Pixels>
void DecodeRuns(VnByteStream* stream, uint8_t* pixels, size_t stride, uint32_t height, uint32_t limit)
{
    CodeReader codes(stream);
    uint8_t* row = pixels;
    uint32_t x = 0, y = 0;
    uint8_t count, value;
    while (codes.Next(count) && codes.Next(value)) {
        if (count == 0 && value == 0) {
            x = 0;
            y = Min(y + 1, height);
            continue;
        }
        if (count == 0 && value == 1)
            break;
        if (count == 0 && value == 2) {
            uint8_t dx, dy;
            if (!codes.Next(dx) || !codes.Next(dy))
                break;
            x = Min(x + dx, limit);
            y = Min(y + dy, height);
            continue;
        }
        if (y < height)
            row = pixels + y * stride;
        const uint32_t length = count != 0 ? count : value;
        const uint32_t inside = x < limit ? Min(length, limit - x) : 0;
        if (count != 0)
            Pixels::Repeat(row, x, inside, value);
        else if (!Pixels::Copy(codes, row, x, length, inside))
            break;
        x = Min(x + length, limit);
    }
    codes.Finish();
}

}  // namespace

VnImageBMP::VnImageBMP() : VnImage(ImageTypeBmp) {}

VnImageBMP::~VnImageBMP() {}

bool VnImageBMP::ReadInfoHeader(VnByteStream* stream, BITMAPINFOHEADER* target)
{
    uint32_t declared;
    return ReadAnyInfoHeader(stream, target, &declared);
}

bool VnImageBMP::ReadAnyInfoHeader(VnByteStream* stream, BITMAPINFOHEADER* target,
                                   uint32_t* declaredSize)
{
    if (!stream || !target)
        return false;
    // The size field first: a core header is complete after 12 bytes, so a
    // small core bitmap need not hold 40 bytes after its header's start.
    BITMAPINFOHEADER info;
    memset(&info, 0, sizeof(info));
    if (stream->Read(&info.biSize, sizeof(info.biSize), 1) == 0)
        return false;
    *declaredSize = info.biSize;
    if (info.biSize == CoreHeaderSize) {
        BITMAPCOREHEADER core;
        if (stream->Read(&core.bcWidth, CoreHeaderSize - sizeof(info.biSize), 1) == 0)
            return false;
        info.biWidth = core.bcWidth;
        info.biHeight = core.bcHeight;
        info.biPlanes = core.bcPlanes;
        info.biBitCount = core.bcBitCount;
        info.biCompression = BI_RGB;
    } else if (stream->Read(&info.biWidth, InfoHeaderSize - sizeof(info.biSize), 1) == 0) {
        return false;
    }
    info.biSize = InfoHeaderSize;
    *target = info;
    return true;
}

bool VnImageBMP::Decode(VnByteStream* stream)
{
    if (!stream)
        return false;
    try {
        DecodeOrFail(stream);
    } catch (const char* message) {
        StoreError(message);
        return false;
    }
    return true;
}

void VnImageBMP::DecodeOrFail(VnByteStream* stream)
{
    const int32_t start = stream->Tell();
    if (start < 0)
        Fail("Not a BMP");

    BITMAPFILEHEADER fileHeader;
    if (stream->Read(&fileHeader, sizeof(fileHeader), 1) == 0)
        Fail("Not a BMP");
    int64_t headerStart = static_cast<int64_t>(start) + sizeof(fileHeader);
    uint32_t offBits = fileHeader.bfOffBits;
    if (fileHeader.bfType != BmpSignature) {
        // A headerless bitmap: the info header starts right here.
        offBits = 0;
        stream->Seek(start, SEEK_SET);
        headerStart = start;
    }

    uint32_t declaredSize = 0;
    if (!ReadAnyInfoHeader(stream, &header, &declaredSize))
        Fail("Error reading BMP info");
    const bool core = declaredSize == CoreHeaderSize;

    const uint32_t compression = header.biCompression;
    const uint32_t bitCount = header.biBitCount;
    const bool paletted = bitCount == 1 || bitCount == 4 || bitCount == 8;
    const bool runLength = paletted && (compression == BI_RLE8 || compression == BI_RLE4);
    const bool topDown = header.biHeight < 0;
    // Run-length data is bottom-up by definition.
    if (runLength && topDown)
        Fail("compression type not supported");

    // Colour masks of 16- and 32-bit bit-field files follow the first 40
    // header bytes, inside longer headers or right after a 40-byte one.
    uint32_t masks[3] = {0, 0, 0};
    if (!core && compression == BI_BITFIELDS && (bitCount == 16 || bitCount == 32))
        stream->Read(masks, sizeof(masks), 1);
    // Longer headers (108, 124, ...): skip what lies beyond their first 40
    // bytes, so the palette is read from its own place.
    if (!core && declaredSize > InfoHeaderSize) {
        int64_t headerEnd = headerStart + declaredSize;
        if (headerEnd > stream->Tell())
            SeekTo(stream, headerEnd);
    }

    // Uncompressed 1-, 4-, 8- and 24-bit rows are read straight into the
    // pixel array, which then needs clearing only where the data falls
    // short; every other path starts from a zeroed array.
    bool readsWholeRows = compression == BI_RGB && (paletted || bitCount == 24);
    if (readsWholeRows) {
        // A stream that cannot hold the rows gets a zeroed array instead, so
        // the clearing never costs more than the data that is there.
        uint64_t rowBytes = (static_cast<uint64_t>(header.biWidth < 0 ? 0 : header.biWidth) * bitCount + 31) / 32 * 4;
        int64_t height = header.biHeight;
        uint64_t needed = rowBytes * static_cast<uint64_t>(height < 0 ? -height : height);
        int32_t size = stream->Size(), here = stream->Tell();
        if (size >= 0 && here >= 0 && (size < here || static_cast<uint64_t>(size - here) < needed))
            readsWholeRows = false;
    }
    if (!AllocateStorage(header.biWidth, header.biHeight, header.biBitCount, ImageTypeBmp,
                         !readsWholeRows))
        Fail("Can't allocate memory");

    imageInfo.xDpi = static_cast<int32_t>(floor(header.biXPelsPerMeter * 254.0 / 10000.0 + 0.5));
    imageInfo.yDpi = static_cast<int32_t>(floor(header.biYPelsPerMeter * 254.0 / 10000.0 + 0.5));

    ReadPalette(stream, core);

    if (offBits != 0 && !SeekTo(stream, static_cast<int64_t>(start) + offBits))
        stream->Seek(0, SEEK_END); // pixel data beyond any reach: none is read

    // The pixel steps below write only what the file holds; rows the data
    // never reached are zero.
    uint8_t* pixels = PixelBase();
    const uint32_t stride = imageInfo.rowStride;
    uint32_t rowsWithData = 0;
    if (paletted) {
        switch (compression) {
        case BI_RGB: rowsWithData = ReadWholeRows(stream, pixels, header.biSizeImage, stride); break;
        case BI_RLE8: DecodeRle8(stream); break;
        case BI_RLE4: DecodeRle4(stream); break;
        default: Fail("compression type not supported");
        }
    } else if (bitCount == 24) {
        if (compression != BI_RGB)
            Fail("unknown compression");
        rowsWithData = ReadWholeRows(stream, pixels, header.biSizeImage, stride);
    } else if (bitCount == 16) {
        if (compression == BI_BITFIELDS && (masks[0] | masks[1] | masks[2]))
            rowsWithData = Decode16(stream, masks[0], masks[1], masks[2]);
        else
            rowsWithData = Decode16(stream, 0x7C00, 0x03E0, 0x001F);
    } else if (bitCount == 32) {
        if (compression == BI_BITFIELDS && (masks[0] | masks[1] | masks[2]))
            rowsWithData = Decode32(stream, masks[0], masks[1], masks[2]);
        else if (compression == BI_BITFIELDS || compression == BI_RGB)
            rowsWithData = Decode32(stream, 0x00FF0000, 0x0000FF00, 0x000000FF);
        else
            Fail("unknown compression");
    }
    // Other depths have no pixel layout of their own: no pixel data is read.

    if (topDown)
        TurnRows(rowsWithData);
}

void VnImageBMP::ReadPalette(VnByteStream* stream, bool core)
{
    RGBQUAD* palette = PaletteEntries();
    if (!palette)
        return;
    const uint32_t count = header.biClrUsed;
    if (!core) {
        stream->Read(palette, 1, count * sizeof(RGBQUAD));
        return;
    }
    // Three-byte entries, widened in place from the last one down.
    uint8_t* bytes = reinterpret_cast<uint8_t*>(palette);
    stream->Read(bytes, 1, count * 3);
    for (uint32_t i = count; i-- > 0;) {
        uint8_t blue = bytes[3 * i], green = bytes[3 * i + 1], red = bytes[3 * i + 2];
        palette[i].rgbBlue = blue;
        palette[i].rgbGreen = green;
        palette[i].rgbRed = red;
        palette[i].rgbReserved = 0;
    }
}

// Reads up to count bytes straight into target in one block and returns
// how many arrived.
uint32_t VnImageBMP::ReadRows(VnByteStream* stream, uint8_t* target, uint32_t count)
{
    int32_t got = stream->Read(target, 1, count);
    return got > 0 ? static_cast<uint32_t>(got) : 0;
}

// Reads the rows into an array that was not cleared, and clears what the
// data did not reach. Returns the number of rows that received data.
uint32_t VnImageBMP::ReadWholeRows(VnByteStream* stream, uint8_t* target, uint32_t count,
                                   uint32_t stride)
{
    uint32_t got = ReadRows(stream, target, count);
    if (got < count)
        memset(target + got, 0, count - got);
    return RowsHolding(got, stride);
}

uint32_t VnImageBMP::Decode16(VnByteStream* stream, uint32_t red, uint32_t green, uint32_t blue)
{
    // Packed rows are never longer than the widened ones, so they are read
    // into the pixel array and widened in place, top row first. Rows past
    // the end of the data are zero packed and zero widened: left alone.
    using namespace vnwiden;
    const uint32_t width = static_cast<uint32_t>(header.biWidth);
    const uint32_t height = static_cast<uint32_t>(header.biHeight);
    const size_t packedRow = static_cast<size_t>((width + 1) / 2) * 4;
    const size_t stride = imageInfo.rowStride;
    const size_t padding = stride - 3 * static_cast<size_t>(width);
    const uint64_t packed = static_cast<uint64_t>(packedRow) * height;
    uint8_t* pixels = imageInfo.pixels;
    uint32_t rows = RowsHolding(ReadRows(stream, pixels, static_cast<uint32_t>(packed)),
                                static_cast<uint32_t>(packedRow));
    const Channel r = MakeChannel(red), g = MakeChannel(green), b = MakeChannel(blue);
    for (uint32_t y = rows; y-- > 0;) {
        uint8_t* dst = pixels + y * stride;
        WidenRow16(pixels + y * packedRow, dst, width, r, g, b);
        memset(dst + stride - padding, 0, padding);
    }
    return rows;
}

uint32_t VnImageBMP::Decode32(VnByteStream* stream, uint32_t red, uint32_t green, uint32_t blue)
{
    using namespace vnwiden;
    const uint32_t width = static_cast<uint32_t>(header.biWidth);
    const uint32_t height = static_cast<uint32_t>(header.biHeight);
    const size_t sourceRow = static_cast<size_t>(width) * 4;
    const size_t stride = imageInfo.rowStride;
    // The 4-byte pixels go through a buffer of a few rows at a time.
    size_t rowsPerBlock = sourceRow >= 65536 ? 1 : 65536 / sourceRow;
    if (rowsPerBlock > height)
        rowsPerBlock = height;
    uint8_t* buffer = static_cast<uint8_t*>(malloc(rowsPerBlock * sourceRow));
    if (!buffer)
        Fail("can't allocate memory");
    const Channel r = MakeChannel(red), g = MakeChannel(green), b = MakeChannel(blue);
    const size_t padding = stride - 3 * static_cast<size_t>(width);
    uint32_t y = 0;
    while (y < height) {
        uint32_t rows = Min(static_cast<uint32_t>(rowsPerBlock), height - y);
        uint32_t want = static_cast<uint32_t>(rows * sourceRow);
        uint32_t got = ReadRows(stream, buffer, want);
        if (got == 0)
            break; // the rest of the rows stay zero
        memset(buffer + got, 0, want - got);
        rows = RowsHolding(got, static_cast<uint32_t>(sourceRow));
        for (uint32_t i = 0; i < rows; ++i, ++y) {
            uint8_t* dst = imageInfo.pixels + y * stride;
            WidenRow32(buffer + i * sourceRow, dst, width, r, g, b);
            memset(dst + stride - padding, 0, padding);
        }
        if (got < want)
            break;
    }
    free(buffer);
    return y;
}

// A top-down file's rows arrive top row first; swap them into bottom-up
// order. Rows at or past rowsWithData are all zero, so pairs of them need
// no swap.
void VnImageBMP::TurnRows(uint32_t rowsWithData)
{
    const size_t stride = imageInfo.rowStride;
    uint8_t* pixels = imageInfo.pixels;
    uint8_t chunk[4096];
    for (uint32_t lo = 0, hi = static_cast<uint32_t>(header.biHeight) - 1;
         lo < hi && lo < rowsWithData; ++lo, --hi) {
        uint8_t* a = pixels + lo * stride;
        uint8_t* b = pixels + hi * stride;
        for (size_t done = 0; done < stride; done += sizeof(chunk)) {
            size_t n = stride - done < sizeof(chunk) ? stride - done : sizeof(chunk);
            memcpy(chunk, a + done, n);
            memcpy(a + done, b + done, n);
            memcpy(b + done, chunk, n);
        }
    }
}

void VnImageBMP::DecodeRle8(VnByteStream* stream)
{
    const uint32_t limit = Min(static_cast<uint32_t>(header.biWidth), imageInfo.rowStride);
    DecodeRuns<Rle8Pixels>(stream, imageInfo.pixels, imageInfo.rowStride,
                           static_cast<uint32_t>(header.biHeight), limit);
}

void VnImageBMP::DecodeRle4(VnByteStream* stream)
{
    const uint64_t columns = static_cast<uint64_t>(imageInfo.rowStride) * 2;
    const uint32_t limit = Min(static_cast<uint32_t>(header.biWidth),
                               columns > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(columns));
    DecodeRuns<Rle4Pixels>(stream, imageInfo.pixels, imageInfo.rowStride,
                           static_cast<uint32_t>(header.biHeight), limit);
}

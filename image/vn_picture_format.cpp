#include "vn_picture_format.h"

#include <string.h>

#include "vn_exif.h"

namespace {

const uint8_t PngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

const char* const NotAPicture = "not a supported picture format";
const char* const DamagedHeader = "the picture's header is damaged";
const char* const NoPixelSize = "the picture has no pixel size";

// Largest side any format here may claim; PNG's own limit.
const uint32_t MaxSide = 0x7FFFFFFFu;

uint16_t Little16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t Little32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[3]) << 24 | p[2] << 16 | p[1] << 8 | p[0];
}

uint16_t Big16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}

uint32_t Big32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

struct Result {
    const char* error;
    uint32_t width;
    uint32_t height;
    int orientation;
};

Result Fail(const char* error)
{
    return Result{error, 0, 0, 1};
}

Result Size(uint32_t width, uint32_t height, int orientation = 1)
{
    if (width == 0 || height == 0 || width > MaxSide || height > MaxSide)
        return Fail(NoPixelSize);
    return Result{nullptr, width, height, orientation};
}

bool ValidBitCount(uint32_t bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// An info header (40 bytes or longer) or a core header (12 bytes) at data.
Result ReadBitmapInfo(const uint8_t* data, size_t size)
{
    if (size < 4)
        return Fail(DamagedHeader);
    const uint32_t headerSize = Little32(data);
    if (headerSize == 12) {
        if (size < 12)
            return Fail(DamagedHeader);
        if (Little16(data + 8) != 1 || !ValidBitCount(Little16(data + 10)))
            return Fail(DamagedHeader);
        return Size(Little16(data + 4), Little16(data + 6));
    }
    if (headerSize < 40 || size < 40)
        return Fail(DamagedHeader);
    if (Little16(data + 12) != 1 || !ValidBitCount(Little16(data + 14)))
        return Fail(DamagedHeader);
    const int32_t width = static_cast<int32_t>(Little32(data + 4));
    const int32_t height = static_cast<int32_t>(Little32(data + 8));
    if (width <= 0 || height == 0 || height == INT32_MIN)
        return Fail(NoPixelSize);
    // A negative height is a top-down bitmap of that many rows.
    return Size(static_cast<uint32_t>(width), static_cast<uint32_t>(height < 0 ? -height : height));
}

Result ReadPng(const uint8_t* data, size_t size)
{
    // Signature, then the first chunk: length 13, type IHDR, width, height,
    // bit depth, colour type, compression, filter, interlace.
    if (size < 8 + 8 + 13)
        return Fail(DamagedHeader);
    const uint8_t* chunk = data + 8;
    if (Big32(chunk) != 13 || memcmp(chunk + 4, "IHDR", 4) != 0)
        return Fail(DamagedHeader);
    const uint8_t* ihdr = chunk + 8;
    const uint8_t depth = ihdr[8], colour = ihdr[9];
    bool valid;
    switch (colour) {
    case 0: valid = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16; break;
    case 3: valid = depth == 1 || depth == 2 || depth == 4 || depth == 8; break;
    case 2:
    case 4:
    case 6: valid = depth == 8 || depth == 16; break;
    default: valid = false;
    }
    if (!valid || ihdr[10] != 0 || ihdr[11] != 0 || ihdr[12] > 1)
        return Fail(DamagedHeader);
    return Size(Big32(ihdr), Big32(ihdr + 4));
}

bool IsFrameMarker(uint8_t marker)
{
    // SOF0..SOF15 except DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

Result ReadJpeg(const uint8_t* data, size_t size)
{
    size_t at = 2;
    while (at + 4 <= size) {
        if (data[at] != 0xFF)
            return Fail(DamagedHeader);
        const uint8_t marker = data[at + 1];
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        if (marker == 0xD8 || marker == 0xD9 || marker == 0xDA)
            return Fail(DamagedHeader);  // no frame header before the data
        const size_t length = Big16(data + at + 2);
        if (length < 2 || length > size - at - 2)
            return Fail(DamagedHeader);
        if (IsFrameMarker(marker)) {
            // Precision, height, width, component count.
            if (length < 8)
                return Fail(DamagedHeader);
            const uint8_t* frame = data + at + 4;
            return Size(Big16(frame + 3), Big16(frame + 1), VnExifOrientation(data, size));
        }
        at += 2 + length;
    }
    return Fail(DamagedHeader);
}

Result ReadGif(const uint8_t* data, size_t size)
{
    if (size < 10)
        return Fail(DamagedHeader);
    return Size(Little16(data + 6), Little16(data + 8));
}

Result ReadTiff(const uint8_t* data, size_t size)
{
    uint32_t width, height, orientation;
    if (!VnTiffFirstIfdValue(data, size, 256, &width) || !VnTiffFirstIfdValue(data, size, 257, &height))
        return Fail(DamagedHeader);
    if (!VnTiffFirstIfdValue(data, size, 274, &orientation) || orientation < 1 || orientation > 8)
        orientation = 1;
    return Size(width, height, static_cast<int>(orientation));
}

}  // namespace

VnPictureFormat VnSniffPictureFormat(const uint8_t* data, size_t size)
{
    if (!data)
        return VnPictureUnknown;
    if (size >= 8 && memcmp(data, PngSignature, 8) == 0)
        return VnPicturePng;
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF)
        return VnPictureJpeg;
    if (size >= 6 && (memcmp(data, "GIF87a", 6) == 0 || memcmp(data, "GIF89a", 6) == 0))
        return VnPictureGif;
    if (size >= 4 && (memcmp(data, "II*\0", 4) == 0 || memcmp(data, "MM\0*", 4) == 0))
        return VnPictureTiff;
    if (size >= 2 && data[0] == 'B' && data[1] == 'M')
        return VnPictureBmp;
    return VnPictureUnknown;
}

const char* VnPictureFormatName(VnPictureFormat format)
{
    switch (format) {
    case VnPictureBmp: return "BMP";
    case VnPicturePng: return "PNG";
    case VnPictureJpeg: return "JPEG";
    case VnPictureGif: return "GIF";
    case VnPictureTiff: return "TIFF";
    default: return "unknown";
    }
}

bool VnPictureFormatIsPaddable(VnPictureFormat format)
{
    return format == VnPicturePng || format == VnPictureJpeg || format == VnPictureGif
        || format == VnPictureTiff;
}

bool VnReadPictureHeader(const uint8_t* data, size_t size, VnPictureHeader* out, const char** error)
{
    const char* ignored;
    if (!error)
        error = &ignored;
    if (!data || !out) {
        *error = NotAPicture;
        return false;
    }
    VnPictureFormat format = VnSniffPictureFormat(data, size);
    Result result;
    switch (format) {
    case VnPictureBmp: result = size < 14 ? Fail(DamagedHeader) : ReadBitmapInfo(data + 14, size - 14); break;
    case VnPicturePng: result = ReadPng(data, size); break;
    case VnPictureJpeg: result = ReadJpeg(data, size); break;
    case VnPictureGif: result = ReadGif(data, size); break;
    case VnPictureTiff: result = ReadTiff(data, size); break;
    default: {
        // A headerless bitmap starts with its info header's size field; the
        // strict checks of the header keep other data out.
        const uint32_t headerSize = size >= 4 ? Little32(data) : 0;
        if (headerSize != 12 && headerSize != 40 && headerSize != 52 && headerSize != 56
            && headerSize != 64 && headerSize != 108 && headerSize != 124) {
            *error = NotAPicture;
            return false;
        }
        format = VnPictureBmp;
        result = ReadBitmapInfo(data, size);
        if (result.error)
            result.error = NotAPicture;
    }
    }
    if (result.error) {
        *error = result.error;
        return false;
    }
    out->format = format;
    out->width = result.width;
    out->height = result.height;
    out->orientation = result.orientation;
    return true;
}

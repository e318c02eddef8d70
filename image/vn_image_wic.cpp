// The Windows part of VnImageCompressed: the pixels of a PNG, JPEG, GIF or
// TIFF through the Windows Imaging Component. The first frame is converted
// to 32-bit BGRA (the one target every decoder reaches, on Windows and under
// Wine alike) and copied out in bands of rows, each placed into the 24-bit
// image at once, so no second full copy of the picture is ever held.
// Pictures with 16 bits a channel are read as they are and narrowed here.
#include "vn_image_compressed.h"

#include <stdlib.h>
#include <string.h>

#include "vn_image_orient.h"
#include "vn_wic_factory.h"

namespace {

// Rows copied out of the decoder at a time.
const uint32_t BandBytes = 1u << 20;

// Pixel layouts with 16 bits a channel that the decoders give as they are:
// read raw and brought to 8 bits here (the system's converter would just
// drop the low byte, which is not the inverse of widening 8 bits to 16).
enum DeepLayout { NotDeep, DeepRgb48, DeepRgba64, DeepGrey16 };

DeepLayout DeepLayoutOf(const WICPixelFormatGUID& format)
{
    if (IsEqualGUID(format, GUID_WICPixelFormat48bppRGB))
        return DeepRgb48;
    if (IsEqualGUID(format, GUID_WICPixelFormat64bppRGBA))
        return DeepRgba64;
    if (IsEqualGUID(format, GUID_WICPixelFormat16bppGray))
        return DeepGrey16;
    return NotDeep;
}

uint32_t DeepPixelBytes(DeepLayout layout)
{
    return layout == DeepRgb48 ? 6 : layout == DeepRgba64 ? 8 : 2;
}

// The 8-bit level of a 16-bit sample: v / 257, its integer part, so a value
// widened from 8 bits (c * 257) comes back as c; ImageMagick maps alike.
inline uint8_t To8(uint16_t v)
{
    return static_cast<uint8_t>(v / 257u);
}

// One row of 16-bit samples to 32-bit BGRA.
void DeepRowToBgra(DeepLayout layout, const uint16_t* src, uint8_t* dst, uint32_t width)
{
    for (uint32_t x = 0; x < width; ++x, dst += 4) {
        if (layout == DeepGrey16) {
            dst[0] = dst[1] = dst[2] = To8(src[x]);
            dst[3] = 255;
            continue;
        }
        const uint16_t* p = src + x * (layout == DeepRgb48 ? 3 : 4);
        dst[0] = To8(p[2]);
        dst[1] = To8(p[1]);
        dst[2] = To8(p[0]);
        dst[3] = layout == DeepRgba64 ? To8(p[3]) : 255;
    }
}

}  // namespace

bool VnImageCompressed::DecodePixels(const uint8_t* data, size_t size, int orientation)
{
    if (size > 0xFFFFFFFFu) {
        StoreError("the picture file is too large");
        return false;
    }
    // COM and the factory for this call only.
    VnWicFactory wic;
    IWICImagingFactory* factory = wic.factory;
    IWICStream* stream = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    uint8_t* band = nullptr;
    uint16_t* deepBand = nullptr;
    const char* error = nullptr;
    UINT width = 0, height = 0;

    if (!factory)
        error = wic.error;
    else if (FAILED(factory->CreateStream(&stream))
             || FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size))))
        error = "could not read the picture";
    else if (FAILED(factory->CreateDecoderFromStream(stream, NULL, WICDecodeMetadataCacheOnDemand, &decoder))
             || FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&width, &height)))
        error = "the picture is damaged or of an unsupported kind";
    else if (width == 0 || height == 0 || width > INT32_MAX || height > INT32_MAX)
        error = "the picture has no pixel size";
    else if ((static_cast<uint64_t>(width) * 3 + 3) / 4 * 4 * height + sizeof(BITMAPINFOHEADER)
                 > VnImageMaxBlockSize)
        // The frame may be larger than the header said (a GIF frame beyond
        // its screen); the limit holds for what is really allocated.
        error = "the picture is too large";
    WICPixelFormatGUID nativeFormat;
    const DeepLayout deep =
        !error && SUCCEEDED(frame->GetPixelFormat(&nativeFormat)) ? DeepLayoutOf(nativeFormat) : NotDeep;
    if (!error && deep == NotDeep
        && (FAILED(factory->CreateFormatConverter(&converter))
            || FAILED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, NULL,
                                            0.0, WICBitmapPaletteTypeCustom))))
        error = "the picture's pixels cannot be converted";

    if (!error) {
        uint32_t orientedWidth, orientedHeight;
        VnOrientedSize(orientation, width, height, &orientedWidth, &orientedHeight);
        const uint32_t rowBytes = width * 4;
        uint32_t bandRows = BandBytes / rowBytes;
        if (bandRows == 0)
            bandRows = 1;
        if (bandRows > height)
            bandRows = height;
        band = static_cast<uint8_t*>(malloc(static_cast<size_t>(bandRows) * rowBytes));
        const uint32_t deepRowBytes = deep == NotDeep ? 0 : width * DeepPixelBytes(deep);
        if (deep != NotDeep)
            deepBand = static_cast<uint16_t*>(malloc(static_cast<size_t>(bandRows) * deepRowBytes));
        // Every pixel is written below; only the row padding needs clearing.
        if (!band || (deep != NotDeep && !deepBand) || !AllocateStorage(static_cast<int32_t>(orientedWidth), static_cast<int32_t>(orientedHeight),
                                      24, ImageTypeBmp, false)) {
            error = "not enough memory for the picture";
        } else {
            const size_t stride = imageInfo.rowStride, used = 3 * static_cast<size_t>(orientedWidth);
            if (stride > used)
                for (uint32_t y = 0; y < orientedHeight; ++y)
                    memset(imageInfo.pixels + y * stride + used, 0, stride - used);
            for (uint32_t y = 0; y < height && !error; y += bandRows) {
                const uint32_t rows = height - y < bandRows ? height - y : bandRows;
                WICRect rect = {0, static_cast<INT>(y), static_cast<INT>(width), static_cast<INT>(rows)};
                if (deep == NotDeep) {
                    if (FAILED(converter->CopyPixels(&rect, rowBytes, rowBytes * rows, band)))
                        error = "the picture is damaged";
                } else if (FAILED(frame->CopyPixels(&rect, deepRowBytes, deepRowBytes * rows,
                                                    reinterpret_cast<BYTE*>(deepBand)))) {
                    error = "the picture is damaged";
                } else {
                    for (uint32_t i = 0; i < rows; ++i)
                        DeepRowToBgra(deep, deepBand + static_cast<size_t>(i) * deepRowBytes / 2,
                                      band + static_cast<size_t>(i) * rowBytes, width);
                }
                if (error)
                    break;
                if (!VnPlaceBgraBand(*this, orientation, width, height, VnBgraBand{band, rowBytes, y, rows}))
                    error = "the picture could not be placed";
            }
        }
    }

    free(band);
    free(deepBand);
    VnRelease(converter);
    VnRelease(frame);
    VnRelease(decoder);
    VnRelease(stream);
    if (error) {
        ReleaseStorage();
        StoreError(error);
        return false;
    }
    return true;
}

// PNG encoding through the Windows Imaging Component's PNG encoder, into a
// stream in memory that is copied out when the encoder is done.
#include "vn_png_encode.h"

#include <string.h>

#include <new>

#include "vn_wic_factory.h"

namespace {

// Rows handed to the encoder at a time.
const uint32_t BandBytes = 1u << 20;

// Copies the whole stream into png.
const char* CopyStream(IStream* stream, std::vector<uint8_t>* png)
{
    STATSTG stat;
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)))
        return "could not read the encoded picture";
    if (stat.cbSize.QuadPart > 0x7FFFFFFFull)
        return "the encoded picture is too large";
    HGLOBAL memory = NULL;
    if (FAILED(GetHGlobalFromStream(stream, &memory)))
        return "could not read the encoded picture";
    const size_t size = static_cast<size_t>(stat.cbSize.QuadPart);
    if (GlobalSize(memory) < size)
        return "could not read the encoded picture";
    const void* data = GlobalLock(memory);
    if (!data)
        return "could not read the encoded picture";
    const char* error = nullptr;
    try {
        png->assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
    } catch (const std::bad_alloc&) {
        error = "not enough memory to encode the picture";
    }
    GlobalUnlock(memory);
    return error;
}

}  // namespace

bool VnPngEncoderTakesBgr()
{
    return true;
}

bool VnEncodePngPixels(const uint8_t* pixels, uint32_t width, uint32_t height, std::vector<uint8_t>* png,
                       const char** error)
{
    png->clear();
    const uint64_t rowBytes = static_cast<uint64_t>(width) * 3;
    if (width == 0 || height == 0 || rowBytes > 0x7FFFFFFFull || width > INT32_MAX || height > INT32_MAX) {
        *error = "the picture is too large";
        return false;
    }
    // COM and the factory for this call only.
    VnWicFactory wic;
    IWICImagingFactory* factory = wic.factory;
    IStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IPropertyBag2* options = nullptr;
    const char* failure = nullptr;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;

    if (!factory)
        failure = wic.error;
    else if (FAILED(CreateStreamOnHGlobal(NULL, TRUE, &stream)))
        failure = "not enough memory to encode the picture";
    else if (FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, NULL, &encoder))
             || FAILED(encoder->Initialize(stream, WICBitmapEncoderNoCache)))
        failure = "the PNG encoder is not available";
    else if (FAILED(encoder->CreateNewFrame(&frame, &options)) || FAILED(frame->Initialize(options))
             || FAILED(frame->SetSize(width, height)) || FAILED(frame->SetPixelFormat(&format)))
        failure = "the PNG encoder refused the picture";
    else if (!IsEqualGUID(format, GUID_WICPixelFormat24bppBGR))
        failure = "the PNG encoder does not take 24-bit pixels";

    if (!failure) {
        const uint32_t stride = static_cast<uint32_t>(rowBytes);
        uint32_t bandRows = BandBytes / stride;
        if (bandRows == 0)
            bandRows = 1;
        for (uint32_t y = 0; y < height && !failure; y += bandRows) {
            const uint32_t rows = height - y < bandRows ? height - y : bandRows;
            BYTE* band = const_cast<BYTE*>(pixels + static_cast<size_t>(y) * stride);
            if (FAILED(frame->WritePixels(rows, stride, stride * rows, band)))
                failure = "the PNG encoder failed";
        }
    }
    if (!failure && (FAILED(frame->Commit()) || FAILED(encoder->Commit())))
        failure = "the PNG encoder failed";
    if (!failure)
        failure = CopyStream(stream, png);

    VnRelease(options);
    VnRelease(frame);
    VnRelease(encoder);
    VnRelease(stream);
    if (failure) {
        png->clear();
        *error = failure;
        return false;
    }
    return true;
}

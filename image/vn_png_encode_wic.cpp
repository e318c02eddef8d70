// PNG encoding through the Windows Imaging Component's PNG encoder, into a
// stream in memory that is copied out when the encoder is done.
#include "vn_png_encode.h"

#include <objbase.h>
#include <string.h>
#include <wincodec.h>

#include <new>

namespace {

// Rows handed to the encoder at a time.
const uint32_t BandBytes = 1u << 20;

template <class T>
void Release(T*& p)
{
    if (p) {
        p->Release();
        p = nullptr;
    }
}

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
    // COM for this call only, balanced below whenever this call started it.
    const HRESULT init = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    const bool uninitialise = SUCCEEDED(init);
    if (FAILED(init) && init != RPC_E_CHANGED_MODE) {
        *error = "the Windows Imaging Component is not available";
        return false;
    }

    IWICImagingFactory* factory = nullptr;
    IStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IPropertyBag2* options = nullptr;
    const char* failure = nullptr;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;

    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, NULL, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(&factory))))
        failure = "the Windows Imaging Component is not available";
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

    Release(options);
    Release(frame);
    Release(encoder);
    Release(stream);
    Release(factory);
    if (uninitialise)
        CoUninitialize();
    if (failure) {
        png->clear();
        *error = failure;
        return false;
    }
    return true;
}

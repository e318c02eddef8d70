// A photo-like picture for the Windows benchmarks: a 4000 x 3000 scene of
// smooth light, shapes and a little grain (so its JPEG is about as large as
// a 12-megapixel phone photo's), and its JPEG made with the Windows Imaging
// Component's encoder. COM must be started on the calling thread.
#pragma once

#include <objbase.h>
#include <wincodec.h>
#include <windows.h>

#include <stdint.h>

#include <string>
#include <vector>

namespace winbench {

const int PhotoWidth = 4000, PhotoHeight = 3000;

// Top-down 24-bit BGR pixels of the scene.
inline std::vector<uint8_t> ScenePixels()
{
    std::vector<uint8_t> bgr(static_cast<size_t>(PhotoWidth) * PhotoHeight * 3);
    uint32_t noise = 12345;
    for (int y = 0; y < PhotoHeight; ++y) {
        for (int x = 0; x < PhotoWidth; ++x) {
            noise = noise * 1664525u + 1013904223u;
            // Grain and fine texture, so the JPEG is about as large as a
            // 12-megapixel phone photo's (a few MB), not a smooth drawing's.
            const int grain = static_cast<int>((noise >> 24) & 31) - 15 + ((x / 3 + y / 2) % 7) * 2;
            int r, g, b;
            if (y < PhotoHeight / 2) {  // sky, lighter towards the horizon
                r = 60 + y * 80 / PhotoHeight;
                g = 120 + y * 80 / PhotoHeight;
                b = 230 - y * 30 / PhotoHeight;
            } else {  // ground, darker towards the front
                r = 70 - (y - PhotoHeight / 2) * 40 / PhotoHeight;
                g = 160 - (y - PhotoHeight / 2) * 60 / PhotoHeight;
                b = 60;
            }
            const int dx = x - 3000, dy = y - 700;
            if (dx * dx + dy * dy < 400 * 400) {  // the sun
                r = 250;
                g = 210;
                b = 60;
            }
            if (x > 1200 && x < 2200 && y > 1700 && y < 2500) {  // a house
                r = 200 - (x - 1200) / 20;
                g = 50;
                b = 40;
            }
            uint8_t* p = &bgr[(static_cast<size_t>(y) * PhotoWidth + x) * 3];
            p[0] = static_cast<uint8_t>(b + grain < 0 ? 0 : b + grain > 255 ? 255 : b + grain);
            p[1] = static_cast<uint8_t>(g + grain < 0 ? 0 : g + grain > 255 ? 255 : g + grain);
            p[2] = static_cast<uint8_t>(r + grain < 0 ? 0 : r + grain > 255 ? 255 : r + grain);
        }
    }
    return bgr;
}

// Encodes the pixels as a baseline JPEG at quality 0.9 with WIC.
inline bool WritePhotoJpeg(const std::string& path, std::vector<uint8_t>& bgr)
{
    std::wstring wide(path.begin(), path.end());
    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IPropertyBag2* options = nullptr;
    bool ok = SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, NULL, CLSCTX_INPROC_SERVER,
                                         IID_IWICImagingFactory, reinterpret_cast<void**>(&factory)))
        && SUCCEEDED(factory->CreateStream(&stream))
        && SUCCEEDED(stream->InitializeFromFilename(wide.c_str(), GENERIC_WRITE))
        && SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatJpeg, NULL, &encoder))
        && SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache))
        && SUCCEEDED(encoder->CreateNewFrame(&frame, &options));
    if (ok && options) {
        PROPBAG2 option = {};
        option.pstrName = const_cast<LPOLESTR>(L"ImageQuality");
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_R4;
        value.fltVal = 0.9f;
        options->Write(1, &option, &value);  // keeps the default when not supported
    }
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    ok = ok && SUCCEEDED(frame->Initialize(options)) && SUCCEEDED(frame->SetSize(PhotoWidth, PhotoHeight))
        && SUCCEEDED(frame->SetPixelFormat(&format)) && IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)
        && SUCCEEDED(frame->WritePixels(PhotoHeight, PhotoWidth * 3, static_cast<UINT>(bgr.size()), bgr.data()))
        && SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    if (options)
        options->Release();
    if (frame)
        frame->Release();
    if (encoder)
        encoder->Release();
    if (stream)
        stream->Release();
    if (factory)
        factory->Release();
    return ok;
}

}  // namespace winbench

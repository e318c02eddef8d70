// The loading front-end: every source becomes a VnByteStream, the codec
// decodes into a temporary image, and only a complete result moves into
// this one.
#include <stdlib.h>
#include <string.h>

#include "vn_byte_stream.h"
#include "vn_image.h"
#include "vn_image_bmp.h"

VnImage::VnImage(const uint8_t* buffer, uint32_t size, uint32_t imageType)
{
    InitEmpty(imageType);
    Decode(buffer, size, imageType);
}

VnImage::VnImage(VnByteStream* stream, uint32_t imageType)
{
    InitEmpty(imageType);
    Decode(stream, imageType);
}

VnImage::VnImage(FILE* file, uint32_t imageType)
{
    InitEmpty(imageType);
    Decode(file, imageType);
}

VnImage::VnImage(const char* fileName, uint32_t imageType)
{
    InitEmpty(imageType);
    Load(fileName, imageType);
}

bool VnImage::Decode(VnByteStream* stream, uint32_t imageType)
{
    if (imageType != ImageTypeBmp) {
        StoreError("Unsupported operation for this format");
        return false;
    }
    VnImageBMP decoded;
    if (!decoded.Decode(stream)) {
        StoreError(decoded.imageInfo.lastError);
        return false;
    }
    TakeOver(decoded);
    return true;
}

bool VnImage::Decode(const uint8_t* buffer, uint32_t size, uint32_t imageType)
{
    VnByteStream stream(buffer, size);
    return Decode(&stream, imageType);
}

bool VnImage::Decode(FILE* file, uint32_t imageType)
{
    VnByteStream stream(file);
    return Decode(&stream, imageType);
}

bool VnImage::Load(const char* fileName, uint32_t imageType)
{
    if (!fileName)
        return false;
    FILE* file = fopen(fileName, "rb");
    if (!file)
        return false;
    bool result = Decode(file, imageType);
    fclose(file);
    return result;
}

bool VnImage::Load(const wchar_t* fileName, uint32_t imageType)
{
    if (!fileName)
        return false;
#ifdef _WIN32
    FILE* file = _wfopen(fileName, L"rb");
#else
    // No wide file names here: convert to the locale's multibyte form.
    size_t length = wcstombs(nullptr, fileName, 0);
    if (length == static_cast<size_t>(-1))
        return false;
    char* narrow = static_cast<char*>(malloc(length + 1));
    if (!narrow)
        return false;
    wcstombs(narrow, fileName, length + 1);
    FILE* file = fopen(narrow, "rb");
    free(narrow);
#endif
    if (!file)
        return false;
    bool result = Decode(file, imageType);
    fclose(file);
    return result;
}

#ifdef _WIN32
bool VnImage::LoadFromResource(HRSRC resource, uint32_t imageType, HMODULE module)
{
    DWORD size = SizeofResource(module, resource);
    HGLOBAL memory = LoadResource(module, resource);
    if (!memory) {
        StoreError("Unable to load resource!");
        return false;
    }
    const uint8_t* bytes = static_cast<const uint8_t*>(LockResource(memory));
    if (!bytes)
        return false;
    return Decode(bytes, size, imageType);
}
#endif

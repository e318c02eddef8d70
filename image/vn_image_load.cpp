// The loading front-end: every source becomes a VnByteStream, the codec
// chosen by the stream's leading bytes decodes into a temporary image, and
// only a complete result moves into this one. PNG, JPEG, GIF and TIFF go to
// the compressed-picture decoder; everything else, headerless bitmaps
// included, to the BMP decoder.
#include <stdlib.h>
#include <string.h>

#include "vn_byte_stream.h"
#include "vn_image.h"
#include "vn_image_bmp.h"
#include "vn_image_compressed.h"
#include "vn_picture_format.h"

namespace {

// The format the stream's next bytes announce; the position is kept.
VnPictureFormat SniffStream(VnByteStream* stream)
{
    const int32_t start = stream->Tell();
    if (start < 0)
        return VnPictureUnknown;
    uint8_t lead[8];
    const int32_t got = stream->Read(lead, 1, sizeof(lead));
    stream->Seek(start, SEEK_SET);
    return got > 0 ? VnSniffPictureFormat(lead, static_cast<size_t>(got)) : VnPictureUnknown;
}

}  // namespace

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
    if (stream && VnPictureFormatIsPaddable(SniffStream(stream)))
        return DecodeCompressed(stream);
    VnImageBMP decoded;
    if (!decoded.Decode(stream)) {
        StoreError(decoded.imageInfo.lastError);
        return false;
    }
    TakeOver(decoded);
    return true;
}

// The compressed decoders read the whole file at once: a memory stream's
// bytes are used where they lie, a file's rest is read into a block first
// (bounded by the library's size limit). The stream ends after the file.
bool VnImage::DecodeCompressed(VnByteStream* stream)
{
    const int32_t start = stream->Tell(), end = stream->Size();
    if (start < 0 || end < start) {
        StoreError("could not read the picture");
        return false;
    }
    const uint32_t size = static_cast<uint32_t>(end - start);
    VnImageCompressed decoded;
    bool ok;
    if (stream->kind == VnByteStream::StreamKindMemory) {
        ok = decoded.Decode(static_cast<const uint8_t*>(stream->handle) + start, size);
    } else {
        if (size > VnImageMaxBlockSize) {
            StoreError("the picture file is too large");
            return false;
        }
        uint8_t* bytes = static_cast<uint8_t*>(malloc(size ? size : 1));
        if (!bytes) {
            StoreError("not enough memory for the picture file");
            return false;
        }
        const int32_t got = stream->Read(bytes, 1, size);
        ok = decoded.Decode(bytes, got > 0 ? static_cast<uint32_t>(got) : 0);
        free(bytes);
    }
    stream->Seek(end, SEEK_SET);
    if (!ok) {
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

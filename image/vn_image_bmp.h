// VnImageBMP: the decoder for Windows bitmap files and headerless
// device-independent bitmaps. Every accepted layout ends as one of the image
// object's four: 1, 4 or 8 bits with a palette, or 24 bits.
#pragma once

#include "vn_image.h"

class VnByteStream;

class VnImageBMP : public VnImage {
public:
    VnImageBMP();
    ~VnImageBMP() override;

    using VnImage::Decode;
    // Reads one bitmap from the stream's current position. False with a
    // lastError text when the bitmap cannot be decoded; false without one
    // for a null stream.
    bool Decode(VnByteStream* stream);
    // Reads an info header (or a core header, converted) into header; the
    // result always has biSize 40. False when the stream ends inside the
    // header (12 bytes for a core header, 40 for any other).
    bool ReadInfoHeader(VnByteStream* stream, BITMAPINFOHEADER* header);

private:
    bool ReadAnyInfoHeader(VnByteStream* stream, BITMAPINFOHEADER* header, uint32_t* declaredSize);
    void DecodeOrFail(VnByteStream* stream);
    void ReadPalette(VnByteStream* stream, bool core);
    uint32_t ReadRows(VnByteStream* stream, uint8_t* target, uint32_t count);
    uint32_t ReadWholeRows(VnByteStream* stream, uint8_t* target, uint32_t count, uint32_t stride);
    void DecodeRle8(VnByteStream* stream);
    void DecodeRle4(VnByteStream* stream);
    uint32_t Decode16(VnByteStream* stream, uint32_t red, uint32_t green, uint32_t blue);
    uint32_t Decode32(VnByteStream* stream, uint32_t red, uint32_t green, uint32_t blue);
    void TurnRows(uint32_t rowsWithData);
};

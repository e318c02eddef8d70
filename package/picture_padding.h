// Which picture files the package stores padded with zero bytes to a whole
// number of cipher blocks, so that every byte of them can be deciphered.
#pragma once

#include <cstddef>
#include <cstdint>

// True for PNG, JPEG, GIF and TIFF files, by their leading bytes: these end
// in a marker or are read by offsets, so their decoders ignore bytes after
// the end. Bitmaps (and anything else) are stored as they are.
bool PictureIsPadded(const uint8_t* data, size_t size);

// The length a picture of this many bytes is stored with.
uint32_t StoredPictureLength(const uint8_t* data, size_t size, uint32_t length);

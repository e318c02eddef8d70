// Reading the few values the library needs from the TIFF structures that
// carry picture metadata: the Exif block of a JPEG (APP1, "Exif\0\0", then a
// TIFF header and its first image file directory) and a TIFF file itself.
// Every offset is checked against the bytes given; nothing is allocated.
#pragma once

#include <stddef.h>
#include <stdint.h>

// The Exif orientation (1..8) of a JPEG file: 1 when the file has no Exif
// block, the block carries no orientation, or anything on the way is damaged.
int VnExifOrientation(const uint8_t* jpeg, size_t size);

// Looks up tag in the first image file directory of the TIFF structure at
// tiff (a byte-order mark "II" or "MM", 42, the directory's offset). Takes
// a single SHORT or LONG value; false when the structure is damaged or the
// tag is missing or of another kind.
bool VnTiffFirstIfdValue(const uint8_t* tiff, size_t size, uint16_t tag, uint32_t* value);

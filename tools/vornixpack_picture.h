// What vornixpack knows about a picture file's bytes: whether the puzzle can
// show it, and a one-line description of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The picture is decoded, as the builder and the player decode it: bitmaps
// by the image library's own decoder everywhere, PNG, JPEG, GIF and TIFF by
// the system's codecs on Windows; elsewhere, where those cannot be decoded,
// their header is read (format and pixel size).
bool PictureIsSupported(const uint8_t* data, size_t size);

// "JPEG, 4000 x 3000 pixels, orientation 6", or the format and why its
// header cannot be read.
std::string DescribePicture(const uint8_t* data, size_t size);

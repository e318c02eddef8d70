// What vornixpack knows about a picture file's bytes: whether the puzzle can
// show it, and a one-line description of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// On Windows the picture is decoded, as the builder and the player decode
// it; elsewhere, where the compressed formats cannot be decoded, its header
// is read (format and pixel size) and anything else is refused.
bool PictureIsSupported(const uint8_t* data, size_t size);

// "JPEG, 4000 x 3000 pixels, orientation 6", or the format and why its
// header cannot be read.
std::string DescribePicture(const uint8_t* data, size_t size);

// Writing a decoded picture as a PNG file: 8 bits a channel, RGB, the pixels
// as the image shows them (PixelColorAt), top row first. The file holds no
// gamma or chromaticity chunks (gAMA, cHRM), with which browsers would shift
// the colours slightly: what is written is what was decoded, value for value.
// The encoder is the Windows Imaging Component's on Windows and
// stb_image_write elsewhere.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

#include "vn_image.h"

// Encodes image into png. False with *error set to a static text when the
// image has no storage or cannot be encoded.
bool VnWritePng(const VnImage& image, std::vector<uint8_t>* png, const char** error);

// Removes every gAMA and cHRM chunk from the PNG file in png. False, with
// png unchanged, when the file is not a whole, well-formed chunk sequence.
bool VnDropPngColourChunks(std::vector<uint8_t>* png);

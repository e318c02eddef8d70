// The platform's PNG encoder behind VnWritePng: width x height pixels of
// three bytes each, rows top first and packed (no padding). The byte order
// of a pixel is the encoder's own: blue, green, red for the Windows Imaging
// Component, red, green, blue for stb_image_write.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

// True when the encoder takes blue, green, red.
bool VnPngEncoderTakesBgr();

// False with *error set to a static text when encoding fails.
bool VnEncodePngPixels(const uint8_t* pixels, uint32_t width, uint32_t height, std::vector<uint8_t>* png,
                       const char** error);

// Scaling a 24-bit picture to the size it is shown at, once per size, so that
// the tiles are cut from pixels that are already on-screen size. Portable.
//
// Along each side: a whole multiple repeats every pixel (sharp, as a picture
// enlarged by the player's opening size is meant to look), a smaller size
// averages the source pixels each target pixel covers (area filter: no
// aliasing on large pictures), any other larger size interpolates linearly.
#pragma once

#include <cstddef>
#include <cstdint>

// Rows of 24-bit pixels (blue, green, red), row 0 at the top; stride is the
// distance in bytes from one row to the next one down (negative for rows
// stored bottom-up, as in a device-independent bitmap).
struct PixelRows {
    uint8_t* data = nullptr;  // first byte of the top row
    int width = 0;
    int height = 0;
    ptrdiff_t stride = 0;

    uint8_t* Row(int y) const { return data + y * stride; }
};

// Scales source into target, filling all of target's pixels. Returns false,
// touching nothing, when either has no pixels or the scratch memory cannot be
// had.
bool ScalePixels(const PixelRows& source, const PixelRows& target);

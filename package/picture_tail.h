// Filling in the end of a picture that the file does not hold: the builder
// writes only the picture's own length of its enciphered, zero-padded
// section, so the bytes of the final partial block cannot be deciphered.
#pragma once

#include <cstdint>

// Fills the last missingCount bytes of a picture file, which the file does not
// hold, with the bytes one pixel row earlier (the row below in a bottom-up
// bitmap) when the bitmap header tells the row length, else with zeros.
void FillPictureTail(uint8_t* picture, uint32_t length, uint32_t missingCount);

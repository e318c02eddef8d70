// The name a puzzle's best results are kept under: a hash of the picture and
// the settings record exactly as the player reads them back out of a puzzle
// program. A web page made from the same picture and settings carries the
// same name, so one puzzle has one key whichever target it was built as.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// 16 hex digits of a 64-bit FNV-1a hash of the picture and the record, then
// "-" and the grid played when the player had to reduce the grid (a reduced
// game is a different game).
std::string PuzzleKeyName(const uint8_t* picture, size_t pictureSize, const std::string& record,
                          int gridInPlay, bool gridReduced);

// The key (without a grid suffix) of the puzzle program that a build makes
// from this picture file and record: the picture as the package reader gives
// it back, zero-padded for the formats the package pads, else with its last
// (length % 8) bytes filled in as the reader fills them. Those few bytes of
// picture are changed while the hash is taken and restored before it returns.
std::string PackagePuzzleKey(uint8_t* picture, uint32_t length, const std::string& record);

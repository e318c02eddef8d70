// Whether a file's bytes are the player program a puzzle starts with: a
// Windows executable whose image (with its signature, when signed) ends
// where the file ends. An empty file and a finished puzzle, which has its
// package after the image, are not.
#pragma once

#include <cstddef>
#include <string>

// The status text of a build refused for its stub.
extern const char PlayerProgramNotValid[];  // "Error - the player program is not valid."

// Why the bytes are not a player program ("the file is empty", "it is not a
// Windows program", ...), or empty when they are one.
std::string PlayerProgramFault(const unsigned char* data, size_t length);

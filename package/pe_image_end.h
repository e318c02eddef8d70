// Where a Windows executable's own image ends in its file: the furthest end
// of the headers, of any section's raw data, of a COFF symbol table with its
// string table, and of a certificate table. The package that the builder
// appends to the player stub begins there.
#pragma once

#include <cstddef>
#include <cstdint>

// Returns nullptr and sets stubLength, or a failure text. Every field is
// checked against the file's size before it is used.
const char* FindStubLength(const uint8_t* file, size_t size, uint32_t* stubLength);

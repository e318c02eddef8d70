// Size of an open file: seeks to its end, takes the position and rewinds.
// Returns -1 when the size cannot be taken.
#pragma once

#include <cstdio>

long MeasureFile(FILE* file);

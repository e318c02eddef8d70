// The initial Blowfish tables: the hexadecimal digits of pi's fractional part.
// The data lives in blowfish_init_tables.cpp, written by
// tools/gen_blowfish_tables.py.
#pragma once

#include <cstdint>

extern const uint32_t BlowfishInitP[18];
extern const uint32_t BlowfishInitS[1024];

// The fixed key shared by the builder and the player: 128 non-zero bytes and
// a terminating zero.
#pragma once

extern const unsigned char PackageKey[129];

// The package key: 119 printable ASCII characters and 9 bytes above 0x7F,
// 128 in all, none of them zero. Keying reads only its first 72 bytes; the
// rest stay because the player is built with this very definition.
// Each byte above 0x7F is its own literal so no hexadecimal escape swallows
// the character after it.
#include "package_key.h"

const unsigned char PackageKey[129] =
    "Vornix~\xA7" "SDK/puzzle-pa\xB5" "ckage:ke\xC9" "y{slide every"
    "\xD3" " piece home, \xE1" "one square a\xF6" "t a time; the\x8B"
    " empty cell i\x9E" "s grey}#2x3*4\xFE" "+5=19!Q@zW&j^%";

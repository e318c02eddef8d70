// Recovering the end of a settings record that the file does not hold: the
// builder writes only the record's own length of the enciphered, zero-padded
// section, so the last (length % 8) bytes are found again by searching the
// final block's few unknown plaintext bytes for the stored ciphertext.
#pragma once

#include <cstdint>
#include <string>

// Recovers the last (recordLength % 8) bytes of a record that cannot be
// deciphered from the file. known holds the deciphered whole blocks; stored
// the trailing bytes of the section as they lie in the file. On success the
// recovered bytes are appended to known.
bool RecoverRecordTail(std::string& known, const uint8_t* stored, uint32_t storedCount);

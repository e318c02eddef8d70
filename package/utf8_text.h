// Cutting UTF-8 text to a byte limit without splitting a character.
//
// Limits on the form's texts and the settings record are counted in bytes.
// When a text is longer than its limit, the cut must not fall inside a
// multi-byte UTF-8 sequence, or the kept text would end in a broken
// character. Bytes that do not form a well-made sequence (text in an 8-bit
// code page, say) are taken as single characters, so such text is cut
// exactly at the limit as before.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// How many of the first length bytes of text to keep so that at most limit
// bytes remain and the kept text does not end inside a UTF-8 sequence:
// length itself when it fits, else limit or a little less (at most three
// bytes less).
size_t Utf8CutLength(const char* text, size_t length, size_t limit);

// text cut with Utf8CutLength.
std::string Utf8Cut(const std::string& text, size_t limit);

// Reads one character of UTF-8 text at text[at] (at < length), as a browser
// decodes a page: a well-formed sequence gives its code point; otherwise the
// longest start of a sequence that could still have been well-formed (at
// least one byte) stands for U+FFFD. Returns the number of bytes read.
size_t Utf8DecodeAt(const char* text, size_t length, size_t at, uint32_t* codePoint);

// Length of the well-formed UTF-8 character at text[at] (at < length), with
// its code point, or 0 where the bytes there are not one.
size_t Utf8WellFormedAt(const char* text, size_t length, size_t at, uint32_t* codePoint);

// Whether the whole text is well-formed UTF-8 (plain ASCII included).
bool IsUtf8Text(const std::string& text);

// Base64 with the standard alphabet and "=" padding: how a web page carries
// its picture. Encoding goes out in pieces, so a large picture is never held
// twice as text; decoding follows the browser's atob: ASCII white space is
// skipped, padding may be left off, anything else outside the alphabet is
// refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Length of the encoded text of size bytes (a multiple of 4).
uint64_t Base64Length(uint64_t size);

// Receives the encoded text piece by piece; false stops the encoding.
typedef std::function<bool(const char* text, size_t length)> Base64Sink;

// Encodes size bytes without line breaks. False when the sink refused a piece.
bool Base64Encode(const uint8_t* data, size_t size, const Base64Sink& sink);

// Decodes text into out. Null on success, else why the text is not base64.
const char* Base64Decode(const char* text, size_t length, std::vector<uint8_t>& out);

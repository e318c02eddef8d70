#include "utf8_text.h"

#include <cstring>

namespace {

bool IsContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// Length of the sequence a lead byte opens (2 to 4), or 0 for a byte that
// opens no multi-byte sequence.
size_t SequenceLength(unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

}  // namespace

size_t Utf8CutLength(const char* text, size_t length, size_t limit)
{
    if (length <= limit)
        return length;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    // The byte just after the cut continues a sequence only when it is a
    // continuation byte; walk back to the lead byte (at most three steps).
    if (!IsContinuation(bytes[limit]))
        return limit;
    size_t lead = limit;
    while (lead > 0 && limit - lead < 3 && IsContinuation(bytes[lead - 1]))
        --lead;
    if (lead == 0)
        return limit;
    --lead;
    const size_t sequence = SequenceLength(bytes[lead]);
    // Cut before the lead byte only when it really opens a sequence that
    // runs past the limit and every byte of it up to the limit continues it.
    if (sequence == 0 || lead + sequence <= limit)
        return limit;
    return lead;
}

std::string Utf8Cut(const std::string& text, size_t limit)
{
    return text.substr(0, Utf8CutLength(text.data(), text.size(), limit));
}

size_t Utf8DecodeAt(const char* text, size_t length, size_t at, uint32_t* codePoint)
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    const unsigned char lead = bytes[at];
    *codePoint = 0xFFFD;
    if (lead < 0x80) {
        *codePoint = lead;
        return 1;
    }
    const size_t sequence = SequenceLength(lead);
    if (sequence == 0)
        return 1;
    // The second byte's range excludes overlong forms, surrogates and code
    // points past U+10FFFF.
    unsigned char low = 0x80, high = 0xBF;
    if (lead == 0xE0)
        low = 0xA0;
    else if (lead == 0xED)
        high = 0x9F;
    else if (lead == 0xF0)
        low = 0x90;
    else if (lead == 0xF4)
        high = 0x8F;
    uint32_t value = lead & (0x7F >> sequence);
    size_t k = 1;
    for (; k < sequence && at + k < length; ++k) {
        const unsigned char c = bytes[at + k];
        if (k == 1 ? (c < low || c > high) : !IsContinuation(c))
            return k;
        value = value << 6 | (c & 0x3F);
    }
    if (k < sequence)
        return k;
    *codePoint = value;
    return sequence;
}

size_t Utf8WellFormedAt(const char* text, size_t length, size_t at, uint32_t* codePoint)
{
    const size_t read = Utf8DecodeAt(text, length, at, codePoint);
    // U+FFFD stands for bytes that are no character, unless it is written
    // there itself.
    if (*codePoint == 0xFFFD && !(read == 3 && std::memcmp(text + at, "\xEF\xBF\xBD", 3) == 0))
        return 0;
    return read;
}

bool IsUtf8Text(const std::string& text)
{
    uint32_t codePoint = 0;
    for (size_t at = 0; at < text.size();) {
        const size_t read = Utf8WellFormedAt(text.data(), text.size(), at, &codePoint);
        if (read == 0)
            return false;
        at += read;
    }
    return true;
}

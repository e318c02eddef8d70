#include "utf8_text.h"

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

size_t Utf8SequenceAt(const std::string& text, size_t at, uint32_t* codePoint)
{
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    const size_t length = SequenceLength(lead);
    if (length == 0 || at + length > text.size())
        return 0;
    uint32_t value = lead & (0xFF >> (length + 1));
    for (size_t k = 1; k < length; ++k) {
        const unsigned char c = static_cast<unsigned char>(text[at + k]);
        if (!IsContinuation(c))
            return 0;
        value = (value << 6) | (c & 0x3F);
    }
    const uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < smallest[length] || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF)
        return 0;
    *codePoint = value;
    return length;
}

bool IsUtf8Text(const std::string& text)
{
    for (size_t at = 0; at < text.size();) {
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            ++at;
            continue;
        }
        uint32_t codePoint = 0;
        const size_t length = Utf8SequenceAt(text, at, &codePoint);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

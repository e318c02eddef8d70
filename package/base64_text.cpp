#include "base64_text.h"

#include <new>

namespace {

const char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Bytes encoded per piece handed to the sink: 12 KB of input, 16 KB of text
// (held on the stack).
const size_t PieceBytes = 3 * 4096;

// The six bits a character stands for, or -1 for a character outside the
// alphabet.
int SextetOf(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

// The white space atob skips: tab, line feed, form feed, carriage return, space.
bool IsAsciiSpace(unsigned char c)
{
    return c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
}

}  // namespace

uint64_t Base64Length(uint64_t size)
{
    return (size + 2) / 3 * 4;
}

bool Base64Encode(const uint8_t* data, size_t size, const Base64Sink& sink)
{
    char text[PieceBytes / 3 * 4];
    size_t at = 0;
    while (at < size) {
        const size_t piece = size - at < PieceBytes ? size - at : PieceBytes;
        const uint8_t* in = data + at;
        char* out = text;
        size_t k = 0;
        for (; k + 3 <= piece; k += 3, out += 4) {
            const uint32_t v = static_cast<uint32_t>(in[k]) << 16 | in[k + 1] << 8 | in[k + 2];
            out[0] = Alphabet[v >> 18];
            out[1] = Alphabet[v >> 12 & 63];
            out[2] = Alphabet[v >> 6 & 63];
            out[3] = Alphabet[v & 63];
        }
        if (k < piece) {  // the last one or two bytes, only in the last piece
            const bool two = piece - k == 2;
            const uint32_t v = static_cast<uint32_t>(in[k]) << 16 | (two ? in[k + 1] << 8 : 0);
            out[0] = Alphabet[v >> 18];
            out[1] = Alphabet[v >> 12 & 63];
            out[2] = two ? Alphabet[v >> 6 & 63] : '=';
            out[3] = '=';
            out += 4;
        }
        if (!sink(text, static_cast<size_t>(out - text)))
            return false;
        at += piece;
    }
    return true;
}

const char* Base64Decode(const char* text, size_t length, std::vector<uint8_t>& out)
{
    out.clear();
    // Count the characters that carry data, so the output is sized once.
    size_t count = 0;
    size_t padding = 0;
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (IsAsciiSpace(c))
            continue;
        if (c == '=') {
            ++padding;
            continue;
        }
        if (padding)
            return "base64 text continues after its padding";
        if (SextetOf(c) < 0)
            return "not base64 text";
        ++count;
    }
    // Padding, when present, fills the last group of four exactly.
    if (padding && ((count + padding) % 4 != 0 || padding > 2))
        return "base64 padding is wrong";
    if (count % 4 == 1)
        return "base64 text is cut short";
    try {
        out.resize(count / 4 * 3 + (count % 4 ? count % 4 - 1 : 0));
    } catch (const std::bad_alloc&) {
        return "not enough memory for the decoded bytes";
    }
    uint32_t bits = 0;
    int held = 0;
    size_t written = 0;
    for (size_t i = 0; i < length && written < out.size(); ++i) {
        const int sextet = SextetOf(static_cast<unsigned char>(text[i]));
        if (sextet < 0)
            continue;
        bits = bits << 6 | static_cast<uint32_t>(sextet);
        held += 6;
        if (held >= 8) {
            held -= 8;
            out[written++] = static_cast<uint8_t>(bits >> held);
        }
    }
    return nullptr;
}

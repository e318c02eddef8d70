#include "vornixpack_text.h"

#include <cstdio>

namespace {

void AppendEscaped(std::string& out, unsigned char byte)
{
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", byte);
    out += hex;
}

// Length of the well-formed UTF-8 sequence at text[at] (2 to 4 bytes) and its
// code point, or 0 when there is none.
size_t Utf8Sequence(const std::string& text, size_t at, uint32_t* codePoint)
{
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    size_t length;
    uint32_t value;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        const unsigned char c = static_cast<unsigned char>(text[at + k]);
        if ((c & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (c & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    const uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < smallest[length] || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF)
        return 0;
    *codePoint = value;
    return length;
}

}  // namespace

std::string EscapeControlBytes(const std::string& text)
{
    std::string out;
    for (size_t at = 0; at < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if (c == '\\') {
            out += "\\\\";
            ++at;
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
            ++at;
        } else if (c < 0x80) {
            AppendEscaped(out, c);
            ++at;
        } else {
            uint32_t codePoint = 0;
            const size_t length = Utf8Sequence(text, at, &codePoint);
            if (length == 0 || codePoint <= 0x9F) {
                // Not a character, or a C1 control: each byte escaped.
                const size_t count = length ? length : 1;
                for (size_t k = 0; k < count; ++k)
                    AppendEscaped(out, static_cast<unsigned char>(text[at + k]));
                at += count;
            } else {
                out.append(text, at, length);
                at += length;
            }
        }
    }
    return out;
}

std::string FormatFileSize(uint64_t bytes)
{
    if (bytes < 1024)
        return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    const char* units[] = {"KB", "MB", "GB", "TB"};
    double value = static_cast<double>(bytes) / 1024;
    int unit = 0;
    while (value >= 1024 && unit < 3) {
        value /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
    return text;
}

#include "vornixpack_text.h"

#include <cstdio>

#include "utf8_text.h"

namespace {

void AppendEscaped(std::string& out, unsigned char byte)
{
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", byte);
    out += hex;
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
            const size_t length = Utf8WellFormedAt(text.data(), text.size(), at, &codePoint);
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

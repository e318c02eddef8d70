// Writing a web page's settings as JSON that can stand inside an HTML data
// block.
#include "web_page_settings.h"

namespace {

const char HexDigits[] = "0123456789abcdef";

void AppendUnicodeEscape(std::string& out, uint32_t unit)
{
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += HexDigits[unit >> shift & 15];
}

// The length of the well-formed UTF-8 sequence at text[at] (2 to 4 bytes)
// and its code point, or 0 when the bytes there form none: a stray
// continuation byte, an overlong form, a surrogate, a code point past
// U+10FFFF or a cut sequence.
size_t Utf8Sequence(const std::string& text, size_t at, uint32_t* codePoint)
{
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    size_t length;
    uint32_t low = 0x80, high = 0xBF;  // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() - at < length)
        return 0;
    uint32_t value = lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        const unsigned char c = static_cast<unsigned char>(text[at + k]);
        if (k == 1 ? (c < low || c > high) : (c & 0xC0) != 0x80)
            return 0;
        value = value << 6 | (c & 0x3F);
    }
    *codePoint = value;
    return length;
}

// A JSON string. Besides the quote and the backslash, "<", ">", "&", every
// control character (C0, DEL and C1) and the line and paragraph separators
// are written as \u escapes; malformed UTF-8 becomes U+FFFD.
void AppendJsonString(std::string& out, const std::string& text)
{
    out += '"';
    for (size_t at = 0; at < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if (c < 0x80) {
            if (c == '"' || c == '\\') {
                out += '\\';
                out += static_cast<char>(c);
            } else if (c < 0x20 || c == 0x7F || c == '<' || c == '>' || c == '&') {
                AppendUnicodeEscape(out, c);
            } else {
                out += static_cast<char>(c);
            }
            ++at;
            continue;
        }
        uint32_t codePoint = 0;
        const size_t length = Utf8Sequence(text, at, &codePoint);
        if (length == 0) {
            AppendUnicodeEscape(out, 0xFFFD);
            ++at;
        } else if (codePoint <= 0x9F || codePoint == 0x2028 || codePoint == 0x2029) {
            AppendUnicodeEscape(out, codePoint);
            at += length;
        } else {
            out.append(text, at, length);
            at += length;
        }
    }
    out += '"';
}

void AppendMember(std::string& out, const char* name)
{
    if (out.size() > 1)
        out += ", ";
    out += '"';
    out += name;
    out += "\": ";
}

void AppendText(std::string& out, const char* name, const std::string& value)
{
    AppendMember(out, name);
    AppendJsonString(out, value);
}

void AppendNumber(std::string& out, const char* name, long long value)
{
    AppendMember(out, name);
    out += std::to_string(value);
}

}  // namespace

std::string ComposeWebSettings(const WebPageSettings& settings)
{
    std::string out = "{";
    AppendNumber(out, "version", settings.version);
    AppendNumber(out, "grid", settings.grid);
    AppendMember(out, "shuffle");
    out += settings.shuffle ? "true" : "false";
    AppendText(out, "winUrl", settings.winUrl);
    AppendText(out, "company", settings.company);
    AppendText(out, "site", settings.site);
    AppendText(out, "tagline", settings.tagline);
    AppendText(out, "pictureType", settings.pictureType);
    AppendNumber(out, "pictureWidth", settings.pictureWidth);
    AppendNumber(out, "pictureHeight", settings.pictureHeight);
    AppendText(out, "bestKey", settings.bestKey);
    out += '}';
    return out;
}

// Writing a web page's settings as JSON that can stand inside an HTML data
// block.
#include "web_page_settings.h"

#include "utf8_text.h"

namespace {

const char HexDigits[] = "0123456789abcdef";

void AppendUnicodeEscape(std::string& out, uint32_t unit)
{
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += HexDigits[unit >> shift & 15];
}

// A JSON string. Besides the quote and the backslash, "<", ">", "&", every
// control character (C0, DEL and C1) and the line and paragraph separators
// are written as \u escapes; malformed UTF-8 becomes U+FFFD (written as an
// escape too), as a browser would show it.
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
        const size_t length = Utf8DecodeAt(text.data(), text.size(), at, &codePoint);
        if (codePoint == 0xFFFD || codePoint <= 0x9F || codePoint == 0x2028 || codePoint == 0x2029)
            AppendUnicodeEscape(out, codePoint);
        else
            out.append(text, at, length);
        at += length;
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

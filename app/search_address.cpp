#include "search_address.h"

#include "utf8_text.h"

namespace {

bool IsUnreservedByte(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           c == '-' || c == '_' || c == '.' || c == '~';
}

// Percent-encodes every byte but the unreserved ones; a space becomes
// spaceText.
std::string Encode(const char* phrase, const char* spaceText)
{
    static const char hexDigits[] = "0123456789ABCDEF";
    std::string encoded;
    if (!phrase)
        return encoded;
    size_t length = 0;
    while (length < static_cast<size_t>(SearchPhraseMaxLength) + 1 && phrase[length] != '\0')
        ++length;
    length = Utf8CutLength(phrase, length, SearchPhraseMaxLength);
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(phrase[i]);
        if (c == ' ') {
            encoded += spaceText;
        } else if (IsUnreservedByte(c)) {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += hexDigits[c >> 4];
            encoded += hexDigits[c & 0x0F];
        }
    }
    return encoded;
}

}  // namespace

std::string EncodeSearchPhrase(const char* phrase)
{
    return Encode(phrase, "+");
}

std::string EncodeSearchPathSegment(const char* phrase, char spaceAs)
{
    const char space[2] = {spaceAs, '\0'};
    std::string segment = Encode(phrase, spaceAs ? space : "%20");
    // "." and ".." as a whole segment are the folder itself and its parent:
    // a browser would resolve them away and open another page.
    if (segment == ".")
        return "%2E";
    if (segment == "..")
        return "%2E%2E";
    return segment;
}

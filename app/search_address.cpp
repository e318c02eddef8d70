#include "search_address.h"

#include <cstring>

namespace {

bool IsUnreservedByte(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           c == '-' || c == '_' || c == '.' || c == '~';
}

}  // namespace

std::string EncodeSearchPhrase(const char* phrase)
{
    static const char hexDigits[] = "0123456789ABCDEF";
    std::string encoded;
    if (!phrase)
        return encoded;
    for (int i = 0; i < SearchPhraseMaxLength && phrase[i] != '\0'; ++i) {
        unsigned char c = static_cast<unsigned char>(phrase[i]);
        if (c == ' ') {
            encoded += '+';
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

std::string FormatSearchAddress(const char* urlTemplate, const std::string& value)
{
    std::string address = urlTemplate ? urlTemplate : "";
    std::string::size_type slot = address.find("%s");
    if (slot != std::string::npos)
        address.replace(slot, 2, value);
    return address;
}

std::string SearchAddress(int service, const char* phrase)
{
    if (service < 0 || service >= SearchServiceCount)
        return std::string();
    return FormatSearchAddress(SearchUrlTemplates[service], EncodeSearchPhrase(phrase));
}

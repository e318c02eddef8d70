#include "package_record.h"

#include <cstdio>
#include <cstring>

#include "utf8_text.h"

namespace {

// A form text as the builder reads it: a C string cut to limit bytes, on a
// UTF-8 character boundary.
std::string FormText(const std::string& text, size_t limit)
{
    return Utf8Cut(std::string(text.c_str()), limit);
}

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Case-insensitive (ASCII letters only) search for a lower-case needle.
bool ContainsNoCase(const std::string& text, const char* lowerNeedle)
{
    const size_t length = std::strlen(lowerNeedle);
    for (size_t at = 0; at + length <= text.size(); ++at) {
        size_t k = 0;
        while (k < length && LowerAscii(text[at + k]) == lowerNeedle[k])
            ++k;
        if (k == length)
            return true;
    }
    return false;
}

bool EqualsNoCase(const std::string& text, const char* lowerWord)
{
    const std::string word(lowerWord);
    if (text.size() != word.size())
        return false;
    for (size_t k = 0; k < word.size(); ++k) {
        if (LowerAscii(text[k]) != word[k])
            return false;
    }
    return true;
}

// "|" written as "%7C": the address's meaning for a browser, without the
// record's separator.
std::string EscapeSeparators(const std::string& address)
{
    std::string escaped;
    for (char c : address) {
        if (c == '|')
            escaped += "%7C";
        else
            escaped += c;
    }
    return escaped;
}

// The escaped address cut to limit bytes: never inside a UTF-8 character
// and never inside a "%7C" that stands for a "|".
std::string CutEscapedAddress(const std::string& address, size_t limit)
{
    size_t length = Utf8CutLength(address.data(), address.size(), limit);
    for (size_t back = 1; back <= 2 && back <= length; ++back) {
        if (address.compare(length - back, 3, "%7C") == 0) {
            length -= back;
            break;
        }
    }
    return address.substr(0, length);
}

std::string AboutField(const std::string& text)
{
    std::string field = FormText(text, AboutTextLimit);
    return field.empty() ? std::string(" ") : field;
}

}  // namespace

bool HoldsWebScheme(const std::string& text)
{
    return ContainsNoCase(text, "http://") || ContainsNoCase(text, "https://");
}

std::string NormaliseWinAddress(const std::string& typed)
{
    std::string address = FormText(typed, WinAddressLimit);
    if (!HoldsWebScheme(address))
        address = "HTTP://" + address;
    if (EqualsNoCase(address, "http://") || EqualsNoCase(address, "https://"))
        return "NONE";
    return CutEscapedAddress(EscapeSeparators(address), WinAddressFieldLimit);
}

bool AboutTextsHoldSeparator(const PackageSettings& settings)
{
    return FormText(settings.companyName, AboutTextLimit).find('|') != std::string::npos ||
           FormText(settings.webSite, AboutTextLimit).find('|') != std::string::npos;
}

std::string ComposePackageInfoRecord(const PackageSettings& settings)
{
    char grid[16];
    std::snprintf(grid, sizeof grid, "%d", settings.gridSize);

    std::string record(grid);
    record += '|';
    record += AboutField(settings.companyName);
    record += '|';
    record += AboutField(settings.webSite);
    record += '|';
    record += AboutField(settings.tagLine);
    record += '|';
    record += settings.shuffle ? "YES" : "NO";
    record += '|';
    record += NormaliseWinAddress(settings.winAddress);
    record += "|END";
    return record;
}

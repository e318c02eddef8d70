// Texts on Windows: the program's string resources, in the language that
// Windows' resource loader picks for the user (the display language, else
// English). String 2 of each language's table holds its plural rule.
#include <windows.h>

#include <cstdlib>

#include "vn_text.h"

namespace {

const int PluralRuleString = 2;

}  // namespace

std::string VnSystemText(int id)
{
    // With a zero length LoadStringW gives a pointer to the resource's own
    // characters, which are not terminated.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(GetModuleHandleW(nullptr), static_cast<UINT>(id),
                                   reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text)
        return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return std::string();
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, &utf8[0], size, nullptr, nullptr);
    return utf8;
}

VnWideText VnWide(const std::string& utf8)
{
    int length = 0;
    if (!utf8.empty())
        length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    VnWideText wide(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    return wide;
}

int VnSystemPluralRule()
{
    static int rule = -1;
    if (rule < 0)
        rule = std::atoi(VnSystemText(PluralRuleString).c_str());
    return rule;
}

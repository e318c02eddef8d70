#include "control_text.h"

#include <vector>

#include "utf8_text.h"

namespace {

UINT ActualCodePage(UINT codePage)
{
    return codePage == CP_ACP ? GetACP() : codePage;
}

}  // namespace

std::string ReadControlText(HWND control)
{
    int length = GetWindowTextLengthA(control);
    if (length <= 0)
        return std::string();
    // The length may be an overestimate (it can count a character's bytes
    // twice); the copy reports the true one.
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(control, buffer.data(), length + 1);
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

std::string CutText(const std::string& text, size_t limit, UINT codePage)
{
    if (text.size() <= limit)
        return text;
    codePage = ActualCodePage(codePage);
    if (codePage == CP_UTF8)
        return text.substr(0, Utf8CutLength(text.data(), text.size(), limit));
    // Single- and double-byte code pages: walk whole characters.
    const char* start = text.c_str();
    const char* p = start;
    while (*p) {
        const char* next = CharNextExA(static_cast<WORD>(codePage), p, 0);
        if (next == p || static_cast<size_t>(next - start) > limit)
            break;
        p = next;
    }
    return text.substr(0, static_cast<size_t>(p - start));
}

std::string TextToUtf8(const std::string& text, UINT codePage)
{
    codePage = ActualCodePage(codePage);
    if (codePage == CP_UTF8 || text.empty())
        return text;
    int wideLength = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), NULL, 0);
    if (wideLength <= 0)
        return std::string();
    std::vector<wchar_t> wide(static_cast<size_t>(wideLength));
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), wideLength);
    int utf8Length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, NULL, 0, NULL, NULL);
    if (utf8Length <= 0)
        return std::string();
    std::string utf8(static_cast<size_t>(utf8Length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, &utf8[0], utf8Length, NULL, NULL);
    return utf8;
}

std::wstring WideFromAcp(const std::string& text)
{
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, NULL, 0);
    if (length <= 0)
        return std::wstring();
    std::vector<wchar_t> wide(static_cast<size_t>(length));
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    return std::wstring(wide.data());
}

std::string AcpFromWide(const std::wstring& text)
{
    int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, NULL, 0, NULL, NULL);
    if (length <= 0)
        return std::string();
    std::vector<char> narrow(static_cast<size_t>(length));
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, narrow.data(), length, NULL, NULL);
    return std::string(narrow.data());
}

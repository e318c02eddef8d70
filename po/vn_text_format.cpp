// Filling a text's placeholders.
#include "vn_text.h"

std::string VnFormat(const std::string& pattern, std::initializer_list<VnTextArg> args)
{
    std::string out;
    out.reserve(pattern.size() + 16);
    const VnTextArg* next = args.begin();
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        const char kind = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        if (c != '%') {
            out += c;
        } else if (kind == '%') {
            out += '%';
            ++i;
        } else if ((kind == 'd' || kind == 'u' || kind == 's') && next != args.end()) {
            out += next->text;
            ++next;
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

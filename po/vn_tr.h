// Tr("English text") and TrN("singular", "plural", n): a program's texts
// asked for by their English, gettext's way. The build extracts every such
// text from the program's sources and numbers it (vn_text_ids.h, generated
// for the program being built); here the number is found at compile time,
// so the English itself is not in the program twice and a text that is not
// among the program's texts does not compile.
#pragma once

#include <cstring>
#include <string>

#include "vn_text.h"
#include "vn_text_ids.h"

template <int Id>
struct VnTextNumber {
    static_assert(Id > 0, "this text is not among the program's extracted texts "
                          "(Tr and TrN take literal texts; see tools/texts/vn_texts.py)");
    static constexpr int value = Id;
};

#define Tr(english) VnText(VnTextNumber<VnTextIds::Find(english)>::value)
#define TrN(singular, plural, n) \
    VnTextPlural(VnTextNumber<VnTextIds::FindPlural(singular, plural)>::value, (n))

// A text handed on in English (marked N_ where it is written, or reported
// in English by portable code) in the user's language: looked up by its
// English among the program's texts; itself when it is none of them.
inline std::string VnTranslated(const char* english)
{
    if (!english)
        return std::string();
    for (const VnTextIds::Entry& entry : VnTextIds::Entries)
        if (entry.english && !entry.plural && std::strcmp(entry.msgid, english) == 0) {
            std::string text = VnText(entry.id);
            return text.empty() ? std::string(english) : text;
        }
    return english;
}

// Tr("English text") and TrN("singular", "plural", n): a program's texts
// asked for by their English, gettext's way. The build extracts every such
// text from the program's sources and numbers it (vn_text_ids.h, generated
// for the program being built); here the number is found at compile time,
// so the English itself is not in the program twice and a text that is not
// among the program's texts does not compile.
#pragma once

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

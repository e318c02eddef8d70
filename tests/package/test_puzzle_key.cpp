// The puzzle key: what names a puzzle's best results. (That a web page
// carries the key the Windows player takes from the program built from the
// same picture and settings is tested with the page's build.)
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "puzzle_key.h"

namespace {

TEST(PuzzleKey, NamesTellPuzzlesApart)
{
    const uint8_t a[] = {1, 2, 3};
    const uint8_t b[] = {1, 2, 4};
    std::set<std::string> names = {
        PuzzleKeyName(a, 3, "4| |x|y|NO|NONE|END", 4, false),
        PuzzleKeyName(b, 3, "4| |x|y|NO|NONE|END", 4, false),
        PuzzleKeyName(a, 3, "5| |x|y|NO|NONE|END", 5, false),
        PuzzleKeyName(a, 2, "\x03" "4| |x|y|NO|NONE|END", 4, false),  // bytes moved across
        PuzzleKeyName(a, 3, "4| |x|y|NO|NONE|END", 3, true),
    };
    EXPECT_EQ(5u, names.size());
    std::string name = PuzzleKeyName(a, 3, "r", 4, false);
    EXPECT_EQ(16u, name.size());
    EXPECT_EQ(std::string::npos, name.find_first_not_of("0123456789abcdef"));
    EXPECT_EQ(name, PuzzleKeyName(a, 3, "r", 9, false));  // the grid counts only when reduced
    EXPECT_EQ(name + "-3", PuzzleKeyName(a, 3, "r", 3, true));
    // FNV-1a of the empty picture, the separating zero and "r", as the
    // player has always written it.
    EXPECT_EQ("08325607b4eb1af7", PuzzleKeyName(nullptr, 0, "r", 0, false));
}

}  // namespace

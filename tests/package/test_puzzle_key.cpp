// The puzzle key: what names a puzzle's best results. A web page carries the
// key that the Windows player computes for the program built from the same
// picture and settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "../image/picture_bytes.h"
#include "package_build.h"
#include "package_reader.h"
#include "package_record.h"
#include "package_test_util.h"
#include "puzzle_key.h"
#include "test_stub.h"

namespace {

using pkgtest::Bytes;

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

class PackageKeyTest : public pkgtest::ScratchTest {};

// For each kind of picture file, the key computed from the file and the
// settings equals the key the player computes from the program that
// BuildTarget writes, and the picture's bytes are left as they were.
TEST_F(PackageKeyTest, EqualsTheKeyThePlayerTakesFromTheProgram)
{
    const Bytes stub = vntest::PeStubBytes(777);
    pkgtest::WriteAll(Path("stub.exe"), stub);
    struct Row {
        const char* what;
        Bytes picture;
    } rows[] = {
        // A bitmap of odd length: the player fills in its last 3 bytes from
        // the row below, which differs from the file's own bytes here.
        {"bitmap, tail filled", vntest::Bmp24File(7, 4, [](int x, int top, uint8_t* bgr) {
             bgr[0] = static_cast<uint8_t>(x * 30 + top);
             bgr[1] = static_cast<uint8_t>(top * 50);
             bgr[2] = 200;
         })},
        {"JPEG, padded", pkgtest::Pattern(99, 2)},
        {"PNG, padded", picturetest::PngHead(3, 3, 8, 6)},
        {"GIF, whole blocks", pkgtest::Pattern(64, 3)},
        {"unknown bytes, tail zeroed", pkgtest::Pattern(61, 4)},
    };
    rows[0].picture.resize(rows[0].picture.size() - 3);  // 54 + 4 * 24 - 3: 147 bytes
    rows[1].picture[0] = 0xFF;  // FF D8 FF: a JPEG by its leading bytes
    rows[1].picture[1] = 0xD8;
    rows[1].picture[2] = 0xFF;
    std::copy_n("GIF89a", 6, rows[3].picture.begin());
    for (Row& row : rows) {
        pkgtest::WriteAll(Path("picture"), row.picture);
        TargetBuildRequest request;
        request.targetPath = Path("t.exe");
        request.picturePath = Path("picture");
        request.stubPath = Path("stub.exe");
        request.settings.gridSize = 5;
        request.settings.companyName = "Acme";
        request.settings.tagLine = "one|two";
        request.settings.winAddress = "example.com/won";
        ASSERT_EQ(TargetBuildDone, BuildTarget(request, nullptr)) << row.what;

        PackageContents contents;
        const Bytes target = pkgtest::ReadFileBytes(request.targetPath);
        ASSERT_EQ(PackageOk, ReadPackageAfterStub(target.data(), target.size(),
                                                  static_cast<uint32_t>(stub.size()), contents))
            << row.what;
        const std::string players =
            PuzzleKeyName(contents.picture.data(), contents.picture.size(), contents.recordText, 5, false);

        Bytes picture = row.picture;
        picture.resize(picture.size() + 8, 0xEE);  // the room the build's buffer has
        const std::string record = ComposePackageInfoRecord(request.settings);
        EXPECT_EQ(record, contents.recordText) << row.what;
        EXPECT_EQ(players, PackagePuzzleKey(picture.data(), static_cast<uint32_t>(row.picture.size()), record))
            << row.what;
        EXPECT_TRUE(std::equal(row.picture.begin(), row.picture.end(), picture.begin())) << row.what;
        EXPECT_EQ(0xEE, picture[row.picture.size()]) << row.what;
    }
}

}  // namespace

// A signed release: the player stub carries an Authenticode certificate
// table at its end, the package reader still finds where the stub ends, and
// a puzzle built from the signed stub plays under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "dist_test_util.h"
#include "package_build.h"
#include "package_reader.h"
#include "vornix_version.h"

namespace {

std::string SignedStub()
{
    return disttest::DistPath("signed\\vornix-sdk-" VORNIX_VERSION_STRING "-win32\\vornix_distrib.exe");
}

// File offset and length of the certificate table (data directory 4) of a
// 32-bit program; {0, 0} when it has none.
std::pair<uint32_t, uint32_t> CertificateTable(const std::vector<uint8_t>& file)
{
    auto le32 = [&](size_t at) {
        return at + 4 <= file.size() ? uint32_t(file[at]) | uint32_t(file[at + 1]) << 8 |
                                           uint32_t(file[at + 2]) << 16 | uint32_t(file[at + 3]) << 24
                                     : 0u;
    };
    size_t optional = le32(0x3C) + 24;
    return {le32(optional + 128), le32(optional + 132)};
}

class SignedRelease : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        ASSERT_NE(0u, GetTempPathA(sizeof temp, temp));
        folder = std::string(temp) + "vn_signed_stub_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), NULL);
        ASSERT_TRUE(vntest::WriteFileBytes(folder + "\\picture.bmp", disttest::BlockPicture(120)));
    }

    void TearDown() override
    {
        for (const char* name : {"picture.bmp", "puzzle.exe"})
            DeleteFileA((folder + "\\" + name).c_str());
        RemoveDirectoryA(folder.c_str());
    }

    std::string folder;
};

TEST_F(SignedRelease, EndsWithItsCertificateTable)
{
    std::vector<uint8_t> stub = vntest::ReadFileBytes(SignedStub());
    ASSERT_FALSE(stub.empty()) << SignedStub();
    std::pair<uint32_t, uint32_t> table = CertificateTable(stub);
    ASSERT_NE(0u, table.second);
    EXPECT_EQ(stub.size(), size_t(table.first) + table.second);
    uint32_t length = 0;
    ASSERT_EQ(nullptr, FindStubLength(stub.data(), stub.size(), &length));
    EXPECT_EQ(stub.size(), length);
}

TEST_F(SignedRelease, PuzzleBuiltFromItReadsBackAndPlays)
{
    TargetBuildRequest request;
    request.stubPath = SignedStub();
    request.picturePath = folder + "\\picture.bmp";
    request.targetPath = folder + "\\puzzle.exe";
    request.settings.gridSize = 3;
    request.settings.companyName = "Signed Co";
    std::string lastStatus;
    ASSERT_EQ(TargetBuildDone, BuildTarget(request, [&](const char* text) { lastStatus = text; }))
        << lastStatus;

    PackageContents contents;
    ASSERT_EQ(PackageOk, ReadPackageFile(request.targetPath.c_str(), contents))
        << (contents.failure ? contents.failure : "");
    EXPECT_EQ(vntest::ReadFileBytes(SignedStub()).size(), contents.stubLength);
    EXPECT_EQ(vntest::ReadFileBytes(request.picturePath), contents.picture);
    EXPECT_EQ("Signed Co", contents.record.companyName);

    std::string message = disttest::PlayTwoMovesAwayAndBack(request.targetPath, folder);
    EXPECT_EQ(0u, message.find("You solved the puzzle in 4 moves")) << message;
}

}  // namespace

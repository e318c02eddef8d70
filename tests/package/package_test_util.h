// Small file helpers for the package tests: a private scratch folder per test
// and whole-file reads and writes.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "test_files.h"

namespace pkgtest {

using vntest::ReadFileBytes;

typedef std::vector<unsigned char> Bytes;

inline void WriteAll(const std::string& path, const Bytes& data)
{
    ASSERT_TRUE(vntest::WriteFileBytes(path, data)) << path;
}

inline bool Exists(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

// Deterministic bytes that differ from block to block.
inline Bytes Pattern(size_t n, unsigned seed)
{
    return vntest::PatternBytes(n, seed);
}

inline uint32_t Little32(const Bytes& data, size_t at)
{
    return data[at] | data[at + 1] << 8 | data[at + 2] << 16 | static_cast<uint32_t>(data[at + 3]) << 24;
}

// A fresh folder under the system's temporary folder, removed afterwards.
class ScratchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("vnpkg_") + info->test_suite_name() + "_" + info->name();
        dir = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override
    {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::string Path(const char* name) const { return (dir / name).string(); }

    std::filesystem::path dir;
};

}  // namespace pkgtest

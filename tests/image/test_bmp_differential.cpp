// Differential test: bitmaps written by ImageMagick in every form it writes
// (and run-length files laid out here), decoded by this library and by
// ImageMagick itself, compared pixel by pixel.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "bmp_bytes.h"
#include "test_files.h"
#include "vn_image.h"

using bmptest::Bytes;

namespace {

const char* const Convert = VN_CONVERT;
const std::string WorkDir = VN_DIFF_WORK_DIR;

bool RunCommand(const std::string& command)
{
    return std::system((command + " 2>/dev/null").c_str()) == 0;
}

class Differential : public testing::Test {
protected:
    void SetUp() override
    {
        if (access(Convert, X_OK) != 0)
            GTEST_SKIP() << Convert << " is not installed";
        ASSERT_TRUE(RunCommand("mkdir -p '" + WorkDir + "'"));
    }

    // Decodes bmpPath here and with ImageMagick and compares every pixel.
    // channelBits: how many top bits of each of red, green and blue the
    // file carries (16-bit files widen to those bits with zero below).
    void Compare(const std::string& bmpPath, const int channelBits[3] = nullptr)
    {
        SCOPED_TRACE(bmpPath);
        std::vector<uint8_t> file, oracle;
        ASSERT_TRUE(vntest::ReadFileBytes(bmpPath, file));
        const std::string rgbPath = bmpPath + ".rgb";
        ASSERT_TRUE(RunCommand(std::string(Convert) + " '" + bmpPath + "' -depth 8 'rgb:" + rgbPath + "'"));
        ASSERT_TRUE(vntest::ReadFileBytes(rgbPath, oracle));

        VnImage image(file.data(), static_cast<uint32_t>(file.size()), ImageTypeBmp);
        ASSERT_NE(nullptr, image.dibBlock) << image.imageInfo.lastError;
        // The depth follows the file's: ImageMagick picks fewer bits for
        // pictures with few colours.
        const int fileBits = file[14] == 12 ? file[24] : file[28];
        EXPECT_EQ(fileBits <= 8 ? fileBits : 24, image.header.biBitCount);
        const int width = image.header.biWidth, height = image.header.biHeight;
        ASSERT_EQ(static_cast<size_t>(width) * height * 3, oracle.size());
        uint8_t masks[3] = {0xFF, 0xFF, 0xFF};
        if (channelBits)
            for (int c = 0; c < 3; ++c)
                masks[c] = static_cast<uint8_t>(0xFF00 >> channelBits[c]);
        int mismatches = 0;
        for (int row = 0; row < height; ++row) {
            for (int x = 0; x < width; ++x) {
                const uint8_t* want = &oracle[(static_cast<size_t>(row) * width + x) * 3];
                RGBQUAD got = image.PixelColorAt(x, height - 1 - row);
                if (got.rgbRed != (want[0] & masks[0]) || got.rgbGreen != (want[1] & masks[1])
                    || got.rgbBlue != (want[2] & masks[2])) {
                    if (++mismatches <= 5)
                        ADD_FAILURE() << "pixel " << x << "," << row << " (top row 0): got "
                                      << int(got.rgbRed) << "," << int(got.rgbGreen) << ","
                                      << int(got.rgbBlue) << " want " << int(want[0]) << ","
                                      << int(want[1]) << "," << int(want[2]);
                }
            }
        }
        EXPECT_EQ(0, mismatches);
    }
};

struct Form {
    const char* name;
    const char* options;  // ImageMagick options before the output name
    const char* format;   // output coder: BMP2 (core header), BMP3 (40), BMP (124)
    int channelBits[3];   // 0: full 8-bit channels
    bool topDownToo;      // also checked as a top-down copy
};

const Form Forms[] = {
    {"mono", "-monochrome", "BMP3", {0}, true},
    {"pal2", "-colors 2 -type palette", "BMP3", {0}, false},
    {"pal16", "-colors 16 -type palette", "BMP3", {0}, true},
    {"pal200", "-colors 200 -type palette -compress none", "BMP3", {0}, true},
    {"rle8", "-colors 200 -type palette -compress RLE", "BMP3", {0}, false},
    {"rgb24", "-type truecolor", "BMP3", {0}, true},
    {"rgb24v5", "-type truecolor", "BMP", {0}, false},
    {"pal16v5", "-colors 16 -type palette -compress none", "BMP", {0}, false},
    {"pal200v5", "-colors 200 -type palette -compress none", "BMP", {0}, false},
    {"rle8v5", "-colors 200 -type palette -compress RLE", "BMP", {0}, false},
    {"core1", "-monochrome", "BMP2", {0}, false},
    {"core4", "-colors 16 -type palette", "BMP2", {0}, false},
    {"core8", "-colors 200 -type palette -compress none", "BMP2", {0}, false},
    {"core24", "-type truecolor", "BMP2", {0}, false},
    {"rgb555", "-define bmp:subtype=RGB555", "BMP", {5, 5, 5}, true},
    {"rgb565", "-define bmp:subtype=RGB565", "BMP", {5, 6, 5}, true},
    {"argb1555", "-alpha set -channel A -fx 'i%2' +channel -define bmp:subtype=ARGB1555", "BMP", {5, 5, 5}, false},
    {"argb4444", "-alpha set -define bmp:subtype=ARGB4444", "BMP", {4, 4, 4}, false},
    {"argb32", "-alpha set -channel A -fx 'j/h' +channel", "BMP", {0}, true},
    {"rgb32v3", "-alpha set -define bmp3:alpha=true", "BMP3", {0}, true},
};

class DifferentialForms : public Differential, public testing::WithParamInterface<Form> {};

// Flips the rows of an uncompressed file with a 40-byte or longer header
// and negates its height: the same picture stored top row first.
bool MakeTopDown(std::vector<uint8_t>& file)
{
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M')
        return false;
    auto u32 = [&](size_t at) {
        return uint32_t(file[at]) | uint32_t(file[at + 1]) << 8 | uint32_t(file[at + 2]) << 16
             | uint32_t(file[at + 3]) << 24;
    };
    uint32_t offBits = u32(10), headerSize = u32(14), compression = u32(30);
    int32_t width = static_cast<int32_t>(u32(18)), height = static_cast<int32_t>(u32(22));
    int bitCount = file[28] | file[29] << 8;
    if (headerSize < 40 || height <= 0 || (compression != 0 && compression != 3))
        return false;
    uint32_t row = bmptest::RowBytes(width, bitCount);
    if (offBits + static_cast<uint64_t>(row) * height > file.size())
        return false;
    std::vector<uint8_t> swap(row);
    for (int lo = 0, hi = height - 1; lo < hi; ++lo, --hi) {
        uint8_t* a = &file[offBits + static_cast<size_t>(lo) * row];
        uint8_t* b = &file[offBits + static_cast<size_t>(hi) * row];
        memcpy(swap.data(), a, row);
        memcpy(a, b, row);
        memcpy(b, swap.data(), row);
    }
    uint32_t negative = static_cast<uint32_t>(-height);
    for (int i = 0; i < 4; ++i)
        file[22 + i] = static_cast<uint8_t>(negative >> (8 * i));
    return true;
}

TEST_P(DifferentialForms, DecodesLikeImageMagick)
{
    const Form& form = GetParam();
    const char* sizes[] = {"37x23", "5x3", "64x9", "1x1"};
    for (const char* size : sizes) {
        const std::string base = WorkDir + "/" + form.name + "_" + size;
        const std::string bmp = base + ".bmp";
        std::string command = std::string(Convert) + " -seed 7 -size " + size
                            + " plasma:fractal " + form.options + " " + form.format + ":'"
                            + bmp + "'";
        ASSERT_TRUE(RunCommand(command)) << command;
        Compare(bmp, form.channelBits[0] ? form.channelBits : nullptr);
        if (!form.topDownToo)
            continue;
        std::vector<uint8_t> file;
        ASSERT_TRUE(vntest::ReadFileBytes(bmp, file));
        ASSERT_TRUE(MakeTopDown(file)) << bmp;
        const std::string flipped = base + "_topdown.bmp";
        ASSERT_TRUE(vntest::WriteFileBytes(flipped, file));
        Compare(flipped, form.channelBits[0] ? form.channelBits : nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(ImageMagick, DifferentialForms, testing::ValuesIn(Forms),
                         [](const testing::TestParamInfo<Form>& info) {
                             return std::string(info.param.name);
                         });

// ImageMagick writes no 4-bit run-length files and only plain runs in
// 8-bit ones; these are laid out here with odd-length runs, odd columns,
// deltas, skipped rows and runs up to the row's end, and ImageMagick's own
// reading of them is the reference.
class RunLengthFiles : public Differential {
protected:
    uint32_t seed = 12345;
    uint32_t Random(uint32_t n)
    {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    }

    Bytes Encode(int width, int height, bool fourBit)
    {
        Bytes codes;
        const uint32_t values = fourBit ? 256 : 256;
        for (int y = 0; y < height; ++y) {
            if (y > 0 && Random(6) == 0) {
                codes.add({0, 2, 0, 1}); // skip a row with a delta
                continue;
            }
            int x = 0;
            while (x < width) {
                int left = width - x;
                uint32_t op = Random(8);
                if (op == 0 && left > 1) {
                    int dx = 1 + static_cast<int>(Random(left < 4 ? left : 4));
                    if (dx >= left)
                        dx = left - 1;
                    codes.add({0, 2, static_cast<uint8_t>(dx), 0});
                    x += dx;
                } else if (op < 4 && left >= 3) {
                    int n = 3 + static_cast<int>(Random(12));
                    if (n > left)
                        n = left;
                    codes.add({0, static_cast<uint8_t>(n)});
                    int bytes = fourBit ? (n + 1) / 2 : n;
                    for (int i = 0; i < bytes; ++i)
                        codes.u8(static_cast<uint8_t>(Random(values)));
                    if (bytes & 1)
                        codes.u8(0);
                    x += n;
                } else {
                    int n = 1 + static_cast<int>(Random(14));
                    if (n > left)
                        n = left;
                    codes.add({static_cast<uint8_t>(n), static_cast<uint8_t>(Random(256))});
                    x += n;
                }
            }
            if (y + 1 < height)
                codes.add({0, 0});
        }
        codes.add({0, 1});
        return codes;
    }

    void Check(int width, int height, bool fourBit)
    {
        Bytes palette;
        unsigned entries = fourBit ? 16 : 256;
        for (unsigned i = 0; i < entries; ++i)
            palette.quad(static_cast<uint8_t>(i * 37 + 11), static_cast<uint8_t>(i * 91),
                         static_cast<uint8_t>(255 - i * 13));
        Bytes info = bmptest::InfoHeader(width, height, fourBit ? 4 : 8,
                                         fourBit ? BI_RLE4 : BI_RLE8, 2835, 2835, 40, entries);
        Bytes file = bmptest::BmpFile(info, palette, Encode(width, height, fourBit));
        const std::string path = WorkDir + "/hand_rle" + (fourBit ? "4_" : "8_")
                               + std::to_string(width) + "x" + std::to_string(height) + ".bmp";
        ASSERT_TRUE(vntest::WriteFileBytes(path, file));
        Compare(path);
    }
};

TEST_F(RunLengthFiles, FourBitDecodesLikeImageMagick)
{
    for (int width : {1, 7, 16, 33})
        Check(width, 13, true);
}

TEST_F(RunLengthFiles, EightBitDecodesLikeImageMagick)
{
    for (int width : {1, 6, 29, 64})
        Check(width, 11, false);
}

}  // namespace

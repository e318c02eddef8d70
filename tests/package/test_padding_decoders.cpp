// The package pads PNG, JPEG, GIF and TIFF files with zero bytes to a whole
// number of cipher blocks. That is sound only if decoders ignore bytes after
// the end of such a file: checked here for every kind of file the padding
// tests hold, with ImageMagick natively and with the image library (the
// Windows Imaging Component) under Windows. Each padded file must give the
// same pixels as the file itself.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "test_files.h"

#ifdef _WIN32
#include "vn_image.h"
#else
#include <sys/wait.h>
#endif

namespace {

const char* const Pictures[] = {
    "rgb.png",          "palette.png",       "grey.png",    "rgba.png", "deep.png",
    "photo.jpg",        "progressive.jpg",   "picture.gif", "plain.tif", "lzw.tif",
};

std::string InFolder(const std::string& name)
{
    return std::string(VN_PADDING_DIR) + "/" + name;
}

#ifdef _WIN32
// The size and the decoded pixels, or an empty result when the file does not
// decode.
std::vector<uint8_t> Decode(const std::string& name)
{
    const std::vector<uint8_t> file = vntest::ReadFileBytes(InFolder(name));
    VnImage image(file.data(), static_cast<uint32_t>(file.size()), ImageTypeBmp);
    std::vector<uint8_t> out;
    if (!image.dibBlock)
        return out;
    const int32_t width = image.header.biWidth, height = image.header.biHeight;
    out.push_back(static_cast<uint8_t>(width));
    out.push_back(static_cast<uint8_t>(height));
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const RGBQUAD colour = image.PixelColorAt(x, y);
            out.push_back(colour.rgbRed);
            out.push_back(colour.rgbGreen);
            out.push_back(colour.rgbBlue);
        }
    }
    return out;
}
#else
// The pixels as ImageMagick reads them (8-bit RGBA, row by row).
std::vector<uint8_t> Decode(const std::string& name)
{
    const std::string raw = InFolder(name) + ".rgba";
    const std::string command = "/usr/bin/convert '" + InFolder(name) + "' -depth 8 'rgba:" + raw +
                                "' 2>/dev/null";
    const int status = std::system(command.c_str());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::vector<uint8_t>();
    std::vector<uint8_t> pixels = vntest::ReadFileBytes(raw);
    std::remove(raw.c_str());
    return pixels;
}
#endif

TEST(PaddedPictures, DecodeToTheSamePixelsAsTheFilesThemselves)
{
    for (const char* name : Pictures) {
        const std::vector<uint8_t> original = Decode(name);
        ASSERT_FALSE(original.empty()) << name << " does not decode";
        EXPECT_EQ(Decode(std::string("padded-") + name), original) << name;
        EXPECT_EQ(Decode(std::string("seven-") + name), original) << name;
    }
}

}  // namespace

// Placing decoded BGRA rows into a 24-bit image: the eight orientations,
// compositing over white, banding; and the front-end's choice of decoder
// for the compressed formats where they cannot be decoded.
#include <gtest/gtest.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "picture_bytes.h"
#include "vn_byte_stream.h"
#include "vn_image.h"
#include "vn_image_compressed.h"
#include "vn_image_orient.h"

namespace {

// A 3 x 2 source whose pixels are labelled by their blue value:
//   a b c
//   d e f
const char Source[2][4] = {"abc", "def"};

std::vector<uint8_t> SourceBgra()
{
    std::vector<uint8_t> rows;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            rows.push_back(static_cast<uint8_t>(Source[y][x]));
            rows.push_back(0);
            rows.push_back(0);
            rows.push_back(255);
        }
    return rows;
}

// The image's rows from the top, as labels, separated by '/'.
std::string Labels(const VnImage& image)
{
    std::string out;
    for (int32_t y = image.header.biHeight; y-- > 0;) {
        for (int32_t x = 0; x < image.header.biWidth; ++x)
            out += static_cast<char>(image.PixelColorAt(x, y).rgbBlue);
        if (y)
            out += '/';
    }
    return out;
}

std::string Placed(int orientation, uint32_t rowsPerBand)
{
    uint32_t w, h;
    VnOrientedSize(orientation, 3, 2, &w, &h);
    VnImage image(static_cast<int32_t>(w), static_cast<int32_t>(h), 24, ImageTypeBmp);
    const std::vector<uint8_t> bgra = SourceBgra();
    for (uint32_t y = 0; y < 2; y += rowsPerBand) {
        const uint32_t n = 2 - y < rowsPerBand ? 2 - y : rowsPerBand;
        if (!VnPlaceBgraBand(image, orientation, 3, 2, VnBgraBand{bgra.data() + y * 12, 12, y, n}))
            return "refused";
    }
    return Labels(image);
}

}  // namespace

TEST(Orientation, EachOfTheEightStandsUpright)
{
    // What the upright picture looks like for a picture stored as a b c / d e f
    // with each orientation tag (the camera's turn undone).
    const char* expected[9] = {nullptr,   "abc/def", "cba/fed", "fed/cba", "def/abc",
                               "ad/be/cf", "da/eb/fc", "fc/eb/da", "cf/be/ad"};
    for (int o = 1; o <= 8; ++o) {
        EXPECT_EQ(expected[o], Placed(o, 2)) << "orientation " << o;
        EXPECT_EQ(expected[o], Placed(o, 1)) << "orientation " << o << " one row at a time";
    }
    // Values outside 1..8 leave the picture as stored.
    EXPECT_EQ("abc/def", Placed(0, 2));
    EXPECT_EQ("abc/def", Placed(9, 2));
}

TEST(Orientation, TransparentPixelsAreCompositedOverWhite)
{
    VnImage image(5, 1, 24, ImageTypeBmp);
    const uint8_t bgra[20] = {10, 20, 30, 0, 10, 20, 30, 255, 0, 100, 200, 128, 255, 255, 255, 1, 32, 64, 0, 252};
    ASSERT_TRUE(VnPlaceBgraBand(image, 1, 5, 1, VnBgraBand{bgra, 20, 0, 1}));
    RGBQUAD clear = image.PixelColorAt(0, 0), opaque = image.PixelColorAt(1, 0),
            half = image.PixelColorAt(2, 0), white = image.PixelColorAt(3, 0);
    EXPECT_EQ(255, clear.rgbBlue);
    EXPECT_EQ(255, clear.rgbRed);
    EXPECT_EQ(10, opaque.rgbBlue);
    EXPECT_EQ(30, opaque.rgbRed);
    // c * a / 255 + 255 - a, its integer part: 0 -> 127, 100 -> 177.2, 200 -> 227.4.
    EXPECT_EQ(127, half.rgbBlue);
    EXPECT_EQ(177, half.rgbGreen);
    EXPECT_EQ(227, half.rgbRed);
    EXPECT_EQ(255, white.rgbGreen);
    // 32 -> 34.6 and 64 -> 66.2 become 34 and 66; red 0 -> 3.
    RGBQUAD nearlyOpaque = image.PixelColorAt(4, 0);
    EXPECT_EQ(34, nearlyOpaque.rgbBlue);
    EXPECT_EQ(66, nearlyOpaque.rgbGreen);
    EXPECT_EQ(3, nearlyOpaque.rgbRed);
}

TEST(Orientation, RefusesMismatchedImagesAndBandsOutsideThePicture)
{
    const std::vector<uint8_t> bgra = SourceBgra();
    VnImage wrongSize(3, 2, 24, ImageTypeBmp);  // orientation 6 needs 2 x 3
    EXPECT_FALSE(VnPlaceBgraBand(wrongSize, 6, 3, 2, VnBgraBand{bgra.data(), 12, 0, 2}));
    VnImage paletted(3, 2, 8, ImageTypeBmp);
    EXPECT_FALSE(VnPlaceBgraBand(paletted, 1, 3, 2, VnBgraBand{bgra.data(), 12, 0, 2}));
    VnImage empty(ImageTypeBmp);
    EXPECT_FALSE(VnPlaceBgraBand(empty, 1, 3, 2, VnBgraBand{bgra.data(), 12, 0, 2}));
    VnImage image(3, 2, 24, ImageTypeBmp);
    EXPECT_FALSE(VnPlaceBgraBand(image, 1, 3, 2, VnBgraBand{bgra.data(), 12, 1, 2}));
    EXPECT_FALSE(VnPlaceBgraBand(image, 1, 3, 2, VnBgraBand{bgra.data(), 8, 0, 2}));
    EXPECT_FALSE(VnPlaceBgraBand(image, 1, 3, 2, VnBgraBand{nullptr, 12, 0, 2}));
}

#ifndef _WIN32
TEST(CompressedFrontEnd, RefusesWhatThisPlatformCannotDecodeWithAClearText)
{
    using namespace picturetest;
    const Bytes png = PngHead(4, 4);
    VnImage fromPng(png.data(), static_cast<uint32_t>(png.size()), ImageTypeBmp);
    EXPECT_EQ(nullptr, fromPng.dibBlock);
    EXPECT_STREQ("PNG pictures can be decoded only on Windows", fromPng.imageInfo.lastError);
    const Bytes jpeg = JpegHead(4, 4);
    VnImage fromJpeg(jpeg.data(), static_cast<uint32_t>(jpeg.size()), ImageTypeBmp);
    EXPECT_STREQ("JPEG pictures can be decoded only on Windows", fromJpeg.imageInfo.lastError);

    // Where the memory stream stands decides, not the buffer's start.
    Bytes shifted = {'x', 'y'};
    shifted.insert(shifted.end(), png.begin(), png.end());
    VnByteStream stream(shifted.data(), static_cast<uint32_t>(shifted.size()));
    stream.Seek(2, SEEK_SET);
    VnImage fromStream(ImageTypeBmp);
    EXPECT_FALSE(fromStream.Decode(&stream, ImageTypeBmp));
    EXPECT_STREQ("PNG pictures can be decoded only on Windows", fromStream.imageInfo.lastError);

    // From a file: read from where it stands to its end, which it is left at.
    FILE* file = tmpfile();
    ASSERT_NE(nullptr, file);
    fwrite(shifted.data(), 1, shifted.size(), file);
    fseek(file, 2, SEEK_SET);
    VnImage fromFile(ImageTypeBmp);
    EXPECT_FALSE(fromFile.Decode(file, ImageTypeBmp));
    EXPECT_STREQ("PNG pictures can be decoded only on Windows", fromFile.imageInfo.lastError);
    EXPECT_EQ(static_cast<long>(shifted.size()), ftell(file));
    fclose(file);
}
#endif

TEST(CompressedFrontEnd, RefusesHugeOrBrokenHeadersBeforeDecoding)
{
    using namespace picturetest;
    // A frame header claiming 65000 x 65000: refused from the header alone.
    const Bytes huge = JpegHead(65000, 65000);
    VnImage image(huge.data(), static_cast<uint32_t>(huge.size()), ImageTypeBmp);
    EXPECT_EQ(nullptr, image.dibBlock);
    EXPECT_STREQ("the picture is too large", image.imageInfo.lastError);
    VnImageCompressed direct;
    EXPECT_FALSE(direct.Decode(huge.data(), huge.size()));
    EXPECT_STREQ("the picture is too large", direct.imageInfo.lastError);

    const Bytes png = PngHead(4, 4);
    EXPECT_FALSE(direct.Decode(png.data(), 20));
    EXPECT_STREQ("the picture's header is damaged", direct.imageInfo.lastError);

    // Text named .jpg goes to the bitmap decoder, which refuses it.
    const char text[] = "just some text, not a picture at all";
    VnImage fromText(reinterpret_cast<const uint8_t*>(text), sizeof text - 1, ImageTypeBmp);
    EXPECT_EQ(nullptr, fromText.dibBlock);
    EXPECT_STRNE("", fromText.imageInfo.lastError);
    // A bitmap handed to the compressed decoder is not its business.
    const uint8_t bmp[] = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 1, 0, 0, 0,
                           1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                           0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 0};
    EXPECT_FALSE(direct.Decode(bmp, sizeof bmp));
    EXPECT_STREQ("not a compressed picture", direct.imageInfo.lastError);
}

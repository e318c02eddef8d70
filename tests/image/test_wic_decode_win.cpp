// The compressed-picture decoder under the Windows Imaging Component,
// against ImageMagick: the pictures and their reference pixels are written
// by ImageMagick before this program runs (make_wic_pictures.sh). Exact for
// PNG, GIF and TIFF; JPEG within the rounding of two IDCTs. Also the eight
// orientations, zero padding after the file, and hostile or odd input.
#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "picture_bytes.h"
#include "ppm_file.h"
#include "test_files.h"
#include "vn_image.h"

using picturetest::RgbPicture;

namespace {

const std::string Folder = VN_WIC_PICTURES;

std::string PathOf(const std::string& name)
{
    return Folder + "\\" + name;
}

std::vector<uint8_t> FileOf(const std::string& name)
{
    return vntest::ReadFileBytes(PathOf(name));
}

struct Difference {
    double mean = 0;
    int largest = 0;
};

// Compares the image (bottom-up BGR) with the reference (top-down RGB).
::testing::AssertionResult SameSize(const VnImage& image, const RgbPicture& reference)
{
    if (!image.dibBlock)
        return ::testing::AssertionFailure() << "not decoded: " << image.imageInfo.lastError;
    if (image.header.biBitCount != 24 || image.header.biWidth != reference.width
        || image.header.biHeight != reference.height)
        return ::testing::AssertionFailure()
            << "decoded " << image.header.biWidth << "x" << image.header.biHeight << "x"
            << image.header.biBitCount << ", reference " << reference.width << "x" << reference.height;
    return ::testing::AssertionSuccess();
}

// luma: compare the luma of each pixel (0.299 R + 0.587 G + 0.114 B)
// instead of its three channels.
Difference Compare(const VnImage& image, const RgbPicture& reference, bool luma = false)
{
    Difference d;
    uint64_t total = 0;
    for (int y = 0; y < reference.height; ++y) {
        const uint8_t* row = image.imageInfo.pixels
            + static_cast<size_t>(reference.height - 1 - y) * image.imageInfo.rowStride;
        for (int x = 0; x < reference.width; ++x) {
            const uint8_t* want = &reference.rgb[(static_cast<size_t>(y) * reference.width + x) * 3];
            const int got[3] = {row[3 * x + 2], row[3 * x + 1], row[3 * x]};
            if (luma) {
                const double y1 = 0.299 * got[0] + 0.587 * got[1] + 0.114 * got[2];
                const double y2 = 0.299 * want[0] + 0.587 * want[1] + 0.114 * want[2];
                const int diff = static_cast<int>(fabs(y1 - y2) + 0.5);
                total += diff;
                if (diff > d.largest)
                    d.largest = diff;
                continue;
            }
            for (int c = 0; c < 3; ++c) {
                const int diff = abs(got[c] - want[c]);
                total += diff;
                if (diff > d.largest)
                    d.largest = diff;
            }
        }
    }
    d.mean = static_cast<double>(total) / ((luma ? 1.0 : 3.0) * reference.width * reference.height);
    return d;
}

// Decodes NAME.EXT by its file name and compares it with NAME.ppm.
void ExpectMatches(const std::string& name, const std::string& ext, bool exact)
{
    SCOPED_TRACE(name + "." + ext);
    RgbPicture reference;
    ASSERT_TRUE(picturetest::ReadPpm(PathOf(name + ".ppm"), reference)) << "no reference " << name;
    VnImage image(ImageTypeBmp);
    ASSERT_TRUE(image.Load(PathOf(name + "." + ext).c_str(), ImageTypeBmp)) << image.imageInfo.lastError;
    ASSERT_TRUE(SameSize(image, reference));
    const Difference d = Compare(image, reference);
    if (exact) {
        EXPECT_EQ(0, d.largest);
    } else {
        EXPECT_LE(d.mean, 1.0);
        EXPECT_LE(d.largest, 8);
    }
    // The row padding of a 24-bit picture is zero, as the BMP decoder leaves it.
    const size_t used = 3 * static_cast<size_t>(reference.width);
    for (int y = 0; y < reference.height; ++y)
        for (size_t i = used; i < image.imageInfo.rowStride; ++i)
            ASSERT_EQ(0, image.imageInfo.pixels[y * image.imageInfo.rowStride + i]);
}

}  // namespace

TEST(WicDecode, PngMatchesImageMagickExactly)
{
    for (const char* name : {"png_rgb", "png_palette", "png_grey", "png_16bit", "png_16bit_deep", "png_grey16",
                             "png_rgba", "png_rgba16"})
        ExpectMatches(name, "png", true);
}

TEST(WicDecode, GifAndTiffMatchImageMagickExactly)
{
    ExpectMatches("gif_plain", "gif", true);
    ExpectMatches("gif_transparent", "gif", true);
    ExpectMatches("tiff_plain", "tif", true);
    ExpectMatches("tiff_lzw_msb", "tif", true);
    ExpectMatches("tiff_alpha", "tif", true);
    // A TIFF's own orientation tag is applied like a JPEG's Exif one.
    ExpectMatches("tiff_orient6", "tif", true);
}

TEST(WicDecode, JpegIsWithinRoundingOfImageMagick)
{
    for (const char* name : {"jpeg_baseline", "jpeg_progressive", "jpeg_grey", "jpeg_1x1"})
        ExpectMatches(name, "jpg", false);
}

// With subsampled chroma the two decoders' chroma upsampling differs (Wine's
// libjpeg scales in the DCT domain, ImageMagick's filters), so colour edges
// differ by tens of levels; the luma, carried at full resolution, still
// agrees within the JPEG tolerance.
TEST(WicDecode, SubsampledJpegAgreesInLuma)
{
    RgbPicture reference;
    ASSERT_TRUE(picturetest::ReadPpm(PathOf("jpeg_subsampled.ppm"), reference));
    VnImage image(PathOf("jpeg_subsampled.jpg").c_str(), ImageTypeBmp);
    ASSERT_TRUE(SameSize(image, reference));
    const Difference luma = Compare(image, reference, true);
    EXPECT_LE(luma.mean, 1.0);
    EXPECT_LE(luma.largest, 8);
    const Difference colour = Compare(image, reference);
    printf("4:2:0 JPEG against ImageMagick: luma mean %.3f max %d; channels mean %.3f max %d\n", luma.mean,
           luma.largest, colour.mean, colour.largest);
    EXPECT_LE(colour.mean, 4.0);
}

TEST(WicDecode, AllEightOrientationsStandUpright)
{
    for (int o = 1; o <= 8; ++o)
        ExpectMatches("jpeg_orient" + std::to_string(o), "jpg", false);
}

// The package pads these formats with zeros to a multiple of 8 bytes: the
// padded file must decode to exactly the pixels of the file itself.
TEST(WicDecode, ZeroPaddingAfterTheFileChangesNoPixel)
{
    const char* files[] = {"png_rgb.png",    "png_palette.png",     "png_rgba.png",     "gif_plain.gif",
                           "gif_transparent.gif", "tiff_plain.tif", "tiff_lzw_msb.tif", "jpeg_baseline.jpg",
                           "jpeg_progressive.jpg", "jpeg_orient6.jpg", "jpeg_1x1.jpg"};
    for (const char* file : files) {
        SCOPED_TRACE(file);
        std::string padded = file;
        padded.insert(padded.rfind('.'), ".padded");
        const std::vector<uint8_t> plain = FileOf(file), withZeros = FileOf(padded);
        ASSERT_FALSE(plain.empty());
        ASSERT_GT(withZeros.size(), plain.size());
        ASSERT_EQ(0u, withZeros.size() % 8 == 0 ? 0u : 1u);
        VnImage a(plain.data(), static_cast<uint32_t>(plain.size()), ImageTypeBmp);
        VnImage b(withZeros.data(), static_cast<uint32_t>(withZeros.size()), ImageTypeBmp);
        ASSERT_NE(nullptr, a.dibBlock) << a.imageInfo.lastError;
        ASSERT_NE(nullptr, b.dibBlock) << b.imageInfo.lastError;
        ASSERT_EQ(a.BlockSize(), b.BlockSize());
        EXPECT_EQ(0, memcmp(a.dibBlock, b.dibBlock, a.BlockSize()));
    }
}

TEST(WicDecode, ChosenByLeadingBytesNotByName)
{
    // A PNG named .bmp decodes as the PNG it is.
    const std::vector<uint8_t> png = FileOf("png_rgb.png");
    const std::string asBmp = PathOf("named_wrongly.bmp");
    ASSERT_TRUE(vntest::WriteFileBytes(asBmp, png));
    VnImage image(asBmp.c_str(), ImageTypeBmp);
    ASSERT_NE(nullptr, image.dibBlock) << image.imageInfo.lastError;
    EXPECT_EQ(70, image.header.biWidth);

    // A text file named .jpg is refused with a text.
    const std::string text = PathOf("letter.jpg");
    ASSERT_TRUE(vntest::WriteFileBytes(text, "Dear user, this is not a picture.\r\n", 35));
    VnImage fromText(text.c_str(), ImageTypeBmp);
    EXPECT_EQ(nullptr, fromText.dibBlock);
    EXPECT_STRNE("", fromText.imageInfo.lastError);

    // A picture further into a stream: the decoder starts where the stream stands.
    std::vector<uint8_t> shifted = {'B', 'M'};
    shifted.insert(shifted.end(), png.begin(), png.end());
    FILE* file = fopen(PathOf("shifted.bin").c_str(), "w+b");
    ASSERT_NE(nullptr, file);
    fwrite(shifted.data(), 1, shifted.size(), file);
    fseek(file, 2, SEEK_SET);
    VnImage fromFile(ImageTypeBmp);
    EXPECT_TRUE(fromFile.Decode(file, ImageTypeBmp)) << fromFile.imageInfo.lastError;
    EXPECT_EQ(static_cast<long>(shifted.size()), ftell(file));
    fclose(file);
}

TEST(WicDecode, TruncatedFilesAreRefusedOrPartialNeverACrash)
{
    for (const char* name : {"jpeg_baseline.jpg", "jpeg_progressive.jpg", "png_rgb.png", "png_rgba.png",
                             "gif_plain.gif", "tiff_lzw_msb.tif"}) {
        const std::vector<uint8_t> whole = FileOf(name);
        ASSERT_FALSE(whole.empty());
        for (size_t cut : {whole.size() / 10, whole.size() / 2, whole.size() * 9 / 10, whole.size() - 1}) {
            SCOPED_TRACE(std::string(name) + " cut at " + std::to_string(cut));
            VnImage image(whole.data(), static_cast<uint32_t>(cut), ImageTypeBmp);
            if (!image.dibBlock) {
                EXPECT_STRNE("", image.imageInfo.lastError);
                continue;
            }
            // A partial picture has the full size and every pixel readable.
            EXPECT_EQ(24, image.header.biBitCount);
            uint32_t sum = 0;
            for (uint32_t i = 0; i < image.header.biSizeImage; ++i)
                sum += image.imageInfo.pixels[i];
            (void)sum;
        }
    }
}

TEST(WicDecode, OnePixelJpegAndHugeClaimedSize)
{
    VnImage one(PathOf("jpeg_1x1.jpg").c_str(), ImageTypeBmp);
    ASSERT_NE(nullptr, one.dibBlock) << one.imageInfo.lastError;
    EXPECT_EQ(1, one.header.biWidth);
    EXPECT_EQ(1, one.header.biHeight);
    RGBQUAD c = one.PixelColorAt(0, 0);
    EXPECT_NEAR(0x33, c.rgbRed, 8);
    EXPECT_NEAR(0x66, c.rgbGreen, 8);
    EXPECT_NEAR(0x99, c.rgbBlue, 8);

    // A real JPEG whose frame header claims 65000 x 65000: refused from the
    // header, before the system's decoder could allocate for it.
    std::vector<uint8_t> jpeg = FileOf("jpeg_baseline.jpg");
    size_t sof = 2;
    while (sof + 9 < jpeg.size() && !(jpeg[sof] == 0xFF && jpeg[sof + 1] == 0xC0))
        sof += 2 + (jpeg[sof + 2] << 8 | jpeg[sof + 3]);
    ASSERT_LT(sof + 9, jpeg.size());
    jpeg[sof + 5] = 0xFD;  // height 65000
    jpeg[sof + 6] = 0xE8;
    jpeg[sof + 7] = 0xFD;  // width 65000
    jpeg[sof + 8] = 0xE8;
    VnImage huge(jpeg.data(), static_cast<uint32_t>(jpeg.size()), ImageTypeBmp);
    EXPECT_EQ(nullptr, huge.dibBlock);
    EXPECT_STREQ("the picture is too large", huge.imageInfo.lastError);
}

// The decoder balances its own COM initialisation, and works on a thread
// that is already in the multithreaded apartment.
TEST(WicDecode, WorksWhateverTheThreadsComState)
{
    const std::vector<uint8_t> png = FileOf("png_palette.png");
    ASSERT_EQ(S_OK, CoInitializeEx(NULL, COINIT_MULTITHREADED));
    VnImage inMta(png.data(), static_cast<uint32_t>(png.size()), ImageTypeBmp);
    EXPECT_NE(nullptr, inMta.dibBlock) << inMta.imageInfo.lastError;
    CoUninitialize();
    // Nothing left initialised by the decoder: a fresh initialisation here
    // is the first one again.
    VnImage plain(png.data(), static_cast<uint32_t>(png.size()), ImageTypeBmp);
    EXPECT_NE(nullptr, plain.dibBlock);
    EXPECT_EQ(S_OK, CoInitializeEx(NULL, COINIT_APARTMENTTHREADED));
    CoUninitialize();
}

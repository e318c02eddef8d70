// The portable picture-format helpers: sniffing by leading bytes, the
// bounded header reader and the Exif orientation parser.
#include <gtest/gtest.h>

#include <string>

#include "bmp_bytes.h"
#include "picture_bytes.h"
#include "vn_exif.h"
#include "vn_picture_format.h"

using namespace picturetest;

namespace {

VnPictureFormat Sniff(const Bytes& b)
{
    return VnSniffPictureFormat(b.data(), b.size());
}

// "WxH/orientation FORMAT" or the error text.
std::string HeaderOf(const Bytes& b)
{
    VnPictureHeader h;
    const char* error = nullptr;
    if (!VnReadPictureHeader(b.data(), b.size(), &h, &error))
        return error ? std::string("error: ") + error : std::string("error without text");
    return std::to_string(h.width) + "x" + std::to_string(h.height) + "/" + std::to_string(h.orientation)
        + " " + VnPictureFormatName(h.format);
}

Bytes Text(const char* s)
{
    return Bytes(s, s + strlen(s));
}

}  // namespace

TEST(PictureFormat, SniffsEachFormatByItsLeadingBytesOnly)
{
    EXPECT_EQ(VnPictureBmp, Sniff(Text("BM")));
    EXPECT_EQ(VnPicturePng, Sniff(PngHead(1, 1)));
    EXPECT_EQ(VnPictureJpeg, Sniff(Bytes{0xFF, 0xD8, 0xFF}));
    EXPECT_EQ(VnPictureGif, Sniff(Text("GIF87a")));
    EXPECT_EQ(VnPictureGif, Sniff(Text("GIF89a")));
    EXPECT_EQ(VnPictureTiff, Sniff(Bytes{'I', 'I', '*', 0}));
    EXPECT_EQ(VnPictureTiff, Sniff(Bytes{'M', 'M', 0, '*'}));
    // Near misses and prefixes cut short.
    EXPECT_EQ(VnPictureUnknown, Sniff(Text("GIF88a")));
    EXPECT_EQ(VnPictureUnknown, Sniff(Bytes{0xFF, 0xD8}));
    EXPECT_EQ(VnPictureUnknown, Sniff(Bytes{'I', 'I', 0, '*'}));
    const Bytes png = PngHead(1, 1);
    EXPECT_EQ(VnPictureUnknown, Sniff(Bytes(png.begin(), png.begin() + 7)));
    EXPECT_EQ(VnPictureUnknown, Sniff(Text("B")));
    EXPECT_EQ(VnPictureUnknown, Sniff(Bytes()));
    EXPECT_EQ(VnPictureUnknown, VnSniffPictureFormat(nullptr, 10));
    // A headerless bitmap has no signature.
    EXPECT_EQ(VnPictureUnknown, Sniff(bmptest::InfoHeader(2, 2, 24, 0)));
}

TEST(PictureFormat, NamesAndPaddableFormats)
{
    EXPECT_STREQ("BMP", VnPictureFormatName(VnPictureBmp));
    EXPECT_STREQ("PNG", VnPictureFormatName(VnPicturePng));
    EXPECT_STREQ("JPEG", VnPictureFormatName(VnPictureJpeg));
    EXPECT_STREQ("GIF", VnPictureFormatName(VnPictureGif));
    EXPECT_STREQ("TIFF", VnPictureFormatName(VnPictureTiff));
    EXPECT_STREQ("unknown", VnPictureFormatName(VnPictureUnknown));
    EXPECT_STREQ("unknown", VnPictureFormatName(static_cast<VnPictureFormat>(77)));
    EXPECT_FALSE(VnPictureFormatIsPaddable(VnPictureBmp));
    EXPECT_FALSE(VnPictureFormatIsPaddable(VnPictureUnknown));
    EXPECT_TRUE(VnPictureFormatIsPaddable(VnPicturePng));
    EXPECT_TRUE(VnPictureFormatIsPaddable(VnPictureJpeg));
    EXPECT_TRUE(VnPictureFormatIsPaddable(VnPictureGif));
    EXPECT_TRUE(VnPictureFormatIsPaddable(VnPictureTiff));
}

TEST(PictureHeader, ReadsSizeOfEveryFormat)
{
    using bmptest::FileHeader;
    using bmptest::InfoHeader;
    bmptest::Bytes bmp = FileHeader(54);
    bmp.add(InfoHeader(300, -200, 24, 0));
    EXPECT_EQ("300x200/1 BMP", HeaderOf(bmp));
    bmptest::Bytes core = FileHeader(26);
    core.add(bmptest::CoreHeader(7, 9, 8));
    EXPECT_EQ("7x9/1 BMP", HeaderOf(core));
    EXPECT_EQ("5x3/1 BMP", HeaderOf(InfoHeader(5, 3, 8, 0)));  // headerless
    EXPECT_EQ("640x480/1 PNG", HeaderOf(PngHead(640, 480)));
    EXPECT_EQ("1x2/1 PNG", HeaderOf(PngHead(1, 2, 16, 6)));
    EXPECT_EQ("4000x3000/1 JPEG", HeaderOf(JpegHead(4000, 3000)));
    EXPECT_EQ("320x200/1 GIF", HeaderOf(GifHead(320, 200, false)));
    EXPECT_EQ("70000x50/1 TIFF", HeaderOf(TiffHead(70000, 50, 0, false)));
    EXPECT_EQ("8x6/3 TIFF", HeaderOf(TiffHead(8, 6, 3, true)));
}

TEST(PictureHeader, JpegFindsFrameAfterOtherSegmentsAndReportsOrientation)
{
    // An APP0 segment, fill bytes and a restart marker in front of the frame.
    Bytes app0 = {0xFF, 0xE0, 0x00, 0x04, 'J', 'F', 0xFF, 0xFF, 0xD0};
    EXPECT_EQ("16x8/1 JPEG", HeaderOf(JpegHead(16, 8, app0)));
    EXPECT_EQ("16x8/6 JPEG", HeaderOf(JpegHead(16, 8, ExifSegment(6))));
    EXPECT_EQ("16x8/8 JPEG", HeaderOf(JpegHead(16, 8, ExifSegment(8, true))));
    // The progressive frame marker counts too; DHT (C4) does not.
    Bytes progressive = JpegHead(9, 7);
    progressive[3] = 0xC2;
    EXPECT_EQ("9x7/1 JPEG", HeaderOf(progressive));
    Bytes dht = {0xFF, 0xC4, 0x00, 0x02};
    EXPECT_EQ("9x7/1 JPEG", HeaderOf(JpegHead(9, 7, dht)));
}

TEST(PictureHeader, RefusesDamagedOrUnknownHeaders)
{
    const std::string damaged = "error: the picture's header is damaged";
    const std::string noSize = "error: the picture has no pixel size";
    const std::string unknown = "error: not a supported picture format";
    EXPECT_EQ(unknown, HeaderOf(Text("hello, this is a text file named .jpg\n")));
    EXPECT_EQ(unknown, HeaderOf(Bytes()));
    EXPECT_EQ(noSize, HeaderOf(PngHead(0, 5)));
    EXPECT_EQ(noSize, HeaderOf(PngHead(5, 0x80000000u)));
    EXPECT_EQ(damaged, HeaderOf(PngHead(5, 5, 3, 2)));   // depth 3 is no PNG depth
    EXPECT_EQ(damaged, HeaderOf(PngHead(5, 5, 16, 3)));  // no 16-bit palette
    Bytes png = PngHead(5, 5);
    EXPECT_EQ(damaged, HeaderOf(Bytes(png.begin(), png.begin() + 28)));
    png[12] = 'i';
    EXPECT_EQ(damaged, HeaderOf(png));
    EXPECT_EQ(noSize, HeaderOf(JpegHead(0, 10)));  // height from a later DNL: refused
    Bytes jpeg = JpegHead(10, 10);
    EXPECT_EQ(damaged, HeaderOf(Bytes(jpeg.begin(), jpeg.begin() + 6)));
    // A segment length running past the end, and scan data before a frame.
    EXPECT_EQ(damaged, HeaderOf(JpegHead(10, 10, Bytes{0xFF, 0xE0, 0xFF, 0xF0})));
    EXPECT_EQ(damaged, HeaderOf(JpegHead(10, 10, Bytes{0xFF, 0xDA, 0x00, 0x02})));
    EXPECT_EQ(damaged, HeaderOf(JpegHead(10, 10, Bytes{0xFF, 0xE0, 0x00, 0x02, 0x00})));
    EXPECT_EQ(noSize, HeaderOf(GifHead(0, 0)));
    EXPECT_EQ(damaged, HeaderOf(Text("GIF89a\x01")));
    Bytes tiff = TiffHead(4, 4, 1, false);
    tiff[4] = 0xF0;  // directory beyond the end
    EXPECT_EQ(damaged, HeaderOf(tiff));
    EXPECT_EQ(damaged, HeaderOf(TiffStructure({{256, 4, 1, 4}}, false)));  // no height
    bmptest::Bytes bmp = bmptest::FileHeader(54);
    bmp.add(bmptest::InfoHeader(0, 5, 24, 0));
    EXPECT_EQ(noSize, HeaderOf(bmp));
    bmptest::Bytes planes = bmptest::FileHeader(54);
    planes.add(bmptest::InfoHeader(3, 5, 7, 0));
    EXPECT_EQ(damaged, HeaderOf(planes));
    // A headerless bitmap with a wrong bit count reads as no picture at all.
    EXPECT_EQ(unknown, HeaderOf(bmptest::InfoHeader(3, 5, 7, 0)));
}

TEST(PictureHeader, NullArgumentsAreRefused)
{
    Bytes png = PngHead(1, 1);
    VnPictureHeader h;
    const char* error = nullptr;
    EXPECT_FALSE(VnReadPictureHeader(nullptr, 10, &h, &error));
    EXPECT_NE(nullptr, error);
    EXPECT_FALSE(VnReadPictureHeader(png.data(), png.size(), nullptr, &error));
    EXPECT_TRUE(VnReadPictureHeader(png.data(), png.size(), &h, nullptr));
}

TEST(ExifOrientation, ReadsAllEightInBothByteOrders)
{
    for (uint16_t o = 1; o <= 8; ++o) {
        Bytes little = JpegHead(4, 4, ExifSegment(o, false));
        EXPECT_EQ(o, VnExifOrientation(little.data(), little.size()));
        Bytes big = WithExifOrientation(JpegHead(4, 4), o, true);
        EXPECT_EQ(o, VnExifOrientation(big.data(), big.size()));
    }
}

TEST(ExifOrientation, FallsBackToOneForMissingOrDamagedBlocks)
{
    Bytes plain = JpegHead(4, 4);
    EXPECT_EQ(1, VnExifOrientation(plain.data(), plain.size()));
    EXPECT_EQ(1, VnExifOrientation(nullptr, 100));
    Bytes outOfRange = JpegHead(4, 4, ExifSegment(9));
    EXPECT_EQ(1, VnExifOrientation(outOfRange.data(), outOfRange.size()));
    Bytes zero = JpegHead(4, 4, ExifSegment(0));
    EXPECT_EQ(1, VnExifOrientation(zero.data(), zero.size()));

    // Cut anywhere inside the Exif block: never read past the end, always 1.
    Bytes full = WithExifOrientation(JpegHead(4, 4), 6);
    const size_t exifEnd = 2 + ExifSegment(6).size();
    for (size_t n = 0; n < exifEnd; ++n)
        EXPECT_EQ(1, VnExifOrientation(full.data(), n)) << n;

    // A segment length that claims more than the file holds.
    Bytes longClaim = full;
    longClaim[4] = 0x7F;
    EXPECT_EQ(1, VnExifOrientation(longClaim.data(), longClaim.size()));

    // Values are taken as a single SHORT or LONG; other types and counts fail.
    uint32_t value = 0;
    Bytes tiffLong = TiffStructure({{0x0112, 4, 1, 6}}, true);
    EXPECT_TRUE(VnTiffFirstIfdValue(tiffLong.data(), tiffLong.size(), 0x0112, &value));
    EXPECT_EQ(6u, value);
    Bytes rational = TiffStructure({{0x0112, 5, 1, 6}}, false);
    EXPECT_FALSE(VnTiffFirstIfdValue(rational.data(), rational.size(), 0x0112, &value));
    Bytes counted = WithExifOrientation(JpegHead(4, 4), 6);
    counted[2 + 4 + 6 + 8 + 2 + 4] = 2;  // count field of the one entry
    EXPECT_EQ(1, VnExifOrientation(counted.data(), counted.size()));

    // An entry count larger than the block: only whole entries are read.
    Bytes manyEntries = WithExifOrientation(JpegHead(4, 4), 6);
    manyEntries[2 + 4 + 6 + 8] = 0xFF;
    EXPECT_EQ(6, VnExifOrientation(manyEntries.data(), manyEntries.size()));

    // An APP1 block that is XMP, not Exif, and then the Exif one.
    Bytes xmp = {0xFF, 0xE1, 0x00, 0x07, 'h', 't', 't', 'p', ':'};
    Bytes both = xmp;
    Bytes exif = ExifSegment(3);
    both.insert(both.end(), exif.begin(), exif.end());
    Bytes withBoth = JpegHead(4, 4, both);
    EXPECT_EQ(3, VnExifOrientation(withBoth.data(), withBoth.size()));
}

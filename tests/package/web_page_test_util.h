// Helpers for the web page tests: the page's two data blocks as they stand in
// the file, and small picture files made byte by byte.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "package_test_util.h"
#include "web_page_template.h"

namespace webtest {

using pkgtest::Bytes;

inline std::string Text(const Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

// The embedded template's text before the first placeholder and after the
// last one: every page begins and ends with them.
inline void TemplateEnds(std::string* head, std::string* tail)
{
    WebPageTemplate page;
    ASSERT_TRUE(FindWebPageTemplate(&page));
    const std::string text(page.text, page.length);
    const size_t settings = text.find(WebSettingsPlaceholder);
    const size_t picture = text.find(WebPicturePlaceholder);
    ASSERT_NE(std::string::npos, settings);
    ASSERT_NE(std::string::npos, picture);
    const size_t first = settings < picture ? settings : picture;
    const size_t last = settings < picture ? picture + sizeof WebPicturePlaceholder - 1
                                           : settings + sizeof WebSettingsPlaceholder - 1;
    *head = text.substr(0, first);
    *tail = text.substr(last);
}

// The text of the first element that opens with this exact start tag.
inline std::string Block(const std::string& page, const std::string& startTag)
{
    const size_t at = page.find(startTag);
    if (at == std::string::npos)
        return std::string();
    const size_t from = at + startTag.size();
    const size_t end = page.find("</script>", from);
    return page.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

inline std::string SettingsBlock(const std::string& page)
{
    return Block(page, "<script type=\"application/json\" id=\"vornix-settings\">");
}

inline std::string PictureBlock(const std::string& page)
{
    return Block(page, "<script type=\"application/octet-stream\" id=\"vornix-picture\">");
}

// An uncompressed RGB TIFF (one strip, 8 bits a sample): pixel(x, top, rgb)
// fills each pixel.
template <class Pixel>
Bytes RgbTiff(uint16_t width, uint16_t height, Pixel pixel)
{
    Bytes b = {'I', 'I', 42, 0, 8, 0, 0, 0};
    auto put16 = [&b](uint32_t v) {
        b.push_back(static_cast<uint8_t>(v));
        b.push_back(static_cast<uint8_t>(v >> 8));
    };
    auto put32 = [&](uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    const uint32_t entries = 10;
    const uint32_t bitsAt = 8 + 2 + 12 * entries + 4;
    const uint32_t pixelsAt = bitsAt + 6;
    const uint32_t pixelBytes = 3u * width * height;
    const uint32_t table[entries][3] = {
        {256, 3, width},    {257, 3, height},       {258, 3, bitsAt}, {259, 3, 1},     {262, 3, 2},
        {273, 4, pixelsAt}, {277, 3, 3},            {278, 3, height}, {279, 4, pixelBytes}, {284, 3, 1},
    };
    put16(entries);
    for (const auto& e : table) {
        put16(e[0]);
        put16(e[1]);
        put32(e[0] == 258 ? 3 : 1);
        if (e[1] == 3 && e[0] != 258) {
            put16(e[2]);
            put16(0);
        } else {
            put32(e[2]);
        }
    }
    put32(0);
    put16(8);
    put16(8);
    put16(8);
    for (uint16_t top = 0; top < height; ++top) {
        for (uint16_t x = 0; x < width; ++x) {
            uint8_t rgb[3];
            pixel(x, top, rgb);
            b.insert(b.end(), rgb, rgb + 3);
        }
    }
    return b;
}

}  // namespace webtest

// The picture as a web page carries it. JPEG, PNG and GIF files go in as
// their own bytes (browsers apply a JPEG's Exif orientation themselves);
// bitmaps and TIFF files, which not every browser decodes, go in as a PNG
// made from the decoded picture. The page is told the type and the upright
// size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct WebPicture {
    const char* type = nullptr;  // "image/jpeg", "image/png" or "image/gif"
    uint32_t width = 0;          // upright: Exif orientation applied
    uint32_t height = 0;
    std::vector<uint8_t> png;  // the PNG made for a bitmap or TIFF; empty otherwise
};

enum WebPictureResult {
    WebPictureReady,
    WebPictureUnsupported,   // not a picture the page can show; the reason says why
    WebPictureNotConverted,  // decoded, but the PNG could not be made
};

// True when the picture file goes into a page as a PNG made from it.
bool WebPictureNeedsConversion(const uint8_t* data, size_t size);

// Reads the picture file held in data. On failure *reason holds the cause.
WebPictureResult PrepareWebPicture(const uint8_t* data, size_t size, WebPicture& picture, std::string* reason);

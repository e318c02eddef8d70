#include "web_picture.h"

#include "vn_image.h"
#include "vn_image_orient.h"
#include "vn_picture_format.h"
#include "vn_png_write.h"

namespace {

const char* PageType(VnPictureFormat format)
{
    switch (format) {
    case VnPictureJpeg: return "image/jpeg";
    case VnPicturePng: return "image/png";
    case VnPictureGif: return "image/gif";
    default: return nullptr;
    }
}

}  // namespace

bool WebPictureNeedsConversion(const uint8_t* data, size_t size)
{
    return PageType(VnSniffPictureFormat(data, size)) == nullptr;
}

WebPictureResult PrepareWebPicture(const uint8_t* data, size_t size, WebPicture& picture, std::string* reason)
{
    picture = WebPicture();
    if (!WebPictureNeedsConversion(data, size)) {
        VnPictureHeader header;
        const char* error = nullptr;
        if (!VnReadPictureHeader(data, size, &header, &error)) {
            *reason = error;
            return WebPictureUnsupported;
        }
        if (header.width == 0 || header.height == 0) {
            *reason = "the picture has no pixels";
            return WebPictureUnsupported;
        }
        picture.type = PageType(header.format);
        VnOrientedSize(header.orientation, header.width, header.height, &picture.width, &picture.height);
        return WebPictureReady;
    }
    // Decoded as the player decodes it: bitmaps by the library's own decoder,
    // TIFF (first page, upright) where the system has a decoder for it.
    if (size > 0xFFFFFFFFu) {
        *reason = "the picture file is too large";
        return WebPictureUnsupported;
    }
    VnImage image(data, static_cast<uint32_t>(size), ImageTypeBmp);
    if (!image.dibBlock || image.header.biWidth < 1 || image.header.biHeight < 1) {
        *reason = image.imageInfo.lastError[0] ? image.imageInfo.lastError : "the picture does not decode";
        return WebPictureUnsupported;
    }
    const char* error = nullptr;
    if (!VnWritePng(image, &picture.png, &error)) {
        *reason = error;
        return WebPictureNotConverted;
    }
    picture.type = "image/png";
    picture.width = static_cast<uint32_t>(image.header.biWidth);
    picture.height = static_cast<uint32_t>(image.header.biHeight);
    return WebPictureReady;
}

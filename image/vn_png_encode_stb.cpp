// PNG encoding with stb_image_write (Debian's libstb-dev), for the builds
// without the Windows Imaging Component. It writes IHDR, IDAT and IEND only.
#include "vn_png_encode.h"

#include <limits.h>

#include <new>

// The library's own code is compiled here, private to this file, without
// the project's warnings.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

struct Output {
    std::vector<uint8_t>* png;
    bool failed;
};

void Append(void* context, void* data, int size)
{
    Output* out = static_cast<Output*>(context);
    if (out->failed || size <= 0)
        return;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    try {
        out->png->insert(out->png->end(), bytes, bytes + size);
    } catch (const std::bad_alloc&) {
        out->failed = true;
    }
}

}  // namespace

bool VnPngEncoderTakesBgr()
{
    return false;
}

bool VnEncodePngPixels(const uint8_t* pixels, uint32_t width, uint32_t height, std::vector<uint8_t>* png,
                       const char** error)
{
    png->clear();
    // The encoder counts in int, filtered rows included.
    if (width > INT_MAX / 3 - 1 || height > static_cast<uint32_t>(INT_MAX) / (width * 3 + 1)) {
        *error = "the picture is too large";
        return false;
    }
    Output out = {png, false};
    const int written = stbi_write_png_to_func(Append, &out, static_cast<int>(width), static_cast<int>(height),
                                               3, pixels, static_cast<int>(width * 3));
    if (!written || out.failed) {
        png->clear();
        *error = "not enough memory to encode the picture";
        return false;
    }
    return true;
}

// Reading the binary PPM (P6) and PGM (P5) files ImageMagick writes as
// reference pixels for the decoder tests: top row first, 8 bits a channel,
// grey widened to red = green = blue.
#pragma once

#include <stdint.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "test_files.h"

namespace picturetest {

struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // red, green, blue per pixel
};

inline bool ReadPpm(const std::string& path, RgbPicture& out)
{
    std::vector<uint8_t> file;
    if (!vntest::ReadFileBytes(path, file) || file.size() < 2 || file[0] != 'P')
        return false;
    const int channels = file[1] == '6' ? 3 : file[1] == '5' ? 1 : 0;
    if (!channels)
        return false;
    size_t at = 2;
    int fields[3] = {0, 0, 0};
    for (int& field : fields) {
        while (at < file.size() && (file[at] == ' ' || file[at] == '\n' || file[at] == '\r' || file[at] == '\t'
                                    || file[at] == '#')) {
            if (file[at] == '#')
                while (at < file.size() && file[at] != '\n')
                    ++at;
            else
                ++at;
        }
        while (at < file.size() && file[at] >= '0' && file[at] <= '9')
            field = field * 10 + (file[at++] - '0');
    }
    ++at;  // the one blank after the maximum value
    if (fields[2] != 255 || fields[0] <= 0 || fields[1] <= 0)
        return false;
    const size_t count = static_cast<size_t>(fields[0]) * fields[1];
    if (file.size() < at + count * channels)
        return false;
    out.width = fields[0];
    out.height = fields[1];
    out.rgb.resize(count * 3);
    for (size_t i = 0; i < count; ++i)
        for (int c = 0; c < 3; ++c)
            out.rgb[3 * i + c] = file[at + i * channels + (channels == 3 ? c : 0)];
    return true;
}

}  // namespace picturetest

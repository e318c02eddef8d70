// Writes a colourful 24-bit Windows bitmap to try the builder with: hue
// running left to right, brightness bottom to top, and a lighter ring in the
// middle so a shuffled puzzle can be told from a solved one.
//   make_sample_picture OUT.bmp [SIDE]   (SIDE pixels square, default 240)
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void Put16(std::vector<unsigned char>& out, unsigned value)
{
    out.push_back(static_cast<unsigned char>(value));
    out.push_back(static_cast<unsigned char>(value >> 8));
}

void Put32(std::vector<unsigned char>& out, unsigned value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// Hue h in [0, 6) at full saturation, scaled by brightness v in [0, 1].
void HueColour(double h, double v, unsigned char rgb[3])
{
    double x = 1.0 - std::fabs(std::fmod(h, 2.0) - 1.0);
    double r = 0, g = 0, b = 0;
    switch (static_cast<int>(h) % 6) {
    case 0: r = 1; g = x; break;
    case 1: r = x; g = 1; break;
    case 2: g = 1; b = x; break;
    case 3: g = x; b = 1; break;
    case 4: r = x; b = 1; break;
    default: r = 1; b = x; break;
    }
    rgb[0] = static_cast<unsigned char>(r * v * 255.0 + 0.5);
    rgb[1] = static_cast<unsigned char>(g * v * 255.0 + 0.5);
    rgb[2] = static_cast<unsigned char>(b * v * 255.0 + 0.5);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fputs("usage: make_sample_picture OUT.bmp [SIDE]\n", stderr);
        return 2;
    }
    int side = argc == 3 ? std::atoi(argv[2]) : 240;
    if (side < 8 || side > 4096) {
        std::fputs("make_sample_picture: SIDE must be 8 to 4096\n", stderr);
        return 2;
    }

    const unsigned rowStride = (static_cast<unsigned>(side) * 3 + 3) & ~3u;
    const unsigned pixelBytes = rowStride * static_cast<unsigned>(side);
    std::vector<unsigned char> out;
    out.reserve(54 + pixelBytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + pixelBytes);  // file size
    Put32(out, 0);                // reserved
    Put32(out, 54);               // offset of the pixels
    Put32(out, 40);               // BITMAPINFOHEADER
    Put32(out, static_cast<unsigned>(side));
    Put32(out, static_cast<unsigned>(side));  // positive: bottom-up rows
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);  // no compression
    Put32(out, pixelBytes);
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);

    const double centre = (side - 1) / 2.0;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            double brightness = 0.35 + 0.65 * y / (side - 1);
            double distance = std::hypot(x - centre, y - centre) / side;
            if (distance > 0.22 && distance < 0.30)
                brightness = 1.0;
            unsigned char rgb[3];
            HueColour(6.0 * x / side, brightness, rgb);
            out.push_back(rgb[2]);  // stored blue, green, red
            out.push_back(rgb[1]);
            out.push_back(rgb[0]);
        }
        for (unsigned pad = static_cast<unsigned>(side) * 3; pad < rowStride; ++pad)
            out.push_back(0);
    }

    FILE* file = std::fopen(argv[1], "wb");
    if (!file) {
        std::fprintf(stderr, "make_sample_picture: cannot write %s\n", argv[1]);
        return 1;
    }
    bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        std::fprintf(stderr, "make_sample_picture: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}

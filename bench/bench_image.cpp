// Decoding speed of 4096 x 4096 bitmaps from memory (24-bit, 8-bit and 8-bit
// run-length), beside stb_image decoding the same bytes and beside a plain
// copy of the pixel bytes. Compare the numbers of one run with each other:
// the machine is shared, so absolute times drift between runs.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#include <stb_image.h>

#include <benchmark/benchmark.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "vn_image.h"
#include "vn_image_orient.h"

namespace {

const int Side = 4096;

void Put16(std::vector<uint8_t>& b, uint16_t v)
{
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& b, uint32_t v)
{
    Put16(b, static_cast<uint16_t>(v));
    Put16(b, static_cast<uint16_t>(v >> 16));
}

std::vector<uint8_t> Headers(int bitCount, uint32_t compression, uint32_t paletteEntries,
                             uint32_t pixelBytes)
{
    std::vector<uint8_t> b;
    uint32_t offBits = 14 + 40 + paletteEntries * 4;
    b.push_back('B');
    b.push_back('M');
    Put32(b, offBits + pixelBytes);
    Put32(b, 0);
    Put32(b, offBits);
    Put32(b, 40);
    Put32(b, Side);
    Put32(b, Side);
    Put16(b, 1);
    Put16(b, static_cast<uint16_t>(bitCount));
    Put32(b, compression);
    Put32(b, pixelBytes);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, paletteEntries);
    Put32(b, 0);
    for (uint32_t i = 0; i < paletteEntries; ++i) {
        b.push_back(static_cast<uint8_t>(i));
        b.push_back(static_cast<uint8_t>(255 - i));
        b.push_back(static_cast<uint8_t>(i * 7));
        b.push_back(0);
    }
    return b;
}

// A picture of flat bands and rings (long runs) with a noisy strip (short
// runs and literal stretches), as palette indices.
uint8_t IndexAt(int x, int y)
{
    if (y >= 3000 && y < 3512) {
        uint32_t h = static_cast<uint32_t>(x) * 2654435761u ^ static_cast<uint32_t>(y) * 40503u;
        return static_cast<uint8_t>(h >> 24);
    }
    int dx = x - 2048, dy = y - 2048;
    return static_cast<uint8_t>(x / 37 + y / 53 + (dx * dx + dy * dy) / 50000);
}

struct Files {
    std::vector<uint8_t> rgb24;
    std::vector<uint8_t> pal8;
    std::vector<uint8_t> rle8;
    uint32_t pixels24 = 0;
    uint32_t pixels8 = 0;
};

void EncodeRle8Row(std::vector<uint8_t>& out, const uint8_t* row, int width)
{
    int x = 0;
    while (x < width) {
        int run = 1;
        while (x + run < width && run < 255 && row[x + run] == row[x])
            ++run;
        if (run >= 3 || width - x < 3) {
            out.push_back(static_cast<uint8_t>(run));
            out.push_back(row[x]);
            x += run;
            continue;
        }
        // A literal stretch up to the next run of three.
        int n = 0;
        while (x + n < width && n < 255) {
            if (x + n + 2 < width && row[x + n] == row[x + n + 1] && row[x + n] == row[x + n + 2])
                break;
            ++n;
        }
        if (n < 3) {
            // Too short for a literal stretch: single-pixel runs.
            for (int i = 0; i < n; ++i, ++x) {
                out.push_back(1);
                out.push_back(row[x]);
            }
            continue;
        }
        out.push_back(0);
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), row + x, row + x + n);
        if (n & 1)
            out.push_back(0);
        x += n;
    }
}

const Files& TestFiles()
{
    static Files files;
    if (!files.rgb24.empty())
        return files;
    const uint32_t stride24 = (Side * 3 + 3) & ~3u;
    const uint32_t stride8 = (Side + 3) & ~3u;
    files.pixels24 = stride24 * Side;
    files.pixels8 = stride8 * Side;

    files.rgb24 = Headers(24, 0, 0, files.pixels24);
    for (int y = 0; y < Side; ++y)
        for (uint32_t i = 0; i < stride24; ++i)
            files.rgb24.push_back(static_cast<uint8_t>(i * 3 + y * 5 + (i * y >> 10)));

    files.pal8 = Headers(8, 0, 256, files.pixels8);
    std::vector<uint8_t> row(Side);
    std::vector<uint8_t> codes;
    for (int y = 0; y < Side; ++y) {
        for (int x = 0; x < Side; ++x)
            row[x] = IndexAt(x, y);
        files.pal8.insert(files.pal8.end(), row.begin(), row.end());
        EncodeRle8Row(codes, row.data(), Side);
        codes.push_back(0);
        codes.push_back(y + 1 < Side ? 0 : 1);
    }
    files.rle8 = Headers(8, 1, 256, static_cast<uint32_t>(codes.size()));
    files.rle8.insert(files.rle8.end(), codes.begin(), codes.end());

    // The run-length file must hold the same picture as the plain one.
    VnImage plain(files.pal8.data(), static_cast<uint32_t>(files.pal8.size()), ImageTypeBmp);
    VnImage runs(files.rle8.data(), static_cast<uint32_t>(files.rle8.size()), ImageTypeBmp);
    if (!plain.dibBlock || !runs.dibBlock
        || memcmp(plain.PixelBase(), runs.PixelBase(), files.pixels8) != 0) {
        fprintf(stderr, "bench_image: the run-length picture does not match the plain one\n");
        abort();
    }
    return files;
}

void DecodeVn(benchmark::State& state, const std::vector<uint8_t>& file, uint32_t outputBytes)
{
    for (auto _ : state) {
        VnImage image(file.data(), static_cast<uint32_t>(file.size()), ImageTypeBmp);
        if (!image.dibBlock) {
            state.SkipWithError(image.imageInfo.lastError);
            break;
        }
        benchmark::DoNotOptimize(image.dibBlock);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * outputBytes);
}

void DecodeStb(benchmark::State& state, const std::vector<uint8_t>& file)
{
    int64_t bytes = 0;
    for (auto _ : state) {
        int w = 0, h = 0, n = 0;
        stbi_uc* pixels = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &w, &h, &n, 0);
        if (!pixels) {
            state.SkipWithError(stbi_failure_reason());
            break;
        }
        benchmark::DoNotOptimize(pixels);
        bytes = static_cast<int64_t>(w) * h * n;
        stbi_image_free(pixels);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes);
}

// The pixel bytes copied into a buffer that stays allocated (warm pages).
void CopyWarm(benchmark::State& state, uint32_t bytes)
{
    const std::vector<uint8_t>& file = TestFiles().rgb24;
    std::vector<uint8_t> target(bytes);
    for (auto _ : state) {
        memcpy(target.data(), file.data() + file.size() - bytes, bytes);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes);
}

// The pixel bytes copied into a fresh allocation each time, as a decoder's
// result must be.
void CopyFresh(benchmark::State& state, uint32_t bytes)
{
    const std::vector<uint8_t>& file = TestFiles().rgb24;
    for (auto _ : state) {
        uint8_t* target = static_cast<uint8_t*>(malloc(bytes));
        memcpy(target, file.data() + file.size() - bytes, bytes);
        benchmark::DoNotOptimize(target);
        benchmark::ClobberMemory();
        free(target);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes);
}

void BM_Vn_Bmp24(benchmark::State& s) { DecodeVn(s, TestFiles().rgb24, TestFiles().pixels24); }
void BM_Stb_Bmp24(benchmark::State& s) { DecodeStb(s, TestFiles().rgb24); }
void BM_MemcpyWarm_Bmp24(benchmark::State& s) { CopyWarm(s, TestFiles().pixels24); }
void BM_MemcpyFresh_Bmp24(benchmark::State& s) { CopyFresh(s, TestFiles().pixels24); }

void BM_Vn_Bmp8(benchmark::State& s) { DecodeVn(s, TestFiles().pal8, TestFiles().pixels8); }
void BM_Stb_Bmp8(benchmark::State& s) { DecodeStb(s, TestFiles().pal8); }
void BM_MemcpyWarm_Bmp8(benchmark::State& s) { CopyWarm(s, TestFiles().pixels8); }
void BM_MemcpyFresh_Bmp8(benchmark::State& s) { CopyFresh(s, TestFiles().pixels8); }

// stb_image does not decode run-length bitmaps; bytes are output bytes.
void BM_Vn_Bmp8Rle(benchmark::State& s) { DecodeVn(s, TestFiles().rle8, TestFiles().pixels8); }

// Placing a decoded 4000 x 3000 photo (32-bit BGRA bands of 1 MB, as the
// Windows decoder copies them out) into the 24-bit image: stored upright
// against stored turned (orientation 6, each source row becoming a column).
void PlacePhoto(benchmark::State& s, int orientation)
{
    const uint32_t width = 4000, height = 3000, rows = (1u << 20) / (width * 4);
    std::vector<uint8_t> band(static_cast<size_t>(rows) * width * 4);
    for (size_t i = 0; i < band.size(); ++i)
        band[i] = static_cast<uint8_t>(i * 7 + (i >> 12));
    uint32_t outWidth, outHeight;
    VnOrientedSize(orientation, width, height, &outWidth, &outHeight);
    VnImage image(static_cast<int32_t>(outWidth), static_cast<int32_t>(outHeight), 24, ImageTypeBmp);
    for (auto _ : s) {
        for (uint32_t y = 0; y < height; y += rows) {
            const uint32_t n = height - y < rows ? height - y : rows;
            VnPlaceBgraBand(image, orientation, width, height, VnBgraBand{band.data(), width * 4, y, n});
        }
        benchmark::DoNotOptimize(image.imageInfo.pixels[0]);
    }
    s.SetBytesProcessed(static_cast<int64_t>(s.iterations()) * width * height * 3);
}

void BM_PlacePhoto_Upright(benchmark::State& s) { PlacePhoto(s, 1); }
void BM_PlacePhoto_Turned6(benchmark::State& s) { PlacePhoto(s, 6); }

}  // namespace

BENCHMARK(BM_PlacePhoto_Upright)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlacePhoto_Turned6)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Vn_Bmp24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Stb_Bmp24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyWarm_Bmp24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyFresh_Bmp24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Vn_Bmp8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Stb_Bmp8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyWarm_Bmp8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyFresh_Bmp8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Vn_Bmp8Rle)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

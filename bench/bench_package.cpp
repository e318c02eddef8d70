// Package speed: the cipher over a buffer beside OpenSSL's Blowfish and a
// plain memory copy, a whole target build of a 64 MiB picture beside a plain
// file copy of the same bytes, and the reader of that target beside a plain
// read of the file. After the run the ratios are printed:
//   cipher speed / OpenSSL speed          (goal: at least 1)
//   build time / (cipher time + copy time) (goal: at most 1.2)
//   read time / (cipher time + plain read time)
#define OPENSSL_SUPPRESS_DEPRECATED
#include <benchmark/benchmark.h>
#include <openssl/blowfish.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "package_build.h"
#include "package_cipher.h"
#include "package_key.h"
#include "package_reader.h"
#include "test_files.h"

namespace {

const size_t MiB = 1024 * 1024;
const size_t BigPicture = 64 * MiB;

std::vector<unsigned char> Noise(size_t n)
{
    return vntest::PatternBytes(n, 0);
}

std::string ScratchPath(const char* name)
{
    static const std::filesystem::path folder = [] {
        std::filesystem::path p = std::filesystem::temp_directory_path() / "vnpkg_bench";
        std::filesystem::create_directories(p);
        return p;
    }();
    return (folder / name).string();
}

void WriteFile(const std::string& path, const std::vector<unsigned char>& data)
{
    if (!vntest::WriteFileBytes(path, data))
        std::fprintf(stderr, "bench_package: cannot write %s\n", path.c_str());
}

void Put32(std::vector<unsigned char>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// A stub the reader can measure: PE headers and one section of filler that
// runs to the end of size bytes.
std::vector<unsigned char> PeStub(size_t size)
{
    std::vector<unsigned char> stub = Noise(size);
    std::fill(stub.begin(), stub.begin() + 0x200, 0);
    stub[0] = 'M';
    stub[1] = 'Z';
    Put32(stub, 0x3C, 0x40);
    std::memcpy(&stub[0x40], "PE\0\0", 4);
    stub[0x44] = 0x4C;
    stub[0x45] = 0x01;
    stub[0x46] = 1;    // one section
    stub[0x54] = 224;  // optional header size
    stub[0x58] = 0x0B;
    stub[0x59] = 0x01;
    Put32(stub, 0x58 + 60, 0x200);
    const size_t section = 0x58 + 224;
    Put32(stub, section + 16, static_cast<uint32_t>(size - 0x200));
    Put32(stub, section + 20, 0x200);
    return stub;
}

// The files of the whole-build benchmarks, made once.
void MakeBuildInputs()
{
    static bool made = false;
    if (made)
        return;
    WriteFile(ScratchPath("vornix_distrib.exe"), PeStub(256 * 1024));
    WriteFile(ScratchPath("picture.bmp"), Noise(BigPicture));
    made = true;
}

void BM_EncipherBuffer(benchmark::State& state)
{
    const size_t n = static_cast<size_t>(state.range(0));
    std::vector<unsigned char> buffer = Noise(n);
    PackageCipher cipher(PackageKey);
    for (auto _ : state) {
        cipher.EncipherBuffer(buffer.data(), static_cast<uint32_t>(n), buffer.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(n));
}

// OpenSSL's block function over the same bytes in the same block convention
// (two little-endian words per block, which is the machine's own order here).
void BM_OpenSSLBlowfish(benchmark::State& state)
{
    const size_t n = static_cast<size_t>(state.range(0));
    std::vector<unsigned char> buffer = Noise(n);
    BF_KEY key;
    BF_set_key(&key, 128, PackageKey);
    for (auto _ : state) {
        for (size_t at = 0; at < n; at += 8) {
            BF_LONG block[2];
            std::memcpy(block, buffer.data() + at, 8);
            BF_encrypt(block, &key);
            std::memcpy(buffer.data() + at, block, 8);
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(n));
}

void BM_Memcpy(benchmark::State& state)
{
    const size_t n = static_cast<size_t>(state.range(0));
    std::vector<unsigned char> from = Noise(n), to(n);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), n);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(n));
}

void BM_WholeBuild(benchmark::State& state)
{
    MakeBuildInputs();
    TargetBuildRequest request;
    request.targetPath = ScratchPath("target.exe");
    request.picturePath = ScratchPath("picture.bmp");
    request.stubPath = ScratchPath("vornix_distrib.exe");
    request.settings.gridSize = 4;
    for (auto _ : state) {
        if (BuildTarget(request, [](const char*) {}) != TargetBuildDone)
            state.SkipWithError("build failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(BigPicture));
}

// The same files copied without enciphering: the stub, then the picture read
// whole into one buffer and written out, through the same C runtime calls.
void BM_PlainFileCopy(benchmark::State& state)
{
    MakeBuildInputs();
    const std::string target = ScratchPath("copy.exe");
    for (auto _ : state) {
        FILE* out = std::fopen(target.c_str(), "wb");
        for (const char* name : {"vornix_distrib.exe", "picture.bmp"}) {
            FILE* in = std::fopen(ScratchPath(name).c_str(), "rb");
            std::fseek(in, 0, SEEK_END);
            size_t size = static_cast<size_t>(std::ftell(in));
            std::rewind(in);
            std::vector<unsigned char> data(size);
            if (std::fread(data.data(), 1, size, in) != size || std::fwrite(data.data(), 1, size, out) != size)
                state.SkipWithError("copy failed");
            std::fclose(in);
        }
        std::fclose(out);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(BigPicture));
}

// The target of a whole build, made once for the reading benchmarks.
const std::string& BuiltTarget()
{
    static const std::string path = [] {
        MakeBuildInputs();
        TargetBuildRequest request;
        request.targetPath = ScratchPath("read.exe");
        request.picturePath = ScratchPath("picture.bmp");
        request.stubPath = ScratchPath("vornix_distrib.exe");
        BuildTarget(request, [](const char*) {});
        return request.targetPath;
    }();
    return path;
}

// The package reader over a whole target, as the player reads its own file.
void BM_ReadPackageFile(benchmark::State& state)
{
    const std::string& path = BuiltTarget();
    for (auto _ : state) {
        PackageContents contents;
        ReadPackageFile(path.c_str(), contents);
        benchmark::DoNotOptimize(contents.picture.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(BigPicture));
}

// The same file read whole into one buffer, without deciphering.
void BM_PlainFileRead(benchmark::State& state)
{
    const std::string& path = BuiltTarget();
    for (auto _ : state) {
        std::vector<uint8_t> data = vntest::ReadFileBytes(path);
        benchmark::DoNotOptimize(data.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(BigPicture));
}

const int64_t Small = static_cast<int64_t>(MiB);
const int64_t Big = static_cast<int64_t>(BigPicture);

BENCHMARK(BM_EncipherBuffer)->Arg(Small)->Arg(Big)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenSSLBlowfish)->Arg(Small)->Arg(Big)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memcpy)->Arg(Small)->Arg(Big)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeBuild)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainFileCopy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadPackageFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainFileRead)->Unit(benchmark::kMillisecond)->UseRealTime();

// Keeps each benchmark's time per iteration (real time, seconds) so the
// ratios can be printed after the table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                seconds[run.benchmark_name()] = run.GetAdjustedRealTime() / 1e3;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    double Get(const std::string& name) const
    {
        auto it = seconds.find(name);
        return it == seconds.end() ? 0.0 : it->second;
    }

    std::map<std::string, double> seconds;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const std::string big = "/" + std::to_string(Big);
    const std::string small = "/" + std::to_string(Small);
    double cipherSmall = reporter.Get("BM_EncipherBuffer" + small);
    double opensslSmall = reporter.Get("BM_OpenSSLBlowfish" + small);
    double cipherBig = reporter.Get("BM_EncipherBuffer" + big);
    double opensslBig = reporter.Get("BM_OpenSSLBlowfish" + big);
    double memcpyBig = reporter.Get("BM_Memcpy" + big);
    double build = reporter.Get("BM_WholeBuild/real_time");
    double copy = reporter.Get("BM_PlainFileCopy/real_time");

    std::printf("\n");
    if (cipherSmall > 0 && opensslSmall > 0)
        std::printf("EncipherBuffer vs OpenSSL BF_encrypt, 1 MiB:  %.2fx as fast\n", opensslSmall / cipherSmall);
    if (cipherBig > 0 && opensslBig > 0)
        std::printf("EncipherBuffer vs OpenSSL BF_encrypt, 64 MiB: %.2fx as fast\n", opensslBig / cipherBig);
    if (cipherBig > 0 && memcpyBig > 0)
        std::printf("EncipherBuffer vs memcpy, 64 MiB:             %.3fx as fast\n", memcpyBig / cipherBig);
    if (build > 0 && cipherBig > 0 && copy > 0)
        std::printf("whole build / (cipher + plain file copy), 64 MiB: %.3f (goal <= 1.2)\n",
                    build / (cipherBig + copy));
    double read = reporter.Get("BM_ReadPackageFile/real_time");
    double plainRead = reporter.Get("BM_PlainFileRead/real_time");
    if (read > 0 && cipherBig > 0 && plainRead > 0)
        std::printf("package read / (cipher + plain file read), 64 MiB: %.3f\n",
                    read / (cipherBig + plainRead));
    std::error_code ec;
    std::filesystem::remove_all(std::filesystem::temp_directory_path() / "vnpkg_bench", ec);
    return 0;
}

// Writes the seed corpus of the package fuzz target, into the folder named on
// the command line: whole targets (a minimal PE stub and a package) and bare
// packages, with records of every length residue mod 8, so that the fuzzer
// starts from input that deciphers to a sound record.
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "package_cipher.h"
#include "package_key.h"
#include "package_record.h"
#include "common/test_files.h"

namespace {

typedef std::vector<uint8_t> Bytes;

void Put32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// DOS header, PE headers with one section table entry, one 0x200-byte section.
Bytes MinimalStub()
{
    Bytes stub(0x400, 0);
    stub[0] = 'M';
    stub[1] = 'Z';
    Put32(stub, 0x3C, 0x40);
    memcpy(&stub[0x40], "PE\0\0", 4);
    stub[0x44] = 0x4C;
    stub[0x45] = 0x01;
    stub[0x46] = 1;      // one section
    stub[0x54] = 224;    // optional header size
    stub[0x58] = 0x0B;   // PE32 magic
    stub[0x59] = 0x01;
    Put32(stub, 0x58 + 60, 0x200);  // size of headers
    const size_t section = 0x58 + 224;
    memcpy(&stub[section], ".text", 5);
    Put32(stub, section + 16, 0x200);
    Put32(stub, section + 20, 0x200);
    return stub;
}

Bytes SmallBitmap(uint32_t extra)
{
    const uint32_t width = 3, height = 2, stride = 12;
    Bytes b(54 + extra + stride * height, 0x5A);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    Put32(b, 10, 54 + extra);
    Put32(b, 14, 40);
    Put32(b, 18, width);
    Put32(b, 22, height);
    b[26] = 1;
    b[28] = 24;
    return b;
}

void AppendSection(Bytes& out, const uint8_t* plain, uint32_t n)
{
    PackageCipher cipher(PackageKey);
    Bytes padded(PackageCipher::PaddedLength(n) + 8);
    cipher.EncipherBuffer(plain, n, padded.data());
    out.insert(out.end(), padded.begin(), padded.begin() + n);
}

Bytes Package(const Bytes& picture, const std::string& record)
{
    Bytes out(8);
    Put32(out, 0, static_cast<uint32_t>(picture.size()));
    Put32(out, 4, static_cast<uint32_t>(record.size()));
    AppendSection(out, picture.data(), static_cast<uint32_t>(picture.size()));
    AppendSection(out, reinterpret_cast<const uint8_t*>(record.data()),
                  static_cast<uint32_t>(record.size()));
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: seeds_package FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const Bytes stub = MinimalStub();
    bool ok = true;
    for (uint32_t residue = 0; residue < 8; ++residue) {
        PackageSettings settings;
        settings.gridSize = 4;
        settings.companyName = "Acme";
        settings.tagLine = "a|b";
        settings.shuffle = residue % 2 == 1;
        settings.winAddress = "http://win.example/";
        while (ComposePackageInfoRecord(settings).size() % 8 != residue)
            settings.winAddress += '~';
        const Bytes package = Package(SmallBitmap(residue), ComposePackageInfoRecord(settings));
        Bytes target(stub);
        target.insert(target.end(), package.begin(), package.end());
        const std::string n = std::to_string(residue);
        ok = vntest::WriteFileBytes(folder + "/target_" + n, target) && ok;
        ok = vntest::WriteFileBytes(folder + "/package_" + n, package) && ok;
    }
    // Records an older builder wrote with "|" in the company name or web site.
    const char* strays[] = {"|", "Acme|", "|Acme", "A||B"};
    for (int i = 0; i < 4; ++i) {
        PackageSettings settings;
        settings.gridSize = 3;
        settings.companyName = i % 2 ? strays[i] : "Acme";
        settings.webSite = i % 2 ? "" : strays[i];
        const Bytes package = Package(SmallBitmap(i), ComposePackageInfoRecord(settings));
        ok = vntest::WriteFileBytes(folder + "/stray_" + std::to_string(i), package) && ok;
    }
    // A padded compressed picture: a PNG signature, zeros to a whole block.
    Bytes png(24, 0);
    memcpy(png.data(), "\x89PNG\r\n\x1a\n", 8);
    ok = vntest::WriteFileBytes(folder + "/padded_png", Package(png, "4| | | |NO|NONE|END")) && ok;
    ok = vntest::WriteFileBytes(folder + "/bare_stub", stub) && ok;
    return ok ? 0 : 1;
}

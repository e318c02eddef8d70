#include "puzzle_key.h"

#include <cstdio>
#include <cstring>

#include "picture_padding.h"
#include "picture_tail.h"

namespace {

// 64-bit FNV-1a, fed in pieces.
class KeyHash {
public:
    void Add(const uint8_t* bytes, size_t size)
    {
        for (size_t i = 0; i < size; ++i)
            Mix(bytes[i]);
    }
    void AddZeros(size_t count)
    {
        while (count--)
            Mix(0);
    }
    void Add(const std::string& text)
    {
        for (char c : text)
            Mix(static_cast<uint8_t>(c));
    }
    std::string Hex() const
    {
        char text[24];
        std::snprintf(text, sizeof text, "%08lx%08lx", static_cast<unsigned long>(hash >> 32),
                      static_cast<unsigned long>(hash & 0xffffffffu));
        return text;
    }

private:
    void Mix(uint8_t byte)
    {
        hash ^= byte;
        hash *= 0x100000001b3ull;
    }
    uint64_t hash = 0xcbf29ce484222325ull;
};

}  // namespace

std::string PuzzleKeyName(const uint8_t* picture, size_t pictureSize, const std::string& record,
                          int gridInPlay, bool gridReduced)
{
    KeyHash hash;
    hash.Add(picture, pictureSize);
    hash.AddZeros(1);  // keeps picture and record apart
    hash.Add(record);
    std::string name = hash.Hex();
    if (gridReduced)
        name += "-" + std::to_string(gridInPlay);
    return name;
}

std::string PackagePuzzleKey(uint8_t* picture, uint32_t length, const std::string& record)
{
    KeyHash hash;
    const uint32_t stored = StoredPictureLength(picture, length, length);
    const uint32_t missing = stored > length ? 0 : length % 8;
    uint8_t kept[8];
    if (missing) {
        std::memcpy(kept, picture + length - missing, missing);
        FillPictureTail(picture, length, missing);
    }
    hash.Add(picture, length);
    if (missing)
        std::memcpy(picture + length - missing, kept, missing);
    hash.AddZeros(stored - length);
    hash.AddZeros(1);
    hash.Add(record);
    return hash.Hex();
}

#include "pe_image_end.h"

#include "little_endian.h"

const char* FindStubLength(const uint8_t* file, size_t size, uint32_t* stubLength)
{
    if (size < 64 || file[0] != 'M' || file[1] != 'Z')
        return "not an executable";
    uint64_t peOffset = ReadLe32(file + 0x3C);
    if (peOffset + 24 > size)
        return "PE header out of range";
    const uint8_t* pe = file + peOffset;
    if (pe[0] != 'P' || pe[1] != 'E' || pe[2] != 0 || pe[3] != 0)
        return "no PE signature";
    const uint8_t* coff = pe + 4;
    uint32_t sectionCount = ReadLe16(coff + 2);
    uint64_t symbolTable = ReadLe32(coff + 8);
    uint64_t symbolCount = ReadLe32(coff + 12);
    uint32_t optionalSize = ReadLe16(coff + 16);
    uint64_t optionalOffset = peOffset + 24;
    uint64_t sectionTable = optionalOffset + optionalSize;
    uint64_t end = sectionTable + static_cast<uint64_t>(sectionCount) * 40;
    if (end > size)
        return "section table out of range";
    const uint8_t* optional = file + optionalOffset;

    // SizeOfHeaders sits at the same place in PE32 and PE32+ headers.
    if (optionalSize >= 64) {
        uint64_t headers = ReadLe32(optional + 60);
        if (headers > size)
            return "headers out of range";
        if (headers > end)
            end = headers;
    }
    for (uint32_t i = 0; i < sectionCount; ++i) {
        const uint8_t* section = file + sectionTable + static_cast<uint64_t>(i) * 40;
        uint64_t rawSize = ReadLe32(section + 16);
        uint64_t rawOffset = ReadLe32(section + 20);
        if (rawSize == 0)
            continue;
        if (rawOffset + rawSize > size)
            return "section data beyond end of file";
        if (rawOffset + rawSize > end)
            end = rawOffset + rawSize;
    }
    // A symbol table (an unstripped program) lies after the sections, followed
    // by its string table, whose first word is the table's own length.
    if (symbolTable != 0) {
        uint64_t symbolsEnd = symbolTable + symbolCount * 18;
        if (symbolsEnd + 4 > size)
            return "symbol table out of range";
        uint64_t stringsLength = ReadLe32(file + symbolsEnd);
        if (stringsLength < 4)
            stringsLength = 4;
        if (symbolsEnd + stringsLength > size)
            return "string table out of range";
        if (symbolsEnd + stringsLength > end)
            end = symbolsEnd + stringsLength;
    }
    // A signature (certificate table, data directory 4) is addressed by file
    // offset and normally closes the image.
    if (optionalSize >= 2) {
        uint32_t magic = ReadLe16(optional);
        uint64_t directory = magic == 0x20B ? 144 : (magic == 0x10B ? 128 : 0);
        if (directory != 0 && directory + 8 <= optionalSize) {
            uint64_t offset = ReadLe32(optional + directory);
            uint64_t length = ReadLe32(optional + directory + 4);
            if (offset != 0 && length != 0) {
                if (offset + length > size)
                    return "certificate table out of range";
                if (offset + length > end)
                    end = offset + length;
            }
        }
    }
    if (end > 0xFFFFFFFFu)
        return "executable too large";
    *stubLength = static_cast<uint32_t>(end);
    return nullptr;
}

// Fuzz target for the package reader: the input is taken as a whole target
// file (PE headers first), as a package on its own, as a record text and as a
// picture whose tail must be filled in; and as text to cut on a UTF-8
// boundary. Nothing may read outside the input or allocate from an unchecked
// length.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "package_reader.h"
#include "utf8_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PackageContents contents;
    ReadPackage(data, size, contents);
    ReadPackageAfterStub(data, size, 0, contents);
    if (size > 0)
        ReadPackageAfterStub(data, size, data[0], contents);

    PackageRecord record;
    if (SplitRecord(std::string(reinterpret_cast<const char*>(data), size), record))
        RecordGridSize(record);

    // A cut keeps at most the limit and gives back at most three bytes.
    const size_t limit = size ? data[0] : 0;
    const size_t cut = Utf8CutLength(reinterpret_cast<const char*>(data), size, limit);
    if (cut > size || (size > limit && (cut > limit || cut + 3 < limit)))
        __builtin_trap();

    std::vector<uint8_t> picture(data, data + size);
    FillPictureTail(picture.data(), static_cast<uint32_t>(picture.size()),
                    static_cast<uint32_t>(size % 8));
    return 0;
}

#include "package_build.h"

#include <cstdint>
#include <cstdio>
#include <new>

#include "file_identity.h"
#include "little_endian.h"
#include "measure_file.h"
#include "package_cipher.h"
#include "package_key.h"

namespace {

const char StatusCreatingStub[] = "Creating stub...";
const char StatusDone[] = "Done.";
const char StatusOpenPicture[] = "Open Picture File..";
const char StatusAboutBox[] = "Generating About Box...";
const char StatusFileInfo[] = "Appending File Info...";
const char StatusPicture[] = "Appending Picture...";

const char ErrorNoStub[] = "Error - could not open stub.";
const char ErrorNoPicture[] = "Error - could not open picture file.";
const char ErrorReadStub[] = "Error - could not read stub.";
const char ErrorReadPicture[] = "Error - could not read picture file.";
const char ErrorWrite[] = "Error - could not write target.";
const char ErrorMemory[] = "Error - not enough memory.";
const char ErrorTargetIsPicture[] = "Error - target is the picture file.";
const char ErrorTargetIsStub[] = "Error - target is the stub.";

// The largest section whose padded length still fits the 32-bit lengths.
const uint32_t MaxSectionLength = 0xFFFFFFF8u;

// Everything one build holds open. Whatever is left when the build ends is
// released here, on every path out of it.
struct BuildState {
    const TargetBuildRequest& request;
    const BuildStatusSink& status;
    FILE* target = nullptr;
    bool targetIsPlainFile = false;
    FILE* stub = nullptr;
    FILE* picture = nullptr;
    unsigned char* buffer = nullptr;

    BuildState(const TargetBuildRequest& r, const BuildStatusSink& s) : request(r), status(s) {}
    ~BuildState() { Release(); }

    unsigned char* Allocate(size_t size)
    {
        ReleaseBuffer();
        void* (*allocate)(size_t) = request.allocate ? request.allocate : std::malloc;
        buffer = static_cast<unsigned char*>(allocate(size ? size : 1));
        return buffer;
    }

    void ReleaseBuffer()
    {
        std::free(buffer);
        buffer = nullptr;
    }

    void CloseInputs()
    {
        if (stub)
            std::fclose(stub);
        if (picture)
            std::fclose(picture);
        stub = picture = nullptr;
    }

    // Lets go of everything: the buffer, the inputs and the target.
    void Release()
    {
        ReleaseBuffer();
        CloseInputs();
        if (target)
            std::fclose(target);
        target = nullptr;
    }

    void Say(const char* text)
    {
        if (status)
            status(text);
    }

    // A failure the target survives: it keeps what was written so far.
    TargetBuildResult Stop(const char* text)
    {
        Release();
        Say(text);
        return TargetBuildFailed;
    }

    // A failure that leaves the target incomplete: it is removed, unless the
    // path names something other than a plain file (a device, say).
    TargetBuildResult Abandon(const char* text)
    {
        const bool removeTarget = target && targetIsPlainFile;
        Release();
        if (removeTarget)
            std::remove(request.targetPath.c_str());
        Say(text);
        return TargetBuildFailed;
    }

    bool Write(const void* data, size_t size)
    {
        return size == 0 || std::fwrite(data, 1, size, target) == size;
    }
};

// Copies the stub into the target whole, through one buffer.
TargetBuildResult CopyStub(BuildState& b)
{
    long size = MeasureFile(b.stub);
    if (size < 0)
        return b.Abandon(ErrorReadStub);
    size_t length = static_cast<size_t>(size);
    unsigned char* data = b.Allocate(length);
    if (!data)
        return b.Abandon(ErrorMemory);
    if (length && std::fread(data, 1, length, b.stub) != length)
        return b.Abandon(ErrorReadStub);
    if (!b.Write(data, length) || std::fflush(b.target) != 0)
        return b.Abandon(ErrorWrite);
    b.ReleaseBuffer();
    std::fclose(b.stub);
    b.stub = nullptr;
    return TargetBuildDone;
}

// Enciphers length bytes held at the front of data (which has room for the
// padded length) and writes the first length bytes of the result.
bool WriteSection(BuildState& b, unsigned char* data, uint32_t length)
{
    PackageCipher cipher(PackageKey);
    cipher.EncipherBuffer(data, length, data);
    return b.Write(data, length);
}

TargetBuildResult AppendPackage(BuildState& b)
{
    long measured = MeasureFile(b.picture);
    if (measured < 0)
        return b.Abandon(ErrorReadPicture);
    if (static_cast<unsigned long>(measured) > MaxSectionLength)
        return b.Abandon(ErrorMemory);
    const uint32_t pictureLength = static_cast<uint32_t>(measured);

    b.Say(StatusAboutBox);
    const std::string record = ComposePackageInfoRecord(b.request.settings);
    const uint32_t recordLength = static_cast<uint32_t>(record.size());

    b.Say(StatusFileInfo);
    unsigned char header[8];
    WriteLe32(header, pictureLength);
    WriteLe32(header + 4, recordLength);
    if (!b.Write(header, sizeof header))
        return b.Abandon(ErrorWrite);

    // The picture is read straight into the buffer that is enciphered in
    // place, so a picture needs its padded size in memory once, not twice.
    b.Say(StatusPicture);
    unsigned char* data = b.Allocate(PackageCipher::PaddedLength(pictureLength));
    if (!data)
        return b.Abandon(ErrorMemory);
    if (pictureLength && std::fread(data, 1, pictureLength, b.picture) != pictureLength)
        return b.Abandon(ErrorReadPicture);
    std::fclose(b.picture);
    b.picture = nullptr;
    if (!WriteSection(b, data, pictureLength))
        return b.Abandon(ErrorWrite);

    data = b.Allocate(PackageCipher::PaddedLength(recordLength));
    if (!data)
        return b.Abandon(ErrorMemory);
    record.copy(reinterpret_cast<char*>(data), recordLength);
    if (!WriteSection(b, data, recordLength))
        return b.Abandon(ErrorWrite);
    b.ReleaseBuffer();
    return TargetBuildDone;
}

TargetBuildResult RunBuild(BuildState& b)
{
    const TargetBuildRequest& r = b.request;
    const char* targetPath = r.targetPath.c_str();

    // Opening the target truncates it, so it must not be one of the inputs.
    if (SameExistingFile(targetPath, r.picturePath.c_str())) {
        b.Say(ErrorTargetIsPicture);
        return TargetBuildFailed;
    }
    if (SameExistingFile(targetPath, r.stubPath.c_str())) {
        b.Say(ErrorTargetIsStub);
        return TargetBuildFailed;
    }

    b.target = std::fopen(targetPath, "wb");
    if (!b.target)
        return TargetNotOpened;
    b.targetIsPlainFile = IsPlainFile(b.target);

    b.Say(StatusCreatingStub);
    b.stub = OpenFileForReading(r.stubPath.c_str());
    if (!b.stub)
        return b.Stop(ErrorNoStub);
    if (CopyStub(b) != TargetBuildDone)
        return TargetBuildFailed;
    b.Say(StatusDone);

    b.Say(StatusOpenPicture);
    b.picture = OpenFileForReading(r.picturePath.c_str());
    if (!b.picture)
        return b.Stop(ErrorNoPicture);
    if (AppendPackage(b) != TargetBuildDone)
        return TargetBuildFailed;

    FILE* target = b.target;
    b.target = nullptr;
    if (std::fclose(target) != 0) {
        if (b.targetIsPlainFile)
            std::remove(targetPath);
        b.Say(ErrorWrite);
        return TargetBuildFailed;
    }
    b.Say(StatusDone);
    return TargetBuildDone;
}

}  // namespace

TargetBuildResult BuildTarget(const TargetBuildRequest& request, const BuildStatusSink& status)
{
    if (request.targetPath.empty())
        return TargetNotOpened;
    BuildState state(request, status);
    try {
        return RunBuild(state);
    } catch (const std::bad_alloc&) {
        return state.Abandon(ErrorMemory);
    }
}
